// Any bytes as a configuration file: the reader never writes outside the cells
// a line may set, leaves every recipient list terminated inside its 128 cells,
// shows exactly the texts it stored, and a file written from its result and
// read again is a fixpoint after one more round. Loaded into an editor model
// that held something else (the window's), a file gives what it gives on a
// fresh one. A file the form check lets pass has all thirteen lines; a
// refusal names a line and why.
//
// Input: the first byte chooses the operator option shown before the load
// (0 A1, 1 T Mobile, 2 Andere, modulo 3); the rest is the file.
#include "cfgfile/cfgdatei.h"
#include "cfgfile/cfgform.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "pruefen.h"

namespace {

// The cells a line of the file may set on its page; every other cell keeps
// its default content.
bool beschreibbar(int seite, int offset)
{
    if (seite == 0)
        return offset <= offset::Guthaben || offset >= 128;
    if (seite == 11)
        return offset <= offset::EinheitEnde;
    return seite <= 12;
}

QList<Bereich> textBereiche(int seite)
{
    if (seite == 0)
        return {bereich::Guthabenrufnummer, bereich::NummerAufladung, bereich::Anlagenbezeichnung};
    if (seite >= 1 && seite <= 9)
        return {bereich::SMSText(seite - 1)};
    if (seite == 10)
        return {bereich::Besttext1, bereich::Besttext2};
    if (seite == 12)
        return {bereich::TextMin, bereich::TextMax};
    return {};
}

// A text area stored once on the default content: the text, then ETX and FF
// up to the area's end, or the text filling the whole area. The two numbers
// may be stored twice (emptied again when the balance monitoring is off), and
// an empty text only writes its ETX: their cells behind the ETX are free.
QByteArray textbereichPruefen(const Konfigspeicher& k, Bereich b)
{
    const QByteArray t = textLesen(k, b, false);
    PRUEFE(t.size() <= b.breite);
    if (b.seite != 0 || b.breite != 16)
        for (int i = int(t.size()) + 1; i < b.breite; ++i)
            PRUEFE(k.byte(b.seite, b.anfang + i) == FF);
    return t;
}

void listePruefen(const Konfigspeicher& k, int seite, bool geladen)
{
    int etx = -1;
    for (int o = 0; o < 128 && etx < 0; ++o)
        if (k.byte(seite, o) == ETX)
            etx = o;
    if (!geladen) {
        PRUEFE(etx < 0 && k.byte(seite, 0) == FF);  // the default: a free list
        return;
    }
    // The list's own ETX stands inside the 128 cells; behind it the default FF.
    PRUEFE(etx >= 0);
    for (int o = etx + 1; o < 128; ++o)
        PRUEFE(k.byte(seite, o) == FF);
    if (etx > 0)
        PRUEFE(k.byte(seite, etx - 1) == CR);  // every entry stored ends with CR
}

void ergebnisPruefen(const QByteArray& datei, Netzbetreiber bisher, const Dateiergebnis& r)
{
    PRUEFE(r.zeilen >= 0 && r.zeilen <= kGeraeteSeiten);
    PRUEFE(r.vollstaendig == (r.zeilen == kGeraeteSeiten));
    PRUEFE(datei.isEmpty() == (r.zeilen == 0));
    for (int s = 0; s < kSeiten; ++s)
        PRUEFE(r.flags[std::size_t(s)] == (s < kGeraeteSeiten));

    // Without a line 1 the image holds what a new configuration holds (the
    // options shown switched off), not the raw default content.
    Konfigspeicher grund;
    Grundeinstellung(grund);
    if (r.zeilen == 0) {
        Editormodell neu;
        neu.starten();
        grund = neu.speicher();
    }
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o) {
            PRUEFE(r.image.gesetzt(s, o));
            // Pages of lines the file does not have keep their default content, too.
            if (!beschreibbar(s, o) || s >= r.zeilen)
                PRUEFE(r.image.byte(s, o) == grund.byte(s, o));
        }

