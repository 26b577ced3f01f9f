// gsmbv set: settings of a configuration file changed by their keys, through
// the window's rules, into the file or another one.
#include "cfgfile/cfgdatei.h"
#include "cli/auftrag.h"
#include "cli/ausgabedatei.h"
#include "cli/konsole.h"
#include "modell/einstellung.h"

namespace cli {
namespace {

class Setzen final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        const Aufruf& a = m_t.aufruf;
        const Dateiladung datei = dateiLaden(a.datei, false);
        if (!datei.fehler.isEmpty())
            return ende(m_t.konsole.dateifehler(a.datei, datei.fehler));
        const bool anderswo = !a.ausgabe.isEmpty();
        const QString ziel = anderswo ? a.ausgabe : a.datei;
        Dateiergebnis neu = datei.inhalt;
        if (!werteSetzen(a, m_t.konsole, neu)) {
            m_t.konsole.hinweis(anderswo ? QStringLiteral("%1 nicht geschrieben").arg(ziel)
                                         : QStringLiteral("%1 nicht geändert").arg(ziel));
            return ende(Konfigurationsdatei);
        }
        // Values that change no byte leave the file as it was, byte for byte
        // (also what the window would store otherwise when it opens it).
        const QByteArray bytes = cfgSchreiben(neu.image);
        const bool gleich = bytes == cfgSchreiben(datei.inhalt.image);
        if (gleich && !anderswo)
            return ende(Erfolg);
        if (!gleich)
            anpassungenNennen(datei.inhalt, neu);
        if (!m_t.datei.vorbereiten(ziel))
            return ende(schreibfehler(ziel));
        m_t.datei.schreiben(gleich ? datei.bytes : bytes, [this, ziel](bool ok) { ende(ok ? Erfolg : schreibfehler(ziel)); });
    }

private:
    // What the window's rules changed on opening goes into the file with the
    // values, named as write names it - unless a value given replaced it.
    void anpassungenNennen(const Dateiergebnis& geladen, const Dateiergebnis& neu)
    {
        for (const Anpassung& a : geladen.anpassungen)
            if (const Einstellung* e = Einstellung::finden(a.schluessel); !e || e->wert(neu.werte) == e->wert(geladen.werte))
                m_t.konsole.hinweis(a.text());
    }

    int schreibfehler(const QString& ziel)
    {
        if (m_t.datei.standardausgabe())
            return m_t.konsole.ausgabefehler(QStringLiteral("Standardausgabe"), m_t.datei.fehler());
        return m_t.konsole.dateifehler(ziel, m_t.datei.fehler());
    }
};

} // namespace

std::unique_ptr<Auftrag> auftragSet(const Teile& t)
{
    return std::make_unique<Setzen>(t);
}

} // namespace cli
