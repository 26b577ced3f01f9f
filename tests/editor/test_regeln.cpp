// The editor's pure rules: the character filter, the key and paste decisions
// of every kind of field, the checks of the analog values and the reasons of
// their refusals.
#include "modell/analogpruefung.h"
#include "editor/zeichenregeln.h"

#include <QTest>

Q_DECLARE_METATYPE(Feldart)
Q_DECLARE_METATYPE(Analogfeld)

class TestRegeln : public QObject {
    Q_OBJECT
private slots:
    // Every one of the 256 codes, against the list of what a free-text field takes.
    void zeichencheckAlleCodes()
    {
        const QByteArray zugelassen =
            " !$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        int angenommen = 0;
        for (int code = 0; code < 256; ++code) {
            const bool erwartet = code < 32 || zugelassen.contains(char(code));
            QVERIFY2(Zeichencheck(code) == erwartet, qPrintable(QString::number(code)));
            angenommen += Zeichencheck(code) ? 1 : 0;
        }
        // 32 control codes and the 83 printable characters 32..122 less 34, 35, 91..96.
        QCOMPARE(angenommen, 32 + 83);
    }

    void taste_data()
    {
        QTest::addColumn<Feldart>("art");
        QTest::addColumn<int>("grenze");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("zulassen");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<bool>("leeren");

        const QString t69(69, QLatin1Char('a'));
        const QString t70(70, QLatin1Char('a'));
        QTest::newRow("frei Buchstabe") << Feldart::Freitext << 70 << "" << int('A') << true << 0 << false;
        QTest::newRow("frei Anfuehrung") << Feldart::Freitext << 70 << "x" << 34 << false << 1 << false;
        QTest::newRow("frei Umlaut") << Feldart::Freitext << 70 << "x" << 0xE4 << false << 1 << false;
        QTest::newRow("frei ohne Byte") << Feldart::Freitext << 70 << "x" << kKeinByte << false << 1 << false;
        QTest::newRow("frei 69 + Zeichen") << Feldart::Freitext << 70 << t69 << int('b') << true << 0 << false;
        QTest::newRow("frei voll") << Feldart::Freitext << 70 << t70 << int('b') << false << 1 << false;
        QTest::newRow("frei voll falsch") << Feldart::Freitext << 70 << t70 << int('#') << false << 1 << false;
        QTest::newRow("frei voll Rueck") << Feldart::Freitext << 70 << t70 << kBackspace << true << 0 << false;
        QTest::newRow("frei 127 voll") << Feldart::Freitext << 127 << QString(127, 'z') << int('a') << false << 1 << false;
        QTest::newRow("frei 126") << Feldart::Freitext << 127 << QString(126, 'z') << int('a') << true << 0 << false;

        QTest::newRow("nummer plus") << Feldart::Nummer << 15 << "" << int('+') << true << 0 << false;
        QTest::newRow("nummer stern") << Feldart::Nummer << 15 << "1" << int('*') << true << 0 << false;
        QTest::newRow("nummer raute") << Feldart::Nummer << 15 << "1" << int('#') << true << 0 << false;
        QTest::newRow("nummer minus") << Feldart::Nummer << 15 << "1" << int('-') << false << 1 << false;
        QTest::newRow("nummer blank") << Feldart::Nummer << 15 << "1" << int(' ') << false << 1 << false;
        QTest::newRow("nummer klammer") << Feldart::Nummer << 15 << "1" << int('(') << false << 1 << false;
        QTest::newRow("nummer buchstabe") << Feldart::Nummer << 15 << "1" << int('a') << false << 1 << false;
        QTest::newRow("nummer 14 + Ziffer") << Feldart::Nummer << 15 << QString(14, '1') << int('2') << true << 0 << false;
        QTest::newRow("nummer voll Ziffer") << Feldart::Nummer << 15 << QString(15, '1') << int('2') << false << 1 << false;
        QTest::newRow("nummer voll falsch") << Feldart::Nummer << 15 << QString(15, '1') << int('a') << false << 2 << false;
        QTest::newRow("nummer voll Rueck") << Feldart::Nummer << 15 << QString(15, '1') << kBackspace << true << 0 << false;

        QTest::newRow("analog Ziffer") << Feldart::Analog << 3 << "12" << int('3') << true << 0 << false;
        QTest::newRow("analog vierte") << Feldart::Analog << 3 << "123" << int('4') << false << 1 << false;
        QTest::newRow("analog minus") << Feldart::Analog << 3 << "" << int('-') << false << 1 << false;
        QTest::newRow("analog punkt") << Feldart::Analog << 3 << "1" << int('.') << false << 1 << false;
        QTest::newRow("analog voll falsch") << Feldart::Analog << 3 << "123" << int('x') << false << 1 << false;
        QTest::newRow("analog Rueck") << Feldart::Analog << 3 << "123" << kBackspace << true << 0 << false;

        QTest::newRow("einheit drei blanks") << Feldart::Einheit << 3 << "   " << int('V') << true << 0 << true;
        QTest::newRow("einheit blanks falsch") << Feldart::Einheit << 3 << "   " << int('_') << false << 1 << true;
        QTest::newRow("einheit voll") << Feldart::Einheit << 3 << "m/s" << int('x') << false << 1 << false;
        QTest::newRow("einheit zwei blanks") << Feldart::Einheit << 3 << "  " << int('V') << true << 0 << false;
        QTest::newRow("frei drei blanks") << Feldart::Freitext << 70 << "   " << int('V') << true << 0 << false;
    }
    void taste()
    {
        QFETCH(Feldart, art);
        QFETCH(int, grenze);
        QFETCH(QString, text);
        QFETCH(int, code);
        const Tastenentscheid e = tastePruefen(art, grenze, text, code);
        QTEST(e.zulassen, "zulassen");
        QTEST(e.beeps, "beeps");
        QTEST(e.einheitLeeren, "leeren");
    }

