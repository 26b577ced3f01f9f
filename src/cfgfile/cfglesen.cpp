// Reader of the configuration file: the open command's load, on the editor
// model in its filling mode.
//
// Order: editor reset, all markers shown and pages flagged, default content,
// the thirteen lines, then (complete files only) the operator derived from
// page 1. A file without any line leaves the start-up image that the emptied
// editor stands for. Settings shown by check boxes, sliders and spinners are
// stored by their handlers as the load sets them; texts by their fields'
// check-and-store step, never past their area, whatever the file holds.
// Where the rules store a setting otherwise than the file has it, the load
// says so (Anpassung).
#include "cfgfile/cfgdatei.h"

#include "cfgfile/zeilen.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "modell/einstellung.h"

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

// The model being filled and what the rules changed on the way.
struct Leser {
    Editormodell& m;
    QList<Anpassung>& anpassungen;

    // A setting stored otherwise than the file has it.
    void anpassen(const QString& schluessel, const QString& datei, const QString& gespeichert)
    {
        const Einstellung* e = Einstellung::finden(schluessel);
        if (datei != gespeichert && e)
            anpassungen.append({schluessel, e->beschriftung, datei, gespeichert});
    }
};

// A text up to its first ETX: it ends there in the image as well.
Ansicht bisEtx(Ansicht t)
{
    const qsizetype etx = t.indexOf(kEtx);
    return etx >= 0 ? t.first(etx) : t;
}

// A text field set from the file and stored by its own check-and-store step,
// as the text the image can hold: at most the area's width. Returns the file's
// text; with `melden` a text cut is reported at once.
QString textAblegen(Leser& l, Feld f, Ansicht t, bool melden = true)
{
    const Einstellung* e = Einstellung::finden(f);
    t = bisEtx(t);
    const QString datei = ansi::text(t.toByteArray());
    const QString text = datei.left(e->zellen.breite);
    l.m.Validate(f, text, false);
    if (melden)
        l.anpassen(e->schluessel, datei, text);
    return datei;
}

// The key of the recipient list of page `seite`.
QString listenSchluessel(int seite)
{
    for (const Einstellung& e : Einstellung::alle())
        if (e.regel == Regel::Nummern && e.index == seite)
            return e.schluessel;
    return {};
}

// A recipient list: up to eight entries, each closed by ";" in the file and by
// CR in the image, then ETX. Characters behind the last ";" are dropped, and so
// are the entries that no longer fit into offsets 0..127 with their CRs and the
// ETX (entries are never split).
void listeAblegen(Leser& l, int seite, Ansicht text)
{
    Konfigspeicher& k = l.m.speicher();
    const Ansicht datei = text;
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
    QByteArray gespeichert;
    for (const QByteArray& e : eintraege) {
        for (char c : e)
            k.setze(seite, o++, std::uint8_t(c));
        k.setze(seite, o++, CR);
        gespeichert += e + ';';
    }
    k.setze(seite, o, ETX);
    l.anpassen(listenSchluessel(seite), ansi::text(datei.toByteArray()), ansi::text(gespeichert));
}

// Fields 4 and 10 of line 1: a check box and its slider. 0 (or empty)
// unticks the box; any other value ticks it and moves the slider there, taken
// into the slider's range.
void schalterMitZahl(Leser& l, const char* kaestchen, const char* schieber, std::int64_t wert)
{
    l.m.schalten(*Einstellung::finden(QString::fromLatin1(kaestchen)), wert != 0);
    const Einstellung& s = *Einstellung::finden(QString::fromLatin1(schieber));
    if (wert == 0)
        return;
    l.m.schieben(s, int(std::clamp<std::int64_t>(wert, s.min, s.max)));
    l.anpassen(s.schluessel, QString::number(wert), s.wert(l.m.werte()));
}

