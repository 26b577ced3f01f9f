// Any bytes as the device pages of the image: every text, unit, number, bit
// and list reader, each value stored back, and writes into any area at all;
// and the editor model's check-and-store of any field with any text, which
// writes only the field's own cells and records only the field's marker.
//
// Input: a text for the free area (ends at a backslash followed by another
// character), then the cells of pages 0..12 in serial order; the choices
// (default content, cells to unset, the free area, a number, a bit, the
// field, typed or not, filling or not) are taken from the input's end.
#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "pruefen.h"

#include <algorithm>
#include <vector>

namespace {

// Every cell outside [von, bis) of the page as before, on every page: the
// cells written inside the range are copied onto the old image, which must
// then equal the new one.
void nurBereichGeaendert(const Konfigspeicher& vorher, const Konfigspeicher& nachher, int seite,
                         int von, int bis)
{
    Konfigspeicher erwartet = vorher;
    for (int o = std::max(von, 0); o < std::min(bis, kZellen); ++o)
        if (const auto z = nachher.zelle(seite, o))
            erwartet.setze(seite, o, *z);
    PRUEFE(erwartet == nachher);
}

std::vector<Bereich> textBereiche()
{
    std::vector<Bereich> b = {bereich::Anlagenbezeichnung, bereich::Guthabenrufnummer,
                              bereich::NummerAufladung,    bereich::Besttext1,
                              bereich::Besttext2,          bereich::TextMin,
                              bereich::TextMax};
    for (int i = 0; i < 9; ++i)
        b.push_back(bereich::SMSText(i));
    return b;
}

void textPruefen(const Konfigspeicher& k, Bereich b, bool auchFF)
{
    const QByteArray t = textLesen(k, b, auchFF);
    PRUEFE(t.size() <= b.breite);
    for (int i = 0; i < t.size(); ++i)
        PRUEFE(k.byte(b.seite, b.anfang + i) == std::uint8_t(t[i]));
    PRUEFE(!t.contains(char(ETX)));
    if (auchFF)
        PRUEFE(!t.contains(char(FF)));
    if (t.size() < b.breite) {
        const std::uint8_t ende = k.byte(b.seite, b.anfang + int(t.size()));
        PRUEFE(ende == ETX || (auchFF && ende == FF));
    }
    // Stored back, the text reads as it was, and only its area changes.
    Konfigspeicher neu = k;
    textSpeichern(neu, b, t);
    PRUEFE(textLesen(neu, b, auchFF) == t);
    nurBereichGeaendert(k, neu, b.seite, b.anfang, b.anfang + b.breite);
}

void zahlPruefen(const Konfigspeicher& k, int seite, int off)
{
    const Zahlwert z = zahlLesen(k, seite, off);
    const std::uint8_t hoch = k.byte(seite, off);
    PRUEFE(z.ueberlauf == (hoch >= 0x80 && hoch != 0xFF));
    PRUEFE(z.wert.has_value() == (hoch < 0x80));
    if (!z.wert) {
        PRUEFE(z.text().isEmpty());
        return;
    }
    PRUEFE(*z.wert >= 0 && *z.wert <= 0x7FFF);
    PRUEFE(z.text() == QString::number(*z.wert));
    Konfigspeicher neu = k;
    zahlSpeichern(neu, seite, off, z.wert);
    PRUEFE(zahlLesen(neu, seite, off).wert == z.wert);
    nurBereichGeaendert(k, neu, seite, off, off + 2);
}

// The cells a field's check-and-store may write: its area; the unit's three
// cells and end mark; for an analog value the four values (a new range
// stores the thresholds again).
Bereich zellenVon(Feld f)
{
    switch (f) {
    case Feld::Anlagenbezeichnung: return bereich::Anlagenbezeichnung;
    case Feld::Guthabenrufnummer: return bereich::Guthabenrufnummer;
    case Feld::NummerAufladung: return bereich::NummerAufladung;
    case Feld::Besttext1: return bereich::Besttext1;
    case Feld::Besttext2: return bereich::Besttext2;
    case Feld::TextMin: return bereich::TextMin;
    case Feld::TextMax: return bereich::TextMax;
    case Feld::Einheit: return {11, offset::Einheit, 4};
    case Feld::Messbereich4:
    case Feld::Messbereich20:
    case Feld::Grenzwertmin:
    case Feld::Grenzwertmax: return {11, offset::Messbereich4, 8};
    default: return bereich::SMSText(int(f) - int(Feld::SMSText0));
    }
}

bool istAnalog(Feld f)
{
    return f == Feld::Messbereich4 || f == Feld::Messbereich20 || f == Feld::Grenzwertmin || f == Feld::Grenzwertmax;
}

void feldPruefen(const Konfigspeicher& k, Feld f, const QString& t, bool geaendert, bool fuellen)
{
    Editormodell m;
    m.speicher() = k;
    // The analog fields show what the image holds, as after a read.
    m.werte().messbereich4 = zahlLesen(k, 11, offset::Messbereich4).text();
    m.werte().messbereich20 = zahlLesen(k, 11, offset::Messbereich20).text();
    m.werte().grenzwertmin = zahlLesen(k, 11, offset::Grenzwertmin).text();
    m.werte().grenzwertmax = zahlLesen(k, 11, offset::Grenzwertmax).text();
    m.setFuellen(fuellen);
    const Folge folge = m.Validate(f, t, geaendert);

    PRUEFE(Editormodell::text(m.werte(), f) == t);
    const Bereich b = zellenVon(f);
    nurBereichGeaendert(k, m.speicher(), b.seite, b.anfang, b.anfang + b.breite);
    if (!folge.angenommen)
        PRUEFE(m.speicher() == k);
    PRUEFE(folge.angenommen || f == Feld::Einheit || istAnalog(f));
    PRUEFE(folge.angenommen == (folge.einwaende.isEmpty() || (istAnalog(f) && folge.einwaende.first().feld != f)));
    for (const Einwand& e : folge.einwaende)
        PRUEFE(e.grund && e.feld && (e.feld == f || istAnalog(*e.feld)));
    if (folge.angenommen && !istAnalog(f) && f != Feld::Einheit) {
        const QByteArray bytes = ansi::bytes(t).left(b.breite);
        for (int i = 0; i < bytes.size(); ++i)
            PRUEFE(m.speicher().byte(b.seite, b.anfang + i) == std::uint8_t(bytes[i]));
        if (bytes.size() < b.breite)
            PRUEFE(m.speicher().byte(b.seite, b.anfang + int(bytes.size())) == ETX);
    }

    // Recorded: the field's one marker and page, never while filling; a typed
    // text field always, an untyped one never.
    int gezeigt = 0;
    for (int i = 0; i < kMarker; ++i)
        gezeigt += m.marker(i) ? 1 : 0;
    int geflaggt = 0;
    for (bool s : m.seiten())
        geflaggt += s ? 1 : 0;
    if (fuellen || folge.marker < 0) {
        PRUEFE(gezeigt == 0 && geflaggt == 0 && folge.marker < 0 && folge.seite < 0);
    } else {
        PRUEFE(gezeigt == 1 && geflaggt == 1 && m.marker(folge.marker) && m.seiten()[std::size_t(folge.seite)]);
        PRUEFE(folge.seite == b.seite);
    }
    if (!fuellen && !istAnalog(f) && f != Feld::Einheit)
        PRUEFE((folge.marker >= 0) == geaendert);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    FuzzedDataProvider fdp(daten, groesse);
    const bool grund = fdp.ConsumeBool();
    const int leerVon = fdp.ConsumeIntegralInRange(0, kGeraeteBytes);
    const int leerAnzahl = fdp.ConsumeIntegralInRange(0, 300);
    // An area anywhere, even outside the image, with a text for it.
    const Bereich frei{fdp.ConsumeIntegralInRange(-1, kSeiten), fdp.ConsumeIntegralInRange(-8, kZellen + 8),
                       fdp.ConsumeIntegralInRange(1, 300)};
    const QByteArray freiText = bytesBis(fdp, 300);
    const std::optional<int> zahl =
        fdp.ConsumeBool() ? std::optional<int>(fdp.ConsumeIntegral<int>()) : std::nullopt;
    const int bitSeite = fdp.ConsumeIntegralInRange(0, 1);
    const int bit = fdp.ConsumeIntegralInRange(0, 7);
    const Feld feld = Feld(fdp.ConsumeIntegralInRange(0, int(Feld::TextMax)));
    const bool geaendert = fdp.ConsumeBool();
    const bool fuellen = fdp.ConsumeBool();
    const QByteArray zellen = restBytes(fdp);

    Konfigspeicher k;
    if (grund)
        Grundeinstellung(k);
    for (int i = 0; i < kGeraeteBytes && i < zellen.size(); ++i)
        k.setze(i / kZellen, i % kZellen, std::uint8_t(zellen[i]));
    for (int i = leerVon; i < leerVon + leerAnzahl; ++i)
        k.leere(i / kZellen, i % kZellen);

    // Whole pages: 256 bytes each, the device's 13 in serial order; unset cells as 0xFF.
    QByteArray alle;
    for (int s = 0; s < kGeraeteSeiten; ++s) {
        const QByteArray seite = k.seite(s);
        PRUEFE(seite.size() == kZellen);
        for (int o = 0; o < kZellen; ++o)
            PRUEFE(std::uint8_t(seite[o]) == k.zelle(s, o).value_or(0xFF));
        alle += seite;
    }
    PRUEFE(k.geraeteBytes() == alle);

    // Text <-> bytes loses nothing.
    PRUEFE(ansi::text(zellen).size() == zellen.size());
    PRUEFE(ansi::bytes(ansi::text(zellen)) == zellen);

    for (const Bereich& b : textBereiche()) {
        textPruefen(k, b, false);
        textPruefen(k, b, true);
        PRUEFE(textLesen(k, b) == textLesen(k, b, b.breite == 16));
    }

    const QByteArray einheit = einheitLesen(k);
    PRUEFE(einheit.size() <= 3 && !einheit.contains(char(FF)));
    {
        Konfigspeicher neu = k;
        einheitSpeichern(neu, einheit);
        PRUEFE(einheitLesen(neu) == einheit.leftJustified(3, ' '));
        PRUEFE(neu.byte(11, offset::EinheitEnde) == ETX);
        nurBereichGeaendert(k, neu, 11, offset::Einheit, offset::EinheitEnde + 1);
    }

    for (int off : {offset::Messbereich4, offset::Messbereich20, offset::Grenzwertmin, offset::Grenzwertmax})
        zahlPruefen(k, 11, off);
    {
        Konfigspeicher neu = k;
        zahlSpeichern(neu, 11, offset::Messbereich4, zahl);
        nurBereichGeaendert(k, neu, 11, offset::Messbereich4, offset::Messbereich4 + 2);
        const Zahlwert z = zahlLesen(neu, 11, offset::Messbereich4);
        if (!zahl)
            PRUEFE(!z.wert && !z.ueberlauf);
        else if (*zahl >= 0 && *zahl <= 0x7FFF)
            PRUEFE(z.wert == zahl);
    }

    {
        Konfigspeicher neu = k;
        const bool vorher = bitGesetzt(k, 0, bitSeite, bit);
        bitSetzen(neu, 0, bitSeite, bit, !vorher);
        PRUEFE(bitGesetzt(neu, 0, bitSeite, bit) == !vorher);
        for (int andere = 0; andere < 8; ++andere)
            if (andere != bit)
                PRUEFE(bitGesetzt(neu, 0, bitSeite, andere) == bitGesetzt(k, 0, bitSeite, andere));
        nurBereichGeaendert(k, neu, 0, bitSeite, bitSeite + 1);
    }

    // Lists: what is read fits into 128 cells; framed again it fits or is refused
    // and is stored into offsets 0..127 of its page only.
    for (int s = -1; s <= kSeiten; ++s) {
        const QList<QByteArray> liste = listeLesen(k, s);
        qsizetype belegt = 0;
        for (const QByteArray& e : liste)
            belegt += e.size() + 1;
        PRUEFE(belegt <= 129);
        if (!Konfigspeicher::gueltig(s, 0))
            PRUEFE(liste.isEmpty());
        const auto gerahmt = listeRahmen(liste);
        PRUEFE(gerahmt.has_value() == (belegt + 1 <= 128));
        if (gerahmt && s >= 0 && s < kSeiten) {
            PRUEFE(gerahmt->size() == 128);
            Konfigspeicher neu = k;
            listeSpeichern(neu, s, *gerahmt);
            PRUEFE(listeLesen(neu, s) == liste);
            nurBereichGeaendert(k, neu, s, 0, 128);
        }
    }
    (void)Netzbetreiber_erkennen(k);

    feldPruefen(k, feld, ansi::text(freiText), geaendert, fuellen);

    // Writes into any area never reach a cell outside it, nor another page.
    {
        Konfigspeicher neu = k;
        textSpeichern(neu, frei, freiText);
        nurBereichGeaendert(k, neu, frei.seite, frei.anfang, frei.anfang + frei.breite);
        (void)textLesen(neu, frei, false);
        (void)textLesen(neu, frei, true);
    }
    {
        Konfigspeicher neu = k;
        listeSpeichern(neu, frei.seite, freiText);
        nurBereichGeaendert(k, neu, frei.seite, 0, 128);
    }
    {
        Konfigspeicher neu = k;
        zahlSpeichern(neu, frei.seite, frei.anfang, zahl);
        nurBereichGeaendert(k, neu, frei.seite, frei.anfang, frei.anfang + 2);
    }
    return 0;
}
