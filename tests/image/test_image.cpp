#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"

#include <QTest>

namespace {
QByteArray zellen(const Konfigspeicher& k, int seite, int von, int anzahl)
{
    QByteArray out;
    for (int i = 0; i < anzahl; ++i)
        out.append(char(k.byte(seite, von + i, 0xEE)));
    return out;
}
QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }
} // namespace

class TestImage : public QObject {
    Q_OBJECT
private slots:
    void ansiRundreise()
    {
        for (int b = 0; b < 256; ++b) {
            const QChar c = ansi::zeichen(std::uint8_t(b));
            QCOMPARE(ansi::byteFuer(c), std::optional<std::uint8_t>(std::uint8_t(b)));
        }
        QCOMPARE(ansi::bytes(QStringLiteral("Öffner ß €")), QByteArray("\xD6" "ffner \xDF \x80"));
        QCOMPARE(ansi::text(QByteArray("\x81\x8D\x8F\x90\x9D")).size(), 5);
        QCOMPARE(ansi::bytes(ansi::text(QByteArray("\x81\x8D\x8F\x90\x9D"))), QByteArray("\x81\x8D\x8F\x90\x9D"));
        QVERIFY(!ansi::darstellbar(QStringLiteral("\u4e2d")));
        QCOMPARE(ansi::bytes(QStringLiteral("a\u4e2d")), QByteArray("a?"));
    }

    void grundeinstellung()
    {
        Konfigspeicher k;
        QVERIFY(!k.gesetzt(0, 0));
        Grundeinstellung(k);
        QCOMPARE(zellen(k, 0, 0, 3), QByteArray(3, '\0'));
        QCOMPARE(zellen(k, 0, 3, 71), ff(71));
        QCOMPARE(zellen(k, 0, 74, 19), QByteArray("Kontostand Minimum\x03"));
        QCOMPARE(zellen(k, 0, 93, 163), ff(163));
        QCOMPARE(zellen(k, 11, 200, 28), QByteArray("Batteriespannung zu niedrig\x03"));
        QCOMPARE(zellen(k, 11, 0, 200), ff(200));
        QCOMPARE(zellen(k, 11, 228, 28), ff(28));
        for (int s = 1; s < kSeiten; ++s)
            if (s != 11)
                QCOMPARE(k.seite(s), ff(256));
        QVERIFY(!zahlLesen(k, 11, offset::Messbereich4).wert);
    }

    void textBereich()
    {
        Konfigspeicher k;
        Grundeinstellung(k);
        textSpeichern(k, bereich::Anlagenbezeichnung, "AB");
        QCOMPARE(zellen(k, 0, 128, 128), QByteArray("AB\x03") + ff(125));
        textSpeichern(k, bereich::Anlagenbezeichnung, "");
        QCOMPARE(zellen(k, 0, 128, 128), QByteArray("\x03" "B\x03") + ff(125));
        // A text as long as the area fills it without end mark; longer is cut.
        textSpeichern(k, bereich::Guthabenrufnummer, QByteArray(20, '7'));
        QCOMPARE(zellen(k, 0, 24, 16), QByteArray(16, '7'));
        QCOMPARE(k.byte(0, 40), std::uint8_t(0xFF));
        QCOMPARE(::textLesen(k, bereich::Guthabenrufnummer), QByteArray(16, '7'));
    }

    void textLesenRegeln_data()
    {
        QTest::addColumn<int>("breite");
        QTest::addColumn<QByteArray>("zellen");
        QTest::addColumn<QByteArray>("erwartet");
        QTest::newRow("128 nur FF") << 128 << ff(128) << ff(128);
        QTest::newRow("128 bis ETX") << 128 << (QByteArray("Hallo\x03xyz") + ff(120)) << QByteArray("Hallo");
        QTest::newRow("128 FF ist Zeichen") << 128 << (QByteArray("a\xFF" "b\x03") + ff(124)) << QByteArray("a\xFF" "b");
        QTest::newRow("16 nur FF") << 16 << ff(16) << QByteArray();
        QTest::newRow("16 bis FF") << 16 << (QByteArray("0664") + ff(12)) << QByteArray("0664");
        QTest::newRow("16 bis ETX") << 16 << (QByteArray("*101#\x03") + ff(10)) << QByteArray("*101#");
    }
    void textLesenRegeln()
    {
        QFETCH(int, breite);
        QFETCH(QByteArray, zellen);
        QFETCH(QByteArray, erwartet);
        Konfigspeicher k;
        const Bereich b{breite == 16 ? 0 : 12, breite == 16 ? 24 : 0, breite};
        for (int i = 0; i < breite; ++i)
            k.setze(b.seite, b.anfang + i, std::uint8_t(zellen[i]));
        QCOMPARE(::textLesen(k, b), erwartet);
    }

