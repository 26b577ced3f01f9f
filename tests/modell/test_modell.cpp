// The editor's rules without a window: what each handler and each field's check does to the image
// (compared with the one after start-up), the marker and page, the reasons, what the controls show.
#include "aenderung.h"
#include "kit.h"
#include "modell/editormodell.h"
#include "modell/empfaengerliste.h"
#include "modell/vorgaben.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <functional>
#include <tuple>

namespace {
using Ablauf = std::function<Folge(Editormodell&)>;

// The shown values that differ from an empty editor's, but for the texts the rows hand in.
QStringList gezeigt(const Editorwerte& w)
{
    static const QRegularExpression text(QStringLiteral("^(anlagen|sms|bes|mess|grenz|einheit|text)"));
    QStringList out;
    const QStringList leer = kit::felder(Editorwerte{});
    for (const QString& z : kit::felder(w))
        if (!leer.contains(z) && !text.match(z).hasMatch())
            out << z;
    return out;
}
// Typing `text` into field `f` and leaving it.
Ablauf eingabe(Feld f, const char* text, bool getippt = true)
{
    return [=](Editormodell& m) { return m.Validate(f, QString::fromUtf8(text), getippt); };
}
// The analog values as they stand, then field `f` left.
Ablauf analog(const char* m4, const char* m20, const char* gmin, const char* gmax, Feld f, bool getippt = true)
{
    return [=](Editormodell& m) {
        Editorwerte& w = m.werte();
        std::tie(w.messbereich4, w.messbereich20, w.grenzwertmin, w.grenzwertmax) = std::tuple(QString(m4), QString(m20), QString(gmin), QString(gmax));
        return m.Validate(f, Editormodell::text(w, f), getippt);
    };
}
// Settings by key, "key=value" one after the other: taken as the last one, the last marker recorded, every reason.
Ablauf setzen(const QStringList& schritte)
{
    return [=](Editormodell& m) {
        Folge f;
        for (const QString& s : schritte) {
            const Folge g = m.setzen(s.section(QLatin1Char('='), 0, 0), s.section(QLatin1Char('='), 1));
            f.angenommen = g.angenommen;
            f.einwaende += g.einwaende;
            if (g.marker >= 0)
                std::tie(f.marker, f.seite) = std::tie(g.marker, g.seite);
        }
        return f;
    };
}
} // namespace

Q_DECLARE_METATYPE(Ablauf)