// Fields 5 to 7 of line 1: the check-call schedule, hour and minute.
void kontrollruf(Leser& l, Ansicht plan, Ansicht stunde, Ansicht minute)
{
    Editormodell& m = l.m;
    Konfigspeicher& k = m.speicher();
    if (plan.isEmpty()) {
        m.CHK_Kontrollruf_Click(false);
    } else if (const std::int64_t v = zahl(plan); v >= 8) {
        // Off as the file has it: the stretch behind the time all FF.
        m.werte().kontrollruf = Editorwerte::Kontrollruf::Aus;
        k.setze(0, offset::Kontrollruf, 0xFF);
        k.setze(0, offset::Stunde, 0x10);
        k.setze(0, offset::Minute, 0x00);
        for (int o = 7; o <= 24; ++o)
            k.setze(0, o, FF);
    } else if (v == 7) {
        m.CHK_Kontrollruf_Click(true);
        m.OPT_Tag_Click();
    } else {
        m.CHK_Kontrollruf_Click(true);
        m.OPT_Woche_Click();
        m.Combo_Tag_Change(int(v));
        // The day list's handler stores nothing while the editor is filled;
        // the day is the file's.
        k.setze(0, offset::Kontrollruf, std::uint8_t(v));
    }
    // The spinners start at 10 and 0. Their handlers store hour and minute
    // from the final values even where setting them changes nothing, so the
    // image never keeps the 0xFF of the default content behind a shown time.
    // Values beyond the spinners' ranges are taken as their ends.
    m.UD_Stunde_Change(stunde.isEmpty() ? 10 : int(std::min<std::int64_t>(zahl(stunde), 23)));
    m.UD_Minute_Change(minute.isEmpty() ? 0 : int(std::min<std::int64_t>(zahl(minute), 59)));
    if (zahl(stunde) > 23 || zahl(minute) > 59)
        l.anpassen(QStringLiteral("general.check_call.time"), QStringLiteral("%1:%2").arg(zahl(stunde)).arg(zahl(minute)),
                   m.werte().txtStunde + ':' + m.werte().txtMinute);
}

// ---------------------------------------------------------------------------
// Line 1, page 0.
void zeile1(Leser& l, Ansicht zeile)
{
    Editormodell& m = l.m;
    Felder f{zeile};
    Ansicht feld[10];
    for (Ansicht& x : feld)
        x = f.naechstes();
    // The installation name is everything after the tenth ";" up to the ";"
    // that closes the line, so a name may hold ";" itself.
    Ansicht name = f.rest;
    if (name.endsWith(';'))
        name.chop(1);

    // Fields 1 and 2: one check box per bit, its handler storing the bit; a
    // value that is no byte ticks none. Field 3: 255 ticks the mains box.
    const std::int64_t oeffner = zahl(feld[0]);
    const std::int64_t gut = zahl(feld[1]);
    for (int i = 0; i < 8; ++i) {
        const QString linie = QStringLiteral("lines[%1].").arg(i);
        if ((oeffner >> i) & 1)
            oeffner <= 255 ? void(m.Chk_Oeffner_Click(i, true)) : l.anpassen(linie + "normally_closed", "ja", "nein");
        if ((gut >> i) & 1)
            gut <= 255 ? void(m.Chk_Gutmeldung_Click(i, true)) : l.anpassen(linie + "all_clear", "ja", "nein");
    }
    if (zahl(feld[2]) == 255)
        m.Chk_Gutmeldung_Click(8, true);

    schalterMitZahl(l, "general.acknowledgement.active", "general.acknowledgement.minutes", zahl(feld[3]));

    kontrollruf(l, feld[4], feld[5], feld[6]);

    // Fields 8 and 9: the two numbers; field 10: the minimum balance. An empty
    // balance switches the monitoring off, which empties both numbers again.
    const QString abfrage = textAblegen(l, Feld::Guthabenrufnummer, feld[7], false);
    const QString aufladung = textAblegen(l, Feld::NummerAufladung, feld[8], false);
    schalterMitZahl(l, "general.balance.active", "general.balance.minimum_euro", zahl(feld[9]));
    l.anpassen(QStringLiteral("general.balance.query_number"), abfrage, m.werte().guthabenrufnummer);
    l.anpassen(QStringLiteral("general.balance.topup_number"), aufladung, m.werte().nummerAufladung);

    // Field 11. The writer's mark for a free name (a lone ETX) reads as the
    // empty name, as the name ends at its first ETX in the image too.
    textAblegen(l, Feld::Anlagenbezeichnung, name);
}

