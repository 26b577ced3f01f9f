// The configuration file writer: exact bytes for the default image and for
// hand-built pages of every line kind.
#include "cfgfile/cfgdatei.h"
#include "image/felder.h"
#include "testhilfen.h"

#include <QTest>

using namespace testhilfen;

namespace {

QByteArray mitZeile(int nr, const QByteArray& zeile)
{
    return mitZeilen({{nr, zeile}});
}

void schreibe(Konfigspeicher& k, int seite, int von, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        k.setze(seite, von + i, std::uint8_t(bytes[i]));
}

Konfigspeicher grund()
{
    Konfigspeicher k;
    Grundeinstellung(k);
    return k;
}

using Bau = std::function<void(Konfigspeicher&)>;

} // namespace

Q_DECLARE_METATYPE(Bau)

class TestCfgSchreiben : public QObject {
    Q_OBJECT
private slots:
    void grundbild()
    {
        const QByteArray d = cfgSchreiben(grund());
        QCOMPARE(d, datei(grundzeilen()));
        // Spelled out once, to pin the helper itself.
        QVERIFY(d.startsWith(QByteArray(";;;255;255;FF;FF;\xFF\xFF")));
        QVERIFY(d.endsWith(QByteArray("niedrig\x03\r\n\x03\x03")));
        QCOMPARE(d.count("\r\n"), 12);
    }

    // Unset cells (an image never given its default content) write as FF.
    void leereZellenAlsFF()
    {
        Konfigspeicher k;
        QByteArray z1 = QByteArray("255;255;255;255;255;FF;FF;") + ff(16) + ";" + ff(16) + ";255;" + E + ";" + NL;
        QList<QByteArray> z = grundzeilen();
        z[0] = z1;
        z[11] = E + QByteArray("255;").repeated(8) + ff(3) + E + ";" + ff(56) + NL;
        QCOMPARE(cfgSchreiben(k), datei(z));
    }

