#include "cli/bericht.h"

#include "cli/aufruf.h"
#include "linktext/linktext.h"

namespace cli {
namespace {

// Whether a write that broke off is to be read back: a page character went
// out (the device may hold part of it) and the line is still there.
bool zuruecklesen(const Vorgangsbericht& e, Auswirkung auswirkung)
{
    return auswirkung == Auswirkung::TeilweiseBeschrieben && e.ausgang != Ausgang::Erfolg && e.schreibstand
        && e.schreibstand->begonnen() && e.grund != Grund::Getrennt;
}

QString folgeText(const Vorgangsbericht& e, Auswirkung auswirkung, bool unterbrochen)
{
    const bool erfolg = e.ausgang == Ausgang::Erfolg;
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
        if (erfolg)
            return textNichtGeprueft();
        if (!e.schreibstand)  // no connection: nothing was sent
            return QStringLiteral("Gerät nicht beschrieben");
        if (zuruecklesen(e, auswirkung))
            return {};  // what the read back shows is said instead
        return linktext::schreibstand(*e.schreibstand);
    case Auswirkung::NichtGeprueft: return textNichtGeprueft();
    }
    return {};
}

} // namespace

Bericht berichten(const Vorgangsbericht& e, Auswirkung auswirkung, bool unterbrochen)
{
    Bericht b;
    if (e.ausgang == Ausgang::Erfolg && !unterbrochen) {
        b.erfolg = true;
        return b;
    }
    const QString folge = folgeText(e, auswirkung, unterbrochen);
    b.zuruecklesen = zuruecklesen(e, auswirkung);
    if (b.zuruecklesen)
        b.ungeprueft = linktext::schreibstand(*e.schreibstand);
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

QString textNichtGeprueft() { return QStringLiteral("Konfiguration gesendet, aber nicht geprüft"); }

} // namespace cli
