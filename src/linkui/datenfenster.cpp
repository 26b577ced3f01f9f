#include "linkui/datenfenster.h"

#include <QCloseEvent>
#include <algorithm>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

class DatenWidget : public QWidget {
public:
    DatenWidget(QWidget* eltern, Daten& daten)
        : QWidget(eltern, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
          m_daten(&daten)
    {
        setObjectName(QStringLiteral("Daten"));
        setWindowTitle(Daten::titel());
        setCursor(Qt::WaitCursor);
        auto* layout = new QVBoxLayout(this);
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1"));
        balken = new QProgressBar(this);
        balken->setObjectName(QStringLiteral("ProgressBar1"));
        balken->setMinimum(0);
        balken->setTextVisible(false);
        layout->addWidget(label);
        layout->addWidget(balken);
        setFixedSize(360, 90);
    }

    void anzeigen(const Daten& d)
    {
        label->setText(d.text());
        balken->setMaximum(std::max(d.maximum(), 0));
        balken->setValue(std::clamp(d.wert(), 0, balken->maximum()));
    }

    bool vomProgramm = false;
    QLabel* label;
    QProgressBar* balken;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        // The user closed the window: that unloads Daten (the operation ends).
        if (!vomProgramm && m_daten) {
            vomProgramm = true;
            m_daten->schliessen();
        }
        e->accept();
    }

private:
    QPointer<Daten> m_daten;
};

DatenFenster::DatenFenster(QWidget* eltern) : m_eltern(eltern) {}

DatenFenster::~DatenFenster() { delete m_fenster.data(); }

void DatenFenster::zeigen(Daten& d)
{
    const bool neu = !m_fenster;
    if (neu)
        m_fenster = new DatenWidget(m_eltern, d);
    m_fenster->anzeigen(d);
    // Over the middle of the main window, not over its menu and toolbar.
    if (neu && m_eltern && m_eltern->isVisible())
        m_fenster->move(m_eltern->geometry().center() - m_fenster->rect().center());
    m_fenster->show();
}

void DatenFenster::aktualisieren(const Daten& d)
{
    if (m_fenster)
        m_fenster->anzeigen(d);
}

void DatenFenster::verbergen()
{
    if (!m_fenster)
        return;
    m_fenster->vomProgramm = true;
    m_fenster->hide();
    m_fenster->deleteLater();
    m_fenster.clear();
}

QWidget* DatenFenster::fenster() const { return m_fenster.data(); }
