// The editor's rules without a window: what each handler and each field's check does to the image
// (compared with the one after start-up), the marker and page, the reasons, what the controls show.
#include "aenderung.h"
#include "kit.h"
#include "modell/editormodell.h"

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
        std::tie(w.messbereich4, w.messbereich20, w.grenzwertmin, w.grenzwertmax) =
            std::tuple(QString(m4), QString(m20), QString(gmin), QString(gmax));
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
        auto A = [](auto f) { return Ablauf(f); };
        using M = Editormodell;
        const QList<int> nichts{1, -1, -1}, allgemein{1, 22, 0}, analogwert{1, 20, 11}, abgelehnt{0, -1, -1};

        const Ablauf oeffner = A([](M& m) { m.Chk_Oeffner_Click(0, true); m.Chk_Oeffner_Click(2, true); return m.Chk_Oeffner_Click(0, false); });
        QTest::newRow("Öffner") << oeffner << false << "0:0 04" << QList<int>{1, 21, 0} << QStringList{"oeffner2=ja"};
        QTest::newRow("Stromausfall aus") << A([](M& m) { m.Chk_Gutmeldung_Click(8, true); return m.Chk_Gutmeldung_Click(8, false); }) << false << "" << QList<int>{1, 21, 0} << QStringList();
        QTest::newRow("keine solche Box") << A([](M& m) { m.Chk_Oeffner_Click(8, true); m.Chk_Gutmeldung_Click(-1, true); return m.Chk_Relaisbest_Click(3, true); })
            << false << "" << nichts << QStringList();

        // Ticking while filling takes over no default (ticked by key below: 15 minutes, A1's numbers).
        QTest::newRow("Quittierung, füllen") << A([](M& m) { return m.Chk_Quittierung_Click(true); }) << true << "" << nichts << QStringList{"quittierung=ja"};
        QTest::newRow("Quittierung 200") << A([](M& m) { m.Chk_Quittierung_Click(true); return m.Slider_Quit_Change(200); }) << false
                                         << "0:3 C8" << allgemein << QStringList{"quittierung=ja", "sliderQuit=200", "quit=200"};

        QTest::newRow("Konto, füllen") << A([](M& m) { return m.Chk_Konto_Click(true); }) << true << "" << nichts << QStringList{"konto=ja"};
        QTest::newRow("Netzbetreiber erkannt") << A([](M& m) { m.speicher().setze(1, 1, '6'); m.speicher().setze(1, 2, '7'); m.speicher().setze(1, 3, '6'); return m.netzbetreiberErkennen(); })
                                               << false << "1:1 \"676\"" << allgemein << QStringList{"netz=1"};

        // The check call: daily at 10:00 when switched on, the day list's
        // changes stored, the spinners' time in packed BCD.
        QTest::newRow("Kontrollruf wieder an") << A([](M& m) { m.CHK_Kontrollruf_Click(true); m.OPT_Woche_Click(); m.UD_Stunde_Change(7); m.UD_Minute_Change(30); return m.CHK_Kontrollruf_Click(true); })
            << false << "0:4 07" << allgemein << QStringList{"kontrollruf=1"};
        QTest::newRow("Kontrollruf aus") << A([](M& m) { m.CHK_Kontrollruf_Click(true); m.OPT_Woche_Click(); m.UD_Stunde_Change(7); m.UD_Minute_Change(30); return m.CHK_Kontrollruf_Click(false); })
            << false << "" << allgemein << QStringList();
        QTest::newRow("kein Wochentag") << A([](M& m) { return m.Combo_Tag_Change(9); }) << false << "" << allgemein << QStringList();
        // Filling: the box and the day are shown, the day is not stored.
        QTest::newRow("Kontrollruf Donnerstag, füllen") << A([](M& m) { m.CHK_Kontrollruf_Click(true); m.OPT_Woche_Click(); return m.Combo_Tag_Change(3); })
            << true << "" << nichts << QStringList{"kontrollruf=2", "tag=3"};
        QTest::newRow("Kontrollruf täglich, füllen") << A([](M& m) { m.CHK_Kontrollruf_Click(true); return m.OPT_Tag_Click(); })
            << true << "0:4 07" << nichts << QStringList{"kontrollruf=1"};

        // Unticking a relay empties its text in the image as well.
        QTest::newRow("Relais 2 aus") << A([](M& m) { m.Validate(Feld::Besttext2, "Hallo", true); return m.Chk_Relaisbest_Click(2, false); })
                                      << false << "10:128 03 \"allo\" 03" << QList<int>{1, 19, 10} << QStringList();
        QTest::newRow("Relais 1, füllen") << A([](M& m) { return m.Chk_Relaisbest_Click(1, true); }) << true << "" << nichts << QStringList{"relaisbest1=ja"};

        // The text fields: stored whether typed in or not, recorded when typed in.
        QTest::newRow("SMSText 8, nicht getippt") << eingabe(SMSText(8), "Netz", false) << false << "9:128 \"Netz\" 03" << nichts << QStringList();
        QTest::newRow("Besttext1") << eingabe(Feld::Besttext1, "") << false << "10:0 03" << QList<int>{1, 18, 10} << QStringList();
        QTest::newRow("Text_Max, Umlaut") << eingabe(Feld::TextMax, "Maß") << false << "12:128 \"Ma\" DF 03" << QList<int>{1, 20, 12} << QStringList();
        // An empty unit is stored as three blanks and counts as changed whenever it is left.
        QTest::newRow("Einheit leer") << eingabe(Feld::Einheit, "", false) << false << "11:136 \"   \" 03" << analogwert << QStringList();
        QTest::newRow("Einheit, nicht getippt") << eingabe(Feld::Einheit, "bar", false) << false << "11:136 \"bar\" 03" << nichts << QStringList();
        QTest::newRow("Einheit zu lang") << eingabe(Feld::Einheit, "mbar") << false << "" << QList<int>{0, 20, 11} << QStringList{"!Höchstens 3 Zeichen"};

        // The range: plain numbers 0..999, 4 mA below 20 mA; a new range checks
        // both thresholds again.
        const QString w4 = QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)");
        const QString w20 = QStringLiteral("Wert bei 20 mA: 0 bis 999 (ohne führende Nullen)");
        QTest::newRow("4 mA 050") << analog("050", "", "", "", Feld::Messbereich4) << false << "" << abgelehnt << QStringList{"!" + w4};
        QTest::newRow("4 mA 1000") << analog("1000", "", "", "", Feld::Messbereich4) << false << "" << abgelehnt << QStringList{"!" + w4};
        QTest::newRow("4 mA nicht getippt") << analog("7", "", "", "", Feld::Messbereich4, false) << false << "11:128 00 07" << nichts << QStringList();
        QTest::newRow("4 mA leer") << analog("", "100", "", "", Feld::Messbereich4, false) << false << "" << analogwert << QStringList();
        QTest::newRow("4 mA gleich 20 mA") << analog("100", "100", "", "", Feld::Messbereich4) << false << "" << abgelehnt
                                           << QStringList{"!Wert bei 4 mA muss kleiner sein als der Wert bei 20 mA"};
        QTest::newRow("4 mA 99: leere Grenzwerte passen nicht") << analog("99", "100", "", "", Feld::Messbereich4) << false << "11:128 00 63" << analogwert
            << QStringList{"!Oberer Grenzwert muss zwischen 99 und 100 liegen", "!Unterer Grenzwert muss zwischen 99 und 100 liegen"};
        QTest::newRow("20 mA 0, 4 mA leer") << analog("", "0", "", "", Feld::Messbereich20) << false << "11:130 00 00" << analogwert << QStringList();
        QTest::newRow("20 mA 05") << analog("5", "05", "", "", Feld::Messbereich20) << false << "" << abgelehnt << QStringList{"!" + w20};
        QTest::newRow("20 mA unter 4 mA") << analog("100", "99", "", "", Feld::Messbereich20) << false << "" << abgelehnt
                                          << QStringList{"!Wert bei 20 mA muss größer sein als der Wert bei 4 mA"};
        // Narrower: the maximum no longer fits and keeps its bytes, the minimum is stored again.
        QTest::newRow("Bereich verengt") << analog("0", "50", "20", "71", Feld::Messbereich20) << false << "11:130 00 32 00 14" << analogwert
                                         << QStringList{"!Oberer Grenzwert muss zwischen 0 und 50 liegen"};

        // The thresholds: inside the range, more than 50 apart.
        QTest::newRow("Maximum 50 über Minimum") << analog("0", "100", "20", "70", Feld::Grenzwertmax) << false << "" << abgelehnt
                                                 << QStringList{"!Oberer Grenzwert muss mindestens 51 über dem unteren liegen"};
        QTest::newRow("Maximum 51 über Minimum") << analog("0", "100", "20", "71", Feld::Grenzwertmax) << false << "11:134 00 47" << analogwert << QStringList();
        QTest::newRow("Minimum 50 unter Maximum") << analog("0", "100", "30", "80", Feld::Grenzwertmin) << false << "" << abgelehnt
                                                  << QStringList{"!Unterer Grenzwert muss mindestens 51 unter dem oberen liegen"};
        QTest::newRow("Minimum 51 unter Maximum") << analog("0", "100", "29", "80", Feld::Grenzwertmin) << false << "11:132 00 1D" << analogwert << QStringList();
        QTest::newRow("Maximum am Bereichsende") << analog("10", "500", "", "500", Feld::Grenzwertmax) << false << "11:134 01 F4" << analogwert << QStringList();
        QTest::newRow("Minimum: Blank, Tab, 050, Rest") << analog("0", "500", " \t050a", "", Feld::Grenzwertmin) << false << "11:132 00 32" << analogwert << QStringList();
        QTest::newRow("ohne Bereich: leer") << analog("0", "", "", "700", Feld::Grenzwertmax) << false << "" << nichts << QStringList();
        QTest::newRow("Maximum leer, 4 mA bei 4") << analog("4", "500", "", "", Feld::Grenzwertmax, false) << false << "" << abgelehnt
                                                  << QStringList{"!Oberer Grenzwert muss zwischen 4 und 500 liegen"};
        QTest::newRow("Maximum leer, 4 mA bei 0") << analog("0", "500", "", "", Feld::Grenzwertmax, false) << false << "" << analogwert << QStringList();
        QTest::newRow("Maximum nicht getippt") << analog("0", "500", "", "300", Feld::Grenzwertmax, false) << false << "11:134 01 2C" << nichts << QStringList();

        // The recipients editor's store: nothing recorded while filling, refused whole when too long.
        const QList<empfaenger::Eintrag> fax{{empfaenger::Art::Fax, "0316"}}, lang(8, {empfaenger::Art::GSM, QString(15, '9')});
        QTest::newRow("Nummern, füllen") << A([=](M& m) { return m.Nummern_Speichern(4, fax); }) << true << "4:0 \"066468020316\" 0D 03" << nichts << QStringList();
        QTest::newRow("Nummern zu lang") << A([=](M& m) { return m.Nummern_Speichern(9, lang); }) << false << "" << abgelehnt
                                         << QStringList{"!Die Nummern passen nicht in den Speicher (129 von 128 Zeichen)"};

        // Settings by key: what the window's controls take, through their handlers; refused with the window's reason.
        const auto S = [](std::initializer_list<const char*> s) { QStringList l; for (const char* x : s) l << QString::fromUtf8(x); return setzen(l); };
        const QString zeichen("!Zeichen nicht zulässig");
        QTest::newRow("Name") << S({"general.installation_name=Halle 3"}) << false << "0:128 \"Halle 3\" 03" << allgemein << QStringList();
        QTest::newRow("Name wie gezeigt") << S({"general.installation_name="}) << false << "" << nichts << QStringList();
        QTest::newRow("Name mit #") << S({"general.installation_name=Halle #3"}) << false << "" << abgelehnt << QStringList{zeichen};
        QTest::newRow("Name mit Umlaut") << S({"general.installation_name=Süd"}) << false << "" << abgelehnt << QStringList{zeichen};
        QTest::newRow("Name zu lang") << setzen({"general.installation_name=" + QString(71, 'a')}) << false << "" << abgelehnt << QStringList{"!Höchstens 70 Zeichen"};
        QTest::newRow("Meldungstext Stromausfall") << S({"mains_failure.text=Netz"}) << false << "9:128 \"Netz\" 03" << QList<int>{1, 8, 9} << QStringList();
        QTest::newRow("Nummer ohne Kontoüberwachung") << S({"general.balance.query_number=1"}) << false << "" << abgelehnt
                                                    << QStringList{"!Nur bei aktiver Kontostandsüberwachung"};
        QTest::newRow("Konto, Nummer") << S({"general.balance.active=aktiv", "general.balance.topup_number=*105#"}) << false
            << "0:24 \"08006642903\" 03; 0:40 \"*105#\" 03; 0:56 05" << allgemein
            << QStringList{"konto=ja", "guthabenrufnummer=08006642903", "nummerAufladung=*105#", "sliderGuthaben=5", "guthaben=5"};
        const QList<int> danachAbgelehnt{0, 22, 0};
        QTest::newRow("Nummer mit Buchstabe") << S({"general.balance.active=true", "general.balance.query_number=12a"}) << false << "0:24 \"08006642903\" 03; 0:40 \"08006642902\" 03; 0:56 05"
            << danachAbgelehnt << QStringList{"!Nur Ziffern, +, * und #", "konto=ja", "guthabenrufnummer=08006642903", "nummerAufladung=08006642902", "sliderGuthaben=5", "guthaben=5"};
        QTest::newRow("Minuten ohne Quittierung") << S({"general.acknowledgement.minutes=30"}) << false << "" << abgelehnt << QStringList{"!Nur bei aktiver Quittierung"};
        QTest::newRow("Minuten 30") << S({"general.acknowledgement.active=aktiv", "general.acknowledgement.minutes=30"}) << false << "0:3 1E" << allgemein
                                    << QStringList{"quittierung=ja", "sliderQuit=30", "quit=30"};
        QTest::newRow("Minuten 0") << S({"general.acknowledgement.active=aktiv", "general.acknowledgement.minutes=0"}) << false << "0:3 0F" << danachAbgelehnt
                                   << QStringList{"!Erlaubt: 1 bis 255", "quittierung=ja", "sliderQuit=15", "quit=15"};
        QTest::newRow("Guthaben 10") << S({"general.balance.active=aktiv", "general.balance.minimum_euro=10"}) << false
            << "0:24 \"08006642903\" 03; 0:40 \"08006642902\" 03; 0:56 05" << danachAbgelehnt
            << QStringList{"!Erlaubt: 1 bis 9", "konto=ja", "guthabenrufnummer=08006642903", "nummerAufladung=08006642902", "sliderGuthaben=5", "guthaben=5"};
        QTest::newRow("Andere, Konto") << S({"general.operator_code=other", "general.balance.active=aktiv"}) << false << "" << danachAbgelehnt
                                       << QStringList{"!Nur mit Netzbetreiber A1 oder T Mobile", "netz=2", "kontoAktivierbar=nein"};
        QTest::newRow("Netzbetreiber unbekannt") << S({"general.operator=Vodafone"}) << false << "" << abgelehnt << QStringList{"!Erlaubt: A1, T Mobile, Andere"};
        QTest::newRow("Kontrollruf wöchentlich, Sonntag 07:05") << S({"general.check_call.mode_code=weekly", "general.check_call.day=sunday", "general.check_call.time=7:05"})
            << false << "0:4 06 07 05" << allgemein << QStringList{"kontrollruf=2", "tag=6", "udStunde=7", "udMinute=5", "txtStunde=07", "txtMinute=05"};
        QTest::newRow("Kontrollruf täglich") << S({"general.check_call.mode=täglich"}) << false << "0:4 07" << allgemein << QStringList{"kontrollruf=1"};
        QTest::newRow("Tag bei täglich") << S({"general.check_call.mode=daily", "general.check_call.day=Montag"}) << false << "0:4 07" << danachAbgelehnt
                                         << QStringList{"!Nur bei wöchentlichem Kontrollruf", "kontrollruf=1"};
        QTest::newRow("Zeit ohne Kontrollruf") << S({"general.check_call.time=10:00"}) << false << "" << abgelehnt << QStringList{"!Nur bei aktivem Kontrollruf"};
        QTest::newRow("Zeit 24:00") << S({"general.check_call.mode=daily", "general.check_call.time=24:00"}) << false << "0:4 07" << danachAbgelehnt
                                    << QStringList{"!Uhrzeit als hh:mm, 00:00 bis 23:59", "kontrollruf=1"};
        QTest::newRow("Öffner Linie 8") << S({"lines[7].normally_closed=ja"}) << false << "0:0 80" << QList<int>{1, 21, 0} << QStringList{"oeffner7=ja"};
        QTest::newRow("Öffner: aktiv") << S({"lines[0].normally_closed=aktiv"}) << false << "" << abgelehnt << QStringList{"!Erlaubt: ja, nein"};
        QTest::newRow("Gutmeldung Stromausfall") << S({"mains_failure.all_clear=true"}) << false << "0:2 FF" << QList<int>{1, 21, 0} << QStringList{"gutmeldung8=ja"};
        QTest::newRow("Relaistext ohne Bestätigung") << S({"relays[1].text=Tor"}) << false << "" << abgelehnt << QStringList{"!Nur bei aktiver Bestätigungsmeldung"};
        QTest::newRow("Relais 2 mit Text") << S({"relays[1].confirmation=aktiv", "relays[1].text=Tor"}) << false << "10:128 \"Tor\" 03" << QList<int>{1, 19, 10}
                                           << QStringList{"relaisbest2=ja"};
        QTest::newRow("4 mA 050, zweimal") << S({"analog.value_4ma=050", "analog.value_4ma=050"}) << false << "" << abgelehnt << QStringList{"!" + w4, "!" + w4};
        QTest::newRow("4 mA 1000") << S({"analog.value_4ma=1000"}) << false << "" << abgelehnt << QStringList{"!Höchstens 3 Ziffern"};
        QTest::newRow("Grenzwerte 50 auseinander") << S({"analog.value_4ma=0", "analog.value_20ma=100", "analog.upper_threshold=71", "analog.lower_threshold=21"})
            << false << "11:128 00 00 00 64; 11:134 00 47" << QList<int>{0, 20, 11} << QStringList{"!Unterer Grenzwert muss mindestens 51 unter dem oberen liegen"};
        QTest::newRow("Einheit") << S({"analog.unit=V"}) << false << "11:136 \"V  \" 03" << analogwert << QStringList();
        QTest::newRow("unbekannter Schlüssel") << S({"general.name=x"}) << false << "" << abgelehnt << QStringList{"!Keine solche Einstellung"};
        QTest::newRow("Liste A1") << S({"lines[1].recipients=GSM +43664; Fax 0316;email a@b.at"}) << false
                                  << "2:0 \"+43664\" 0D \"066468020316\" 0D \"0664680502&a*b.at (Boravilon)\" 0D 03" << QList<int>{1, 10, 2} << QStringList();
        QTest::newRow("Liste: Buchstabe") << S({"lines[0].recipients=gsm 0664a"}) << false << "" << abgelehnt << QStringList{"!Nur Ziffern und +"};
        QTest::newRow("Liste: Art") << S({"analog.recipients=SMS 0664"}) << false << "" << abgelehnt << QStringList{"!Erlaubt: GSM, Fax, email"};
        QTest::newRow("Liste: neun") << S({"analog.recipients=GSM 1;GSM 2;GSM 3;GSM 4;GSM 5;GSM 6;GSM 7;GSM 8;GSM 9"}) << false << "" << abgelehnt
                                     << QStringList{"!Höchstens 8 Empfänger"};
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

    // A long session of committed changes of every kind, undone to the start
    // and done again to the end, state by state; a change while filling, a
    // refused one and one equal to the state are no step; a new step ends
    // the redo; the oldest steps beyond the limit go.
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
            [&] { m.Chk_Oeffner_Click(r(8), r(2)); },
            [&] { m.Chk_Gutmeldung_Click(r(9), r(2)); },
            [&] { m.Chk_Relaisbest_Click(1 + r(2), r(2)); },
            [&] { m.Chk_Quittierung_Click(r(2)); },
            [&] { m.Slider_Quit_Change(1 + r(255)); },
            [&] { m.Chk_Konto_Click(r(2)); },
            [&] { m.Slider_Guthaben_Change(1 + r(9)); },
            [&] { m.netzbetreiberWaehlen(Netzbetreiber(r(3))); },
            [&] { m.CHK_Kontrollruf_Click(r(2)); },
            [&] { r(2) ? m.OPT_Woche_Click() : m.OPT_Tag_Click(); },
            [&] { m.Combo_Tag_Change(r(7)); },
            [&] { m.UD_Stunde_Change(r(24)); },
            [&] { m.UD_Minute_Change(r(60)); },
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
        QCOMPARE(std::get<0>(zustaende[0]), QString());
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
        QCOMPARE(m.speicher(), kit::startbild());
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
        for (int i = 0; i <= Editormodell::kVerlauf; ++i) {
            m.UD_Minute_Change(i % 2);
            m.festhalten();
        }
        int schritte = 0;
        while (m.rueckgaengig())
            ++schritte;
        QCOMPARE(schritte, 500);
    }

    // The editor as a whole: markers, emptying.
    void ganzerEditor()
    {
        Editormodell m;
        m.starten();
        m.markieren(5, 13);
        QCOMPARE(kit::geflaggt(m.seiten()), QList<int>{});
        QVERIFY(m.marker(5) && !m.marker(4) && !m.marker(23));
        m.alleMarkieren();
        QCOMPARE(kit::geflaggt(m.seiten()), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        QVERIFY(m.marker(0) && m.marker(22));
        m.markierungenLoeschen();
        QCOMPARE(kit::geflaggt(m.seiten()), QList<int>{});
        QVERIFY(!m.marker(5));
        m.OPT_Andere_Click();
        m.Validate(SMSText(2), "Tor", true);
        m.leeren();
        Editorwerte leer;
        leer.netz = Netzbetreiber::Andere;
        leer.kontoAktivierbar = false;
        QCOMPARE(m.werte(), leer);
        QCOMPARE(aenderung(m.speicher(), kit::startbild()), QStringLiteral("3:128 \"Tor\" 03"));
        // Reasons no field of the editor gives.
        QCOMPARE(Abweisung{}.text(), QString());
        QCOMPARE((Abweisung{Abweisung::Art::Empfaengerliste, 130, 128}.text()), QStringLiteral("Die Nummern passen nicht in den Speicher (130 von 128 Zeichen)"));
        QCOMPARE(Abweisung{Abweisung::Art::Belegt}.text(), QStringLiteral("Eine Übertragung läuft bereits – bitte warten oder abbrechen"));
    }
};

QTEST_GUILESS_MAIN(TestModell)
#include "test_modell.moc"
