#include "cli/bericht.h"

#include "cli/aufruf.h"
#include "cli/seiten.h"
#include "linktext/linktext.h"

namespace cli {
namespace {

QString folgeText(const Vorgangsbericht& e, Auswirkung auswirkung, bool unterbrochen)
{
    switch (auswirkung) {
    case Auswirkung::Keine: break;
    case Auswirkung::NichtBeschrieben:
        // A device that answers but whose configuration cannot be read may
        // still be written, without the backup.
        if (!unterbrochen && (e.ausgang == Ausgang::Uebertragungsfehler || e.ausgang == Ausgang::Zeitueberschreitung))
            return QStringLiteral("Gerät nicht beschrieben: seine Konfiguration ließ sich vorher nicht lesen (ohne "
                                  "Sicherung schreiben: --no-backup)");
        return QStringLiteral("Gerät nicht beschrieben");
    case Auswirkung::TeilweiseBeschrieben:
        if (const auto& s = e.schreibstand)
            return teilweiseText(s->geschrieben, s->offen(), s->datenGesendet);
        break;
    case Auswirkung::NichtGeprueft: return QStringLiteral("Konfiguration geschrieben, aber nicht geprüft");
    }
    return {};
}

} // namespace

Bericht berichten(const Vorgangsbericht& e, Auswirkung auswirkung, bool unterbrochen)
{
    Bericht b;
    if (e.ausgang == Ausgang::Erfolg) {
        b.erfolg = true;
        return b;
    }
    const QString folge = folgeText(e, auswirkung, unterbrochen);
    if (unterbrochen) {
        // Ctrl+C: that is what is said first, then what it means for the device.
        b.abgebrochen = true;
        if (!folge.isEmpty())
            b.hinweise << folge;
        b.status = Abgebrochen;
        return b;
    }
    const bool verbunden = e.ausgang != Ausgang::KeineVerbindung;
    // The operation's message; an end without one is a failure all the same.
    b.meldung = linktext::meldung(e);
    if (b.meldung.isEmpty())
        b.meldung = verbunden ? linktext::textUebertragungsfehler() : linktext::textKeineVerbindung();
    if (const QString detail = linktext::detail(e); !detail.isEmpty())
        b.hinweise << detail;
    if (!folge.isEmpty())
        b.hinweise << folge;
    b.status = verbunden || auswirkung == Auswirkung::NichtGeprueft ? Uebertragungsfehler : KeineVerbindung;
    return b;
}

} // namespace cli