class TestModell : public QObject {
    Q_OBJECT
private slots:
    void bedienung_data()
    {
        QTest::addColumn<Ablauf>("ablauf");
        QTest::addColumn<bool>("fuellen");
        QTest::addColumn<QString>("bild");
        QTest::addColumn<QList<int>>("folge");  // taken, marker, page of the last step
        QTest::addColumn<QStringList>("gezeigt");  // the reasons ("!...") and what the controls show besides the texts left
        const auto z = [](const char* name, const Ablauf& a, const char* bild, const QList<int>& folge, const QStringList& gezeigt = {}, bool fuellen = false) {
            QTest::newRow(name) << a << fuellen << QString::fromUtf8(bild) << folge << gezeigt;
        };
        auto A = [](auto f) { return Ablauf(f); };
        using M = Editormodell;
        const QList<int> nichts{1, -1, -1}, allgemein{1, 22, 0}, analogwert{1, 20, 11}, abgelehnt{0, -1, -1}, linien{1, 21, 0};

        z("Öffner", A([](M& m) { m.Chk_Oeffner_Click(0, true); m.Chk_Oeffner_Click(2, true); return m.Chk_Oeffner_Click(0, false); }), "0:0 04", linien, {"oeffner2=ja"});
        z("Stromausfall aus", A([](M& m) { m.Chk_Gutmeldung_Click(8, true); return m.Chk_Gutmeldung_Click(8, false); }), "", linien);
        z("keine solche Box", A([](M& m) { m.Chk_Oeffner_Click(8, true); m.Chk_Gutmeldung_Click(-1, true); return m.Chk_Relaisbest_Click(3, true); }), "", nichts);

        // Ticking while filling takes over no default (ticked by key below: 15 minutes, A1's numbers).
        z("Quittierung, füllen", A([](M& m) { return m.Chk_Quittierung_Click(true); }), "", nichts, {"quittierung=ja"}, true);
        z("Quittierung 200", A([](M& m) { m.Chk_Quittierung_Click(true); return m.Slider_Quit_Change(200); }), "0:3 C8", allgemein, {"quittierung=ja", "sliderQuit=200", "quit=200"});
        z("Konto, füllen", A([](M& m) { return m.Chk_Konto_Click(true); }), "", nichts, {"konto=ja"}, true);
        z("Netzbetreiber erkannt", A([](M& m) { m.speicher().setze(1, 1, '6'); m.speicher().setze(1, 2, '7'); m.speicher().setze(1, 3, '6'); return m.netzbetreiberErkennen(); }),
          "1:1 \"676\"", allgemein, {"netz=1"});

        // The check call: daily at 10:00 when switched on, the day list's
        // changes stored, the spinners' time in packed BCD.
        const auto woche = [](bool wieder) {
            return Ablauf([=](M& m) { m.CHK_Kontrollruf_Click(true); m.OPT_Woche_Click(); m.UD_Stunde_Change(7); m.UD_Minute_Change(30); return m.CHK_Kontrollruf_Click(wieder); });
        };
        z("Kontrollruf wieder an", woche(true), "0:4 07", allgemein, {"kontrollruf=1"});
        z("Kontrollruf aus", woche(false), "", allgemein);
        // Switched on over a minute cell the decode did not show (off: 10:00): the time shown is stored.
        z("Kontrollruf an über :45, wöchentlich", A([](M& m) { m.speicher().setze(0, 6, 0x45); m.CHK_Kontrollruf_Click(true); return m.OPT_Woche_Click(); }), "0:4 00", allgemein, {"kontrollruf=2", "tag=0"});
        z("kein Wochentag", A([](M& m) { return m.Combo_Tag_Change(9); }), "", allgemein);
        // Filling: the box and the day are shown, the day is not stored.
        z("Kontrollruf Donnerstag, füllen", A([](M& m) { m.CHK_Kontrollruf_Click(true); m.OPT_Woche_Click(); return m.Combo_Tag_Change(3); }), "", nichts, {"kontrollruf=2", "tag=3"}, true);
        z("Kontrollruf täglich, füllen", A([](M& m) { m.CHK_Kontrollruf_Click(true); return m.OPT_Tag_Click(); }), "0:4 07", nichts, {"kontrollruf=1"}, true);

        // Unticking a relay empties its text in the image as well.
        z("Relais 2 aus", A([](M& m) { m.Validate(Feld::Besttext2, "Hallo", true); return m.Chk_Relaisbest_Click(2, false); }), "10:128 03 \"allo\" 03", {1, 19, 10});
        z("Relais 1, füllen", A([](M& m) { return m.Chk_Relaisbest_Click(1, true); }), "", nichts, {"relaisbest1=ja"}, true);

        // The text fields: stored whether typed in or not, recorded when typed in.
        z("SMSText 8, nicht getippt", eingabe(SMSText(8), "Netz", false), "9:128 \"Netz\" 03", nichts);
        z("Besttext1", eingabe(Feld::Besttext1, ""), "10:0 03", {1, 18, 10});
        z("Text_Max, Umlaut", eingabe(Feld::TextMax, "Maß"), "12:128 \"Ma\" DF 03", {1, 20, 12});
        // An empty unit is stored as three blanks and counts as changed whenever it is left.
        z("Einheit leer", eingabe(Feld::Einheit, "", false), "11:136 \"   \" 03", analogwert);
        z("Einheit, nicht getippt", eingabe(Feld::Einheit, "bar", false), "11:136 \"bar\" 03", nichts);
        z("Einheit zu lang", eingabe(Feld::Einheit, "mbar"), "", {0, 20, 11}, {"!Höchstens 3 Zeichen"});

        // The range: plain numbers 0..999, 4 mA below 20 mA; a new range checks
        // both thresholds again.
        const QString w4 = QStringLiteral("!Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)");
        z("4 mA 050", analog("050", "", "", "", Feld::Messbereich4), "", abgelehnt, {w4});
        z("4 mA nicht getippt", analog("7", "", "", "", Feld::Messbereich4, false), "11:128 00 07", nichts);
        z("4 mA leer", analog("", "100", "", "", Feld::Messbereich4, false), "", analogwert);
        z("4 mA gleich 20 mA", analog("100", "100", "", "", Feld::Messbereich4), "", abgelehnt, {"!Wert bei 4 mA muss kleiner sein als der Wert bei 20 mA"});
        z("4 mA 99: leere Grenzwerte passen nicht", analog("99", "100", "", "", Feld::Messbereich4), "11:128 00 63", analogwert,
          {"!Oberer Grenzwert muss zwischen 99 und 100 liegen", "!Unterer Grenzwert muss zwischen 99 und 100 liegen"});
        z("20 mA 0, 4 mA leer", analog("", "0", "", "", Feld::Messbereich20), "11:130 00 00", analogwert);
        z("20 mA 05", analog("5", "05", "", "", Feld::Messbereich20), "", abgelehnt, {"!Wert bei 20 mA: 0 bis 999 (ohne führende Nullen)"});
        z("20 mA unter 4 mA", analog("100", "99", "", "", Feld::Messbereich20), "", abgelehnt, {"!Wert bei 20 mA muss größer sein als der Wert bei 4 mA"});
        // Narrower: the maximum no longer fits and keeps its bytes, the minimum is stored again.
        z("Bereich verengt", analog("0", "50", "20", "71", Feld::Messbereich20), "11:130 00 32 00 14", analogwert, {"!Oberer Grenzwert muss zwischen 0 und 50 liegen"});

        // The thresholds: inside the range, more than 50 apart.
        z("Maximum 50 über Minimum", analog("0", "100", "20", "70", Feld::Grenzwertmax), "", abgelehnt, {"!Oberer Grenzwert muss mindestens 51 über dem unteren liegen"});
        z("Maximum 51 über Minimum", analog("0", "100", "20", "71", Feld::Grenzwertmax), "11:134 00 47", analogwert);
        z("Maximum am Bereichsende", analog("10", "500", "", "500", Feld::Grenzwertmax), "11:134 01 F4", analogwert);
        z("Minimum: Blank, Tab, 050, Rest", analog("0", "500", " \t050a", "", Feld::Grenzwertmin), "11:132 00 32", analogwert);
        z("ohne Bereich: leer", analog("0", "", "", "700", Feld::Grenzwertmax), "", nichts);
        z("Maximum leer, 4 mA bei 4", analog("4", "500", "", "", Feld::Grenzwertmax, false), "", abgelehnt, {"!Oberer Grenzwert muss zwischen 4 und 500 liegen"});
        z("Maximum leer, 4 mA bei 0", analog("0", "500", "", "", Feld::Grenzwertmax, false), "", analogwert);
        z("Maximum nicht getippt", analog("0", "500", "", "300", Feld::Grenzwertmax, false), "11:134 01 2C", nichts);

        // The recipients editor's store: nothing recorded while filling, refused whole when too long.
        const QList<empfaenger::Eintrag> fax{{empfaenger::Art::Fax, "0316"}}, lang(8, {empfaenger::Art::GSM, QString(15, '9')});
        z("Nummern, füllen", A([=](M& m) { return m.Nummern_Speichern(4, fax); }), "4:0 \"066468020316\" 0D 03", nichts, {}, true);
        z("Nummern zu lang", A([=](M& m) { return m.Nummern_Speichern(9, lang); }), "", abgelehnt, {"!Die Nummern passen nicht in den Speicher (129 von 128 Zeichen)"});

        // Settings by key: what the window's controls take, through their handlers; refused with the window's reason.
        // One row per kind of cells (text, number, bit, byte, day plan and time, relay, unit, list) and the refusals;
        // every setting of the table round-trips through show and set by key in the file test's editing sessions.
        const QList<int> danachAbgelehnt{0, 22, 0};
        const char* kontoBild = "0:24 \"08006642903\" 03; 0:40 \"08006642902\" 03; 0:56 05";
        const QStringList konto{"konto=ja", "guthabenrufnummer=08006642903", "nummerAufladung=08006642902", "sliderGuthaben=5", "guthaben=5"};
        z("Name", setzen({"general.installation_name=Halle 3"}), "0:128 \"Halle 3\" 03", allgemein);
        z("Name mit Umlaut", setzen({"general.installation_name=Süd"}), "", abgelehnt, {"!Zeichen nicht zulässig"});
        z("Name zu lang", setzen({"general.installation_name=" + QString(71, 'a')}), "", abgelehnt, {"!Höchstens 70 Zeichen"});
        z("Nummer ohne Kontoüberwachung", setzen({"general.balance.query_number=1"}), "", abgelehnt, {"!Nur bei aktiver Kontostandsüberwachung"});
        z("Nummer mit Buchstabe", setzen({"general.balance.active=true", "general.balance.query_number=12a"}), kontoBild, danachAbgelehnt, QStringList{"!Nur Ziffern, +, * und #"} + konto);
        z("Minuten ohne Quittierung", setzen({"general.acknowledgement.minutes=30"}), "", abgelehnt, {"!Nur bei aktiver Quittierung"});
        z("Minuten 0", setzen({"general.acknowledgement.active=aktiv", "general.acknowledgement.minutes=0"}), "0:3 0F", danachAbgelehnt,
          {"!Erlaubt: 1 bis 255", "quittierung=ja", "sliderQuit=15", "quit=15"});
        z("Guthaben 10", setzen({"general.balance.active=aktiv", "general.balance.minimum_euro=10"}), kontoBild, danachAbgelehnt, QStringList{"!Erlaubt: 1 bis 9"} + konto);
        z("Andere, Konto", setzen({"general.operator_code=other", "general.balance.active=aktiv"}), "", danachAbgelehnt,
          {"!Nur mit Netzbetreiber A1 oder T Mobile", "netz=2", "kontoAktivierbar=nein"});
        z("Netzbetreiber unbekannt", setzen({"general.operator=Vodafone"}), "", abgelehnt, {"!Erlaubt: A1, T Mobile, Andere"});
        z("Kontrollruf wöchentlich, Sonntag 07:05", setzen({"general.check_call.mode_code=weekly", "general.check_call.day=sunday", "general.check_call.time=7:05"}),
          "0:4 06 07 05", allgemein, {"kontrollruf=2", "tag=6", "udStunde=7", "udMinute=5", "txtStunde=07", "txtMinute=05"});
        z("Tag bei täglich", setzen({"general.check_call.mode=daily", "general.check_call.day=Montag"}), "0:4 07", danachAbgelehnt, {"!Nur bei wöchentlichem Kontrollruf", "kontrollruf=1"});
        z("Zeit ohne Kontrollruf", setzen({"general.check_call.time=10:00"}), "", abgelehnt, {"!Nur bei aktivem Kontrollruf"});
        z("Zeit 24:00", setzen({"general.check_call.mode=daily", "general.check_call.time=24:00"}), "0:4 07", danachAbgelehnt, {"!Uhrzeit als hh:mm, 00:00 bis 23:59", "kontrollruf=1"});
        z("Öffner Linie 8", setzen({"lines[7].normally_closed=ja"}), "0:0 80", linien, {"oeffner7=ja"});
        z("Öffner: aktiv", setzen({"lines[0].normally_closed=aktiv"}), "", abgelehnt, {"!Erlaubt: ja, nein"});
        z("Relaistext ohne Bestätigung", setzen({"relays[1].text=Tor"}), "", abgelehnt, {"!Nur bei aktiver Bestätigungsmeldung"});
        z("Relais 2 mit Text", setzen({"relays[1].confirmation=aktiv", "relays[1].text=Tor"}), "10:128 \"Tor\" 03", {1, 19, 10}, {"relaisbest2=ja"});
        z("4 mA 1000", setzen({"analog.value_4ma=1000"}), "", abgelehnt, {"!Höchstens 3 Ziffern"});
        z("Grenzwerte 50 auseinander", setzen({"analog.value_4ma=0", "analog.value_20ma=100", "analog.upper_threshold=71", "analog.lower_threshold=21"}),
          "11:128 00 00 00 64; 11:134 00 47", {0, 20, 11}, {"!Unterer Grenzwert muss mindestens 51 unter dem oberen liegen"});
        z("Einheit", setzen({"analog.unit=V"}), "11:136 \"V  \" 03", analogwert);
        z("unbekannter Schlüssel", setzen({"general.name=x"}), "", abgelehnt, {"!Keine solche Einstellung"});
        z("Liste A1", setzen({"lines[1].recipients=GSM +43664; Fax 0316;email a@b.at"}),
          "2:0 \"+43664\" 0D \"066468020316\" 0D \"0664680502&a*b.at (Boravilon)\" 0D 03", {1, 10, 2});
        z("Liste: Buchstabe", setzen({"lines[0].recipients=gsm 0664a"}), "", abgelehnt, {"!Nur Ziffern und +"});
        z("Liste: Art", setzen({"analog.recipients=SMS 0664"}), "", abgelehnt, {"!Erlaubt: GSM, Fax, email"});
        z("Liste: neun", setzen({"analog.recipients=GSM 1;GSM 2;GSM 3;GSM 4;GSM 5;GSM 6;GSM 7;GSM 8;GSM 9"}), "", abgelehnt, {"!Höchstens 8 Empfänger"});
    }
    void bedienung()
    {
        QFETCH(Ablauf, ablauf);
        QFETCH(bool, fuellen);
        QFETCH(QList<int>, folge);
        Editormodell m;
        m.starten();
        m.setFuellen(fuellen);
        const Folge f = ablauf(m);
        QTEST(aenderung(m.speicher(), kit::startbild()), "bild");
        QCOMPARE((QList<int>{f.angenommen, f.marker, f.seite}), folge);

        QCOMPARE(m.marker(folge[1]), folge[1] >= 0);
        QCOMPARE(kit::geflaggt(m.seiten()), folge[2] >= 0 ? QList<int>{folge[2]} : QList<int>{});
        QStringList ist;
        for (const Einwand& e : f.einwaende)
            ist << QLatin1Char('!') + e.grund.text();
        QTEST(ist + gezeigt(m.werte()), "gezeigt");
    }

