// The configuration file reader: every line kind, the bytes the option
// handlers store during the load, line ends, short and hostile files.
#include "cfgfile/cfgdatei.h"
#include "cfgfile/dateilesen.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "testhilfen.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace testhilfen;

namespace {

// Line 2 whose first recipient selects A1, so that the balance monitoring
// loaded from line 1 stays as loaded.
const QByteArray kZeile2A1("06641234567;\x03\r\n");

Dateiergebnis lesen(const QMap<int, QByteArray>& zeilen)
{
    return cfgLesen(mitZeilen(zeilen));
}

QString bits(const bool* b, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += b[i] ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

// What line 1 sets, compactly.
QString zeile1Werte(const Editorwerte& w)
{
    return QStringLiteral("oe:%1 gut:%2 quit:%3,%4,'%5' ruf:%6,%7 zeit:%8,%9,'%10','%11' konto:%12,'%13','%14',%15,'%16' name:'%17'")
        .arg(bits(w.oeffner.data(), 8), bits(w.gutmeldung.data(), 9))
        .arg(int(w.quittierung)).arg(w.sliderQuit).arg(w.quit)
        .arg(int(w.kontrollruf)).arg(w.tag)
        .arg(w.udStunde).arg(w.udMinute).arg(w.txtStunde, w.txtMinute)
        .arg(int(w.konto)).arg(zeigen(w.guthabenrufnummer), zeigen(w.nummerAufladung)).arg(w.sliderGuthaben).arg(w.guthaben)
        .arg(zeigen(w.anlagenbezeichnung));
}

QByteArray bytes(std::initializer_list<int> l)
{
    QByteArray b;
    for (int v : l)
        b.append(char(v));
    return b;
}

// Page 0 offsets 0..6 followed by 7..56 as given.
QByteArray seite0(std::initializer_list<int> nullBisSechs, const QByteArray& siebenBis56)
{
    Q_ASSERT(siebenBis56.size() == 50);
    return bytes(nullBisSechs) + siebenBis56;
}

// Offsets 7..56 when nothing but the number fields and the balance are written.
QByteArray rest7(const QByteArray& nummer24, const QByteArray& nummer40, int guthaben, int siebenBis23 = -1)
{
    QByteArray r = siebenBis23 < 0 ? ff(17) : QByteArray(1, char(siebenBis23)) + ff(16);
    return r + nummer24 + nummer40 + QByteArray(1, char(guthaben));
}

QByteArray num(const QByteArray& text)
{
    if (text.size() >= 16)
        return text.left(16);
    return text + E + ff(15 - int(text.size()));
}

// The default image with the cells a load always writes for a default line.
Konfigspeicher grundNachLaden()
{
    Konfigspeicher k;
    Grundeinstellung(k);
    return k;
}

} // namespace

class TestCfgLesen : public QObject {
    Q_OBJECT
private slots:
    // The default image's file: every line by its rules.
    void grunddatei()
    {
        const Dateiergebnis r = cfgLesen(datei(grundzeilen()));
        QVERIFY(r.vollstaendig);
        QCOMPARE(r.zeilen, 13);
        for (int s = 0; s < kSeiten; ++s)
            QCOMPARE(r.flags[s], s < 13);

        Konfigspeicher e = grundNachLaden();
        e.setze(0, 3, 255);                 // field 4 "255": acknowledgement 255 minutes
        e.setze(0, 4, 0xFF);                // field 5 "255": check call off
        e.setze(0, 5, 0x00);                // fields 6, 7 "FF" read as 0
        e.setze(0, 6, 0x00);
        e.setze(0, 24, ETX);                // "Andere": numbers emptied, balance 0
        e.setze(0, 40, ETX);
        e.setze(0, 56, 0);
        e.setze(0, 128, ETX);               // the free name reads as the empty name
        for (int s = 1; s <= 10; ++s) {
            e.setze(s, 0, ETX);
            e.setze(s, 128, ETX);
        }
        e.setze(11, 0, ETX);
        e.setze(12, 0, ETX);
        e.setze(12, 128, ETX);
        for (int s = 0; s < kSeiten; ++s)
            QCOMPARE(r.image.seite(s), e.seite(s));

        Editorwerte w;
        w.quittierung = true;
        w.sliderQuit = 255;
        w.quit = QStringLiteral("255");
        w.udStunde = 0;
        w.txtStunde = QStringLiteral("00");
        w.netz = Netzbetreiber::Andere;
        w.kontoAktivierbar = false;
        QCOMPARE(unterschiede(r.werte, w), QString());
    }

