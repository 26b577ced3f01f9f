#include "linkui/syszeit.h"

#include "clock/uhr.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

syszeit::syszeit(QWidget* parent)
    : QDialog(parent)
    , Label1(new QLabel(QStringLiteral("Boravilon Zeit"), this))
    , BoraZeit(new QLineEdit(QStringLiteral("00:00:00  00.00."), this))
    , Label2(new QLabel(QStringLiteral("PC-Zeit"), this))
    , PCZeit(new QLineEdit(QStringLiteral("00:00   01.01"), this))
    , CMD_OK(new QPushButton(QStringLiteral("Übernehmen"), this))
    , CMD_Abbruch(new QPushButton(QStringLiteral("Abbruch"), this))
    , Timer1(new QTimer(this))
    , m_quelle([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("syszeit"));
    setWindowTitle(QStringLiteral("Systemzeit"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    Label1->setObjectName(QStringLiteral("Label1"));
    BoraZeit->setObjectName(QStringLiteral("BoraZeit"));
    Label2->setObjectName(QStringLiteral("Label2"));
    PCZeit->setObjectName(QStringLiteral("PCZeit"));
    CMD_OK->setObjectName(QStringLiteral("CMD_OK"));
    CMD_Abbruch->setObjectName(QStringLiteral("CMD_Abbruch"));
    Timer1->setObjectName(QStringLiteral("Timer1"));

    // Both fields only show times; typing into them would change nothing.
    BoraZeit->setReadOnly(true);
    PCZeit->setReadOnly(true);
    Label1->setBuddy(BoraZeit);
    Label2->setBuddy(PCZeit);
    // Return must not set the device's clock by accident: it closes the
    // dialog, unless the focus is on "Übernehmen" itself.
    CMD_Abbruch->setDefault(true);

    auto* raster = new QGridLayout;
    raster->addWidget(Label1, 0, 0);
    raster->addWidget(BoraZeit, 0, 1);
    raster->addWidget(Label2, 1, 0);
    raster->addWidget(PCZeit, 1, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(CMD_OK);
    knoepfe->addWidget(CMD_Abbruch);
    raster->addLayout(knoepfe, 2, 0, 1, 2);
    setLayout(raster);

    connect(CMD_OK, &QPushButton::clicked, this, &syszeit::uebernehmen);
    connect(CMD_Abbruch, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &syszeit::pcZeitAuffrischen);
    Timer1->start(1000);
}

void syszeit::setBoraZeit(const QString& text)
{
    BoraZeit->setText(text);
}

QString syszeit::boraZeit() const
{
    return BoraZeit->text();
}

void syszeit::setZeitquelle(Zeitquelle quelle)
{
    m_quelle = std::move(quelle);
    if (isVisible())
        pcZeitAuffrischen();
}

QDateTime syszeit::jetzt() const
{
    return m_quelle();
}

void syszeit::showEvent(QShowEvent* e)
{
    // The PC time is right from the first moment, not only after a second.
    pcZeitAuffrischen();
    QDialog::showEvent(e);
}

void syszeit::done(int r)
{
    // Every way of closing a dialog ends here: close() and the close box via
    // reject(), Escape, and the buttons. Reported before the dialog goes, so
    // that a receiver still finds it whole.
    if (!m_entladen) {
        m_entladen = true;
        Timer1->stop();
        emit entladen();
    }
    QDialog::done(r);
}

void syszeit::pcZeitAuffrischen()
{
    PCZeit->setText(uhr::pcZeitText(m_quelle()));
}