    // Many values at once, in the window's order whatever order they come in, all or none. Each step: a JSON
    // document, or "key=value" lines; "--" starts the next call; "@4=" and "@20=" put a range end into its
    // field as a device read may leave it (the image compared with the one after start-up).
    void vorgaben_data()
    {
        QTest::addColumn<QStringList>("schritte");
        QTest::addColumn<QString>("bild");
        QTest::addColumn<QStringList>("abgelehnt");  // of the last call
        const auto z = [](const char* name, const QStringList& s, const char* bild, const QStringList& ab = {}) {
            QTest::newRow(name) << s << QString::fromUtf8(bild) << ab;
        };
        z("Schalter nach seinem Wert", {"general.acknowledgement.minutes=30", "general.acknowledgement.active=aktiv"}, "0:3 1E");
        z("Konto: Minimum, Nummer, Schalter", {"general.balance.minimum_euro=7", "general.balance.query_number=*100#", "general.balance.active=true"},
          "0:24 \"*100#\" 03; 0:40 \"08006642902\" 03; 0:56 07");
        z("Kontrollruf: Zeit, Tag, Art", {"general.check_call.time=07:30", "general.check_call.day_code=friday", "general.check_call.mode=wöchentlich"}, "0:4 04 07 30");
        z("Relais: Text, Schalter", {"relays[0].text=Tor auf", "relays[0].confirmation=true"}, "10:0 \"Tor auf\" 03");
        z("Liste vor Netzbetreiber", {"lines[0].recipients=Fax 0316", "general.operator=t_mobile"}, "1:0 \"67620316\" 0D 03");
        z("der letzte Wert gilt", {"general.installation_name=A", "general.installation_name=Halle"}, "0:128 \"Halle\" 03");
        z("Analog: Grenzwerte vor dem Bereich", {"analog.upper_threshold=900", "analog.value_20ma=999", "analog.lower_threshold=700", "analog.value_4ma=600"},
          "11:128 02 58 03 E7 02 BC 03 84");
        // The range moved past its old place: emptied first, so neither end is refused by the other.
        const QStringList bereich{"analog.value_4ma=0", "analog.value_20ma=100", "analog.lower_threshold=20", "analog.upper_threshold=80", "--"};
        z("Analog: Bereich verschoben", bereich + QStringList{"analog.value_4ma=500", "analog.value_20ma=999", "analog.lower_threshold=600", "analog.upper_threshold=900"},
          "11:128 01 F4 03 E7 02 58 03 84");
        z("Analog: Grenzwerte getauscht", bereich + QStringList{"analog.lower_threshold=10", "analog.upper_threshold=15"},
          "11:128 00 00 00 64 00 14 00 50", {"analog.upper_threshold: Oberer Grenzwert muss mindestens 51 über dem unteren liegen",
                                             "analog.lower_threshold: Unterer Grenzwert muss mindestens 51 unter dem oberen liegen"});
        // A device's range that the window would not take again (1500): never re-entered, so the thresholds
        // go in the order in which they fit - the upper one first where the lower would pass the old upper.
        z("Analog: Grenzwerte nur umgekehrt", {"@4=20", "@20=1500", "analog.lower_threshold=100", "analog.upper_threshold=200", "--",
                                               "analog.lower_threshold=300", "analog.upper_threshold=900"}, "11:132 01 2C 03 84");
        z("Analog: Grenzwerte zu eng im Bereich eines Geräts", {"@4=20", "@20=1500", "analog.lower_threshold=100", "analog.upper_threshold=120"},
          "", {"analog.upper_threshold: Oberer Grenzwert muss mindestens 51 über dem unteren liegen"});
        z("Analog: Bereich verengt", bereich + QStringList{"analog.value_20ma=50"}, "11:128 00 00 00 64 00 14 00 50",
          {"analog.upper_threshold: Oberer Grenzwert muss zwischen 0 und 50 liegen"});
        z("alles oder nichts", {"general.installation_name=Halle 3", "general.balance.minimum_euro=5", "x=1"}, "",
          {"x: Keine solche Einstellung", "general.balance.minimum_euro: Nur bei aktiver Kontostandsüberwachung"});
        z("JSON", {R"({"general": {"operator_code": "other", "balance": {"active": false}, "check_call": {"time": null}},
                       "lines": [{"text": "Einbruch", "recipients": [{"type_code": "fax", "number": "0316"}, "gsm 0664"]}, {}],
                       "analog.value_20ma": 50, "mains_failure": {"all_clear": true}})"},
          "0:2 FF; 1:0 \"67620316\" 0D \"0664\" 0D 03; 1:128 \"Einbruch\" 03; 11:130 00 32");
        z("JSON abgelehnt", {R"({"general": {"operator": "A1", "operator_code": "other"}, "x": {"y": 1}, "relays": [{"text": []}],
                                "lines": [{"recipients": [{"type": "SMS", "number": "1"}, {"type": "GSM", "type_code": "fax", "number": "1"}, 5]}]})"},
          "", {"lines[0].recipients[0]: Erlaubt: GSM, Fax, email", "lines[0].recipients[1]: Erlaubt: GSM, Fax, email",
               R"(lines[0].recipients[2]: erwartet: {"type": "GSM", "number": "..."})", "relays[0].text: erwartet: Text, Zahl, true/false oder null",
               "x.y: Keine solche Einstellung", "general.operator_code: widerspricht general.operator (\"A1\")"});
        z("kein JSON", {"{\n\"a\": }"}, "", {": kein gültiges JSON (Zeile 2)"});
    }
    void vorgaben()
    {
        QFETCH(QStringList, schritte);
        Editormodell m;
        m.starten();
        QList<Vorgabe> werte;
        QList<Ablehnung> abgelehnt;
        const auto anwenden = [&] {
            if (!werte.isEmpty())
                abgelehnt = vorgabenAnwenden(m, werte);
            werte.clear();
        };
        for (const QString& s : schritte) {
            if (s == "--") {
                anwenden();
            } else if (s.startsWith('@')) {
                (s.startsWith("@4=") ? m.werte().messbereich4 : m.werte().messbereich20) = s.section('=', 1);
            } else if (s.startsWith('{')) {
                const Jsonvorgaben j = vorgabenAusJson(s.toUtf8());
                abgelehnt = j.fehler;
                if (j.fehler.isEmpty())
                    werte = j.werte, anwenden();
            } else {
                werte.append({s.section('=', 0, 0), s.section('=', 1), {}});
            }
        }
        anwenden();
        QTEST(aenderung(m.speicher(), kit::startbild()), "bild");
        QStringList ist;
        for (const Ablehnung& a : abgelehnt)
            ist << a.text();
        QTEST(ist, "abgelehnt");
    }

    // A recipient list from a CSV file (taken as "G:..|F:..|E:..", or the rows refused) for the operator A1.
    void csv_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<QString>("ergebnis");
        QTest::newRow("Komma, BOM, CR LF, leere Zeilen") << QByteArray("\xEF\xBB\xBFtype,number\r\n\r\nFAX, 0316 ,\r\n  \nemail,\"j\xC3\xB6rg@x.at\"\r\n")
                                                          << "F:0316|E:jörg@x.at";
        QTest::newRow("Windows-1252, Tab") << QByteArray("GSM\t+43664\nemail\tj\xF6rg@x.at\n") << "G:+43664|E:jörg@x.at";
        QTest::newRow("jede Zeile abgewiesen") << QByteArray("Art;Nummer\nGSM;0664 1\nSMS;1\nFax;\nemail;a b\nGSM;1;x\nGSM\nGSM;\"1\n")
            << "Zeile 2: Nur Ziffern und +|Zeile 3: Erlaubt: GSM, Fax, email|Zeile 4: Nummer fehlt|Zeile 5: Zeichen nicht zulässig|"
               "Zeile 6: mehr als zwei Spalten (Art und Nummer)|Zeile 7: Art und Nummer erwartet|Zeile 8: Anführungszeichen nicht geschlossen";
        QTest::newRow("zu lang für A1") << QByteArray("email;123456789012345678901234567890\n").repeated(4)
                                        << "Zeile 3: Die Nummern passen nicht in den Speicher (217 von 128 Zeichen)";
    }
    void csv()
    {
        QFETCH(QByteArray, datei);
        const empfaengerliste::Gelesen g = empfaengerliste::ausCsv(datei, true);
        QStringList ist;
        for (const empfaenger::Eintrag& e : g.liste)
            ist << QStringLiteral("GFE")[int(e.art)] + QStringLiteral(":") + e.text;
        for (const empfaengerliste::Zeilenfehler& f : g.fehler)
            ist << f.text();
        QTEST((g.fehler.isEmpty() ? ist : ist.mid(g.liste.size())).join('|'), "ergebnis");
    }

    // A long session of committed changes of every kind, undone to the start
    // and done again to the end, state by state; a change while filling, a
    // refused one and one equal to the state are no step; a new step ends
    // the redo.
    void verlauf()
    {
        Editormodell m;
        m.starten();
        m.verlaufBeginnen();
        QVERIFY(!m.rueckgaengig() && !m.wiederholen());
        QRandomGenerator z(25);
        const auto r = [&z](int n) { return int(z.bounded(n)); };
        const QStringList texte{"", "Tor", "0664123", "12", "100", "bar", "050", "Süd"};
        const QList<int> listen{1, 2, 3, 4, 5, 6, 7, 8, 9, 11};
        const QList<std::function<void()>> aenderungen{
            [&] { m.Chk_Oeffner_Click(r(8), r(2)); }, [&] { m.Chk_Gutmeldung_Click(r(9), r(2)); }, [&] { m.Chk_Relaisbest_Click(1 + r(2), r(2)); },
            [&] { m.Chk_Quittierung_Click(r(2)); }, [&] { m.Slider_Quit_Change(1 + r(255)); },
            [&] { m.Chk_Konto_Click(r(2)); }, [&] { m.Slider_Guthaben_Change(1 + r(9)); }, [&] { m.netzbetreiberWaehlen(Netzbetreiber(r(3))); },
            [&] { m.CHK_Kontrollruf_Click(r(2)); }, [&] { r(2) ? m.OPT_Woche_Click() : m.OPT_Tag_Click(); }, [&] { m.Combo_Tag_Change(r(7)); },
            [&] { m.UD_Stunde_Change(r(24)); }, [&] { m.UD_Minute_Change(r(60)); },
            [&] { m.Validate(Feld(r(int(Feld::TextMax) + 1)), texte[r(texte.size())], r(2)); },
            [&] { m.Nummern_Speichern(listen[r(listen.size())], {{empfaenger::Art(r(3)), texte[r(texte.size())]}}); },
            [&] { m.Nummern_Kopieren(listen[r(listen.size())]); },
        };
        using Zustand = std::tuple<QString, QList<int>, QList<int>, Editorwerte>;
        const auto zustand = [&m] {
            QList<int> marker;
            for (int i = 0; i < kMarker; ++i)
                if (m.marker(i))
                    marker << i;
            return Zustand{aenderung(m.speicher(), kit::startbild()), marker, kit::geflaggt(m.seiten()), m.werte()};
        };
        QList<Zustand> zustaende{zustand()};
        for (int i = 0; i < 300 && zustaende.size() <= 200; ++i) {
            aenderungen[r(aenderungen.size())]();
            if (m.festhalten())
                zustaende << zustand();
            QVERIFY(!m.festhalten());
        }
        QCOMPARE(zustaende.size(), 201);
        for (qsizetype i = zustaende.size() - 2; i >= 0; --i) {
            QVERIFY(m.kannRueckgaengig() && m.rueckgaengig());
            QCOMPARE(zustand(), zustaende[i]);
        }
        QVERIFY(!m.rueckgaengig());
        for (qsizetype i = 1; i < zustaende.size(); ++i) {
            QVERIFY(m.kannWiederholen() && m.wiederholen());
            QCOMPARE(zustand(), zustaende[i]);
        }
        QVERIFY(!m.wiederholen());

        // No step: while filling, as it was. A step after an undo ends the redo.
        m.setFuellen(true);
        m.Chk_Oeffner_Click(0, !m.werte().oeffner[0]);
        QVERIFY(!m.festhalten() && !m.kannRueckgaengig() && !m.rueckgaengig());
        m.setFuellen(false);
        m.verlaufBeginnen();
        m.Validate(Feld::Anlagenbezeichnung, m.werte().anlagenbezeichnung, false);
        QVERIFY(!m.festhalten());
        m.Validate(Feld::Anlagenbezeichnung, "Halle 1", true);
        QVERIFY(m.festhalten() && m.rueckgaengig() && m.kannWiederholen());
        m.Chk_Oeffner_Click(3, !m.werte().oeffner[3]);
        QVERIFY(!m.wiederholen() && !m.kannWiederholen() && m.rueckgaengig());
    }

    // The editor as a whole: markers (the pages flagged, markers 0, 4, 5, 22 and 23, which is none), emptying.
    void ganzerEditor()
    {
        Editormodell m;
        m.starten();
        const auto stand = [&m] { return kit::geflaggt(m.seiten()) << m.marker(0) << m.marker(4) << m.marker(5) << m.marker(22) << m.marker(23); };
        m.markieren(5, 13);
        QCOMPARE(stand(), (QList<int>{0, 0, 1, 0, 0}));
        m.alleMarkieren();
        QCOMPARE(stand(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 1, 1, 1, 0}));
        m.markierungenLoeschen();
        QCOMPARE(stand(), (QList<int>{0, 0, 0, 0, 0}));
        m.OPT_Andere_Click();
        m.Validate(SMSText(2), "Tor", true);
        m.leeren();
        Editorwerte leer;
        std::tie(leer.netz, leer.kontoAktivierbar) = std::tuple(Netzbetreiber::Andere, false);
        QCOMPARE(m.werte(), leer);
        QCOMPARE(aenderung(m.speicher(), kit::startbild()), QStringLiteral("3:128 \"Tor\" 03"));
    }
};

QTEST_GUILESS_MAIN(TestModell)
#include "test_modell.moc"