    void einfuegen_data()
    {
        QTest::addColumn<Feldart>("art");
        QTest::addColumn<int>("grenze");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<int>("ersetzt");
        QTest::addColumn<QString>("eingabe");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");

        QTest::newRow("sauber") << Feldart::Freitext << 70 << "" << 0 << "Tor offen" << "Tor offen" << 0;
        QTest::newRow("verboten raus") << Feldart::Freitext << 70 << "" << 0 << QString::fromUtf8("a\"b#cä_d€")
                                       << "abcd" << 1;
        QTest::newRow("steuerzeichen") << Feldart::Freitext << 70 << "" << 0 << "a\tb\nc\rd" << "abcd" << 1;
        QTest::newRow("ohne Byte") << Feldart::Freitext << 70 << "" << 0 << QString::fromUtf8("a\u4e2db") << "ab" << 1;
        QTest::newRow("bis zur Grenze") << Feldart::Freitext << 70 << QString(68, 'x') << 0 << "abc" << "ab" << 1;
        QTest::newRow("Auswahl ersetzt") << Feldart::Freitext << 70 << QString(70, 'x') << 3 << "abcd" << "abc" << 1;
        QTest::newRow("voll") << Feldart::Freitext << 70 << QString(70, 'x') << 0 << "a" << "" << 1;
        QTest::newRow("nummer") << Feldart::Nummer << 15 << "" << 0 << "+43 (664) 12-34" << "+436641234" << 1;
        QTest::newRow("nummer grenze") << Feldart::Nummer << 15 << "" << 0 << QString(20, '7') << QString(15, '7') << 1;
        QTest::newRow("analog") << Feldart::Analog << 3 << "" << 0 << "-12.5" << "125" << 1;
        QTest::newRow("analog grenze") << Feldart::Analog << 3 << "9" << 0 << "123" << "12" << 1;
        QTest::newRow("einheit blanks") << Feldart::Einheit << 3 << "   " << 0 << "bar" << "bar" << 0;
        QTest::newRow("einheit lang") << Feldart::Einheit << 3 << "" << 0 << "mbar" << "mba" << 1;
    }
    void einfuegen()
    {
        QFETCH(Feldart, art);
        QFETCH(int, grenze);
        QFETCH(QString, feld);
        QFETCH(int, ersetzt);
        QFETCH(QString, eingabe);
        const Einfuegeentscheid e = einfuegenPruefen(art, grenze, feld, ersetzt, eingabe);
        QTEST(e.text, "text");
        QTEST(e.beeps, "beeps");
    }

