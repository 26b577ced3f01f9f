#include "cli/auftrag.h"

#include "cfgfile/cfgform.h"
#include "cfgfile/dateilesen.h"
#include "cli/konsole.h"
#include "cli/lauf.h"

namespace cli {

void Auftrag::ende(int status)
{
    m_t.lauf.beenden(status);
}

Dateiladung dateiLaden(const QString& pfad, bool erzwingen)
{
    Dateiladung k;
    const Dateiinhalt d = dateiLesen(pfad);
    if (!d) {
        k.fehler = d.fehler;
        return k;
    }
    if (const Formbefund befund = cfgFormPruefen(d.bytes); !befund.passt() && !erzwingen) {
        k.fehler = befund.text();
        return k;
    }
    k.inhalt = cfgLesen(d.bytes);
    // The window loads the lines a short file has and reports the error.
    if (!k.inhalt.vollstaendig)
        k.fehler = QStringLiteral("nur %1 von 13 Zeilen").arg(k.inhalt.zeilen);
    return k;
}

void anpassungenNennen(Konsole& konsole, const Dateiergebnis& datei)
{
    for (const Anpassung& a : datei.anpassungen)
        konsole.hinweis(a.text());
}

} // namespace cli
