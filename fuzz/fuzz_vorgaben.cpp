// Any bytes as a recipients file (CSV) and as a file of values (JSON).
//
// CSV: the rows refused are named in ascending order within the file's lines;
// a list taken has at most eight recipients of the characters their kinds
// admit, fits its 128 cells for the operator it was read for, and written as
// CSV reads back the same.
// JSON: applied to an editor after start-up, the values are taken, or refused
// with the editor exactly as it was.
//
// Input: its first byte chooses the operator (A1 or another), the rest is the file.
#include "modell/editormodell.h"
#include "modell/empfaengerliste.h"
#include "modell/vorgaben.h"
#include "pruefen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    FuzzedDataProvider fdp(daten, groesse);
    const bool a1 = fdp.ConsumeBool();
    const QByteArray datei = restBytes(fdp);

    const empfaengerliste::Gelesen g = empfaengerliste::ausCsv(datei, a1);
    int vorige = 0;
    for (const empfaengerliste::Zeilenfehler& f : g.fehler) {
        PRUEFE(f.zeile > vorige && f.zeile <= datei.count('\n') + 1 && !f.grund.isEmpty());
        vorige = f.zeile;
    }
    if (g.fehler.isEmpty()) {
        PRUEFE(g.liste.size() <= empfaenger::kPlaetze);
        for (const empfaenger::Eintrag& e : g.liste) {
            PRUEFE(!e.text.isEmpty());
            for (QChar c : e.text)
                PRUEFE(empfaenger::zeichenZulaessig(e.art, c));
        }
        PRUEFE(empfaenger::listeKodieren(g.liste, a1).has_value());
        const empfaengerliste::Gelesen zurueck = empfaengerliste::ausCsv(empfaengerliste::csv(g.liste), a1);
        PRUEFE(zurueck.fehler.isEmpty() && zurueck.liste == g.liste);
    }

    const Jsonvorgaben j = vorgabenAusJson(datei);
    if (j.fehler.isEmpty()) {
        Editormodell m;
        m.starten();
        const Editormodell vorher = m;
        if (!vorgabenAnwenden(m, j.werte).isEmpty())
            PRUEFE(m.speicher() == vorher.speicher() && m.werte() == vorher.werte());
    }
    return 0;
}