    void analogZahlLesen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("zahl");
        QTest::newRow("leer") << "" << 0.0;
        QTest::newRow("null") << "0" << 0.0;
        QTest::newRow("fuehrende null") << "050" << 50.0;
        QTest::newRow("999") << "999" << 999.0;
        QTest::newRow("ziffern dann rest") << "12a" << 12.0;
        QTest::newRow("blank davor") << " 7" << 7.0;
        QTest::newRow("gross") << "32767" << 32767.0;
    }
    void analogZahlLesen()
    {
        QFETCH(QString, text);
        QTEST(analogZahl(text), "zahl");
    }

    void analog_data()
    {
        QTest::addColumn<Analogfeld>("feld");
        QTest::addColumn<QString>("m4");
        QTest::addColumn<QString>("m20");
        QTest::addColumn<QString>("gmin");
        QTest::addColumn<QString>("gmax");
        QTest::addColumn<bool>("geaendert");
        QTest::addColumn<bool>("abgelehnt");
        QTest::addColumn<int>("wert");  // -1: stored as empty, -2: nothing stored
        QTest::addColumn<bool>("vermerken");
        QTest::addColumn<bool>("neu");

        using A = Analogfeld;
        // Range fields.
        QTest::newRow("4mA 50") << A::Messbereich4 << "50" << "" << "" << "" << true << false << 50 << true << true;
        QTest::newRow("4mA 050 refused") << A::Messbereich4 << "050" << "" << "" << "" << true << true << -2 << false << false;
        QTest::newRow("4mA 0") << A::Messbereich4 << "0" << "" << "" << "" << true << false << 0 << true << true;
        QTest::newRow("4mA 00 refused") << A::Messbereich4 << "00" << "" << "" << "" << true << true << -2 << false << false;
        QTest::newRow("4mA 999") << A::Messbereich4 << "999" << "" << "" << "" << true << false << 999 << true << true;
        QTest::newRow("4mA 1000 refused") << A::Messbereich4 << "1000" << "" << "" << "" << true << true << -2 << false << false;
        QTest::newRow("4mA untouched") << A::Messbereich4 << "7" << "" << "" << "" << false << false << 7 << false << false;
        QTest::newRow("4mA empty always marked") << A::Messbereich4 << "" << "100" << "" << "" << false << false << -1 << true << true;
        QTest::newRow("4mA equal to 20mA") << A::Messbereich4 << "100" << "100" << "" << "" << true << true << -2 << false << false;
        QTest::newRow("4mA above 20mA") << A::Messbereich4 << "101" << "100" << "" << "" << true << true << -2 << false << false;
        QTest::newRow("4mA below 20mA") << A::Messbereich4 << "99" << "100" << "" << "" << true << false << 99 << true << true;
        QTest::newRow("20mA equal to 4mA") << A::Messbereich20 << "100" << "100" << "" << "" << true << true << -2 << false << false;
        QTest::newRow("20mA above 4mA") << A::Messbereich20 << "100" << "101" << "" << "" << true << false << 101 << true << true;
        QTest::newRow("20mA 4mA empty") << A::Messbereich20 << "" << "0" << "" << "" << true << false << 0 << true << true;
        QTest::newRow("20mA empty") << A::Messbereich20 << "5" << "" << "" << "" << false << false << -1 << true << true;
        QTest::newRow("20mA leading zero") << A::Messbereich20 << "5" << "05" << "" << "" << true << true << -2 << false << false;

        // Thresholds.
        QTest::newRow("max diff 50 refused") << A::Grenzwertmax << "0" << "100" << "20" << "70" << true << true << -2 << false << false;
        QTest::newRow("max diff 51") << A::Grenzwertmax << "0" << "100" << "20" << "71" << true << false << 71 << true << false;
        QTest::newRow("min diff 50 refused") << A::Grenzwertmin << "0" << "100" << "30" << "80" << true << true << -2 << false << false;
        QTest::newRow("min diff 51") << A::Grenzwertmin << "0" << "100" << "29" << "80" << true << false << 29 << true << false;
        QTest::newRow("max above range") << A::Grenzwertmax << "10" << "500" << "" << "600" << true << true << -2 << false << false;
        QTest::newRow("max at range end") << A::Grenzwertmax << "10" << "500" << "" << "500" << true << false << 500 << true << false;
        QTest::newRow("min below range") << A::Grenzwertmin << "10" << "500" << "5" << "" << true << true << -2 << false << false;
        QTest::newRow("min at range start") << A::Grenzwertmin << "10" << "500" << "10" << "" << true << false << 10 << true << false;
        QTest::newRow("min 050 taken") << A::Grenzwertmin << "0" << "500" << "050" << "" << true << false << 50 << true << false;
        QTest::newRow("no range: empty") << A::Grenzwertmax << "0" << "" << "" << "700" << true << false << -1 << false << false;
        QTest::newRow("no 4mA: empty") << A::Grenzwertmin << "" << "500" << "3" << "" << true << false << -1 << false << false;
        QTest::newRow("empty max 4mA 4") << A::Grenzwertmax << "4" << "500" << "" << "" << false << true << -2 << false << false;
        QTest::newRow("empty max 4mA 0") << A::Grenzwertmax << "0" << "500" << "" << "" << false << false << -1 << true << false;
        QTest::newRow("max untouched") << A::Grenzwertmax << "0" << "500" << "" << "300" << false << false << 300 << false << false;
    }
    void analog()
    {
        QFETCH(Analogfeld, feld);
        QFETCH(QString, m4);
        QFETCH(QString, m20);
        QFETCH(QString, gmin);
        QFETCH(QString, gmax);
        QFETCH(bool, geaendert);
        QFETCH(int, wert);
        const Analogentscheid e = analogPruefen(feld, Analogwerte{m4, m20, gmin, gmax}, geaendert);
        QTEST(e.abgelehnt, "abgelehnt");
        QCOMPARE(e.speichern, wert != -2);
        if (wert >= 0)
            QCOMPARE(e.wert, std::optional<int>(wert));
        else
            QVERIFY(!e.wert);
        QTEST(e.vermerken, "vermerken");
        QTEST(e.grenzwerteNeuPruefen, "neu");
    }

    // Every refusal names its reason: the decisions above give the kind, the
    // kind gives the status bar's text.
    void gruende_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("erwartet");
        using F = Feldart;
        using A = Analogfeld;
        using W = Analogwerte;
        auto taste = [](F art, int grenze, const QString& text, int code) {
            return tastePruefen(art, grenze, text, code).grund.text();
        };
        auto analog = [](A feld, const W& w) { return analogPruefen(feld, w, true).grund.text(); };
        QTest::newRow("angenommen") << taste(F::Freitext, 70, "", 'A') << "";
        QTest::newRow("frei Zeichen") << taste(F::Freitext, 70, "x", '#') << QStringLiteral("Zeichen nicht zulässig");
        QTest::newRow("frei voll") << taste(F::Freitext, 70, QString(70, 'a'), 'b') << QStringLiteral("Höchstens 70 Zeichen");
        QTest::newRow("nummer Zeichen") << taste(F::Nummer, 15, "1", '-') << QStringLiteral("Nur Ziffern, +, * und #");
        QTest::newRow("nummer voll") << taste(F::Nummer, 15, QString(15, '1'), '2') << QStringLiteral("Höchstens 15 Zeichen");
        QTest::newRow("nummer voll Zeichen") << taste(F::Nummer, 15, QString(15, '1'), 'a') << QStringLiteral("Nur Ziffern, +, * und #");
        QTest::newRow("analog Zeichen") << taste(F::Analog, 3, "1", '.') << QStringLiteral("Nur Ziffern");
        QTest::newRow("analog vierte") << taste(F::Analog, 3, "123", '4') << QStringLiteral("Höchstens 3 Ziffern");
        QTest::newRow("einfuegen Zeichen") << einfuegenPruefen(F::Nummer, 15, "", 0, "+43 664").grund.text()
                                           << QStringLiteral("Nur Ziffern, +, * und #");
        QTest::newRow("einfuegen zu lang") << einfuegenPruefen(F::Freitext, 70, QString(68, 'x'), 0, "abc").grund.text()
                                           << QStringLiteral("Höchstens 70 Zeichen");
        QTest::newRow("4mA 05") << analog(A::Messbereich4, W{"05", "", "", ""})
                                << QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)");
        QTest::newRow("20mA 007") << analog(A::Messbereich20, W{"", "007", "", ""})
                                  << QStringLiteral("Wert bei 20 mA: 0 bis 999 (ohne führende Nullen)");
        QTest::newRow("4mA nicht darunter") << analog(A::Messbereich4, W{"100", "100", "", ""})
                                            << QStringLiteral("Wert bei 4 mA muss kleiner sein als der Wert bei 20 mA");
        QTest::newRow("20mA nicht darueber") << analog(A::Messbereich20, W{"100", "99", "", ""})
                                             << QStringLiteral("Wert bei 20 mA muss größer sein als der Wert bei 4 mA");
        QTest::newRow("min ausserhalb") << analog(A::Grenzwertmin, W{"10", "500", "5", ""})
                                        << QStringLiteral("Unterer Grenzwert muss zwischen 10 und 500 liegen");
        QTest::newRow("max ausserhalb") << analog(A::Grenzwertmax, W{"10", "500", "", "600"})
                                        << QStringLiteral("Oberer Grenzwert muss zwischen 10 und 500 liegen");
        QTest::newRow("min Abstand") << analog(A::Grenzwertmin, W{"0", "100", "30", "80"})
                                     << QStringLiteral("Unterer Grenzwert muss mindestens 51 unter dem oberen liegen");
        QTest::newRow("max Abstand") << analog(A::Grenzwertmax, W{"0", "100", "20", "70"})
                                     << QStringLiteral("Oberer Grenzwert muss mindestens 51 über dem unteren liegen");
        using G = Abweisung::Art;
        QTest::newRow("Rufnummer") << Abweisung{G::Rufnummernzeichen}.text() << QStringLiteral("Nur Ziffern und +");
        QTest::newRow("Empfaengerliste") << Abweisung{G::Empfaengerliste, 130, 128}.text()
                                         << QStringLiteral("Die Nummern passen nicht in den Speicher (130 von 128 Zeichen)");
        QTest::newRow("belegt") << Abweisung{G::Belegt}.text()
                                << QStringLiteral("Eine Übertragung läuft bereits – bitte warten oder abbrechen");
    }
    void gruende()
    {
        QFETCH(QString, text);
        QTEST(text, "erwartet");
    }

    void offsets()
    {
        QCOMPARE(analogOffset(Analogfeld::Messbereich4), 128);
        QCOMPARE(analogOffset(Analogfeld::Messbereich20), 130);
        QCOMPARE(analogOffset(Analogfeld::Grenzwertmin), 132);
        QCOMPARE(analogOffset(Analogfeld::Grenzwertmax), 134);
    }
};

QTEST_APPLESS_MAIN(TestRegeln)
#include "test_regeln.moc"
