#include "link/daten.h"

Daten::Daten(QObject* parent) : QObject(parent)
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &Daten::ticken);
}

Daten::~Daten()
{
    m_timer.stop();
    if (m_ansicht && m_sichtbar)
        m_ansicht->verbergen();
}

void Daten::setAnsicht(std::unique_ptr<DatenAnsicht> ansicht)
{
    if (m_ansicht && m_sichtbar)
        m_ansicht->verbergen();
    m_ansicht = std::move(ansicht);
    if (m_ansicht && m_sichtbar)
        m_ansicht->zeigen(*this);
}

void Daten::zeigen()
{
    if (m_sichtbar)
        return;
    m_sichtbar = true;
    if (m_ansicht)
        m_ansicht->zeigen(*this);
}

void Daten::setText(const QString& text)
{
    m_text = text;
    zeichnen();
}

void Daten::setMaximum(int maximum)
{
    m_maximum = maximum;
    zeichnen();
}

void Daten::setWert(int wert)
{
    m_wert = wert;
    zeichnen();
}

void Daten::ticken()
{
    if (m_wert > 1)
        setWert(m_wert - 1);
}

void Daten::zeichnen()
{
    if (m_ansicht && m_sichtbar)
        m_ansicht->aktualisieren(*this);
}

void Daten::verbergen()
{
    m_timer.stop();
    if (m_sichtbar) {
        m_sichtbar = false;
        if (m_ansicht)
            m_ansicht->verbergen();
    }
}

void Daten::schliessen()
{
    if (m_schliessend)
        return;
    m_schliessend = true;
    verbergen();
    emit geschlossen();
    m_schliessend = false;
}
