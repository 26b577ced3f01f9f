#include "link/datentext.h"

#include <algorithm>
#include <unistd.h>

namespace {
constexpr int kBreite = 20;
}

DatenText::DatenText(std::FILE* strom) : m_strom(strom)
{
    m_terminal = strom && ::isatty(::fileno(strom));
}

QByteArray DatenText::zeile(const Daten& d)
{
    const int maximum = std::max(d.maximum(), 1);
    const int wert = std::clamp(d.wert(), 0, maximum);
    const int voll = wert * kBreite / maximum;
    QByteArray z = d.text().toUtf8();
    z += " [" + QByteArray(voll, '#') + QByteArray(kBreite - voll, '.') + "] ";
    z += QByteArray::number(wert) + '/' + QByteArray::number(d.maximum());
    return z;
}

void DatenText::zeigen(Daten& d)
{
    m_offen = true;
    m_letzte.clear();
    m_letzterText.clear();
    aktualisieren(d);
}

void DatenText::aktualisieren(const Daten& d)
{
    if (!m_offen || !m_strom)
        return;
    if (m_terminal) {
        const QByteArray z = zeile(d);
        if (z == m_letzte)
            return;
        // Pad over a longer previous line.
        QByteArray aus = '\r' + z;
        if (z.size() < m_letzte.size())
            aus += QByteArray(m_letzte.size() - z.size(), ' ');
        m_letzte = z;
        std::fwrite(aus.constData(), 1, size_t(aus.size()), m_strom);
    } else {
        if (d.text() == m_letzterText)
            return;
        m_letzterText = d.text();
        const QByteArray z = d.text().toUtf8() + '\n';
        std::fwrite(z.constData(), 1, size_t(z.size()), m_strom);
    }
    std::fflush(m_strom);
}

void DatenText::verbergen()
{
    if (!m_offen)
        return;
    m_offen = false;
    if (m_terminal && m_strom && !m_letzte.isEmpty()) {
        std::fputc('\n', m_strom);
        std::fflush(m_strom);
    }
}