    void einheit()
    {
        Konfigspeicher k;
        Grundeinstellung(k);
        einheitSpeichern(k, "V");
        QCOMPARE(zellen(k, 11, 136, 4), QByteArray("V  \x03"));
        QCOMPARE(einheitLesen(k), QByteArray("V  "));
        einheitSpeichern(k, "");
        QCOMPARE(zellen(k, 11, 136, 4), QByteArray("   \x03"));
        QCOMPARE(einheitLesen(k), QByteArray("   "));
        k.setze(11, 137, 0xFF);
        QCOMPARE(einheitLesen(k), QByteArray("  "));
    }

    void bitfeld()
    {
        Konfigspeicher k;
        bitSetzen(k, 0, 0, 3, true);  // unset cell counts as 0
        QCOMPARE(k.byte(0, 0), std::uint8_t(0x08));
        k.setze(0, 0, 0x05);
        bitSetzen(k, 0, 0, 7, true);
        QCOMPARE(k.byte(0, 0), std::uint8_t(0x85));
        bitSetzen(k, 0, 0, 0, false);
        QCOMPARE(k.byte(0, 0), std::uint8_t(0x84));
        QVERIFY(bitGesetzt(k, 0, 0, 2));
        QVERIFY(!bitGesetzt(k, 0, 0, 0));
    }

    void bcdKodierung_data()
    {
        QTest::addColumn<int>("wert");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("text");
        QTest::newRow("9") << 9 << 0x09 << "09";
        QTest::newRow("45") << 45 << 0x45 << "45";
        QTest::newRow("23") << 23 << 0x23 << "23";
        QTest::newRow("10") << 10 << 0x10 << "10";
        QTest::newRow("0") << 0 << 0x00 << "00";
    }
    void bcdKodierung()
    {
        QFETCH(int, wert);
        QFETCH(int, byte);
        QFETCH(QString, text);
        QCOMPARE(int(bcd(wert)), byte);
        QCOMPARE(bcdWert(std::uint8_t(byte), 59), wert);
        QCOMPARE(zweistellig(byte, 16), text);
    }