// Lines 2..10, pages 1..9: recipient list, ETX, alarm text.
void zeileListeText(Leser& l, int seite, Ansicht zeile)
{
    const qsizetype p = zeile.indexOf(kEtx);
    listeAblegen(l, seite, p < 0 ? zeile : zeile.first(p));
    textAblegen(l, SMSText(seite - 1), p < 0 ? Ansicht() : zeile.sliced(p + 1));
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
// is not empty; its handler, run while the editor is filled, stores nothing:
// the text is stored as it is, the empty text as ETX at the area's first cell.
void zeile11(Leser& l, Ansicht zeile)
{
    Editormodell& m = l.m;
    const qsizetype p = zeile.indexOf(kEtx);
    textAblegen(l, Feld::Besttext1, p <= 0 ? Ansicht() : zeile.first(p));
    m.Chk_Relaisbest_Click(1, !m.werte().besttext1.isEmpty());
    textAblegen(l, Feld::Besttext2, zweiterText(zeile, p));
    m.Chk_Relaisbest_Click(2, !m.werte().besttext2.isEmpty());
}

// Line 12, page 11: recipient list, ETX, four (high; low;) pairs, the unit's
// three bytes. The low-battery text behind is not read. The values are stored
// where the file has them, not by the fields' checks.
void zeile12(Leser& l, Ansicht zeile)
{
    Konfigspeicher& k = l.m.speicher();
    Editorwerte& w = l.m.werte();
    const qsizetype p = zeile.indexOf(kEtx);
    listeAblegen(l, 11, p < 0 ? zeile : zeile.first(p));
    if (p < 0)
        return;
    Felder f{zeile.sliced(p + 1)};
    const Feld felder[4] = {Feld::Messbereich4, Feld::Messbereich20, Feld::Grenzwertmin, Feld::Grenzwertmax};
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
        if (!hochDa || !tiefDa || hoch >= 128 || tief > 255) {
            if (hochDa && tiefDa && hoch != 255)
                l.anpassen(Einstellung::finden(felder[paar])->schluessel, QStringLiteral("%1;%2").arg(hoch).arg(tief), {});
            continue;
        }
        const int wert = int(hoch * 256 + tief);
        Editormodell::text(w, felder[paar]) = QString::number(wert);
        k.setze(11, offset::Messbereich4 + 2 * paar, std::uint8_t(hoch));
        k.setze(11, offset::Messbereich4 + 2 * paar + 1, std::uint8_t(tief));
    }
    if (!alleDa)
        return;
    // The unit: every one of the three bytes that is not FF, each in its own
    // cell. The unit's end mark goes with it, as whenever the unit is stored.
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
void zeile13(Leser& l, Ansicht zeile)
{
    const qsizetype p = zeile.indexOf(kEtx);
    textAblegen(l, Feld::TextMin, p <= 0 ? Ansicht() : zeile.first(p));
    textAblegen(l, Feld::TextMax, zweiterText(zeile, p));
}

} // namespace

Ladung cfgLaden(Editormodell& m, const QByteArray& datei)
{
    const Editormodell::Fuellen fuellen(m);
    Ladung l;
    Leser leser{m, l.anpassungen};
    m.leeren();
    m.alleMarkieren();
    Grundeinstellung(m.speicher());

    const QList<Ansicht> zeilen = cfgZeilen(datei, kGeraeteSeiten);
    l.zeilen = int(zeilen.size());
    for (int i = 0; i < l.zeilen; ++i) {
        const Ansicht z = zeilen[i];
        if (i == 0)
            zeile1(leser, z);
        else if (i <= 9)
            zeileListeText(leser, i, z);
        else if (i == 10)
            zeile11(leser, z);
        else if (i == 11)
            zeile12(leser, z);
        else
            zeile13(leser, z);
    }
    // Without a line 1 the editor shows acknowledgement, check call and
    // balance monitoring switched off: the image holds their bytes, not the
    // raw default content (which would save and write as 255 minutes).
    if (l.zeilen == 0)
        m.starten();
    l.vollstaendig = l.zeilen == kGeraeteSeiten;
    if (l.vollstaendig)
        m.netzbetreiberErkennen();
    return l;
}

Dateiergebnis cfgLesen(const QByteArray& datei, Netzbetreiber bisher)
{
    Editormodell m;
    m.werte().netz = bisher;
    m.werte().kontoAktivierbar = bisher != Netzbetreiber::Andere;
    const Ladung l = cfgLaden(m, datei);
    Dateiergebnis r;
    r.image = m.speicher();
    r.flags = m.seiten();
    r.werte = m.werte();
    r.zeilen = l.zeilen;
    r.vollstaendig = l.vollstaendig;
    r.anpassungen = l.anpassungen;
    return r;
}

QString Anpassung::text() const
{
    const auto wert = [](const QString& w) { return w.isEmpty() ? QStringLiteral("(leer)") : w; };
    return QStringLiteral("angepasst: %1 %2 → %3").arg(beschriftung, wert(datei), wert(gespeichert));
}