    for (int s : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
        listePruefen(r.image, s, s < r.zeilen);

    // Every text the editor shows is the text stored.
    const Editorwerte& w = r.werte;
    if (r.zeilen > 0) {
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::Anlagenbezeichnung)) == w.anlagenbezeichnung);
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::Guthabenrufnummer)) == w.guthabenrufnummer);
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::NummerAufladung)) == w.nummerAufladung);
        PRUEFE(r.image.byte(0, offset::Guthaben) == (w.konto ? w.sliderGuthaben : 0));
        PRUEFE(w.sliderQuit >= 1 && w.sliderQuit <= 255);
        PRUEFE(w.sliderGuthaben >= 1 && w.sliderGuthaben <= 9);
        PRUEFE(w.udStunde >= 0 && w.udStunde <= 23 && w.udMinute >= 0 && w.udMinute <= 59);
        PRUEFE(r.image.byte(0, offset::Stunde) == bcd(w.udStunde));
        PRUEFE(r.image.byte(0, offset::Minute) == bcd(w.udMinute));
        PRUEFE(r.image.byte(0, offset::Quittierung) == (w.quittierung ? w.sliderQuit : 0));
        PRUEFE((w.tag >= 0) == (w.kontrollruf == Editorwerte::Kontrollruf::Woechentlich));
        PRUEFE(w.tag <= 6);
    }
    for (int s = 1; s <= 9 && s < r.zeilen; ++s)
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::SMSText(s - 1))) == w.smsText[s - 1]);
    if (r.zeilen > 10) {
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::Besttext1)) == w.besttext1);
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::Besttext2)) == w.besttext2);
        PRUEFE(w.relaisbest1 == !w.besttext1.isEmpty() && w.relaisbest2 == !w.besttext2.isEmpty());
    }
    if (r.zeilen > 11) {
        // A range pair is empty (FF FF) or fits the device's signed 16-bit reading.
        for (int paar = 0; paar < 4; ++paar) {
            const std::uint8_t hoch = r.image.byte(11, offset::Messbereich4 + 2 * paar);
            const std::uint8_t tief = r.image.byte(11, offset::Messbereich4 + 2 * paar + 1);
            PRUEFE((hoch == FF && tief == FF) || hoch < 128);
        }
        PRUEFE(ansi::text(einheitLesen(r.image)) == w.einheit);
    }
    if (r.zeilen > 12) {
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::TextMin)) == w.textMin);
        PRUEFE(ansi::text(textbereichPruefen(r.image, bereich::TextMax)) == w.textMax);
    }
    for (int s = 0; s < r.zeilen; ++s)
        for (const Bereich& b : textBereiche(s))
            textbereichPruefen(r.image, b);

    // The operator follows page 1 only for a complete file; "Andere" leaves the
    // balance monitoring off with both numbers emptied.
    PRUEFE(w.netz == (r.vollstaendig ? Netzbetreiber_erkennen(r.image) : bisher));
    PRUEFE(w.kontoAktivierbar == (w.netz != Netzbetreiber::Andere));
    if (r.vollstaendig && w.netz == Netzbetreiber::Andere) {
        PRUEFE(!w.konto && w.guthabenrufnummer.isEmpty() && w.nummerAufladung.isEmpty());
        PRUEFE(r.image.byte(0, 24) == ETX && r.image.byte(0, 40) == ETX && r.image.byte(0, offset::Guthaben) == 0);
    }
}

// Names the first cells where two images differ (to find the cause of a report).
void unterschiede(const Konfigspeicher& a, const Konfigspeicher& b)
{
    int n = 0;
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            if (a.zelle(s, o) != b.zelle(s, o) && n++ < 8)
                std::fprintf(stderr, "Seite %d, Zelle %d: %02X -> %02X\n", s, o, a.byte(s, o), b.byte(s, o));
}

// The images differ at most behind the ETX of an emptied number of page 0.
bool nurHinterLeererNummer(const Konfigspeicher& a, const Konfigspeicher& b)
{
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o) {
            if (a.zelle(s, o) == b.zelle(s, o))
                continue;
            const bool hinter24 = s == 0 && o > 24 && o < 40 && a.byte(0, 24) == ETX && b.byte(0, 24) == ETX;
            const bool hinter40 = s == 0 && o > 40 && o < 56 && a.byte(0, 40) == ETX && b.byte(0, 40) == ETX;
            if (!hinter24 && !hinter40)
                return false;
        }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    if (groesse == 0)
        return 0;
    const Netzbetreiber bisher = static_cast<Netzbetreiber>(daten[0] % 3);
    const QByteArray datei = alsBytes(daten + 1, groesse - 1);

    const Dateiergebnis r1 = cfgLesen(datei, bisher);
    ergebnisPruefen(datei, bisher, r1);
    const Formbefund befund = cfgFormPruefen(datei);
    PRUEFE(!befund.passt() || r1.vollstaendig);
    PRUEFE(befund.passt() || (befund.zeile >= 1 && befund.zeile <= 14 && !befund.grund.isEmpty()));

    // Saved and opened again: always thirteen lines. One round may still
    // change what is shown (a CR in an alarm text is saved as ";", a list
    // entry holding a CR is split, and the operator may follow); the next
    // round shows the same and saves the same file. Its image may still differ
    // behind the ETX of a number emptied by the balance monitoring: an empty
    // text writes only its ETX, and the file does not carry the old bytes.
    const QByteArray f2 = cfgSchreiben(r1.image);
    const Dateiergebnis r2 = cfgLesen(f2, bisher);
    ergebnisPruefen(f2, bisher, r2);
    PRUEFE(r2.vollstaendig);
    const QByteArray f3 = cfgSchreiben(r2.image);
    const Dateiergebnis r3 = cfgLesen(f3, bisher);
    PRUEFE(r3.werte == r2.werte);
    PRUEFE(cfgSchreiben(r3.image) == f3);
    if (!nurHinterLeererNummer(r2.image, r3.image))
        unterschiede(r2.image, r3.image);
    PRUEFE(nurHinterLeererNummer(r2.image, r3.image));
    const Dateiergebnis r4 = cfgLesen(cfgSchreiben(r3.image), bisher);
    PRUEFE(r4.image == r3.image);

    // The window's model after another file and some edits, its operator
    // option then `bisher`: the load replaces all of it.
    Editormodell m;
    cfgLaden(m, f3);
    m.Chk_Oeffner_Click(3, !m.werte().oeffner[3]);
    m.CHK_Kontrollruf_Click(m.werte().kontrollruf == Editorwerte::Kontrollruf::Aus);
    m.Validate(Feld::Einheit, QStringLiteral("xyz"), true);
    m.Validate(Feld::Messbereich4, QStringLiteral("5"), true);
    m.werte().netz = bisher;
    const Ladung l = cfgLaden(m, datei);
    PRUEFE(l.zeilen == r1.zeilen && l.vollstaendig == r1.vollstaendig);
    PRUEFE(m.speicher() == r1.image && m.seiten() == r1.flags && m.werte() == r1.werte);
    for (int i = 0; i < kMarker; ++i)
        PRUEFE(m.marker(i));
    PRUEFE(!m.fuellt());
    return 0;
}
