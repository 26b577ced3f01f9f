#include "linkui/kommunikation.h"

#include "link/verbindung.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

Kommunikation::Kommunikation(Verbindung& verbindung, QWidget* eltern)
    : QDialog(eltern), m_verbindung(verbindung)
{
    setObjectName(QStringLiteral("Kommunikation"));
    setWindowTitle(QStringLiteral("Kommunikation"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("COM Port"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* gitter = new QGridLayout(frame);
    auto* gruppe = new QButtonGroup(this);
    static const char* const kBeschriftung[4] = {"COM 1", "COM 2", "COM3", "COM 4"};
    for (int i = 0; i < 4; ++i) {
        m_option[i] = new QRadioButton(QString::fromLatin1(kBeschriftung[i]), frame);
        m_option[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        gruppe->addButton(m_option[i], i + 1);
        m_geraet[i] = new QLabel(m_verbindung.zuordnung().geraet(i + 1), frame);
        m_geraet[i]->setObjectName(QStringLiteral("Geraet%1").arg(i + 1));
        m_geraet[i]->setEnabled(false);  // a hint, shown greyed
        m_option[i]->setAccessibleDescription(m_geraet[i]->text());
        gitter->addWidget(m_option[i], i, 0);
        gitter->addWidget(m_geraet[i], i, 1);
    }

    auto* cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("CMD_OK"));
    cmdOk->setDefault(true);
    auto* cmdAbbruch = new QPushButton(QStringLiteral("Abbruch"), this);
    cmdAbbruch->setObjectName(QStringLiteral("CMD_Abbruch"));
    connect(cmdOk, &QPushButton::clicked, this, &Kommunikation::ok);
    connect(cmdAbbruch, &QPushButton::clicked, this, &QDialog::reject);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(cmdOk);
    knoepfe->addWidget(cmdAbbruch);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(knoepfe);

    // Load: the current port is selected.
    if (QRadioButton* b = option(m_verbindung.port()))
        b->setChecked(true);
}

QRadioButton* Kommunikation::option(int nummer) const
{
    return nummer >= 1 && nummer <= 4 ? m_option[nummer - 1] : nullptr;
}

QLabel* Kommunikation::geraetLabel(int nummer) const
{
    return nummer >= 1 && nummer <= 4 ? m_geraet[nummer - 1] : nullptr;
}

void Kommunikation::ok()
{
    int nummer = 0;
    for (int i = 1; i <= 4; ++i)
        if (option(i)->isChecked())
            nummer = i;
    if (m_verbindung.portOffen())
        m_verbindung.portSchliessen();
    m_verbindung.setPort(nummer);  // nothing selected: the number stays
    accept();
}