    // A byte that is no time: a digit above 9, or a value past the limit.
    void bcdKeinWert_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("hoechstens");
        QTest::newRow("3A") << 0x3A << 59;
        QTest::newRow("A0") << 0xA0 << 99;
        QTest::newRow("24 Uhr") << 0x24 << 23;
        QTest::newRow("60 Minuten") << 0x60 << 59;
        QTest::newRow("FF") << 0xFF << 99;
    }
    void bcdKeinWert()
    {
        QFETCH(int, byte);
        QFETCH(int, hoechstens);
        QCOMPARE(bcdWert(std::uint8_t(byte), hoechstens), -1);
    }

    void zweistelligeZahl_data()
    {
        QTest::addColumn<int>("wert");
        QTest::addColumn<int>("basis");
        QTest::addColumn<QString>("text");
        QTest::newRow("7") << 7 << 10 << "07";
        QTest::newRow("59") << 59 << 10 << "59";
        QTest::newRow("135") << 135 << 10 << "135";
        QTest::newRow("0x3A") << 0x3A << 16 << "3A";
        QTest::newRow("0x0A") << 0x0A << 16 << "0A";
        QTest::newRow("0xFF") << 0xFF << 16 << "FF";
    }
    void zweistelligeZahl()
    {
        QFETCH(int, wert);
        QFETCH(int, basis);
        QFETCH(QString, text);
        QCOMPARE(zweistellig(wert, basis), text);
    }

    void zahl_data()
    {
        QTest::addColumn<int>("wert");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("999") << 999 << QByteArray("\x03\xE7");
        QTest::newRow("200") << 200 << QByteArray("\x00\xC8", 2);
        QTest::newRow("256") << 256 << QByteArray("\x01\x00", 2);
        QTest::newRow("0") << 0 << QByteArray("\x00\x00", 2);
        QTest::newRow("leer") << -1 << QByteArray("\xFF\xFF");
    }
    void zahl()
    {
        QFETCH(int, wert);
        QFETCH(QByteArray, bytes);
        Konfigspeicher k;
        Grundeinstellung(k);
        zahlSpeichern(k, 11, 130, wert < 0 ? std::nullopt : std::optional<int>(wert));
        QCOMPARE(zellen(k, 11, 130, 2), bytes);
        const Zahlwert z = zahlLesen(k, 11, 130);
        QVERIFY(!z.ueberlauf);
        QCOMPARE(z.text(), wert < 0 ? QString() : QString::number(wert));
        QCOMPARE(zellen(k, 11, 128, 2), ff(2));  // neighbours untouched
        QCOMPARE(zellen(k, 11, 132, 2), ff(2));
    }
    void zahlUeberlauf()
    {
        Konfigspeicher k;
        Grundeinstellung(k);
        k.setze(11, 128, 0xFF);
        k.setze(11, 129, 0x12);
        QCOMPARE(zahlLesen(k, 11, 128).text(), QString());
        k.setze(11, 128, 0x7F);
        k.setze(11, 129, 0xFF);
        QCOMPARE(zahlLesen(k, 11, 128).text(), QStringLiteral("32767"));
        for (int hoch : {0x80, 0xC0, 0xFE}) {
            k.setze(11, 128, std::uint8_t(hoch));
            QVERIFY(zahlLesen(k, 11, 128).ueberlauf);
        }
    }

    void liste()
    {
        Konfigspeicher k;
        Grundeinstellung(k);
        auto r = listeRahmen({"0664123", "06646802555"});
        QVERIFY(r);
        QCOMPARE(r->size(), 128);
        listeSpeichern(k, 3, *r);
        QCOMPARE(zellen(k, 3, 0, 21), QByteArray("0664123\r06646802555\r\x03"));
        QCOMPARE(zellen(k, 3, 21, 107), ff(107));
        QCOMPARE(listeLesen(k, 3), (QList<QByteArray>{"0664123", "06646802555"}));
        QCOMPARE(*listeRahmen({}), QByteArray("\x03") + ff(127));
        // 127 cells of entries + separators + end mark fit exactly; one more does not.
        QVERIFY(listeRahmen({QByteArray(126, '1')}));
        QVERIFY(!listeRahmen({QByteArray(127, '1')}));
        QVERIFY(!listeRahmen(QList<QByteArray>(8, QByteArray(15, '1'))));
        QVERIFY(listeLesen(k, 5).isEmpty());
    }

    void netzbetreiber_data()
    {
        QTest::addColumn<QByteArray>("liste");
        QTest::addColumn<int>("betreiber");
        QTest::newRow("A1 national") << QByteArray("06641234\r\x03") << int(Netzbetreiber::A1);
        QTest::newRow("A1 international") << QByteArray("+43664123\r\x03") << int(Netzbetreiber::A1);
        QTest::newRow("T Mobile") << QByteArray("0676555\r\x03") << int(Netzbetreiber::TMobile);
        QTest::newRow("664 ab Zeichen 7") << QByteArray("0699996641\r\x03") << int(Netzbetreiber::Andere);
        QTest::newRow("leer") << QByteArray("\x03") << int(Netzbetreiber::Andere);
        QTest::newRow("nur FF") << QByteArray() << int(Netzbetreiber::Andere);
        QTest::newRow("zweiter Eintrag zaehlt nicht") << QByteArray("0699\r0664\r\x03") << int(Netzbetreiber::Andere);
    }
    void netzbetreiber()
    {
        QFETCH(QByteArray, liste);
        QFETCH(int, betreiber);
        Konfigspeicher k;
        Grundeinstellung(k);
        for (int i = 0; i < liste.size(); ++i)
            k.setze(1, i, std::uint8_t(liste[i]));
        QCOMPARE(int(Netzbetreiber_erkennen(k)), betreiber);
    }

    void markierungenUndTitel()
    {
        Seitenaenderung s{};
        Alles_markieren(s);
        for (int i = 0; i < kSeiten; ++i)
            QCOMPARE(s[i], i < 13);
        Markierungen_loeschen(s);
        for (bool f : s)
            QVERIFY(!f);
        QCOMPARE(seitenTitel(0), QStringLiteral("Allgemeine Daten ..."));
        QCOMPARE(seitenTitel(8), QStringLiteral("Daten zu Meldelinie 8 ..."));
        QCOMPARE(seitenTitel(10), QStringLiteral("Bestätigungstexte ..."));
        QCOMPARE(seitenTitel(12), QStringLiteral("Daten zu Analogeingang ..."));
        QCOMPARE(seitenTitel(13), QString());
    }

    void schreibenAusserhalbIgnoriert()
    {
        Konfigspeicher k;
        k.setze(32, 0, 1);
        k.setze(0, 256, 1);
        k.setze(-1, 0, 1);
        QCOMPARE(k, Konfigspeicher());
    }
};

QTEST_GUILESS_MAIN(TestImage)
#include "test_image.moc"
