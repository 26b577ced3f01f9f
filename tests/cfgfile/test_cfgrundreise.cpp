// Save and open again: configurations made by the editor's rules come back
// with the same editor values and the same cells, apart from the listed
// exceptions; pages the device alone can produce keep every text.
#include "cfgfile/cfgdatei.h"
#include "cfgfile/dekodieren.h"
#include "generator.h"
#include "image/felder.h"
#include "testhilfen.h"

#include <QTest>

using namespace testhilfen;

namespace {

// Areas holding a text or a recipient list.
QList<Bereich> textbereiche()
{
    QList<Bereich> l{bereich::Anlagenbezeichnung, bereich::Guthabenrufnummer, bereich::NummerAufladung,
                     bereich::Besttext1, bereich::Besttext2, bereich::TextMin, bereich::TextMax};
    for (int i = 0; i < 9; ++i)
        l << bereich::SMSText(i);
    for (int s : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
        l << bereich::Empfaenger(s);
    return l;
}

// The image an editor-made image comes back as. The exceptions:
//  - page 0 offset 7 (a leftover of switching the check call off, without
//    meaning) comes back as 0xFF;
//  - a free area (0xFF in its first cell, never edited) comes back as the
//    empty text or list: 0x03 in its first cell;
//  - the bytes an emptied text leaves behind its 0x03 are not in the file and
//    come back as 0xFF.
// The unit comes back blank-padded, as the device read shows it; the generator
// already expects that.
Konfigspeicher erwartetesBild(const Konfigspeicher& k)
{
    Konfigspeicher e = k;
    e.setze(0, 7, FF);
    for (const Bereich& b : textbereiche()) {
        const std::uint8_t erstes = k.byte(b.seite, b.anfang);
        if (erstes != FF && erstes != ETX)
            continue;
        e.setze(b.seite, b.anfang, ETX);
        for (int i = 1; i < b.breite; ++i)
            e.setze(b.seite, b.anfang + i, FF);
    }
    return e;
}

QString zellenUnterschied(const Konfigspeicher& ist, const Konfigspeicher& soll)
{
    if (ist == soll)
        return {};
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            if (ist.zelle(s, o) != soll.zelle(s, o))
                return QStringLiteral("Seite %1 Offset %2: %3 statt %4")
                    .arg(s).arg(o).arg(ist.byte(s, o, 0xEE), 2, 16, QLatin1Char('0')).arg(soll.byte(s, o, 0xEE), 2, 16, QLatin1Char('0'));
    return {};
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

class TestCfgRundreise : public QObject {
    Q_OBJECT
private slots:
    void zufaelligeKonfigurationen()
    {
        generator::Erzeuger erzeuger(20240611);
        for (int n = 0; n < 3000; ++n) {
            const generator::Konfiguration c = erzeuger.naechste();
            const QByteArray datei = cfgSchreiben(c.image);
            const Dateiergebnis r = cfgLesen(datei);
            QVERIFY(r.vollstaendig);
            const QString werte = unterschiede(r.werte, c.werte);
            QVERIFY2(werte.isEmpty(), qPrintable(QStringLiteral("#%1: %2").arg(n).arg(werte)));
            const QString zellen = zellenUnterschied(r.image, erwartetesBild(c.image));
            QVERIFY2(zellen.isEmpty(), qPrintable(QStringLiteral("#%1: %2").arg(n).arg(zellen)));

            // A device holding the opened image shows the same after a read
            // (the spinners aside: the read shows the time in the text fields).
            Konfigspeicher geraet = r.image;
            const std::optional<Editorwerte> gelesen = dekodieren(geraet);
            QVERIFY(gelesen);
            QCOMPARE(unterschiede(*gelesen, r.werte, true), QString());
            QCOMPARE(zellenUnterschied(geraet, r.image), QString());

            // Saving the opened configuration again and opening that file
            // changes nothing any more.
            const QByteArray zweite = cfgSchreiben(r.image);
            const Dateiergebnis r2 = cfgLesen(zweite);
            QCOMPARE(zellenUnterschied(r2.image, r.image), QString());
            QCOMPARE(unterschiede(r2.werte, r.werte), QString());
            QCOMPARE(cfgSchreiben(r2.image), zweite);
        }
    }

    // Texts that fill their area up to offset 126 put their ETX at offset 127;
    // the second text of the page is kept. Also a page 10 whose relay 1 was
    // never set and whose relay 2 was.
    void grenzfaelle_data()
    {
        QTest::addColumn<Bau>("bau");
        QTest::addColumn<int>("seite");
        QTest::newRow("Relais 1 mit 127 Zeichen") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, QByteArray(127, 'a'));
            textSpeichern(k, bereich::Besttext2, "Relais zwei");
        }) << 10;
        QTest::newRow("Minimumtext mit 127 Zeichen") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, QByteArray(127, 'm'));
            textSpeichern(k, bereich::TextMax, "Maximum");
        }) << 12;
        QTest::newRow("Minimumtext mit 127 Zeichen, Maximum frei") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::TextMin, QByteArray(127, 'm'));
            textSpeichern(k, bereich::TextMax, "");
        }) << 12;
        QTest::newRow("volle Empfängerliste") << Bau([](Konfigspeicher& k) {
            QList<QByteArray> e(7, QByteArray("066412345678901"));
            e << QByteArray("06761234567890");
            listeSpeichern(k, 1, *listeRahmen(e));
            textSpeichern(k, bereich::SMSText(0), "Einbruch");
        }) << 1;
        QTest::newRow("volle Analogliste") << Bau([](Konfigspeicher& k) {
            QList<QByteArray> e(7, QByteArray("066412345678901"));
            e << QByteArray("06761234567890");
            listeSpeichern(k, 11, *listeRahmen(e));
            zahlSpeichern(k, 11, offset::Messbereich20, 500);
        }) << 11;
        QTest::newRow("nur Relais 2 auf frischer Seite") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext2, "nur zwei");
        }) << 10;
        // Pages the device alone can hold: texts filling their whole area.
        QTest::newRow("Gerät: Meldetext voll") << Bau([](Konfigspeicher& k) {
            listeSpeichern(k, 4, *listeRahmen({"0664"}));
            for (int o = 128; o < 256; ++o)
                k.setze(4, o, std::uint8_t('A' + o % 26));
        }) << 4;
        QTest::newRow("Gerät: beide Relais voll") << Bau([](Konfigspeicher& k) {
            for (int o = 0; o < 256; ++o)
                k.setze(10, o, std::uint8_t(o < 128 ? 'a' : 'b'));
        }) << 10;
        QTest::newRow("Gerät: beide Alarmtexte voll") << Bau([](Konfigspeicher& k) {
            for (int o = 0; o < 256; ++o)
                k.setze(12, o, std::uint8_t(o < 128 ? 'c' : 'd'));
        }) << 12;
        QTest::newRow("Gerät: Steuerzeichen in Relaistexten") << Bau([](Konfigspeicher& k) {
            textSpeichern(k, bereich::Besttext1, "Zeile 1\tZeile 2\x1A");
            textSpeichern(k, bereich::Besttext2, "\x1B");
        }) << 10;
    }
    void grenzfaelle()
    {
        QFETCH(Bau, bau);
        QFETCH(int, seite);
        Konfigspeicher k = grund();
        listeSpeichern(k, 1, *listeRahmen({"0664999"}));
        bau(k);
        const Dateiergebnis r = cfgLesen(cfgSchreiben(k));
        QVERIFY(r.vollstaendig);
        QCOMPARE(r.image.seite(seite), erwartetesBild(k).seite(seite));
        // The editor shows what a device read of the original page shows.
        Konfigspeicher geraet = k;
        const std::optional<Editorwerte> w = dekodieren(geraet);
        QVERIFY(w);
        if (seite == 10) {
            QCOMPARE(r.werte.besttext1, w->besttext1.startsWith(QChar(0xFF)) ? QString() : w->besttext1);
            QCOMPARE(r.werte.besttext2, w->besttext2);
        } else if (seite == 12) {
            QCOMPARE(r.werte.textMin, w->textMin);
            QCOMPARE(r.werte.textMax, w->textMax);
        } else if (seite <= 9) {
            QCOMPARE(r.werte.smsText[seite - 1], w->smsText[seite - 1]);
        } else {
            QCOMPARE(r.werte.messbereich20, QStringLiteral("500"));
        }
    }

    // The balance monitoring and the time of the check call as an installer
    // sets them survive the operator rule and the spinners of the open command.
    void kontoUndZeit_data()
    {
        QTest::addColumn<QByteArray>("ersterEmpfaenger");
        QTest::addColumn<int>("stunde");
        QTest::addColumn<int>("minute");
        QTest::newRow("A1, 10:00") << QByteArray("06641234567") << 10 << 0;
        QTest::newRow("A1, 00:00") << QByteArray("06641234567") << 0 << 0;
        QTest::newRow("T Mobile, 17:45") << QByteArray("06761234567") << 17 << 45;
    }
    void kontoUndZeit()
    {
        QFETCH(QByteArray, ersterEmpfaenger);
        QFETCH(int, stunde);
        QFETCH(int, minute);
        Konfigspeicher k = grund();
        listeSpeichern(k, 1, *listeRahmen({ersterEmpfaenger}));
        textSpeichern(k, bereich::Guthabenrufnummer, "0800111");
        textSpeichern(k, bereich::NummerAufladung, "0800222");
        k.setze(0, offset::Guthaben, 2);
        k.setze(0, offset::Kontrollruf, 4);
        k.setze(0, offset::Stunde, bcd(stunde));
        k.setze(0, offset::Minute, bcd(minute));
        const Dateiergebnis r = cfgLesen(cfgSchreiben(k));
        QCOMPARE(zellen(r.image, 0, 4, 3), QByteArray(1, '\x04') + char(bcd(stunde)) + char(bcd(minute)));
        QCOMPARE(zellen(r.image, 0, 24, 33), zellen(k, 0, 24, 33));
        QCOMPARE(r.werte.guthabenrufnummer, QStringLiteral("0800111"));
        QCOMPARE(r.werte.nummerAufladung, QStringLiteral("0800222"));
        QCOMPARE(r.werte.sliderGuthaben, 2);
        QCOMPARE(r.werte.tag, 4);
        QCOMPARE(r.werte.udStunde, stunde);
        QCOMPARE(r.werte.udMinute, minute);
    }
};

QTEST_GUILESS_MAIN(TestCfgRundreise)
#include "test_cfgrundreise.moc"