    void zeile1_data()
    {
        QTest::addColumn<QByteArray>("zeile");
        QTest::addColumn<QByteArray>("zellen");  // page 0 offsets 0..56
        QTest::addColumn<QString>("werte");

        QTest::newRow("Grundzeile") << grundzeilen()[0]
            << seite0({0, 0, 0, 255, 255, 0, 0}, rest7(ff(16), ff(16), 9))
            << "oe:00000000 gut:000000000 quit:1,255,'255' ruf:0,-1 zeit:0,0,'00','00' konto:1,'" + zeigen(QString(16, QChar(0xFF))) + "','"
                   + zeigen(QString(16, QChar(0xFF))) + "',9,'9' name:''";
        // The check-call time reaches the image also where the spinners do not change.
        QTest::newRow("täglich 10:00") << ersteZeile({"", "", "", "", "7", "10", "0", "", "", "", ""})
            << seite0({0, 0, 0, 0, 7, 0x10, 0x00}, rest7(num(""), num(""), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:1,-1 zeit:10,0,'10','00' konto:0,'','',1,'' name:''";
        QTest::newRow("Montag 00:00") << ersteZeile({"", "", "", "", "0", "0", "0", "", "", "", ""})
            << seite0({0, 0, 0, 0, 0, 0x00, 0x00}, rest7(num(""), num(""), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:2,0 zeit:0,0,'00','00' konto:0,'','',1,'' name:''";
        QTest::newRow("Mittwoch 08:30") << ersteZeile({"", "", "", "", "2", "8", "30", "", "", "", ""})
            << seite0({0, 0, 0, 0, 2, 0x08, 0x30}, rest7(num(""), num(""), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:2,2 zeit:8,30,'08','30' konto:0,'','',1,'' name:''";
        QTest::newRow("Sonntag 23:59") << ersteZeile({"", "", "", "", "6", "23", "59", "", "", "", ""})
            << seite0({0, 0, 0, 0, 6, 0x23, 0x59}, rest7(num(""), num(""), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:2,6 zeit:23,59,'23','59' konto:0,'','',1,'' name:''";
        // Switched off as the editor saves it: 7..24 := FF, then field 8 at 24.
        QTest::newRow("aus 255, 10:00") << ersteZeile({"", "", "", "", "255", "10", "0", "", "", "", ""})
            << seite0({0, 0, 0, 0, 255, 0x10, 0x00}, rest7(num(""), num(""), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:0,-1 zeit:10,0,'10','00' konto:0,'','',1,'' name:''";
        QTest::newRow("aus 8, Stunde 12") << ersteZeile({"", "", "", "", "8", "12", "5", "", "", "", ""})
            << seite0({0, 0, 0, 0, 255, 0x12, 0x05}, rest7(num(""), num(""), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:0,-1 zeit:12,5,'12','05' konto:0,'','',1,'' name:''";
        // An empty schedule runs the switched-off handler: 0x03 at offset 7.
        QTest::newRow("Feld 5 leer") << ersteZeile({"", "", "", "", "", "", "", "", "", "", ""})
            << seite0({0, 0, 0, 0, 255, 0x10, 0x00}, rest7(num(""), num(""), 0, 0x03))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:0,-1 zeit:10,0,'10','00' konto:0,'','',1,'' name:''";
        QTest::newRow("Bits, Quittierung 15") << ersteZeile({"133", "2", "255", "15", "7", "9", "45", "", "", "", ""})
            << seite0({133, 2, 255, 15, 7, 0x09, 0x45}, rest7(num(""), num(""), 0))
            << "oe:10100001 gut:010000001 quit:1,15,'15' ruf:1,-1 zeit:9,45,'09','45' konto:0,'','',1,'' name:''";
        // Values beyond a control's range: sliders and spinners take their ends,
        // bit fields that are no byte tick nothing.
        QTest::newRow("zu gross") << ersteZeile({"300", "256", "254", "300", "99999999999999999999", "25", "75", "1", "2", "12", ""})
            << seite0({0, 0, 0, 255, 255, 0x23, 0x59}, rest7(num("1"), num("2"), 9))
            << "oe:00000000 gut:000000000 quit:1,255,'255' ruf:0,-1 zeit:23,59,'23','59' konto:1,'1','2',9,'9' name:''";
        QTest::newRow("führende Ziffern") << ersteZeile({"3x", "FF", "", "14min", "1a", "1A", "3B", "", "", "5 Euro", ""})
            << seite0({3, 0, 0, 14, 1, 0x01, 0x03}, rest7(num(""), num(""), 5))
            << "oe:11000000 gut:000000000 quit:1,14,'14' ruf:2,1 zeit:1,3,'01','03' konto:1,'','',5,'5' name:''";
        QTest::newRow("Nummern und Guthaben") << ersteZeile({"", "", "", "", "255", "10", "0", "*101#", "*105*", "5", "Anlage"})
            << seite0({0, 0, 0, 0, 255, 0x10, 0x00}, rest7(num("*101#"), num("*105*"), 5))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:0,-1 zeit:10,0,'10','00' konto:1,'*101#','*105*',5,'5' name:'Anlage'";
        QTest::newRow("Nummer zu lang") << ersteZeile({"", "", "", "", "255", "10", "0", "12345678901234567890", "9", "1", ""})
            << seite0({0, 0, 0, 0, 255, 0x10, 0x00}, rest7("1234567890123456", num("9"), 1))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:0,-1 zeit:10,0,'10','00' konto:1,'1234567890123456','9',1,'1' name:''";
        // Balance monitoring off: the handler empties the numbers just stored
        // (ETX at the first cell, the rest of the text stays behind it).
        QTest::newRow("Guthaben leer") << ersteZeile({"", "", "", "", "255", "10", "0", "1234", "5678", "", ""})
            << seite0({0, 0, 0, 0, 255, 0x10, 0x00}, rest7("\x03" "234\x03" + ff(11), "\x03" "678\x03" + ff(11), 0))
            << "oe:00000000 gut:000000000 quit:0,1,'' ruf:0,-1 zeit:10,0,'10','00' konto:0,'','',1,'' name:''";
        QTest::newRow("fehlende Felder") << (QByteArray("5;3") + NL)
            << seite0({5, 3, 0, 0, 255, 0x10, 0x00}, rest7(num(""), num(""), 0, 0x03))
            << "oe:10100000 gut:110000000 quit:0,1,'' ruf:0,-1 zeit:10,0,'10','00' konto:0,'','',1,'' name:''";
    }
    void zeile1()
    {
        QFETCH(QByteArray, zeile);
        QFETCH(QByteArray, zellen);
        QFETCH(QString, werte);
        const Dateiergebnis r = lesen({{1, zeile}, {2, kZeile2A1}});
        QVERIFY(r.vollstaendig);
        QCOMPARE(testhilfen::zellen(r.image, 0, 0, 57), zellen);
        QCOMPARE(zeile1Werte(r.werte), werte);
        // Nothing else of page 0 but the name changes.
        QCOMPARE(testhilfen::zellen(r.image, 0, 57, 71), ff(17) + QByteArray("Kontostand Minimum\x03") + ff(35));
    }

    void name_data()
    {
        QTest::addColumn<QByteArray>("feld");
        QTest::addColumn<QByteArray>("zellen");  // page 0 offsets 128..255
        QTest::addColumn<QString>("name");
        QTest::newRow("einfach") << QByteArray("Pumpwerk S\xFC" "d") << QByteArray("Pumpwerk S\xFC" "d\x03") + ff(115)
                                 << QStringLiteral("Pumpwerk Süd");
        QTest::newRow("mit Semikolon") << QByteArray("Halle 3; Tor 2") << QByteArray("Halle 3; Tor 2\x03") + ff(113)
                                       << QStringLiteral("Halle 3; Tor 2");
        QTest::newRow("Semikolons am Ende") << QByteArray("A;;") << QByteArray("A;;\x03") + ff(124) << QStringLiteral("A;;");
        QTest::newRow("leer") << QByteArray() << E + ff(127) << QString();
        QTest::newRow("ETX: freier Name") << E << E + ff(127) << QString();
        QTest::newRow("ETX mitten") << QByteArray("AB\x03" "CD") << QByteArray("AB\x03") + ff(125) << QStringLiteral("AB");
        QTest::newRow("200 Zeichen") << QByteArray(200, 'n') << QByteArray(128, 'n') << QString(128, QLatin1Char('n'));
        QTest::newRow("128 Zeichen") << QByteArray(128, 'n') << QByteArray(128, 'n') << QString(128, QLatin1Char('n'));
        QTest::newRow("Steuerbytes") << QByteArray("a\x00\x1A\xFF", 4) << QByteArray("a\x00\x1A\xFF\x03", 5) + ff(123)
                                     << ansi::text(QByteArray("a\x00\x1A\xFF", 4));
    }
    void name()
    {
        QFETCH(QByteArray, feld);
        QFETCH(QByteArray, zellen);
        QFETCH(QString, name);
        const Dateiergebnis r = lesen({{1, ersteZeile({"", "", "", "", "255", "10", "0", "", "", "", feld})}});
        QCOMPARE(testhilfen::zellen(r.image, 0, 128, 128), zellen);
        QCOMPARE(r.werte.anlagenbezeichnung, name);
        QCOMPARE(r.werte.kontrollruf, Editorwerte::Kontrollruf::Aus);  // fields before the name unaffected
    }

    // The operator derived after the load keeps the loaded numbers and balance;
    // only "Andere" switches the monitoring off.
    void netzbetreiber_data()
    {
        QTest::addColumn<QByteArray>("zeile2");
        QTest::addColumn<int>("netz");
        QTest::addColumn<QByteArray>("zellen");  // page 0 offsets 24..56
        QTest::addColumn<bool>("konto");
        QTest::newRow("A1") << kZeile2A1 << int(Netzbetreiber::A1) << num("1234") + num("5678") + "\x03" << true;
        QTest::newRow("T Mobile") << QByteArray("+43676123;\x03\r\n") << int(Netzbetreiber::TMobile)
                                  << num("1234") + num("5678") + "\x03" << true;
        QTest::newRow("Andere") << QByteArray("0699123;\x03\r\n") << int(Netzbetreiber::Andere)
                                << QByteArray("\x03" "234\x03") + ff(11) + "\x03" "678\x03" + ff(11) + QByteArray(1, '\0') << false;
        QTest::newRow("664 erst ab Stelle 7") << QByteArray("123456664;\x03\r\n") << int(Netzbetreiber::Andere)
                                              << QByteArray("\x03" "234\x03") + ff(11) + "\x03" "678\x03" + ff(11) + QByteArray(1, '\0') << false;
        QTest::newRow("leere Liste") << QByteArray("\x03\r\n") << int(Netzbetreiber::Andere)
                                     << QByteArray("\x03" "234\x03") + ff(11) + "\x03" "678\x03" + ff(11) + QByteArray(1, '\0') << false;
    }
    void netzbetreiber()
    {
        QFETCH(QByteArray, zeile2);
        QFETCH(int, netz);
        QFETCH(QByteArray, zellen);
        QFETCH(bool, konto);
        for (Netzbetreiber bisher : {Netzbetreiber::A1, Netzbetreiber::TMobile, Netzbetreiber::Andere}) {
            const Dateiergebnis r = cfgLesen(mitZeilen({{1, ersteZeile({"", "", "", "", "255", "10", "0", "1234", "5678", "3", ""})}, {2, zeile2}}), bisher);
            QCOMPARE(int(r.werte.netz), netz);
            QCOMPARE(r.werte.kontoAktivierbar, netz != int(Netzbetreiber::Andere));
            QCOMPARE(testhilfen::zellen(r.image, 0, 24, 33), zellen);
            QCOMPARE(r.werte.konto, konto);
            QCOMPARE(r.werte.guthabenrufnummer, konto ? QStringLiteral("1234") : QString());
            QCOMPARE(r.werte.nummerAufladung, konto ? QStringLiteral("5678") : QString());
            QCOMPARE(r.werte.sliderGuthaben, konto ? 3 : 1);
            QCOMPARE(r.werte.guthaben, konto ? QStringLiteral("3") : QString());
        }
    }

    void listeText_data()
    {
        QTest::addColumn<QByteArray>("zeile");
        QTest::addColumn<QByteArray>("liste");  // offsets 0..127
        QTest::addColumn<QByteArray>("text");   // offsets 128..255
        QTest::addColumn<QString>("sms");
        QTest::newRow("Liste und Text") << QByteArray("0664111;0676*22;\x03" "Einbruch")
                                        << QByteArray("0664111\r0676*22\r\x03") + ff(111) << QByteArray("Einbruch\x03") + ff(119)
                                        << QStringLiteral("Einbruch");
        QTest::newRow("Rest ohne ; fällt weg") << QByteArray("a;b;c\x03T") << QByteArray("a\rb\r\x03") + ff(123)
                                               << QByteArray("T\x03") + ff(126) << QStringLiteral("T");
        QTest::newRow("neun Einträge") << QByteArray("1;2;3;4;5;6;7;8;9;\x03")
                                       << QByteArray("1\r2\r3\r4\r5\r6\r7\r8\r\x03") + ff(111) << E + ff(127) << QString();
        QTest::newRow("leere Einträge") << QByteArray(";;x;\x03") << QByteArray("\r\rx\r\x03") + ff(123) << E + ff(127) << QString();
        QTest::newRow("volle Liste") << (QByteArray(15, '1') + ";").repeated(7) + QByteArray(14, '2') + ";\x03Text"
                                     << (QByteArray(15, '1') + "\r").repeated(7) + QByteArray(14, '2') + "\r\x03"
                                     << QByteArray("Text\x03") + ff(123) << QStringLiteral("Text");
        // Entries that no longer fit are dropped whole; the ETX stays in the area.
        QTest::newRow("zu lange Liste") << (QByteArray(20, '9') + ";").repeated(8) + "\x03T"
                                        << (QByteArray(20, '9') + "\r").repeated(6) + E + ff(1)
                                        << QByteArray("T\x03") + ff(126) << QStringLiteral("T");
        QTest::newRow("ein riesiger Eintrag") << QByteArray(300, '9') + ";1;\x03" << E + ff(127) << E + ff(127) << QString();
        QTest::newRow("Text zu lang") << QByteArray("\x03") + QByteArray(300, 't') << E + ff(127) << QByteArray(128, 't')
                                      << QString(128, QLatin1Char('t'));
        QTest::newRow("Text mit ETX") << QByteArray("\x03" "AB\x03" "CD") << E + ff(127) << QByteArray("AB\x03") + ff(125)
                                      << QStringLiteral("AB");
        QTest::newRow("kein ETX") << QByteArray("abc;") << QByteArray("abc\r\x03") + ff(123) << E + ff(127) << QString();
        QTest::newRow("Nullbyte, 0x1A") << QByteArray("\x00;\x03" "a\x1A" "b\x00", 7) << QByteArray("\x00\r\x03", 3) + ff(125)
                                        << QByteArray("a\x1A" "b\x00\x03", 5) + ff(123) << ansi::text(QByteArray("a\x1A" "b\x00", 4));
        QTest::newRow("leere Zeile") << QByteArray() << E + ff(127) << E + ff(127) << QString();
    }
    void listeText()
    {
        QFETCH(QByteArray, zeile);
        QFETCH(QByteArray, liste);
        QFETCH(QByteArray, text);
        QFETCH(QString, sms);
        for (int seite : {1, 5, 9}) {
            const Dateiergebnis r = lesen({{seite + 1, zeile + NL}});
            QCOMPARE(testhilfen::zellen(r.image, seite, 0, 128), liste);
            QCOMPARE(testhilfen::zellen(r.image, seite, 128, 128), text);
            QCOMPARE(r.werte.smsText[seite - 1], sms);
            for (int andere = 1; andere <= 9; ++andere)
                if (andere != seite)
                    QCOMPARE(r.image.seite(andere), E + ff(127) + E + ff(127));
        }
    }

    void relais_data()
    {
        QTest::addColumn<QByteArray>("zeile");
        QTest::addColumn<QByteArray>("seite10");
        QTest::addColumn<bool>("an1");
        QTest::addColumn<bool>("an2");
        QTest::newRow("frei") << QByteArray(" ") << E + ff(127) + E + ff(127) << false << false;
        QTest::newRow("nur Relais 1") << QByteArray("Tor\x03 ") << QByteArray("Tor\x03") + ff(124) + E + ff(127) << true << false;
        QTest::newRow("nur Relais 2") << QByteArray("\x03Licht\x03") << E + ff(127) + "Licht\x03" + ff(122) << false << true;
        QTest::newRow("beide") << QByteArray("Tor\x03Licht\x03") << QByteArray("Tor\x03") + ff(124) + "Licht\x03" + ff(122) << true << true;
        QTest::newRow("Relais 2 leer") << QByteArray("Tor\x03\x03") << QByteArray("Tor\x03") + ff(124) + E + ff(127) << true << false;
        QTest::newRow("rohes CR") << QByteArray("a\rb\x03\rc\r\x03")
                                  << QByteArray("a\rb\x03") + ff(124) + "\rc\r\x03" + ff(124) << true << true;
        QTest::newRow("127 Zeichen") << QByteArray(127, 'a') + "\x03zwei\x03" << QByteArray(127, 'a') + E + "zwei\x03" + ff(123)
                                     << true << true;
        QTest::newRow("kein ETX") << QByteArray("Tor") << E + ff(127) + E + ff(127) << false << false;
        QTest::newRow("zu lang") << QByteArray(200, 'a') + E + QByteArray(200, 'b') + E << QByteArray(128, 'a') + QByteArray(128, 'b')
                                 << true << true;
        QTest::newRow("alte Datei: 127 Zeichen am Zeilenende") << QByteArray(127, 'a') + E << QByteArray(127, 'a') + E + E + ff(127)
                                                               << true << false;
    }
    void relais()
    {
        QFETCH(QByteArray, zeile);
        QFETCH(QByteArray, seite10);
        QFETCH(bool, an1);
        QFETCH(bool, an2);
        const Dateiergebnis r = lesen({{11, zeile + NL}});
        QCOMPARE(r.image.seite(10), seite10);
        QCOMPARE(r.werte.relaisbest1, an1);
        QCOMPARE(r.werte.relaisbest2, an2);
        QCOMPARE(r.werte.besttext1, ansi::text(textLesen(r.image, bereich::Besttext1)));
        QCOMPARE(r.werte.besttext2, ansi::text(textLesen(r.image, bereich::Besttext2)));
    }

    void analog_data()
    {
        QTest::addColumn<QByteArray>("zeile");
        QTest::addColumn<QByteArray>("zellen");  // page 11 offsets 0..139
        QTest::addColumn<QStringList>("werte");  // 4 mA, 20 mA, min, max, unit
        const QByteArray akku(";Batteriespannung zu niedrig\x03");
        QTest::newRow("gespeichert") << QByteArray("0664111;\x03;;3;231;;200;255;255;V  \x03") + akku
                                     << QByteArray("0664111\r\x03") + ff(119) + bytes({0, 0, 3, 231, 0, 200, 255, 255}) + "V  \x03"
                                     << QStringList{"0", "999", "200", "", "V  "};
        QTest::newRow("grösser 999, 16 Bit, kein Byte") << QByteArray("\x03" "4;0;128;0;0;300;1;2;mA \x03") + akku
                                                       << E + ff(127) + bytes({4, 0, 255, 255, 255, 255, 1, 2}) + "mA \x03"
                                                       << QStringList{"1024", "", "", "258", "mA "};
        QTest::newRow("fehlende Felder") << QByteArray("\x03" "1;2;3;")
                                         << E + ff(127) + bytes({1, 2, 255, 255, 255, 255, 255, 255}) + ff(4)
                                         << QStringList{"258", "", "", "", ""};
        QTest::newRow("Einheit mit FF") << QByteArray("\x03") + QByteArray("255;").repeated(8) + "\xFF" "A\xFF\x03" + akku
                                        << E + ff(127) + ff(8) + "\xFF" "A\xFF\x03" << QStringList{"", "", "", "", "A"};
        QTest::newRow("Einheit frei") << QByteArray("\x03") + QByteArray("255;").repeated(8) + ff(3) + "\x03" + akku
                                      << E + ff(127) + ff(12) << QStringList{"", "", "", "", ""};
        QTest::newRow("Einheit kurz, Steuerbytes") << QByteArray("\x03") + QByteArray(";").repeated(8) + QByteArray("\x00;", 2)
                                                   << E + ff(127) + QByteArray(8, '\0') + QByteArray("\x00;\xFF\x03", 4)
                                                   << QStringList{"0", "0", "0", "0", ansi::text(QByteArray("\x00;", 2))};
    }
    void analog()
    {
        QFETCH(QByteArray, zeile);
        QFETCH(QByteArray, zellen);
        QFETCH(QStringList, werte);
        const Dateiergebnis r = lesen({{12, zeile + NL}});
        QCOMPARE(testhilfen::zellen(r.image, 11, 0, 140), zellen);
        const Editorwerte& w = r.werte;
        QCOMPARE((QStringList{w.messbereich4, w.messbereich20, w.grenzwertmin, w.grenzwertmax, w.einheit}), werte);
        // The low-battery text comes from the defaults, whatever the line holds.
        QCOMPARE(testhilfen::zellen(r.image, 11, 140, 116), ff(60) + "Batteriespannung zu niedrig\x03" + ff(28));
    }

    void alarmtexte_data()
    {
        QTest::addColumn<QByteArray>("zeile");
        QTest::addColumn<QByteArray>("seite12");
        QTest::newRow("beide") << QByteArray("tief\x03hoch\x03\r\n") << QByteArray("tief\x03") + ff(123) + "hoch\x03" + ff(123);
        QTest::newRow("Maximum frei, ohne Zeilenende") << QByteArray("tief\x03\x03") << QByteArray("tief\x03") + ff(123) + E + ff(127);
        QTest::newRow("nur Maximum") << QByteArray("\x03hoch\x03\r\n") << E + ff(127) + "hoch\x03" + ff(123);
        QTest::newRow("kein ETX") << QByteArray("tief") << E + ff(127) + E + ff(127);
        QTest::newRow("127 Zeichen") << QByteArray(127, 'm') + "\x03hoch\x03" << QByteArray(127, 'm') + E + "hoch\x03" + ff(123);
        QTest::newRow("zu lang") << QByteArray(300, 'm') + E + QByteArray(300, 'x') + E << QByteArray(128, 'm') + QByteArray(128, 'x');
        QTest::newRow("Maximum 128 ohne Zeilenende") << QByteArray("m\x03") + QByteArray(128, 'x') + E
                                                     << QByteArray("m\x03") + ff(126) + QByteArray(128, 'x');
    }
    void alarmtexte()
    {
        QFETCH(QByteArray, zeile);
        QFETCH(QByteArray, seite12);
        const Dateiergebnis r = lesen({{13, zeile}});
        QVERIFY(r.vollstaendig);
        QCOMPARE(r.image.seite(12), seite12);
        QCOMPARE(r.werte.textMin, ansi::text(textLesen(r.image, bereich::TextMin)));
        QCOMPARE(r.werte.textMax, ansi::text(textLesen(r.image, bereich::TextMax)));
    }

    // Lines end with CR LF; a lone CR is a byte of the line. Files converted to
    // LF or CR line ends still give thirteen lines.
    void zeilenenden_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<QByteArray>("seite10");
        const QByteArray rohesCr = mitZeilen({{2, kZeile2A1}, {11, QByteArray("a\rb\x03\rc\x03\r\n")}});
        const QByteArray mitCr = QByteArray("a\rb\x03") + ff(124) + "\rc\x03" + ff(125);
        const QByteArray ohneCr = mitZeilen({{2, kZeile2A1}, {11, QByteArray("ab\x03" "c\x03\r\n")}});
        const QByteArray schlicht = QByteArray("ab\x03") + ff(125) + "c\x03" + ff(126);
        QTest::newRow("CR LF, rohes CR") << rohesCr << mitCr;
        QTest::newRow("LF, rohes CR") << QByteArray(rohesCr).replace("\r\n", "\n") << mitCr;
        QTest::newRow("LF") << QByteArray(ohneCr).replace("\r\n", "\n") << schlicht;
        QTest::newRow("CR") << QByteArray(ohneCr).replace("\r\n", "\r") << schlicht;
        QTest::newRow("Zeilen hinter Zeile 13") << ohneCr + "\r\nmehr\r\n\x03\r\n" << schlicht;
        QTest::newRow("Zeilenende nach Zeile 13") << ohneCr + "\r\n" << schlicht;
    }
    void zeilenenden()
    {
        QFETCH(QByteArray, datei);
        QFETCH(QByteArray, seite10);
        const Dateiergebnis r = cfgLesen(datei);
        QVERIFY(r.vollstaendig);
        QCOMPARE(r.zeilen, 13);
        QCOMPARE(r.image.seite(10), seite10);
        QCOMPARE(r.werte.netz, Netzbetreiber::A1);  // line 2 read as line 2
        QCOMPARE(testhilfen::zellen(r.image, 11, 128, 12), ff(12));
        QCOMPARE(r.image.seite(12), E + ff(127) + E + ff(127));
    }

    // Fewer than 13 lines: what is there is loaded; the operator stays as shown.
    void unvollstaendig_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<int>("zeilen");
        QList<QByteArray> z = grundzeilen();
        z[0] = ersteZeile({"", "", "", "", "7", "10", "0", "1234", "5678", "3", "Teil"});
        z[1] = kZeile2A1;
        z[12] = QByteArray("tief\x03hoch\x03\r\n");
        QTest::newRow("leer") << QByteArray() << 0;
        QTest::newRow("eine Zeile") << z[0] << 1;
        QTest::newRow("eine Zeile ohne Zeilenende") << z[0].chopped(2) << 1;
        QTest::newRow("zwölf Zeilen") << datei(z.mid(0, 12)) << 12;
        QTest::newRow("zwölf Zeilen, Leerzeile") << datei(z.mid(0, 12)) + NL << 13;
    }
    void unvollstaendig()
    {
        QFETCH(QByteArray, datei);
        QFETCH(int, zeilen);
        for (Netzbetreiber bisher : {Netzbetreiber::TMobile, Netzbetreiber::Andere}) {
            const Dateiergebnis r = cfgLesen(datei, bisher);
            QCOMPARE(r.zeilen, zeilen);
            QCOMPARE(r.vollstaendig, zeilen == 13);
            for (int s = 0; s < kSeiten; ++s)
                QCOMPARE(r.flags[s], s < 13);
            Konfigspeicher grund;
            Grundeinstellung(grund);
            if (zeilen == 0) {
                // The editor shows acknowledgement, check call and balance
                // monitoring switched off; the image holds their bytes.
                QCOMPARE(testhilfen::zellen(r.image, 0, 0, 57), seite0({0, 0, 0, 0, 0xFF, 0x10, 0}, rest7(num(""), num(""), 0, 0x03)));
                for (int o = 57; o < kZellen; ++o)
                    QCOMPARE(r.image.zelle(0, o), grund.zelle(0, o));
                for (int s = 1; s < kSeiten; ++s)
                    QCOMPARE(r.image.seite(s), grund.seite(s));
                Editorwerte leer;
                leer.netz = bisher;
                leer.kontoAktivierbar = bisher != Netzbetreiber::Andere;
                QCOMPARE(unterschiede(r.werte, leer), QString());
                continue;
            }
            if (zeilen == 13) {
                // An empty thirteenth line: both alarm texts empty.
                QCOMPARE(r.image.seite(12), E + ff(127) + E + ff(127));
                QCOMPARE(r.werte.netz, Netzbetreiber::A1);
                continue;
            }
            QCOMPARE(r.werte.netz, bisher);
            QCOMPARE(r.werte.kontoAktivierbar, bisher != Netzbetreiber::Andere);
            // Line 1 loaded, the operator rule not applied to it.
            QCOMPARE(testhilfen::zellen(r.image, 0, 0, 57), seite0({0, 0, 0, 0, 7, 0x10, 0}, rest7(num("1234"), num("5678"), 3)));
            QCOMPARE(r.werte.anlagenbezeichnung, QStringLiteral("Teil"));
            QVERIFY(r.werte.konto);
            for (int s = zeilen; s < kSeiten; ++s)
                QCOMPARE(r.image.seite(s), grund.seite(s));
        }
    }

    // Hostile files: random bytes of every value, huge files, very long lines.
    // Whatever they hold, nothing lands outside the areas the lines own, every
    // recipient list keeps its ETX inside offsets 0..127, and the load ends.
    void fremdeBytes_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QRandomGenerator zufall(4711);
        for (int n = 0; n < 300; ++n) {
            QByteArray d(int(zufall.bounded(1, 4000)), Qt::Uninitialized);
            // Few distinct values, so that ";", ETX, CR, LF, FF, 0x00, 0x1A meet often.
            static const char haeufig[] = {';', '\x03', '\r', '\n', '\xFF', '\x00', '\x1A', '1', '9', 'a'};
            for (char& c : d)
                c = zufall.bounded(3) == 0 ? char(zufall.bounded(256)) : haeufig[zufall.bounded(int(sizeof haeufig))];
            QTest::addRow("zufall %d", n) << d;
        }
        QByteArray alle;
        for (int b = 0; b < 256; ++b)
            alle.append(char(b));
        QTest::newRow("alle Bytewerte") << alle.repeated(20);
        QTest::newRow("nur Nullbytes") << QByteArray(5000, '\0');
        QTest::newRow("nur 0x1A") << QByteArray(5000, '\x1A');
        QTest::newRow("nur Zeilenenden") << QByteArray("\r\n").repeated(50);
        // 13 lines of 100 000 bytes each.
        QByteArray lang;
        for (int z = 0; z < 13; ++z)
            lang += (QByteArray("1234567;") + QByteArray(1, char(3)) + QByteArray(91, char('a' + z))).repeated(1000) + NL;
        QTest::newRow("lange Zeilen") << lang;
        // Some 30 MB in few lines, and in one line.
        QTest::newRow("30 MB, wenige Zeilen") << (QByteArray(2'500'000, 'x') + ";\x03" + NL).repeated(12);
        QTest::newRow("30 MB, eine Zeile") << QByteArray("9;").repeated(15'000'000);
    }
    void fremdeBytes()
    {
        QFETCH(QByteArray, datei);
        const Dateiergebnis r = cfgLesen(datei);
        Konfigspeicher grund;
        Grundeinstellung(grund);
        QVERIFY(r.zeilen >= 0 && r.zeilen <= 13);
        for (int s = 13; s < kSeiten; ++s)
            QCOMPARE(r.image.seite(s), grund.seite(s));
        QCOMPARE(testhilfen::zellen(r.image, 0, 57, 71), testhilfen::zellen(grund, 0, 57, 71));
        QCOMPARE(testhilfen::zellen(r.image, 11, 140, 116), testhilfen::zellen(grund, 11, 140, 116));
        for (int s : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
            if (r.zeilen > (s == 11 ? 11 : s))
                QVERIFY2(testhilfen::zellen(r.image, s, 0, 128).contains('\x03'), qPrintable(QString::number(s)));
        for (int s = 0; s < kSeiten; ++s)
            for (int o = 0; o < kZellen; ++o)
                QVERIFY(r.image.gesetzt(s, o));
        // The values shown are what the image holds.
        if (r.zeilen == 13) {
            QCOMPARE(r.werte.anlagenbezeichnung, ansi::text(textLesen(r.image, bereich::Anlagenbezeichnung)));
            for (int i = 0; i < 9; ++i)
                QCOMPARE(r.werte.smsText[i], ansi::text(textLesen(r.image, bereich::SMSText(i))));
            QCOMPARE(r.werte.textMax, ansi::text(textLesen(r.image, bereich::TextMax)));
        }
    }

    // Very long lines are cut at every area's end, each area exactly.
    void langeZeilenExakt()
    {
        QList<QByteArray> z;
        z << ersteZeile({QByteArray(100'000, '1'), "", "", "", "7", "", "", QByteArray(100'000, 'x'), "", "2", QByteArray(100'000, 'n')});
        for (int s = 1; s <= 9; ++s)
            z << QByteArray("0664567890;").repeated(10'000) + E + QByteArray(100'000, 't') + NL;
        z << QByteArray(100'000, 'a') + E + QByteArray(100'000, 'b') + E + NL;
        z << QByteArray("12;").repeated(40'000) + NL;
        z << QByteArray(100'000, 'c') + E + QByteArray(100'000, 'd') + E;
        const Dateiergebnis r = cfgLesen(datei(z));
        QVERIFY(r.vollstaendig);
        QCOMPARE(testhilfen::zellen(r.image, 0, 0, 57), seite0({0, 0, 0, 0, 7, 0x10, 0}, rest7("xxxxxxxxxxxxxxxx", num(""), 2)));
        QCOMPARE(testhilfen::zellen(r.image, 0, 128, 128), QByteArray(128, 'n'));
        for (int s = 1; s <= 9; ++s)
            QCOMPARE(r.image.seite(s), QByteArray("0664567890\r").repeated(8) + E + ff(39) + QByteArray(128, 't'));
        QCOMPARE(r.image.seite(10), QByteArray(128, 'a') + QByteArray(128, 'b'));
        // Line 12 without ETX is all list: eight entries, nothing behind.
        QCOMPARE(testhilfen::zellen(r.image, 11, 0, 140), QByteArray("12\r").repeated(8) + E + ff(103) + ff(12));
        QCOMPARE(r.image.seite(12), QByteArray(128, 'c') + QByteArray(128, 'd'));
    }

    // Reading the file from disk: at most 1 MiB, no folder, and nothing that
    // is no plain file (a pipe would wait for a writer for ever).
    void dateiVonPlatte_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("fehler");
        QTest::newRow("genau 1 MiB") << "grenze" << "";
        QTest::newRow("1 MiB + 1") << "grenze+1" << "zu groß für eine Konfigurationsdatei";
        QTest::newRow("fehlt") << "fehlt" << "No such file or directory";
        QTest::newRow("Ordner") << "ordner" << "ist ein Ordner";
        QTest::newRow("Pipe") << "pipe" << "keine gewöhnliche Datei";
    }
    void dateiVonPlatte()
    {
        QFETCH(QString, fall);
        QFETCH(QString, fehler);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        const QByteArray anfang("Kl\xE4ranlage;");
        if (fall.startsWith(QLatin1String("grenze"))) {
            QFile d(pfad);
            QVERIFY(d.open(QIODevice::WriteOnly) && d.write(anfang) == anfang.size());
            QVERIFY(d.resize((1 << 20) + (fall == QLatin1String("grenze+1") ? 1 : 0)));
        }
        if (fall == QLatin1String("ordner"))
            QVERIFY(QDir(ordner.path()).mkdir(QStringLiteral("a.cfg")));
        if (fall == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(pfad).constData(), 0600), 0);
        const Dateiinhalt d = dateiLesen(pfad);
        QCOMPARE(d.fehler, fehler);
        QCOMPARE(bool(d), fehler.isEmpty());
        if (d) {
            QCOMPARE(d.bytes.size(), 1 << 20);
            QCOMPARE(d.bytes.left(anfang.size()), anfang);
        } else {
            QCOMPARE(d.bytes, QByteArray());
        }
    }
};

QTEST_GUILESS_MAIN(TestCfgLesen)
#include "test_cfglesen.moc"
