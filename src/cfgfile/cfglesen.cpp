// Reader of the configuration file: the open command's load, on a fresh image.
//
// Order: editor reset, all pages flagged, default content, the thirteen lines,
// then (complete files only) the operator derived from page 1. A file without
// any line leaves the start-up image that the emptied editor stands for. Settings shown
// by check boxes, sliders and spinners get the bytes their handlers store when
// the load sets them; texts are stored in the text-area encoding and never past
// their area, whatever the file holds.
#include "cfgfile/cfgdatei.h"

#include "cfgfile/bedienung.h"
#include "cfgfile/zeilen.h"
#include "image/ansi.h"
#include "image/felder.h"

#include <QByteArrayView>
#include <QList>
#include <algorithm>

namespace {

constexpr char kEtx = char(ETX);
using Ansicht = QByteArrayView;

// ---------------------------------------------------------------------------
// Fields.

// A numeric field: its leading decimal digits, anything behind them ignored
// ("FF" reads as 0). Large numbers saturate instead of overflowing.
std::int64_t zahl(Ansicht f)
{
    constexpr std::int64_t kGrenze = 1'000'000'000'000;
    std::int64_t v = 0;
    for (char c : f) {
        if (c < '0' || c > '9')
            break;
        v = std::min(v * 10 + (c - '0'), kGrenze);
    }
    return v;
}

// Splits off the next ";"-terminated field. `vorhanden` is false when the rest
// holds no ";" (the field then takes the rest and nothing is left).
struct Felder {
    Ansicht rest;
    Ansicht naechstes(bool* vorhanden = nullptr)
    {
        const qsizetype i = rest.indexOf(';');
        if (vorhanden)
            *vorhanden = i >= 0;
        if (i < 0) {
            const Ansicht f = rest;
            rest = Ansicht();
            return f;
        }
        const Ansicht f = rest.first(i);
        rest = rest.sliced(i + 1);
        return f;
    }
};

// A text as the image can hold it: up to its first ETX (the text ends there in
// the image as well) and at most the area's width.
QByteArray textFuer(Ansicht t, int breite)
{
    const qsizetype etx = t.indexOf(kEtx);
    if (etx >= 0)
        t = t.first(etx);
    return t.first(std::min<qsizetype>(t.size(), breite)).toByteArray();
}

void textAblegen(Konfigspeicher& k, Bereich b, Ansicht t, QString& anzeige)
{
    const QByteArray bytes = textFuer(t, b.breite);
    textSpeichern(k, b, bytes);
    anzeige = ansi::text(bytes);
}

// A recipient list: up to eight entries, each closed by ";" in the file and by
// CR in the image, then ETX. Characters behind the last ";" are dropped, and so
// are the entries that no longer fit into offsets 0..127 with their CRs and the
// ETX (entries are never split).
void listeAblegen(Konfigspeicher& k, int seite, Ansicht text)
{
    QList<QByteArray> eintraege;
    int belegt = 1;  // the closing ETX
    while (eintraege.size() < 8) {
        const qsizetype i = text.indexOf(';');
        if (i < 0)
            break;
        if (belegt + i + 1 > 128)
            break;
        eintraege.append(text.first(i).toByteArray());
        belegt += int(i) + 1;
        text = text.sliced(i + 1);
    }
    int o = 0;
    for (const QByteArray& e : eintraege) {
        for (char c : e)
            k.setze(seite, o++, std::uint8_t(c));
        k.setze(seite, o++, CR);
    }
    k.setze(seite, o, ETX);
}

// ---------------------------------------------------------------------------
// Line 1, page 0.
void zeile1(Konfigspeicher& k, Editorwerte& w, Ansicht zeile)
{
    Felder f{zeile};
    Ansicht feld[10];
    for (Ansicht& x : feld)
        x = f.naechstes();
    // The installation name is everything after the tenth ";" up to the ";"
    // that closes the line, so a name may hold ";" itself.
    Ansicht name = f.rest;
    if (name.endsWith(';'))
        name.chop(1);

    // Fields 1 and 2: one check box per bit; a value that is no byte ticks none.
    const std::int64_t oeffner = zahl(feld[0]);
    const std::int64_t gut = zahl(feld[1]);
    for (int i = 0; i < 8; ++i) {
        if (oeffner <= 255 && (oeffner >> i) & 1) {
            w.oeffner[i] = true;
            bitSetzen(k, 0, offset::Oeffner, i, true);
        }
        if (gut <= 255 && (gut >> i) & 1) {
            w.gutmeldung[i] = true;
            bitSetzen(k, 0, offset::Gutmeldung, i, true);
        }
    }
    if (zahl(feld[2]) == 255) {
        w.gutmeldung[8] = true;
        k.setze(0, offset::GutmeldungStrom, 0xFF);
    }

    // Field 4: acknowledgement minutes; 0 (or empty) is off, more than the
    // slider's 255 is taken as 255.
    const std::int64_t quit = zahl(feld[3]);
    if (quit == 0) {
        w.quittierung = false;
        w.sliderQuit = 1;
        w.quit.clear();
        k.setze(0, offset::Quittierung, 0);
    } else {
        w.quittierung = true;
        w.sliderQuit = int(std::min<std::int64_t>(quit, 255));
        w.quit = QString::number(w.sliderQuit);
        k.setze(0, offset::Quittierung, std::uint8_t(w.sliderQuit));
    }

    // Field 5: the check-call schedule.
    using K = Editorwerte::Kontrollruf;
    w.tag = -1;
    if (feld[4].isEmpty()) {
        // CHK_Kontrollruf_Click, switched off.
        w.kontrollruf = K::Aus;
        k.setze(0, offset::Kontrollruf, 0xFF);
        k.setze(0, offset::Stunde, 0x10);
        k.setze(0, offset::Minute, 0x00);
        k.setze(0, 7, ETX);
        for (int o = 8; o <= 23; ++o)
            k.setze(0, o, FF);
    } else if (const std::int64_t v = zahl(feld[4]); v >= 8) {
        w.kontrollruf = K::Aus;
        k.setze(0, offset::Kontrollruf, 0xFF);
        k.setze(0, offset::Stunde, 0x10);
        k.setze(0, offset::Minute, 0x00);
        for (int o = 7; o <= 24; ++o)
            k.setze(0, o, FF);
    } else if (v == 7) {
        w.kontrollruf = K::Taeglich;
        k.setze(0, offset::Kontrollruf, 7);
    } else {
        w.kontrollruf = K::Woechentlich;
        w.tag = int(v);
        k.setze(0, offset::Kontrollruf, std::uint8_t(v));
    }
    // The spinners start at 10 and 0. Hour and minute are stored from the
    // spinners' final values even where setting them changes nothing, so the
    // image never keeps the 0xFF of the default content behind a shown time.
    // Values beyond the spinners' ranges are taken as their ends.
    w.udStunde = 10;
    w.udMinute = 0;
    if (!feld[5].isEmpty())
        w.udStunde = int(std::min<std::int64_t>(zahl(feld[5]), 23));
    if (!feld[6].isEmpty())
        w.udMinute = int(std::min<std::int64_t>(zahl(feld[6]), 59));
    w.txtStunde = bedienung::zweistellig(w.udStunde);
    w.txtMinute = bedienung::zweistellig(w.udMinute);
    k.setze(0, offset::Stunde, bcd(w.udStunde));
    k.setze(0, offset::Minute, bcd(w.udMinute));

    // Fields 8 and 9: the two numbers; field 10: the minimum balance. An empty
    // balance switches the monitoring off, which empties both numbers again.
    textAblegen(k, bereich::Guthabenrufnummer, feld[7], w.guthabenrufnummer);
    textAblegen(k, bereich::NummerAufladung, feld[8], w.nummerAufladung);
    const std::int64_t guthaben = zahl(feld[9]);
    if (guthaben == 0) {
        bedienung::kontoAus(k, w);
    } else {
        w.konto = true;
        w.sliderGuthaben = int(std::min<std::int64_t>(guthaben, 9));
        w.guthaben = QString::number(w.sliderGuthaben);
        k.setze(0, offset::Guthaben, std::uint8_t(w.sliderGuthaben));
    }

    // Field 11. The writer's mark for a free name (a lone ETX) reads as the
    // empty name, as the name ends at its first ETX in the image too.
    textAblegen(k, bereich::Anlagenbezeichnung, name, w.anlagenbezeichnung);
}

// Lines 2..10, pages 1..9: recipient list, ETX, alarm text.
void zeileListeText(Konfigspeicher& k, Editorwerte& w, int seite, Ansicht zeile)
{
    const qsizetype p = zeile.indexOf(kEtx);
    listeAblegen(k, seite, p < 0 ? zeile : zeile.first(p));
    const Ansicht text = p < 0 ? Ansicht() : zeile.sliced(p + 1);
    textAblegen(k, bereich::SMSText(seite - 1), text, w.smsText[seite - 1]);
}

// The second text of lines 11 and 13: from behind the first ETX up to the next
// ETX. Nothing when there is no such ETX or the text between is empty.
Ansicht zweiterText(Ansicht zeile, qsizetype p)
{
    if (p < 0)
        return {};
    const Ansicht rest = zeile.sliced(p + 1);
    const qsizetype q = rest.indexOf(kEtx);
    if (q <= 0)
        return {};
    return rest.first(q);
}

// Line 11, page 10: the relay texts. Each relay's box is ticked when its text
// is not empty; Chk_Relaisbest*_Click then stores the text again, or the empty
// text (ETX at the area's first cell) for an unticked box.
void zeile11(Konfigspeicher& k, Editorwerte& w, Ansicht zeile)
{
    const qsizetype p = zeile.indexOf(kEtx);
    textAblegen(k, bereich::Besttext1, p <= 0 ? Ansicht() : zeile.first(p), w.besttext1);
    w.relaisbest1 = !w.besttext1.isEmpty();
    textAblegen(k, bereich::Besttext2, zweiterText(zeile, p), w.besttext2);
    w.relaisbest2 = !w.besttext2.isEmpty();
}

// Line 12, page 11: recipient list, ETX, four (high; low;) pairs, the unit's
// three bytes. The low-battery text behind is not read.
void zeile12(Konfigspeicher& k, Editorwerte& w, Ansicht zeile)
{
    const qsizetype p = zeile.indexOf(kEtx);
    listeAblegen(k, 11, p < 0 ? zeile : zeile.first(p));
    if (p < 0)
        return;
    Felder f{zeile.sliced(p + 1)};
    QString* felder[4] = {&w.messbereich4, &w.messbereich20, &w.grenzwertmin, &w.grenzwertmax};
    bool alleDa = true;
    for (int paar = 0; paar < 4; ++paar) {
        bool hochDa = false;
        bool tiefDa = false;
        const std::int64_t hoch = zahl(f.naechstes(&hochDa));
        const std::int64_t tief = zahl(f.naechstes(&tiefDa));
        alleDa = alleDa && hochDa && tiefDa;
        // High 255 is an empty field. A pair that is missing, or that does not
        // fit the two bytes and the signed 16-bit value the device read
        // computes (high 128..254), is not loaded: the field stays empty.
        if (!hochDa || !tiefDa || hoch >= 128 || tief > 255)
            continue;
        const int wert = int(hoch * 256 + tief);
        *felder[paar] = QString::number(wert);
        k.setze(11, offset::Messbereich4 + 2 * paar, std::uint8_t(hoch));
        k.setze(11, offset::Messbereich4 + 2 * paar + 1, std::uint8_t(tief));
    }
    if (!alleDa)
        return;
    // The unit: every one of the three bytes that is not FF. The unit's end
    // mark goes with it, as whenever the unit is stored.
    const Ansicht einheit = f.rest.first(std::min<qsizetype>(f.rest.size(), 3));
    QByteArray gezeigt;
    for (qsizetype i = 0; i < einheit.size(); ++i) {
        const std::uint8_t c = std::uint8_t(einheit[i]);
        if (c == FF)
            continue;
        gezeigt.append(char(c));
        k.setze(11, offset::Einheit + int(i), c);
    }
    if (!gezeigt.isEmpty())
        k.setze(11, offset::EinheitEnde, ETX);
    w.einheit = ansi::text(gezeigt);
}

// Line 13, page 12: minimum and maximum alarm texts; an absent text is stored
// as the empty text.
void zeile13(Konfigspeicher& k, Editorwerte& w, Ansicht zeile)
{
    const qsizetype p = zeile.indexOf(kEtx);
    textAblegen(k, bereich::TextMin, p <= 0 ? Ansicht() : zeile.first(p), w.textMin);
    textAblegen(k, bereich::TextMax, zweiterText(zeile, p), w.textMax);
}

} // namespace

