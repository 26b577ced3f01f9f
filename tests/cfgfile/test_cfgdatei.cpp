// The configuration file both ways and the device read's decode: a line and its page, whole files, the form
// check, what the decode shows and stores back, files of any bytes, the reader of a file on disk.
#include "blatt/einstellungen.h"
#include "cfgfile/cfgdatei.h"
#include "cfgfile/cfgform.h"
#include "cfgfile/dateilesen.h"
#include "cfgfile/dekodieren.h"
#include "editor/zeichenregeln.h"
#include "image/ansi.h"
#include "image/empfaenger.h"
#include "image/felder.h"
#include "kit.h"
#include "modell/vorgaben.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sys/stat.h>

using kit::ff;

namespace {

const QByteArray E("\x03"), NL("\r\n");
QByteArray auf(const QByteArray& b, int n) { return b + ff(n - int(b.size())); }  // padded with FF to n
QByteArray zwei(const QByteArray& a, const QByteArray& b) { return auf(a, 128) + auf(b, 128); }
QByteArray nr(const QByteArray& t) { return t.size() >= 16 ? t.left(16) : auf(t + E, 16); }  // a 16-cell number

// The file of the default content, some lines (1..13, line end included) replaced.
QByteArray datei(const QMap<int, QByteArray>& ersatz = {}, int zeilen = 13)
{
    QList<QByteArray> z{";;;255;255;FF;FF;" + ff(16) + ";" + ff(16) + ";255;\x03;\r\n"};
    for (int i = 0; i < 9; ++i)
        z << E + NL;
    z << " \r\n" << E + QByteArray("255;").repeated(8) + ff(3) + E + ";Batteriespannung zu niedrig\x03\r\n" << E + E;
    for (auto [nr, zeile] : ersatz.asKeyValueRange())
        z[nr - 1] = zeile;
    return z.mid(0, zeilen).join();
}
// Line 1 with everything off and empty, line 2 with an A1 recipient: read, they show an empty editor.
const QByteArray kZeile1(";;;;255;10;0;;;;;\r\n"), kZeile2("06641234567;\x03\r\n");
const char* const kAus = "00000000FF1000";  // page 0 offsets 0..6 of kZeile1

// Page 0: offsets 0..6 (hex), 7, the numbers, the balance, the name; the cells between as by default.
QByteArray seite0(const char* hex7, const QByteArray& n1, const QByteArray& n2, int guthaben, const QByteArray& name = E, char sieben = char(0xFF))
{
    return kit::hex(hex7) + sieben + ff(16) + n1 + n2 + char(guthaben) + ff(17) + "Kontostand Minimum\x03" + ff(35) + auf(name, 128);
}
// Page 11: list, offsets 128..139 (ranges, unit, its ETX), low-battery text.
QByteArray seite11(const QByteArray& liste, const QByteArray& analog, const QByteArray& akku = "Batteriespannung zu niedrig\x03")
{
    return auf(liste, 128) + analog + ff(60) + auf(akku, 56);
}

// "name=value; ..." of the fields that differ from an empty editor's; ordnen() sorts both sides alike.
QString ordnen(const QString& s)
{
    QStringList l = s.split(QStringLiteral("; "), Qt::SkipEmptyParts);
    return l.sort(), l.join(QStringLiteral("; "));
}
QString geaendert(const Editorwerte& w)
{
    QStringList l = kit::felder(w);
    l.removeIf([leer = kit::felder(Editorwerte())](const QString& f) { return leer.contains(f); });
    return ordnen(l.join(QStringLiteral("; ")));
}
QString n(const char* feld, int anzahl, char c) { return QLatin1String(feld) + QLatin1Char('=') + QString(anzahl, QLatin1Char(c)); }

struct Zellen {
    int seite, offset;
    QByteArray bytes;
};
using Aenderungen = QList<Zellen>;

// A device as the editor leaves it after start-up, an A1 recipient first: decoded, an empty editor, nothing stored.
// Over it the cells given, running on into the next pages.
Konfigspeicher geraet(const Aenderungen& dazu)
{
    Konfigspeicher k = geraetebild(ff(kGeraeteBytes));
    for (int s = 2; s <= 12; ++s)
        k.setze(s, s == 11 ? 0 : 128, ETX), k.setze(s, 0, ETX);
    k.setze(1, 128, ETX);
    for (const Zellen& z : Aenderungen{{0, 0, QByteArray(4, '\0')}, {0, 5, QByteArray("\x10\x00", 2)}, {0, 24, E}, {0, 40, E}, {0, 56, QByteArray(1, '\0')},
                                       {0, 128, E}, {1, 0, "0664\r\x03"}} + dazu)
        for (int i = 0; i < z.bytes.size(); ++i)
            k.setze(z.seite + (z.offset + i) / kZellen, (z.offset + i) % kZellen, std::uint8_t(z.bytes[i]));
    return k;
}

// A random session at the editor, on the editor model: boxes, sliders,
// spinners and options of enabled controls, random text pasted into the fields
// (the editor's paste rules keep what a field admits), recipient lists stored
// through the recipients codec (addresses in ASCII: two Windows-1252 characters
// that read as UTF-8, "Ã¶", make the form check refuse the file). A step the
// editor refuses is taken back, as the user corrects the field before leaving
// it; a ticked relay carries a text. At the end the operator follows page 1,
// as after a load.
struct Sitzung {
    QRandomGenerator z;
    Editormodell naechste()
    {
        Editormodell m;
        m.starten();
        for (int i = zahl(80); i > 0; --i)
            if (const Editormodell vorher = m; !schritt(m))
                m = vorher;
        m.netzbetreiberErkennen();
        return m;
    }
    int zahl(int bis) { return int(z.bounded(bis)); }
    QChar zeichen(int bis) { return zahl(2) ? QChar(u'0' + zahl(10)) : ansi::zeichen(std::uint8_t(zahl(bis))); }
    static bool ok(const Folge& f) { return f.angenommen && f.einwaende.isEmpty(); }
    QString eingabe(Feldart art, int grenze)
    {
        QString s;
        for (int i = zahl(grenze + 4); i > 0; --i)
            s += zeichen(256);
        return einfuegenPruefen(art, grenze, QString(), 0, s).text;
    }
    bool schritt(Editormodell& m)
    {
        using K = Editorwerte::Kontrollruf;
        const Editorwerte& w = m.werte();
        static const Feld felder[] = {Feld::Anlagenbezeichnung, Feld::Guthabenrufnummer, Feld::NummerAufladung, Feld::TextMin, Feld::TextMax, Feld::Einheit,
                                      Feld::Messbereich4, Feld::Messbereich20, Feld::Grenzwertmin, Feld::Grenzwertmax, SMSText(0), SMSText(4), SMSText(8)};
        const Feld f = felder[zahl(int(std::size(felder)))];
        const int r = 1 + zahl(2);
        switch (zahl(16)) {
        case 0: return ok(m.Chk_Oeffner_Click(zahl(8), zahl(2)));
        case 1: return ok(m.Chk_Gutmeldung_Click(zahl(9), zahl(2)));
        case 2: return ok(m.Chk_Quittierung_Click(zahl(2)));
        case 3: return !w.quittierung || ok(m.Slider_Quit_Change(1 + zahl(255)));
        case 4: return !w.kontoAktivierbar || ok(m.Chk_Konto_Click(zahl(2)));
        case 5: return !w.konto || ok(m.Slider_Guthaben_Change(1 + zahl(9)));
        case 6: return ok(m.netzbetreiberWaehlen(Netzbetreiber(zahl(3))));
        case 7: return ok(m.CHK_Kontrollruf_Click(zahl(2)));
        case 8: return w.kontrollruf == K::Aus || ok(zahl(2) ? m.OPT_Tag_Click() : m.OPT_Woche_Click());
        case 9: return w.kontrollruf != K::Woechentlich || ok(m.Combo_Tag_Change(zahl(7)));
        case 10: return w.kontrollruf == K::Aus || ok(zahl(2) ? m.UD_Stunde_Change(zahl(24)) : m.UD_Minute_Change(zahl(60)));
        case 11: return zahl(3) ? ok(m.Chk_Relaisbest_Click(r, true)) && ok(m.Validate(r == 1 ? Feld::Besttext1 : Feld::Besttext2, "R" + eingabe(Feldart::Freitext, 126), true))
                                : ok(m.Chk_Relaisbest_Click(r, false));
        case 12: {  // a recipient list of page 1..9 or 11
            QList<empfaenger::Eintrag> e(zahl(9));
            for (empfaenger::Eintrag& x : e)
                for (int j = 1 + zahl(14), art = zahl(3); j > 0; --j)
                    if (const QChar c = zeichen(128); empfaenger::zeichenZulaessig(x.art = empfaenger::Art(art), c))
                        x.text += c;
            if (const auto l = empfaenger::listeKodieren(e, w.netz == Netzbetreiber::A1))
                listeSpeichern(m.speicher(), zahl(10) == 9 ? 11 : 1 + zahl(9), *l);
            return true;
        }
        default:  // a field, of its kind and length in the editor
            const Feldart art = f == Feld::Einheit ? Feldart::Einheit : f >= Feld::Messbereich4 && f <= Feld::Grenzwertmax ? Feldart::Analog
                              : f == Feld::Guthabenrufnummer || f == Feld::NummerAufladung ? Feldart::Nummer : Feldart::Freitext;
            const int grenze = art == Feldart::Nummer ? 15 : art == Feldart::Freitext ? (f == Feld::TextMin || f == Feld::TextMax ? 127 : 70) : 3;
            return (art == Feldart::Nummer && !w.konto) || ok(m.Validate(f, eingabe(art, grenze), true));
        }
    }
};

// What a file carries of an editor's values: the unit as stored (blank-padded)
// and the thresholds as stored (one typed without a complete range shows but
// is stored empty).
Editorwerte gespeichert(const Editormodell& m)
{
    Editorwerte w = m.werte();
    w.einheit = ansi::text(einheitLesen(m.speicher()));
    w.grenzwertmin = zahlLesen(m.speicher(), 11, offset::Grenzwertmin).text();
    w.grenzwertmax = zahlLesen(m.speicher(), 11, offset::Grenzwertmax).text();
    return w;
}

// The image an editor's image comes back as: page 0 offset 7 (a leftover of
// switching the check call off) as FF; a free area (FF in its first cell) as
// the empty text; the bytes an emptied text leaves behind its ETX as FF.
Konfigspeicher zurueck(const Konfigspeicher& k)
{
    QList<Bereich> b{bereich::Anlagenbezeichnung, bereich::Guthabenrufnummer, bereich::NummerAufladung, bereich::Besttext1,
                     bereich::Besttext2, bereich::TextMin, bereich::TextMax, bereich::Empfaenger(11)};
    for (int i = 1; i <= 9; ++i)
        b << bereich::SMSText(i - 1) << bereich::Empfaenger(i);
    Konfigspeicher e = k;
    e.setze(0, 7, FF);
    for (const Bereich& x : b)
        if (k.byte(x.seite, x.anfang) == FF || k.byte(x.seite, x.anfang) == ETX)
            for (int i = 0; i < x.breite; ++i)
                e.setze(x.seite, x.anfang + i, i ? FF : ETX);
    return e;
}

} // namespace

