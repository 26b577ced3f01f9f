// Any bytes as a stored recipient list: read, decode, encode for either
// operator, store back.
//
// Input: the page's cells from offset 0; its last bytes choose the page (the
// very last), default content, and up to two extra recipients whose texts
// come first.
#include "image/empfaenger.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"
#include "pruefen.h"

using namespace empfaenger;

namespace {

constexpr int kListenseiten[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11};

bool zulaessig(const Eintrag& e)
{
    for (QChar c : e.text)
        if (!zeichenZulaessig(e.art, c))
            return false;
    return true;
}

bool traegtTrenner(const QByteArray& b)
{
    return b.contains(char(CR)) || b.contains(char(ETX)) || b.contains(char(FF));
}

// Every cell outside offsets 0..127 of the page, and every other page, as
// before: the list's cells copied onto the old image give the new one.
void nurListeGeaendert(const Konfigspeicher& vorher, const Konfigspeicher& nachher, int seite)
{
    Konfigspeicher erwartet = vorher;
    for (int o = 0; o < kListenZellen; ++o)
        if (const auto z = nachher.zelle(seite, o))
            erwartet.setze(seite, o, *z);
    PRUEFE(erwartet == nachher);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    FuzzedDataProvider fdp(daten, groesse);
    const int seite = kListenseiten[fdp.ConsumeIntegralInRange(0, 9)];
    const bool grund = fdp.ConsumeBool();
    // Up to two recipients as the editor's slots could never hold them.
    QList<Eintrag> fremde;
    for (int n = fdp.ConsumeIntegralInRange(0, 2); n > 0; --n) {
        const Art art = fdp.PickValueInArray({Art::GSM, Art::Fax, Art::Email});
        fremde.append({art, QString::fromUtf8(bytesBis(fdp, 160))});
    }
    const QByteArray zellen = restBytes(fdp);

    Konfigspeicher k;
    if (grund)
        Grundeinstellung(k);
    for (int o = 0; o < kZellen && o < zellen.size(); ++o)
        k.setze(seite, o, std::uint8_t(zellen[o]));

    // The stored entries fit the list's 128 cells and carry no separator.
    const QList<QByteArray> roh = listeLesen(k, seite);
    qsizetype belegt = 0;
    for (const QByteArray& e : roh) {
        PRUEFE(!traegtTrenner(e));
        belegt += e.size() + 1;
    }
    PRUEFE(belegt <= kListenZellen + 1);  // the last entry may lack its 0x0D

    const QList<Eintrag> liste = listeDekodieren(roh);
    qsizetype nichtLeer = 0;
    for (const QByteArray& e : roh)
        nichtLeer += e.isEmpty() ? 0 : 1;
    PRUEFE(liste.size() == nichtLeer);
    for (const Eintrag& e : liste)
        if (e.art == Art::Email)
            PRUEFE(!e.text.contains(QLatin1Char('*')));

    for (const Eintrag& e : liste + fremde) {
        // Keeping the text, or deleting from it, is always admitted; typed
        // anew, it loses exactly the characters its kind does not admit.
        const QString halb = e.text.left(e.text.size() / 2);
        const Gefiltert gleich = eingabeFiltern(e.art, e.text, e.text);
        PRUEFE(gleich.text == e.text && !gleich.verworfen);
        const Gefiltert geloescht = eingabeFiltern(e.art, e.text, halb);
        PRUEFE(geloescht.text == halb && !geloescht.verworfen && geloescht.cursor == halb.size());
        const Gefiltert neu = eingabeFiltern(e.art, QString(), e.text);
        QString erlaubt;
        for (QChar c : e.text)
            if (zeichenZulaessig(e.art, c))
                erlaubt.append(c);
        PRUEFE(neu.text == erlaubt && neu.verworfen == !zulaessig(e) && neu.cursor == erlaubt.size());
    }

    for (const bool a1 : {true, false}) {
        // A recipient the editor admits reads back as it was stored, except a GSM
        // number that begins like a fax gateway: the stored bytes cannot tell.
        for (const Eintrag& e : liste + fremde) {
            if (e.text.isEmpty() || !zulaessig(e))
                continue;
            const Eintrag r = dekodieren(kodieren(e, a1));
            PRUEFE(r == e || (e.art == Art::GSM && r.art == Art::Fax));
        }

        // Encoding the list again either fits the 128 cells or is refused.
        const QList<Eintrag> alle = liste + fremde;
        const auto gerahmt = listeKodieren(alle, a1);
        const int bedarf = listeBedarf(alle, a1);
        PRUEFE(gerahmt.has_value() == (bedarf <= kListenZellen));
        if (!gerahmt)
            continue;
        PRUEFE(gerahmt->size() == kListenZellen);

        Konfigspeicher neu = k;
        listeSpeichern(neu, seite, *gerahmt);
        nurListeGeaendert(k, neu, seite);

        QList<QByteArray> erwartet;
        bool trenner = false;
        for (const Eintrag& e : alle)
            if (!e.text.isEmpty()) {
                erwartet.append(kodieren(e, a1));
                trenner = trenner || traegtTrenner(erwartet.last());
            }
        if (!trenner) {
            PRUEFE(listeLesen(neu, seite) == erwartet);
            PRUEFE(neu.byte(seite, bedarf - 1) == ETX);
            for (int o = bedarf; o < kListenZellen; ++o)
                PRUEFE(neu.byte(seite, o) == FF);
        }
    }
    return 0;
}
