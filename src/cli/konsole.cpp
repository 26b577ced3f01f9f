#include "cli/konsole.h"

#include "door/door.h"
#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <cerrno>
#include <utility>
#include <unistd.h>

namespace cli {

Konsole::Konsole(std::FILE* aus, std::FILE* fehler, Aufruf::Umfang umfang)
    : m_aus(aus), m_fehler(fehler), m_umfang(umfang)
{
}

bool Konsole::ergebnis(const QByteArray& bytes)
{
    zeileBeenden();
    if (!m_aus)
        return true;
    const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_aus) == size_t(bytes.size())
                 && std::fflush(m_aus) == 0;
    if (!ok)
        ausgabefehler(QStringLiteral("Standardausgabe"), systemfehler::text(errno));
    return ok;
}

void Konsole::zeile(const QByteArray& bytes)
{
    if (!m_fehler)
        return;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_fehler) != size_t(bytes.size())
        || std::fflush(m_fehler) != 0)
        m_ungesagt = true;
}

void Konsole::hinweis(const QString& text)
{
    zeileBeenden();
    zeile(dateiname::bytes(QStringLiteral("gsmbv: %1\n").arg(text)));
}

void Konsole::frage(const QString& text, bool amTerminal)
{
    zeileBeenden();
    zeile(text.toUtf8() + (amTerminal ? " " : "\n"));
}

void Konsole::information(const QString& text)
{
    if (m_umfang != Aufruf::Umfang::Leise)
        hinweis(text);
}

void Konsole::schritt(const QString& text)
{
    if (m_umfang == Aufruf::Umfang::Ausfuehrlich)
        hinweis(text);
}

void Konsole::abgebrochen()
{
    if (!std::exchange(m_abgebrochen, true))
        hinweis(QStringLiteral("abgebrochen"));
}

void Konsole::meldung(const QString& text, const QString& titel)
{
    Door::aktuell().meldung(text, Door::Icon::Kritisch, Door::Knoepfe::Ok, titel);
}

int Konsole::dateifehler(const QString& pfad, const QString& grund)
{
    meldung(QStringLiteral("Fehler bei Zugriff auf Konfigurationsdatei"), QStringLiteral("GSM-Boravilon"));
    hinweis(pfad + QStringLiteral(": ") + grund);
    return Konfigurationsdatei;
}

int Konsole::ausgabefehler(const QString& ziel, const QString& grund)
{
    hinweis(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(ziel, grund));
    return Ausgabe;
}

Fortschrittszeile* Konsole::balken(std::chrono::milliseconds frist)
{
    if (!m_fehler || !::isatty(::fileno(m_fehler)) || m_umfang != Aufruf::Umfang::Normal)
        return nullptr;
    m_balken = std::make_unique<Fortschrittszeile>(m_fehler);
    m_balken->setFrist(frist);
    return m_balken.get();
}

void Konsole::setLesetext(const QString& text)
{
    if (m_balken)
        m_balken->setLesetext(text);
}

void Konsole::vorMeldung()
{
    if (!m_balken)
        return;
    m_balken->verbergen();
    m_balken->zeileBeenden();
}

void Konsole::zeileBeenden()
{
    if (m_balken)
        m_balken->zeileBeenden();
}

void Konsole::zwischenstand()
{
    if (m_balken)
        m_balken->abschliessen({});
}

void Konsole::abschluss(const QString& text)
{
    if (m_balken)
        m_balken->abschliessen({});
    if (!m_balken && m_umfang != Aufruf::Umfang::Ausfuehrlich)
        return;
    if (!text.isEmpty())
        zeile(dateiname::bytes(text) + '\n');
}

} // namespace cli