    void zeilen_data()
    {
        QTest::addColumn<Bau>("bau");
        QTest::addColumn<int>("nr");
        QTest::addColumn<QByteArray>("zeile");

        // ---- line 1
        QTest::newRow("z1 Bitfelder, Quittierung, Kontrollruf Montag 10:00") << Bau([](Konfigspeicher& k) {
            schreibe(k, 0, 0, QByteArray("\x85\x02\xFF\x0F\x00\x10\x00", 7));
        }) << 1 << QByteArray("133;2;255;15;0;10;0;") + ff(16) + ";" + ff(16) + ";255;" + E + ";" + NL;
        QTest::newRow("z1 Null leer, Stunde A") << Bau([](Konfigspeicher& k) {
            schreibe(k, 0, 0, QByteArray("\x00\x00\x00\x00\x07\x0A\x59", 7));
            k.setze(0, 56, 0);
        }) << 1 << QByteArray(";;;;7;A;59;") + ff(16) + ";" + ff(16) + ";;" + E + ";" + NL;
        QTest::newRow("z1 Nummern, Guthaben, Name") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Guthabenrufnummer, "08006642903");
            textSpeichern(k, bereich::NummerAufladung, "*105*");
            k.setze(0, 56, 5);
            textSpeichern(k, bereich::Anlagenbezeichnung, "Pumpwerk S\xFC" "d");
        }) << 1 << QByteArray(";;;255;255;FF;FF;08006642903;*105*;5;Pumpwerk S\xFC" "d;") + NL;
        QTest::newRow("z1 Nummer voll, FF mitten drin") << Bau([](Konfigspeicher& k) {
            schreibe(k, 0, 24, "0123456789012345");
            schreibe(k, 0, 40, "12\xFF" "3\x03" "99");
        }) << 1 << QByteArray(";;;255;255;FF;FF;0123456789012345;12\xFF" "3;255;") + E + ";" + NL;
        QTest::newRow("z1 Name endet an FF, Name leer") << Bau([](Konfigspeicher& k) {
            schreibe(k, 0, 128, "Halle\xFF" "xy\x03");
            textSpeichern(k, bereich::Guthabenrufnummer, "");
        }) << 1 << QByteArray(";;;255;255;FF;FF;;") + ff(16) + ";255;Halle;" + NL;
        QTest::newRow("z1 Name leer (ETX)") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Anlagenbezeichnung, "");
        }) << 1 << QByteArray(";;;255;255;FF;FF;") + ff(16) + ";" + ff(16) + ";255;;" + NL;
        QTest::newRow("z1 Name mit Semikolon") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Anlagenbezeichnung, "Halle 3; Tor 2");
        }) << 1 << QByteArray(";;;255;255;FF;FF;") + ff(16) + ";" + ff(16) + ";255;Halle 3; Tor 2;" + NL;

        // ---- lines 2..10
        QTest::newRow("z2 Liste und Text") << Bau([](Konfigspeicher& k) {
            listeSpeichern(k, 1, *listeRahmen({"06641234567", "0676*99"}));
            textSpeichern(k, bereich::SMSText(0), "Einbruch Halle");
        }) << 2 << QByteArray("06641234567;0676*99;\x03" "Einbruch Halle\r\n");
        QTest::newRow("z10 Liste, Text frei") << Bau([](Konfigspeicher& k) {
            listeSpeichern(k, 9, *listeRahmen({"123"}));
        }) << 10 << QByteArray("123;\x03\r\n");
        QTest::newRow("z5 leere Liste, Text leer") << Bau([](Konfigspeicher& k) {
            listeSpeichern(k, 4, *listeRahmen({}));
            textSpeichern(k, bereich::SMSText(3), "");
        }) << 5 << QByteArray("\x03\r\n");
        QTest::newRow("z3 Liste frei, Text") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::SMSText(1), "Strom weg");
        }) << 3 << QByteArray("\x03Strom weg\r\n");
        QTest::newRow("z4 CR im Text wird ;") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::SMSText(2), "a\rb");
        }) << 4 << QByteArray("\x03" "a;b\r\n");
        // A full list: its ETX stands at offset 127 and the text behind stays on the line.
        QTest::newRow("z2 volle Liste") << Bau([](Konfigspeicher& k) {
            QList<QByteArray> e(7, QByteArray(15, '1'));
            e << QByteArray(14, '2');
            const auto l = listeRahmen(e);
            Q_ASSERT(l && l->at(127) == '\x03');
            listeSpeichern(k, 1, *l);
            textSpeichern(k, bereich::SMSText(0), "Text");
        }) << 2 << (QByteArray(15, '1') + ";").repeated(7) + QByteArray(14, '2') + ";\x03Text\r\n";
        // Device pages: a list without ETX, a text without ETX, bytes behind a
        // free text, bytes behind FF at offset 0.
        QTest::newRow("z6 Liste ohne ETX") << Bau([](Konfigspeicher& k) {
            schreibe(k, 5, 0, QByteArray(128, '7'));
            textSpeichern(k, bereich::SMSText(4), "T");
        }) << 6 << QByteArray(128, '7') + "\x03T\r\n";
        QTest::newRow("z7 Text ohne ETX") << Bau([](Konfigspeicher& k) {
            listeSpeichern(k, 6, *listeRahmen({"1"}));
            schreibe(k, 6, 128, QByteArray(128, 'x'));
        }) << 7 << QByteArray("1;\x03") + QByteArray(128, 'x') + NL;
        QTest::newRow("z8 Bytes hinter freiem Text") << Bau([](Konfigspeicher& k) {
            schreibe(k, 7, 130, "Rest\x03");
        }) << 8 << E + NL;
        QTest::newRow("z9 Bytes hinter FF an 0, FF im Text") << Bau([](Konfigspeicher& k) {
            schreibe(k, 8, 5, "12\r\x03");
            schreibe(k, 8, 128, "a\xFF" "b\x03");
        }) << 9 << QByteArray("\x03" "ab\r\n");

        // ---- line 11
        QTest::newRow("z11 beide Relais") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, "Tor auf");
            textSpeichern(k, bereich::Besttext2, "Licht an");
        }) << 11 << QByteArray("Tor auf\x03Licht an\x03\r\n");
        QTest::newRow("z11 nur Relais 1") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, "R1");
        }) << 11 << QByteArray("R1\x03 \r\n");
        QTest::newRow("z11 Relais 1 leer, Relais 2") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, "");
            textSpeichern(k, bereich::Besttext2, "R2");
        }) << 11 << QByteArray("\x03R2\x03\r\n");
        // A fresh page 10 with only relay 2 set: ETX in front, or it opens as relay 1.
        QTest::newRow("z11 Relais 1 frei, Relais 2") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext2, "R2");
        }) << 11 << QByteArray("\x03R2\x03\r\n");
        QTest::newRow("z11 Relais 1 frei, Relais 2 leer") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext2, "");
        }) << 11 << QByteArray("\x03\r\n");
        QTest::newRow("z11 Relais 1 mit 127 Zeichen") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, QByteArray(127, 'a'));
            textSpeichern(k, bereich::Besttext2, "zwei");
        }) << 11 << QByteArray(127, 'a') + "\x03zwei\x03\r\n";
        // CR and LF from a device are blanks in every text: no text splits its line.
        QTest::newRow("z11 CR und LF als Leerzeichen") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, "a\r\nb");
            textSpeichern(k, bereich::Besttext2, "\nc\r");
        }) << 11 << QByteArray("a  b\x03 c \x03\r\n");
        QTest::newRow("z1 CR und LF in Nummern und Name") << Bau([](Konfigspeicher& k) {
            schreibe(k, 0, 24, "0800\r\n1\x03");
            schreibe(k, 0, 40, "\n5\x03");
            textSpeichern(k, bereich::Anlagenbezeichnung, "Halle\r\nNord");
        }) << 1 << QByteArray(";;;255;255;FF;FF;0800  1; 5;255;Halle  Nord;") + NL;
        QTest::newRow("z2 LF in der Liste, CR LF im Text") << Bau([](Konfigspeicher& k) {
            schreibe(k, 1, 0, "0664\n1\r2\r\x03");
            textSpeichern(k, bereich::SMSText(0), "Tor\r\nauf");
        }) << 2 << QByteArray("0664 1;2;\x03Tor; auf\r\n");
        QTest::newRow("z12 CR und LF in Liste, Einheit, Akkutext") << Bau([](Konfigspeicher& k) {
            schreibe(k, 11, 0, "1\n2\r\x03");
            schreibe(k, 11, 136, "\r\nV");
            schreibe(k, 11, 200, "Akku\r\n\x03");
        }) << 12 << QByteArray("1 2;\x03") + QByteArray("255;").repeated(8) + "  V\x03;Akku  \x03" + NL;
        QTest::newRow("z13 CR und LF") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, "zu\r\ntief");
            textSpeichern(k, bereich::TextMax, "\r");
        }) << 13 << QByteArray("zu  tief\x03 \x03\r\n");
        QTest::newRow("z11 Geraet: Relais voll ohne ETX") << Bau([](Konfigspeicher& k) {
            schreibe(k, 10, 0, QByteArray(128, 'a'));
            schreibe(k, 10, 128, QByteArray(128, 'b'));
        }) << 11 << QByteArray(128, 'a') + E + QByteArray(128, 'b') + E + NL;
        QTest::newRow("z11 Geraet: FF in den Texten") << Bau([](Konfigspeicher& k) {
            schreibe(k, 10, 0, "\xFF" "a\xFF" "b");
            schreibe(k, 10, 129, "c\x03");
        }) << 11 << QByteArray("ab\x03" "c\x03\r\n");

        // ---- line 12
        QTest::newRow("z12 Liste, Bereich, Einheit") << Bau([](Konfigspeicher& k) {
            listeSpeichern(k, 11, *listeRahmen({"0664111", "0664222"}));
            zahlSpeichern(k, 11, offset::Messbereich4, 0);
            zahlSpeichern(k, 11, offset::Messbereich20, 999);
            zahlSpeichern(k, 11, offset::Grenzwertmin, 200);
            einheitSpeichern(k, "V");
        }) << 12 << QByteArray("0664111;0664222;\x03;;3;231;;200;255;255;V  \x03;Batteriespannung zu niedrig\x03\r\n");
        QTest::newRow("z12 Einheit roh, Akkutext ohne ETX") << Bau([](Konfigspeicher& k) {
            schreibe(k, 11, 136, QByteArray("\x00;\x03", 3));
            schreibe(k, 11, 200, QByteArray(56, 'B'));
        }) << 12 << E + QByteArray("255;").repeated(8) + QByteArray("\x00;\x03\x03;", 5) + QByteArray(56, 'B') + NL;

        // ---- line 13
        QTest::newRow("z13 beide Texte") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, "zu tief");
            textSpeichern(k, bereich::TextMax, "zu hoch");
        }) << 13 << QByteArray("zu tief\x03zu hoch\x03\r\n");
        QTest::newRow("z13 Maximum frei") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, "zu tief");
        }) << 13 << QByteArray("zu tief\x03\x03");
        QTest::newRow("z13 Maximum leer") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, "zu tief");
            textSpeichern(k, bereich::TextMax, "");
        }) << 13 << QByteArray("zu tief\x03\x03\r\n");
        QTest::newRow("z13 Minimum frei, Maximum") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMax, "hoch");
        }) << 13 << QByteArray("\x03hoch\x03\r\n");
        QTest::newRow("z13 Minimum mit 127 Zeichen") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, QByteArray(127, 'm'));
            textSpeichern(k, bereich::TextMax, "hoch");
        }) << 13 << QByteArray(127, 'm') + "\x03hoch\x03\r\n";
        QTest::newRow("z13 Geraet: Maximum ohne ETX") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, "m");
            schreibe(k, 12, 128, QByteArray(128, 'x'));
        }) << 13 << QByteArray("m\x03") + QByteArray(128, 'x') + E;
    }
    void zeilen()
    {
        QFETCH(Bau, bau);
        QFETCH(int, nr);
        QFETCH(QByteArray, zeile);
        Konfigspeicher k = grund();
        bau(k);
        QCOMPARE(cfgSchreiben(k), mitZeile(nr, zeile));
    }

    // Every byte value of the raw areas but CR and LF reaches the file as itself.
    void alleBytesRoh()
    {
        Konfigspeicher k = grund();
        QByteArray alle;
        for (int b = 0; b < 256; ++b)
            if (b != 0x03 && b != 0xFF && b != 0x0A && b != 0x0D)
                alle.append(char(b));
        schreibe(k, 10, 0, alle.left(127));
        k.setze(10, 127, ETX);
        schreibe(k, 10, 128, alle.mid(127, 127));
        const QByteArray d = cfgSchreiben(k);
        QVERIFY(d.contains(alle.left(127) + E + alle.mid(127, 127) + E + NL));
    }
};

QTEST_GUILESS_MAIN(TestCfgSchreiben)
#include "test_cfgschreiben.moc"
