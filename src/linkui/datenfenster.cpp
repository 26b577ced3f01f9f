#include "linkui/datenfenster.h"

#include "linktext/linktext.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <functional>

class DatenWidget : public QWidget {
public:
    DatenWidget(QWidget* eltern, std::function<void()> geschlossen)
        : QWidget(eltern, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
          m_geschlossen(std::move(geschlossen))
    {
        setObjectName(QStringLiteral("Daten"));
        setWindowTitle(DatenFenster::titel());
        setCursor(Qt::WaitCursor);
        auto* layout = new QVBoxLayout(this);
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1"));
        balken = new QProgressBar(this);
        balken->setObjectName(QStringLiteral("ProgressBar1"));
        balken->setMinimum(0);
        balken->setTextVisible(false);
        // A screen reader names the bar by the caption above it and reads its value.
        label->setBuddy(balken);
        layout->addWidget(label);
        layout->addWidget(balken);
        setFixedSize(360, 90);
    }

    bool vomProgramm = false;
    QLabel* label;
    QProgressBar* balken;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (!vomProgramm) {
            vomProgramm = true;
            m_geschlossen();
        }
        e->accept();
    }

private:
    std::function<void()> m_geschlossen;
};

DatenFenster::DatenFenster(Verbindung& verbindung, QWidget* eltern) : QObject(eltern), m_eltern(eltern)
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_wert > 1) {
            --m_wert;
            zeichnen();
        }
    });
    connect(&verbindung, &Verbindung::fortschritt, this, &DatenFenster::anzeigen);
    connect(this, &DatenFenster::geschlossen, &verbindung, &Verbindung::abbruchAnfordern);
}

DatenFenster::~DatenFenster() { delete m_fenster.data(); }

void DatenFenster::anzeigen(const Fortschrittsstand& s)
{
    if (s.schritt == Schritt::Beendet)
        return verbergen();
    if (const QString t = linktext::beschriftung(s); !t.isEmpty())
        m_text = t;
    if (s.schritt == Schritt::Verbinden) {
        // The countdown over the wait for the device.
        m_maximum = m_wert = 80;
        m_timer.start();
    } else {
        // The configuration read stops the countdown once the device has
        // answered; the other operations leave it running, the write's
        // bytes setting the bar over it.
        if (s.art == Vorgangsart::Lesen)
            m_timer.stop();
        if (s.maximum > 0)
            m_maximum = s.maximum;
        m_wert = s.wert;
    }
    if (!m_fenster && s.schritt == Schritt::Verbinden) {
        m_fenster = new DatenWidget(m_eltern, [this] { vomBenutzerGeschlossen(); });
        zeichnen();
        // Over the middle of the main window, not over its menu and toolbar.
        if (m_eltern && m_eltern->isVisible())
            m_fenster->move(m_eltern->geometry().center() - m_fenster->rect().center());
        m_fenster->show();
        return;
    }
    zeichnen();
}

void DatenFenster::zeichnen()
{
    if (!m_fenster)
        return;
    m_fenster->label->setText(m_text);
    if (m_fenster->balken->accessibleName() != m_text)
        m_fenster->balken->setAccessibleName(m_text);
    m_fenster->balken->setMaximum(std::max(m_maximum, 0));
    m_fenster->balken->setValue(std::clamp(m_wert, 0, m_fenster->balken->maximum()));
}

void DatenFenster::verbergen()
{
    m_timer.stop();
    if (!m_fenster)
        return;
    m_fenster->vomProgramm = true;
    m_fenster->hide();
    m_fenster->deleteLater();
    m_fenster.clear();
}

void DatenFenster::vomBenutzerGeschlossen()
{
    verbergen();
    emit geschlossen();
}

QWidget* DatenFenster::fenster() const { return m_fenster.data(); }

bool DatenFenster::sichtbar() const { return !m_fenster.isNull(); }
