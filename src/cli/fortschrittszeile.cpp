#include "cli/fortschrittszeile.h"

#include "linktext/linktext.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
constexpr int kBalken = 20;
constexpr int kBalkenMindestens = 5;
} // namespace

Fortschrittszeile::Fortschrittszeile(std::FILE* strom) : m_strom(strom)
{
    m_terminal = strom && ::isatty(::fileno(strom));
    m_takt.setSingleShot(true);
    m_takt.callOnTimeout([this] { anfordern(); });
}

Fortschrittszeile::~Fortschrittszeile()
{
    zeileBeenden();
}

QString Fortschrittszeile::zeile(const QString& text, int maximum, int wert, int spalten)
{
    const int platz = std::max(spalten - 1, 1);  // the last column stays free: no wrap
    const int oben = std::max(maximum, 1);
    const int w = std::clamp(wert, 0, oben);
    const QString zahl = QStringLiteral("%1/%2").arg(w).arg(maximum);
    const int balken = std::min<int>(kBalken, platz - int(text.size() + 4 + zahl.size()));
    if (balken >= kBalkenMindestens) {
        const int voll = w * balken / oben;
        return text + QStringLiteral(" [") + QString(voll, QLatin1Char('#')) + QString(balken - voll, QLatin1Char('.'))
             + QStringLiteral("] ") + zahl;
    }
    if (platz <= zahl.size())
        return zahl.left(platz);
    return text.left(platz - zahl.size() - 1) + QLatin1Char(' ') + zahl;
}

QString Fortschrittszeile::countdown(const QString& text, int sekunden, int spalten)
{
    return (text + QStringLiteral(" noch %1 s").arg(sekunden)).left(std::max(spalten - 1, 1));
}

int Fortschrittszeile::spalten() const
{
    if (m_breite > 0)
        return m_breite;
    winsize ws{};
    if (m_strom && ::ioctl(::fileno(m_strom), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    bool ok = false;
    const int spalten = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && spalten > 0 ? spalten : 80;
}

QString Fortschrittszeile::aktuelleZeile() const
{
    if (m_verbindet) {
        const qint64 rest = m_frist.count() - (m_aufbau.isValid() ? m_aufbau.elapsed() : 0);
        return countdown(m_text, int(std::max<qint64>((rest + 999) / 1000, 0)), spalten());
    }
    return zeile(m_text, m_maximum, m_wert, spalten());
}

void Fortschrittszeile::anzeigen(const Fortschrittsstand& s)
{
    if (s.schritt == Schritt::Beendet)
        return verbergen();
    if (s.schritt == Schritt::Verbinden) {
        m_sichtbar = true;
        m_letzterText.clear();
        // A line a previous operation left open stays as it was.
        zeileBeenden();
        m_aufbau.start();
        m_verbindet = true;
        m_maximum = m_wert = 80;
    } else {
        if (s.maximum > 0)
            m_maximum = s.maximum;
        m_wert = s.wert;
    }
    QString text = linktext::beschriftung(s);
    if (s.art == Vorgangsart::Lesen && s.schritt == Schritt::Empfangen && !m_lesetext.isEmpty())
        text = m_lesetext;
    if (!text.isEmpty()) {
        m_verbindet = s.schritt == Schritt::Verbinden;
        m_text = text;
    }
    aktualisieren();
}

void Fortschrittszeile::aktualisieren()
{
    if (!m_sichtbar || !m_strom)
        return;
    if (!m_terminal) {
        if (m_text == m_letzterText)
            return;
        m_letzterText = m_text;
        schreiben(m_text.toUtf8() + '\n');
        return;
    }
    anfordern();
}

void Fortschrittszeile::anfordern()
{
    if (!m_sichtbar || !m_terminal)
        return;
    const auto vergangen = std::chrono::milliseconds(m_gezeichnet.isValid() ? m_gezeichnet.elapsed() : m_abstand.count());
    if (vergangen < m_abstand) {
        // Drawn as soon as the pause is over (a countdown step may be due later).
        const auto rest = m_abstand - vergangen;
        if (!m_takt.isActive() || m_takt.remainingTime() > rest.count())
            m_takt.start(rest);
        return;
    }
    m_takt.stop();
    zeichnen(aktuelleZeile());
    // The countdown moves on by itself: the next draw when its second is up.
    if (m_verbindet) {
        const qint64 imSekundenschritt = (m_frist.count() - m_aufbau.elapsed()) % 1000;
        m_takt.start(std::max<qint64>(imSekundenschritt > 0 ? imSekundenschritt : 1000, m_abstand.count()));
    }
}

void Fortschrittszeile::zeichnen(const QString& z)
{
    if (z == m_letzte)
        return;
    QString aus = QLatin1Char('\r') + z;
    if (z.size() < m_letzte.size())
        aus += QString(m_letzte.size() - z.size(), QLatin1Char(' '));
    m_letzte = z;
    m_gezeichnet.start();
    schreiben(aus.toUtf8());
}

void Fortschrittszeile::verbergen()
{
    if (!m_sichtbar)
        return;
    m_takt.stop();
    if (m_terminal && m_strom)
        zeichnen(aktuelleZeile());  // the last state, however soon after the previous draw
    m_sichtbar = false;
}

void Fortschrittszeile::abschliessen(const QString& text)
{
    m_takt.stop();
    m_sichtbar = false;
    if (m_terminal && !m_letzte.isEmpty()) {
        if (m_verbindet) {
            schreiben((QLatin1Char('\r') + QString(m_letzte.size(), QLatin1Char(' ')) + QLatin1Char('\r')).toUtf8());
            m_letzte.clear();
        } else {
            zeichnen(zeile(m_text, m_maximum, m_maximum, spalten()));
        }
    }
    zeileBeenden();
    if (!text.isEmpty())
        schreiben(text.toUtf8() + '\n');
}

void Fortschrittszeile::zeileBeenden()
{
    if (m_letzte.isEmpty())
        return;
    m_letzte.clear();
    schreiben("\n");
}

void Fortschrittszeile::schreiben(const QByteArray& b)
{
    if (!m_strom)
        return;
    std::fwrite(b.constData(), 1, size_t(b.size()), m_strom);
    std::fflush(m_strom);
}