Q_DECLARE_METATYPE(Aenderungen)

class TestCfgDatei : public QObject {
    Q_OBJECT
private slots:
    // One line and its page. Written: the default content with the page given.
    // Read: kZeile1, kZeile2 and the default lines, the row's line in its place.
    void zeilen_data()
    {
        QTest::addColumn<int>("nr");
        QTest::addColumn<QByteArray>("seite");    // the page written; empty: the row only reads
        QTest::addColumn<QByteArray>("zeile");    // the line, line end included
        QTest::addColumn<QByteArray>("gelesen");  // the page read; empty: as written; "-": the row only writes
        QTest::addColumn<QString>("werte");       // read: the values that differ from an empty editor's
        QTest::addColumn<QStringList>("angepasst");  // read: the settings stored otherwise than the file has them
        const auto z = [](const char* name, int nr, const QByteArray& seite, const QByteArray& zeile, const QByteArray& gelesen, const QString& werte = {},
                          const QStringList& angepasst = {}) { QTest::newRow(name) << nr << seite << zeile << gelesen << ordnen(werte) << angepasst; };
        const QByteArray a127(127, 'a'), a128(128, 'a'), b128(128, 'b'), x128(128, 'x'), akku(";Batteriespannung zu niedrig\x03\r\n"), nur("-");
        const QByteArray zahlen = E + QByteArray("255;").repeated(8);
        QByteArray alle;  // every byte but ETX, LF, CR and FF
        for (int b = 0; b < 256; ++b)
            if (b != 0x03 && b != 0x0A && b != 0x0D && b != 0xFF)
                alle.append(char(b));
        z("Z1 Nummern, Guthaben, Name", 1, seite0("000000FFFFFFFF", nr("08006642903"), nr("*105*"), 5, "Pumpwerk S\xFC" "d\x03"),
          ";;;255;255;FF;FF;08006642903;*105*;5;Pumpwerk S\xFC" "d;\r\n", seite0("000000FFFF0000", nr("08006642903"), nr("*105*"), 5, "Pumpwerk S\xFC" "d\x03"),
          "quittierung=ja; sliderQuit=255; quit=255; udStunde=0; txtStunde=00; konto=ja; guthabenrufnummer=08006642903; nummerAufladung=*105*; "
          "sliderGuthaben=5; guthaben=5; anlagenbezeichnung=Pumpwerk Süd");
        z("Z1 Nummer voll, FF mitten drin", 1, seite0("000000FFFFFFFF", "0123456789012345", "12\xFF" "3\x03" "99" + ff(9), 0xFF, ff(128)),
          ";;;255;255;FF;FF;0123456789012345;12\xFF" "3;255;\x03;\r\n", nur);
        z("Z1 Name endet an FF, Nummer leer", 1, seite0("000000FFFFFFFF", nr(""), ff(16), 0xFF, "Halle\xFF" "xy\x03"), ";;;255;255;FF;FF;;" + ff(16) + ";255;Halle;\r\n", nur);
        z("Z1 Name mit Semikolon", 1, seite0(kAus, nr(""), nr(""), 0, "Halle 3; Tor 2\x03"), ";;;;255;10;0;;;;Halle 3; Tor 2;\r\n", {}, "anlagenbezeichnung=Halle 3; Tor 2");
        z("Z1 CR und LF als Leerzeichen", 1, seite0("000000FFFFFFFF", "0800\r\n1\x03" + ff(8), "\n5\x03" + ff(13), 0xFF, "Halle\r\nNord\x03"),
          ";;;255;255;FF;FF;0800  1; 5;255;Halle  Nord;\r\n", nur);
        z("Z1 aus 8, 12:05", 1, {}, ";;;;8;12;5;;;;;\r\n", seite0("00000000FF1205", nr(""), nr(""), 0), "udStunde=12; udMinute=5; txtStunde=12; txtMinute=05");
        z("Z1 Feld 5 leer: ETX an 7", 1, {}, ";;;;;;;;;;;\r\n", seite0(kAus, nr(""), nr(""), 0, E, 3));
        z("Z1 Bits, Quittierung 15", 1, {}, "133;2;255;15;7;9;45;;;;;\r\n", seite0("8502FF0F070945", nr(""), nr(""), 0),
          "oeffner0=ja; oeffner2=ja; oeffner7=ja; gutmeldung1=ja; gutmeldung8=ja; quittierung=ja; sliderQuit=15; quit=15; kontrollruf=1; udStunde=9; "
          "udMinute=45; txtStunde=09; txtMinute=45");
        z("Z1 zu gross", 1, {}, "300;256;254;300;99999999999999999999;25;75;1;2;12;;\r\n", seite0("000000FFFF2359", nr("1"), nr("2"), 9),
          "quittierung=ja; sliderQuit=255; quit=255; konto=ja; guthabenrufnummer=1; nummerAufladung=2; sliderGuthaben=9; guthaben=9; udStunde=23; "
          "udMinute=59; txtStunde=23; txtMinute=59",
          QStringList{"angepasst: Meldelinie 3 Öffner ja → nein", "angepasst: Meldelinie 4 Öffner ja → nein", "angepasst: Meldelinie 6 Öffner ja → nein",
                      "angepasst: Quittierungszeit in Minuten 300 → 255", "angepasst: Kontrollruf senden um 25:75 → 23:59", "angepasst: Minimalguthaben in EURO 12 → 9"});
        z("Z1 führende Ziffern", 1, {}, "3x;FF;;14min;1a;1A;3B;;;5 Euro;;\r\n", seite0("0300000E010103", nr(""), nr(""), 5),
          "oeffner0=ja; oeffner1=ja; quittierung=ja; sliderQuit=14; quit=14; konto=ja; sliderGuthaben=5; guthaben=5; kontrollruf=2; tag=1; udStunde=1; "
          "udMinute=3; txtStunde=01; txtMinute=03");
        z("Z1 Guthaben leer leert die Nummern", 1, {}, ";;;;255;10;0;1234;5678;;;\r\n", seite0(kAus, "\x03" "234\x03" + ff(11), "\x03" "678\x03" + ff(11), 0),
          {}, QStringList{"angepasst: Nummer für SMS Kontostandsabfrage 1234 → (leer)", "angepasst: Nummer für Kontoaufladung 5678 → (leer)"});
        z("Z1 fehlende Felder", 1, {}, "5;3\r\n", seite0("05030000FF1000", nr(""), nr(""), 0, E, 3), "oeffner0=ja; oeffner2=ja; gutmeldung0=ja; gutmeldung1=ja");
        z("Z1 lange Felder", 1, {}, QByteArray(100'000, '1') + ";;;;7;;;" + QByteArray(100'000, 'x') + ";;2;" + QByteArray(100'000, 'n') + ";\r\n",
          seite0("00000000071000", QByteArray(16, 'x'), nr(""), 2, QByteArray(128, 'n')),
          "konto=ja; " + n("guthabenrufnummer", 16, 'x') + "; sliderGuthaben=2; guthaben=2; kontrollruf=1; " + n("anlagenbezeichnung", 128, 'n'),
          QStringList{"angepasst: Nummer für SMS Kontostandsabfrage xxxxxxxxxxxx…(100000) → xxxxxxxxxxxxxxxx",
                      "angepasst: Anlagenbezeichnung nnnnnnnnnnnn…(100000) → nnnnnnnnnnnn…(128)"});

        z("Z3 Liste und Text", 3, zwei("0664111\r0676*22\r\x03", "Einbruch\x03"), "0664111;0676*22;\x03" "Einbruch\r\n", {}, "smsText1=Einbruch");
        z("Z4 volle Liste", 4, zwei((QByteArray(15, '1') + "\r").repeated(7) + QByteArray(14, '2') + "\r\x03", "Text\x03"),
          (QByteArray(15, '1') + ";").repeated(7) + QByteArray(14, '2') + ";\x03Text\r\n", {}, "smsText2=Text");
        z("Z6 Liste ohne ETX", 6, zwei(QByteArray(128, '7'), "T\x03"), QByteArray(128, '7') + "\x03T\r\n", zwei(E, "T\x03"), "smsText4=T",
          QStringList{"angepasst: Meldelinie 5 Nummern 777777777777…(128) → (leer)"});
        z("Z7 Text ohne ETX", 7, zwei("1\r\x03", x128), "1;\x03" + x128 + NL, {}, n("smsText5", 128, 'x'));
        z("Z9 Bytes hinter FF an 0, FF im Text", 9, zwei(ff(1) + "12\r\x03", "a\xFF" "b\x03"), "\x03" "ab\r\n", zwei(E, "ab\x03"), "smsText7=ab");
        z("Z2 LF in der Liste, CR LF im Text", 2, zwei("0664\n1\r2\r\x03", "Tor\r\nauf\x03"), "0664 1;2;\x03Tor; auf\r\n", zwei("0664 1\r2\r\x03", "Tor; auf\x03"), "smsText0=Tor; auf");
        z("Z3 leere Einträge", 3, zwei("\r\rx\r\x03", E), ";;x;\x03\r\n", {});
        z("Z3 Rest ohne ; fällt weg", 3, {}, "a;b;c\x03T\r\n", zwei("a\rb\r\x03", "T\x03"), "smsText1=T", QStringList{"angepasst: Meldelinie 2 Nummern a;b;c → a;b;"});
        z("Z3 neun Einträge", 3, {}, "1;2;3;4;5;6;7;8;9;\x03\r\n", zwei("1\r2\r3\r4\r5\r6\r7\r8\r\x03", E),
          {}, QStringList{"angepasst: Meldelinie 2 Nummern 1;2;3;4;5;6;7;8;9; → 1;2;3;4;5;6;7;8;"});
        z("Z3 zu lange Liste", 3, {}, (QByteArray(20, '9') + ";").repeated(8) + "\x03T\r\n", zwei((QByteArray(20, '9') + "\r").repeated(6) + E, "T\x03"), "smsText1=T",
          QStringList{"angepasst: Meldelinie 2 Nummern 999999999999…(168) → 999999999999…(126)"});
        z("Z3 Text mit ETX", 3, {}, "\x03" "AB\x03" "CD\r\n", zwei(E, "AB\x03"), "smsText1=AB");
        z("Z3 kein ETX", 3, {}, "abc;\r\n", zwei("abc\r\x03", E));
        z("Z3 Nullbyte, 0x1A", 3, {}, QByteArray("\x00;\x03" "a\x1A" "b\r\n", 9), zwei(QByteArray("\x00\r\x03", 3), "a\x1A" "b\x03"), "smsText1=a\x1A" "b",
          QStringList{"angepasst: Meldelinie 3 Nummern " + QString(QChar(0)) + " → (leer)"});
        z("Z6 lange Zeile", 6, {}, QByteArray("0664567890;").repeated(10'000) + E + QByteArray(100'000, 't') + NL,
          zwei(QByteArray("0664567890\r").repeated(8) + E, QByteArray(128, 't')), n("smsText4", 128, 't'),
          QStringList{"angepasst: Meldelinie 5 Nummern 0664567890;0…(110000) → 0664567890;0…(88)",
                      "angepasst: Meldelinie 5 Meldungstext tttttttttttt…(100000) → tttttttttttt…(128)"});

        const QString beide("relaisbest1=ja; relaisbest2=ja; ");
        z("Z11 nur Relais 1", 11, zwei("R1\x03", ""), "R1\x03 \r\n", zwei("R1\x03", E), "relaisbest1=ja; besttext1=R1");
        z("Z11 Relais 1 frei, Relais 2", 11, zwei("", "R2\x03"), "\x03R2\x03\r\n", zwei(E, "R2\x03"), "relaisbest2=ja; besttext2=R2");
        z("Z11 Relais 1 frei, Relais 2 leer", 11, zwei("", E), E + NL, zwei(E, E));
        z("Z11 frei", 11, ff(256), " \r\n", zwei(E, E));
        z("Z11 Relais 1 mit 127 Zeichen", 11, zwei(a127 + E, "zwei\x03"), a127 + "\x03zwei\x03\r\n", {}, beide + n("besttext1", 127, 'a') + "; besttext2=zwei");
        z("Z11 CR und LF als Leerzeichen", 11, zwei("a\r\nb\x03", "\nc\r\x03"), "a  b\x03 c \x03\r\n", zwei("a  b\x03", " c \x03"), beide + "besttext1=a  b; besttext2= c ");
        z("Z11 Gerät: beide voll ohne ETX", 11, a128 + b128, a128 + E + b128 + E + NL, {}, beide + n("besttext1", 128, 'a') + "; " + n("besttext2", 128, 'b'));
        z("Z11 Gerät: FF in den Texten", 11, auf("\xFF" "a\xFF" "b", 128) + auf("\xFF" "c\x03", 128), "ab\x03" "c\x03\r\n", zwei("ab\x03", "c\x03"), beide + "besttext1=ab; besttext2=c");
        z("Z11 alle Bytewerte roh", 11, zwei(alle.left(127) + E, alle.mid(127) + E), alle.left(127) + E + alle.mid(127) + E + NL, nur);
        z("Z11 rohes CR", 11, {}, "a\rb\x03\rc\r\x03\r\n", zwei("a\rb\x03", "\rc\r\x03"), beide + "besttext1=a\rb; besttext2=\rc\r");
        z("Z11 kein ETX", 11, {}, "Tor\r\n", zwei(E, E));

        z("Z12 Liste, Bereich, Einheit", 12, seite11("0664111\r0664222\r\x03", kit::hex("000003E700C8FFFF") + "V  \x03"),
          "0664111;0664222;\x03;;3;231;;200;255;255;V  \x03" + akku, {}, "messbereich4=0; messbereich20=999; grenzwertmin=200; einheit=V  ");
        z("Z12 Einheit roh, Akkutext ohne ETX", 12, seite11(E, ff(8) + QByteArray("\x00;\x03\xFF", 4), QByteArray(56, 'B')),
          zahlen + QByteArray("\x00;\x03\x03;", 5) + QByteArray(56, 'B') + NL, nur);
        z("Z12 CR und LF", 12, seite11("1\n2\r\x03", ff(8) + "\r\nV\xFF", "Akku\r\n\x03"), "1 2;" + zahlen + "  V\x03;Akku  \x03\r\n", nur);
        z("Z12 über 999, 16 Bit, kein Byte", 12, {}, "\x03" "4;0;128;0;0;256;1;2;mA \x03" + akku, seite11(E, kit::hex("0400FFFFFFFF0102") + "mA \x03"),
          "messbereich4=1024; grenzwertmax=258; einheit=mA ",
          QStringList{"angepasst: Analogeingang Messwert 20 mA 128;0 → (leer)", "angepasst: Analogeingang unterer Grenzwert 0;256 → (leer)"});
        z("Z12 fehlende Felder", 12, {}, "\x03" "1;2;3;\r\n", seite11(E, kit::hex("0102FFFFFFFFFFFF") + ff(4)), "messbereich4=258");
        z("Z12 Einheit mit FF, Akkutext bleibt", 12, {}, zahlen + "\xFF" "A\xFF\x03;Akku\x03\r\n", seite11(E, ff(8) + "\xFF" "A\xFF\x03"), "einheit=A");
        z("Z12 Einheit kurz, Steuerbytes", 12, {}, E + ";;;;;;;;" + QByteArray("\x00;\r\n", 4), seite11(E, QByteArray(8, '\0') + QByteArray("\x00;\xFF\x03", 4)),
          QString::fromLatin1("messbereich4=0; messbereich20=0; grenzwertmin=0; grenzwertmax=0; einheit=\0;", 75));

        z("Z13 Maximum frei", 13, zwei("zu tief\x03", ""), "zu tief\x03\x03", zwei("zu tief\x03", E), "textMin=zu tief");
        z("Z13 Maximum leer", 13, zwei("zu tief\x03", E), "zu tief\x03\x03\r\n", {}, "textMin=zu tief");
        z("Z13 Minimum mit 127 Zeichen", 13, zwei(QByteArray(127, 'm') + E, "hoch\x03"), QByteArray(127, 'm') + "\x03hoch\x03\r\n", {}, n("textMin", 127, 'm') + "; textMax=hoch");
        z("Z13 Gerät: Maximum ohne ETX", 13, zwei("m\x03", x128), "m\x03" + x128 + E, {}, "textMin=m; " + n("textMax", 128, 'x'));
        z("Z13 CR und LF", 13, zwei("zu\r\ntief\x03", "\r\x03"), "zu  tief\x03 \x03\r\n", zwei("zu  tief\x03", " \x03"), "textMin=zu  tief; textMax= ");
        z("Z13 kein ETX", 13, {}, "tief", zwei(E, E));
    }
    void zeilen()
    {
        QFETCH(int, nr);
        QFETCH(QByteArray, seite);
        QFETCH(QByteArray, zeile);
        QFETCH(QByteArray, gelesen);
        if (!seite.isEmpty()) {
            Konfigspeicher k;
            Grundeinstellung(k);
            for (int o = 0; o < seite.size(); ++o)
                k.setze(nr - 1, o, std::uint8_t(seite[o]));
            QCOMPARE(cfgSchreiben(k), datei({{nr, zeile}}));
            QCOMPARE(cfgFormPruefen(datei({{nr, zeile}})).text(), QString());
        }
        if (gelesen == "-")
            return;
        const Dateiergebnis r = cfgLesen(datei({{1, kZeile1}, {2, kZeile2}, {nr, zeile}}));  // the row's line last: it replaces
        QVERIFY(r.vollstaendig);
        QCOMPARE(r.image.seite(nr - 1), gelesen.isEmpty() ? seite : gelesen);
        QTEST(geaendert(r.werte), "werte");
        QStringList angepasst;  // a long value by its first characters and its length
        const auto kurz = [](const QString& t) { return t.size() > 20 ? t.left(12) + QStringLiteral("…(%1)").arg(t.size()) : t; };
        for (Anpassung a : r.anpassungen)
            a.datei = kurz(a.datei), a.gespeichert = kurz(a.gespeichert), angepasst << a.text();
        QTEST(angepasst, "angepasst");
        // The opened image on a device: read, it shows the same (but a relay text of 128 cells without its end,
        // ticked in a file, not by the device read) and stores nothing; saved again, it opens as before.
        Konfigspeicher geraet = r.image;
        if (QByteArray(QTest::currentDataTag()) != "Z11 Gerät: beide voll ohne ETX")
            QCOMPARE(::dekodieren(geraet).value_or(Editorwerte()), r.werte);
        QCOMPARE(kit::unterschied(geraet, r.image), QString());
        QCOMPARE(cfgSchreiben(cfgLesen(cfgSchreiben(r.image)).image), cfgSchreiben(r.image));
    }

    // Whole files: the operator from line 2's first recipient, line ends, short files (the operator as before).
    void dateien_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<int>("bisher");          // the operator shown before
        QTest::addColumn<int>("zeilen");
        QTest::addColumn<QByteArray>("nummern");  // page 0 offsets 24..56
        QTest::addColumn<int>("seite");
        QTest::addColumn<QByteArray>("inhalt");   // that page; empty: not looked at
        QTest::addColumn<QString>("werte");
        const auto z = [](const char* name, const QByteArray& d, int bisher, int zeilen, const QByteArray& nummern, int seite, const QByteArray& inhalt,
                          const QString& werte) { QTest::newRow(name) << d << bisher << zeilen << nummern << seite << inhalt << ordnen(werte); };
        const QByteArray konto(";;;;255;10;0;1234;5678;3;;\r\n"), teil(";;;;7;10;0;1234;5678;3;Teil;\r\n"), voll = nr("1234") + nr("5678") + "\x03";
        const QByteArray geleert = "\x03" "234\x03" + ff(11) + "\x03" "678\x03" + ff(11) + '\0', leer = nr("") + nr("") + '\0';
        const QString kontoWerte("konto=ja; guthabenrufnummer=1234; nummerAufladung=5678; sliderGuthaben=3; guthaben=3; ");
        const QString teilWerte = kontoWerte + "kontrollruf=1; anlagenbezeichnung=Teil; ";
        z("A1, vorher Andere", datei({{1, konto}, {2, kZeile2}}), 2, 13, voll, 0, {}, kontoWerte);
        z("T Mobile", datei({{1, konto}, {2, "+43676123;\x03\r\n"}}), 0, 13, voll, 0, {}, kontoWerte + "netz=1");
        z("Andere", datei({{1, konto}, {2, "0699123;\x03\r\n"}}), 1, 13, geleert, 0, {}, "netz=2; kontoAktivierbar=nein");
        const QByteArray rohesCr = datei({{1, kZeile1}, {2, kZeile2}, {11, "a\rb\x03\rc\x03\r\n"}}), ohneCr = datei({{1, kZeile1}, {2, kZeile2}, {11, "ab\x03" "c\x03\r\n"}});
        const QString mitCr("relaisbest1=ja; relaisbest2=ja; besttext1=a\rb; besttext2=\rc"), schlicht("relaisbest1=ja; relaisbest2=ja; besttext1=ab; besttext2=c");
        z("CR LF, rohes CR", rohesCr, 2, 13, leer, 10, zwei("a\rb\x03", "\rc\x03"), mitCr);
        z("LF, rohes CR", QByteArray(rohesCr).replace("\r\n", "\n"), 2, 13, leer, 10, zwei("a\rb\x03", "\rc\x03"), mitCr);
        z("CR", QByteArray(ohneCr).replace("\r\n", "\r"), 2, 13, leer, 10, zwei("ab\x03", "c\x03"), schlicht);
        z("Zeilen hinter Zeile 13", ohneCr + "\r\nmehr\r\n\x03\r\n", 2, 13, leer, 10, zwei("ab\x03", "c\x03"), schlicht);
        z("leer: Startzustand", {}, 1, 0, "\x03" + ff(15) + "\x03" + ff(15) + '\0', 0, {}, "netz=1");
        z("eine Zeile", teil, 1, 1, voll, 10, ff(256), teilWerte + "netz=1");
        z("zwölf Zeilen", datei({{1, teil}, {2, kZeile2}}, 12), 2, 12, voll, 12, ff(256), teilWerte + "netz=2; kontoAktivierbar=nein");
        z("zwölf Zeilen und Zeilenende", datei({{1, teil}, {2, kZeile2}}, 12) + NL, 2, 13, voll, 12, zwei(E, E), teilWerte);
    }
    void dateien()
    {
        QFETCH(QByteArray, datei);
        QFETCH(int, bisher);
        QFETCH(int, zeilen);
        QFETCH(int, seite);
        QFETCH(QByteArray, inhalt);
        const Dateiergebnis r = cfgLesen(datei, Netzbetreiber(bisher));
        // Every page flagged, the lines read, complete or not.
        QCOMPARE(kit::geflaggt(r.flags) << r.zeilen << r.vollstaendig, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, zeilen, zeilen == 13}));
        QTEST(kit::zellen(r.image, 0, 24, 33), "nummern");
        if (!inhalt.isEmpty())
            QCOMPARE(r.image.seite(seite), inhalt);
        if (zeilen == 0)
            QCOMPARE(kit::unterschied(r.image, kit::startbild()), QString());
        QTEST(geaendert(r.werte), "werte");
    }

    // The form check: what the writer makes and earlier versions wrote passes;
    // anything else is refused with the first line that does not fit and why.
    void form_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<QString>("text");  // the check's text, from the line (0: the file fits) and the reason
        const auto z = [](const char* name, const QByteArray& d, int zeile = 0, const QString& grund = {}) {
            QTest::newRow(name) << d << (zeile ? QStringLiteral("Zeile %1 passt nicht zum Format einer Konfigurationsdatei (%2)").arg(zeile).arg(grund) : QString());
        };
        z("Grundinhalt", datei());
        z("Gerät ganz FF", datei({{1, "255;255;255;255;255;FF;FF;" + ff(16) + ";" + ff(16) + ";255;\x03;\r\n"}, {12, E + QByteArray("255;").repeated(8) + ff(3) + E + ";" + ff(56) + NL}}));
        z("Windows-1252, rohes CR", datei({{1, "12;63;255;15;2;10;30;0800;;5;Sch\xF6pfwerk S\xFC" "d;\r\n"}, {9, "0664123;\x03\xDC" "bertemperatur Motor \xE9\x96" "Stra\xDF" "e 3\r\n"},
                                           {11, "Pumpe\r1 ein\x03Hupe aus\x03\r\n"}}));
        z("alt: Liste bis 126", datei({{2, QByteArray("066412345678901;").repeated(7) + "06641234567890;\r\n"}}));
        z("alt: Liste 11 ohne ETX", datei({{12, QByteArray(128, 'A') + QByteArray("255;").repeated(8) + ff(3) + E + ";Akku\x03\r\n"}}));
        z("alt: Maximum bis 255", datei({{13, "tief\x03" + QByteArray(128, 'x')}}));
        z("Zeilenende hinter 13", datei() + NL);
        z("LOG.TXT", "31.12, 23:59:59, Stromausfall - geht : Fehler SMS senden\r\n02.03, 05:07:135, Fehler GSM Modul\r\n", 1, "Feld 1 ist keine Zahl");
        z("leer", {}, 1, "fehlt: die Datei ist leer");
        z("12 Zeilen", datei({}, 12), 13, "fehlt: die Datei hat nur 12 von 13 Zeilen");
        z("14 Zeilen", datei() + "\r\nx", 14, "eine Konfigurationsdatei endet mit Zeile 13");
        z("UTF-8, gelöschte Zellen", QString::fromLatin1(datei()).toUtf8(), 1, "UTF-8-Zeichen an Stelle 18; erwartet ist Windows-1252");
        z("UTF-8-BOM", "\xEF\xBB\xBF" + datei(), 1, "beginnt mit der UTF-8-Kennung (BOM); erwartet ist Windows-1252");
        z("Feld 10 über 255", datei({{1, ";;;;2;10;30;;;256;A;\r\n"}}), 1, "Feld 10 ist größer als 255");
        z("Feld 6 kleines hex", datei({{1, ";;;;2;a;30;;;;A;\r\n"}}), 1, "Feld 6 ist keine Hexadezimalzahl von 0 bis FF");
        z("Zeile 1 mit zehn Feldern", datei({{1, "1;2;3;4;5;6;7;8;9;10\r\n"}}), 1, "nach Feld 10 fehlt \";\"");
        z("zwei ETX in Zeile 3", datei({{3, "0664;\x03" "a\x03\r\n"}}), 3, "mehr als ein ETX");
        z("FF in Zeile 7", datei({{7, "\x03" "ab\xFF\r\n"}}), 7, "Byte FF an Stelle 4");
        z("Relaiszeile endet im Text", datei({{11, "Pumpe ein\x03Hupe\r\n"}}), 11, "endet nicht mit ETX oder Leerzeichen");
        z("Einheit ohne ETX", datei({{12, E + QByteArray("255;").repeated(8) + "bar;Akku\x03\r\n"}}), 12, "hinter der Einheit fehlen ETX und \";\"");
        z("Zeile 13 ohne ETX", datei({{13, "zu tief"}}), 13, "ETX fehlt");
    }
    void form()
    {
        QFETCH(QByteArray, datei);
        QTEST(cfgFormPruefen(datei).text(), "text");
        if (QByteArray(QTest::currentDataTag()) == "Gerät ganz FF")  // an image never given the default content
            QCOMPARE(cfgSchreiben(Konfigspeicher()), datei);
    }

    // The device read's decode: device bytes -> what every control shows, the
    // cells stored back ("page:offset new/old"), or the failing field.
    void dekodieren_data()
    {
        QTest::addColumn<Aenderungen>("zellen");
        QTest::addColumn<QString>("werte");
        QTest::addColumn<QString>("gespeichert");
        QTest::addColumn<bool>("gelingt");
        const auto z = [](const char* name, const Aenderungen& a, const QString& werte, const QString& gespeichert = {}, bool gelingt = true) {
            QTest::newRow(name) << a << ordnen(werte) << gespeichert << gelingt;
        };
        // A device never written: every cell FF, the values shown one a line in the file.
        const QByteArray leer = kit::lesen(QFINDTESTDATA("daten/unbeschrieben.txt")).replace('\n', "; ");
        z("unbeschriebenes Gerät", {{0, 0, ff(kGeraeteBytes)}}, QString::fromUtf8(leer), "0:24 03/FF 0:40 03/FF 0:56 00/FF");
        z("Öffner 0x85", {{0, 0, "\x85"}}, "oeffner0=ja; oeffner2=ja; oeffner7=ja");
        z("Quittierung 200", {{0, 3, "\xC8"}}, "quittierung=ja; sliderQuit=200; quit=200");
        z("Kontrollruf 0x07 täglich", {{0, 4, "\x07"}}, "kontrollruf=1");
        z("Kontrollruf 0x00 Montag", {{0, 4, QByteArray(1, '\0')}}, "kontrollruf=2; tag=0");
        z("Stunde 0x24, Minute 0x60", {{0, 5, "\x24\x60"}}, "txtStunde=24; txtMinute=60");
        z("Nummern bis FF und ETX", {{0, 24, "*101#\xFF" "9" + ff(9) + "0664\x03" "99" + ff(9) + "\x05"}},
          "konto=ja; guthabenrufnummer=*101#; nummerAufladung=0664; sliderGuthaben=5; guthaben=5");
        z("Guthaben 0 leert die Nummern", {{0, 24, "123\x03"}, {0, 40, "456\x03"}}, "", "0:24 03/31 0:40 03/34");
        z("Guthaben 12 begrenzt", {{0, 56, "\x0C"}}, "konto=ja; sliderGuthaben=9; guthaben=9", "0:56 09/0C");
        z("T Mobile, Guthaben 0xFF", {{1, 0, "+43676\r\x03"}, {0, 56, "\xFF"}}, "netz=1; konto=ja; sliderGuthaben=9; guthaben=9", "0:56 09/FF");
        z("Andere, Guthaben 5", {{1, 0, "0699123\r\x03"}, {0, 24, "123\x03"}, {0, 40, "456\x03"}, {0, 56, "\x05"}}, "netz=2; kontoAktivierbar=nein", "0:24 03/31 0:40 03/34 0:56 00/05");
        z("leere Empfängerliste", {{1, 0, E + ff(5)}}, "netz=2; kontoAktivierbar=nein");
        z("Name mit FF", {{0, 128, "a\xFF" "b\x03"}}, QString::fromLatin1("anlagenbezeichnung=a\xFF" "b"));
        z("Relais 1 mit ETX vorn, Relais 2 ohne ETX", {{10, 0, "\x03" "alt\x03"}, {10, 128, "\xFF"}}, n("besttext2", 128, '\xFF'));
        z("Relais 1 und 2", {{10, 0, "Tor\x03" + ff(124) + "Licht\x03"}}, "relaisbest1=ja; besttext1=Tor; relaisbest2=ja; besttext2=Licht");
        z("Bereiche", {{11, 128, kit::hex("03E77FFF0100FF00")}}, "messbereich4=999; messbereich20=32767; grenzwertmin=256");
        z("Einheit mit FF", {{11, 136, "\xFF" "A\xFF"}}, "einheit=A");
        // A first byte 0x80..0xFE overflows the device's signed 16-bit computation: the read fails, the rest
        // is shown, the number is held as an empty field, the operator is not derived (page 1 says "Andere").
        const Zellen andere{1, 0, "0699\r\x03"};
        z("4 mA 0x80", {andere, {11, 128, kit::hex("8001000200030004")}, {0, 128, "Name\x03"}},
          "messbereich20=2; grenzwertmin=3; grenzwertmax=4; anlagenbezeichnung=Name", "11:128 FF/80 11:129 FF/01", false);
        z("20 mA 0xFE", {andere, {11, 128, kit::hex("0001FE0200030004")}}, "messbereich4=1; grenzwertmin=3; grenzwertmax=4", "11:130 FF/FE 11:131 FF/02", false);

    }
    void dekodieren()
    {
        QFETCH(Aenderungen, zellen);
        QFETCH(bool, gelingt);
        Konfigspeicher k = geraet(zellen);
        const Konfigspeicher vorher = k;
        Editorwerte w;
        QCOMPARE(::dekodieren(k, &w).has_value(), gelingt);
        QTEST(geaendert(w), "werte");
        QTEST(kit::unterschied(k, vorher), "gespeichert");
        QVERIFY(gelingt || ::dekodieren(k));  // held as empty, the field no longer fails
    }

    // Editor sessions saved and opened again: the same values, the same cells
    // (apart from what zurueck() lists); the file passes the form check; a
    // device holding the opened image shows the same after a read; saving the
    // opened configuration again changes nothing.
    void sitzungen()
    {
        Sitzung sitzung{QRandomGenerator(20240611)};
        Editormodell vorige;
        cfgLaden(vorige, datei());
        for (int i = 0; i < 2000; ++i) {
            const Editormodell m = sitzung.naechste();
            const QByteArray d = cfgSchreiben(m.speicher());
            vorlage(d, vorige);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(cfgFormPruefen(d).passt(), qPrintable(QString::number(i) + ": " + cfgFormPruefen(d).text()));
            const Dateiergebnis r = cfgLesen(d);
            QCOMPARE(r.werte, gespeichert(m));
            QCOMPARE(kit::unterschied(r.image, zurueck(m.speicher())), QString());
            Konfigspeicher geraet = r.image;
            QCOMPARE(::dekodieren(geraet).value_or(Editorwerte()), r.werte);
            QCOMPARE(kit::unterschied(geraet, r.image), QString());
            QCOMPARE(cfgSchreiben(cfgLesen(cfgSchreiben(r.image)).image), cfgSchreiben(r.image));
        }
    }

    // The settings of a file as `gsmbv show --json` gives them, set back onto the opened file: not a byte
    // changes; set onto the file opened before (`vorige`, which becomes this one): it opens with the same settings.
    static void vorlage(const QByteArray& d, Editormodell& vorige)
    {
        Editormodell m;
        cfgLaden(m, d);
        // An empty unit is stored as three blanks (its cells are never free again).
        const auto zeilen = [](const Konfigspeicher& k, const Editorwerte& w) {
            return blatt::zeilen(blatt::einstellungen(k, w)).replaceInStrings(QRegularExpression("^(Analogeingang Messwert Einheit: ) +$"), "\\1");
        };
        const Jsonvorgaben j = vorgabenAusJson(blatt::json(blatt::einstellungen(m.speicher(), m.werte())));
        QCOMPARE(j.fehler, QList<Ablehnung>());
        Editormodell selbst = m;
        QCOMPARE(vorgabenAnwenden(selbst, j.werte), QList<Ablehnung>());
        QCOMPARE(cfgSchreiben(selbst.speicher()), cfgSchreiben(m.speicher()));
        // Refused only where a list stored for another operator does not fit with this one's prefixes: then not at all.
        const QByteArray bisher = cfgSchreiben(vorige.speicher());
        const QList<Ablehnung> a = vorgabenAnwenden(vorige, j.werte);
        for (const Ablehnung& x : a)
            QVERIFY2(x.schluessel.endsWith("recipients") && x.grund.startsWith("Die Nummern passen nicht"), qPrintable(x.text()));
        const Dateiergebnis neu = cfgLesen(cfgSchreiben(vorige.speicher()));
        if (a.isEmpty())
            QCOMPARE(zeilen(neu.image, neu.werte), zeilen(m.speicher(), m.werte()));
        else
            QCOMPARE(cfgSchreiben(neu.image), bisher);
        vorige = m;
    }

    // The one reader of a file on disk: at most 1 MiB, nothing that is no plain file (a FIFO would hang it).
    void dateiVonPlatte_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("ergebnis");  // the error|the bytes read|their first 12 as Latin-1
        QTest::newRow("genau 1 MiB") << "grenze" << "|1048576|Kl\u00e4ranlage;";
        QTest::newRow("1 MiB + 1") << "grenze+1" << "zu groß für eine Konfigurationsdatei|0|";
        QTest::newRow("Pipe") << "pipe" << "keine gewöhnliche Datei|0|";
    }
    void dateiVonPlatte()
    {
        QFETCH(QString, fall);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        const QByteArray anfang("Kl\xE4ranlage;");
        QVERIFY(!fall.startsWith(QLatin1String("grenze")) || (kit::schreiben(pfad, anfang) && QFile::resize(pfad, (1 << 20) + (fall == "grenze+1" ? 1 : 0))));
        QVERIFY(fall != QLatin1String("pipe") || ::mkfifo(QFile::encodeName(pfad).constData(), 0600) == 0);
        const Dateiinhalt d = dateiLesen(pfad);
        QTEST(d.fehler + '|' + QString::number(d.bytes.size()) + '|' + QString::fromLatin1(d.bytes.left(anfang.size())), "ergebnis");
    }
};

QTEST_GUILESS_MAIN(TestCfgDatei)
#include "test_cfgdatei.moc"