Dateiergebnis cfgLesen(const QByteArray& datei, Netzbetreiber bisher)
{
    Dateiergebnis r;
    r.werte.netz = bisher;
    r.werte.kontoAktivierbar = bisher != Netzbetreiber::Andere;
    Alles_markieren(r.flags);
    Grundeinstellung(r.image);

    const QList<Ansicht> zeilen = cfgZeilen(datei, kGeraeteSeiten);
    r.zeilen = int(zeilen.size());
    for (int i = 0; i < r.zeilen; ++i) {
        const Ansicht z = zeilen[i];
        if (i == 0)
            zeile1(r.image, r.werte, z);
        else if (i <= 9)
            zeileListeText(r.image, r.werte, i, z);
        else if (i == 10)
            zeile11(r.image, r.werte, z);
        else if (i == 11)
            zeile12(r.image, r.werte, z);
        else
            zeile13(r.image, r.werte, z);
    }
    // Without a line 1 the editor shows acknowledgement, check call and
    // balance monitoring switched off: the image holds their bytes, not the
    // raw default content (which would save and write as 255 minutes).
    if (r.zeilen == 0)
        bedienung::startbild(r.image);
    r.vollstaendig = r.zeilen == kGeraeteSeiten;
    if (r.vollstaendig)
        bedienung::netzbetreiberUebernehmen(r.image, r.werte);
    return r;
}
