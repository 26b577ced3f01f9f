// The device read's decode: controls from the device's bytes, and the bytes
// the handlers store back.
#include "cfgfile/dekodieren.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "testhilfen.h"

#include <QRandomGenerator>
#include <QTest>

using namespace testhilfen;

namespace {

// An image as a device read leaves it: pages 0..12 from the device (all FF
// here, changed by the test), pages 13..31 unset.
Konfigspeicher geraet()
{
    Konfigspeicher k;
    for (int s = 0; s < kGeraeteSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            k.setze(s, o, 0xFF);
    return k;
}

void schreibe(Konfigspeicher& k, int seite, int von, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        k.setze(seite, von + i, std::uint8_t(bytes[i]));
}

QString ffText(int n) { return QString(n, QChar(0xFF)); }

using Bau = std::function<void(Konfigspeicher&)>;

} // namespace

Q_DECLARE_METATYPE(Bau)

class TestDekodieren : public QObject {
    Q_OBJECT
private slots:
    // A device never written: every text area shows 128 characters of code
    // 0xFF, the numbers are empty, and the operator rule ("Andere", as page 1
    // holds no recipient) switches the balance monitoring off.
    void unbeschriebenesGeraet()
    {
        Konfigspeicher k = geraet();
        const std::optional<Editorwerte> w = dekodieren(k);
        QVERIFY(w);
        Editorwerte e;
        e.oeffner.fill(true);
        e.gutmeldung.fill(true);
        e.quittierung = true;
        e.sliderQuit = 255;
        e.quit = QStringLiteral("255");
        e.txtStunde = QStringLiteral("FF");
        e.txtMinute = QStringLiteral("FF");
        e.anlagenbezeichnung = ffText(128);
        for (QString& s : e.smsText)
            s = ffText(128);
        e.besttext1 = ffText(128);
        e.besttext2 = ffText(128);
        e.textMin = ffText(128);
        e.textMax = ffText(128);
        e.netz = Netzbetreiber::Andere;
        e.kontoAktivierbar = false;
        QCOMPARE(unterschiede(*w, e), QString());

        Konfigspeicher erwartet = geraet();
        erwartet.setze(0, 24, ETX);
        erwartet.setze(0, 40, ETX);
        erwartet.setze(0, 56, 0);
        QCOMPARE(k, erwartet);
    }

    void felder_data()
    {
        QTest::addColumn<Bau>("bau");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("wert");
        auto b = [](int seite, int off, QByteArray bytes) {
            return Bau([=](Konfigspeicher& k) { schreibe(k, seite, off, bytes); });
        };
        QTest::newRow("Öffner 0x85") << b(0, 0, "\x85") << "oeffner" << "10100001";
        QTest::newRow("Gutmeldung 0x02, Strom 0xFE") << b(0, 1, "\x02\xFE") << "gutmeldung" << "010000000";
        QTest::newRow("Gutmeldung Strom 0xFF") << b(0, 1, QByteArray("\x00\xFF", 2)) << "gutmeldung" << "000000001";
        QTest::newRow("Quittierung 0") << b(0, 3, QByteArray(1, '\0')) << "quit" << "0,1,''";
        QTest::newRow("Quittierung 1") << b(0, 3, "\x01") << "quit" << "1,1,'1'";
        QTest::newRow("Quittierung 200") << b(0, 3, "\xC8") << "quit" << "1,200,'200'";
        QTest::newRow("Kontrollruf 0x07 täglich") << b(0, 4, "\x07") << "ruf" << "1,-1,10,0";
        QTest::newRow("Kontrollruf 0x03 Donnerstag") << b(0, 4, "\x03") << "ruf" << "2,3,10,0";
        QTest::newRow("Kontrollruf 0x00 Montag") << b(0, 4, QByteArray(1, '\0')) << "ruf" << "2,0,10,0";
        QTest::newRow("Kontrollruf 0x08 aus") << b(0, 4, "\x08") << "ruf" << "0,-1,10,0";
        QTest::newRow("Kontrollruf 0xFF aus") << b(0, 4, "\xFF") << "ruf" << "0,-1,10,0";
        QTest::newRow("Stunde 0x07") << b(0, 5, "\x07\x45") << "zeit" << "'07','45',7,45";
        QTest::newRow("Zeit 23:59") << b(0, 5, "\x23\x59") << "zeit" << "'23','59',23,59";
        QTest::newRow("Stunde 0x3A") << b(0, 5, QByteArray("\x3A\x00", 2)) << "zeit" << "'3A','00',10,0";
        QTest::newRow("Stunde 0x24 Minute 0x60") << b(0, 5, "\x24\x60") << "zeit" << "'24','60',10,0";
        QTest::newRow("Nummern bis FF und ETX") << b(0, 24, QByteArray("*101#\xFF" "9") + ff(9) + "0664\x03" "99" + ff(9) + "\x05")
                                                << "konto" << "1,'*101#','0664',5,'5'";
        QTest::newRow("Nummer voll") << b(0, 24, QByteArray("0123456789012345") + ff(16) + "\x01") << "konto"
                                     << "1,'0123456789012345','',1,'1'";
        QTest::newRow("Guthaben 0: Nummern geleert") << b(0, 24, QByteArray("123\x03") + ff(12) + "456\x03" + ff(12) + QByteArray(1, '\0'))
                                                     << "konto" << "0,'','',1,''";
        QTest::newRow("Guthaben 12 begrenzt") << b(0, 56, "\x0C") << "konto" << "1,'','',9,'9'";
        QTest::newRow("Name") << b(0, 128, "Halle 3\x03xyz") << "name" << "Halle 3";
        QTest::newRow("Name mit FF") << b(0, 128, "a\xFF" "b\x03") << "name" << "a" + ffText(1) + "b";
        QTest::newRow("Meldetext 9") << b(9, 128, "Netz weg\x03") << "sms8" << "Netz weg";
        QTest::newRow("Relais beginnt mit ETX") << b(10, 0, "\x03" "alt\x03") << "relais" << "0,'',0," + zeigen(ffText(128));
        QTest::newRow("Relais 1 und 2") << b(10, 0, QByteArray("Tor\x03") + ff(124) + "Licht\x03") << "relais" << "1,'Tor',1,Licht";
        QTest::newRow("Relais 2 leer") << b(10, 0, QByteArray("Tor\x03") + ff(124) + "\x03") << "relais" << "1,'Tor',0,";
        QTest::newRow("Bereich 0x00 0x00") << b(11, 128, QByteArray(2, '\0')) << "bereich" << "0,,,";
        QTest::newRow("Bereich 0xFF 0x12") << b(11, 128, "\xFF\x12") << "bereich" << ",,,";
        QTest::newRow("Bereiche") << b(11, 128, QByteArray("\x03\xE7\x7F\xFF\x01\x00\xFF\x00", 8)) << "bereich" << "999,32767,256,";
        QTest::newRow("Einheit V") << b(11, 136, "V  \x03") << "einheit" << "V  ";
        QTest::newRow("Einheit mit FF") << b(11, 136, "\xFF" "A\xFF") << "einheit" << "A";
        QTest::newRow("Alarmtexte") << b(12, 0, QByteArray("tief\x03") + ff(123) + "hoch\x03") << "texte" << "tief|hoch";
    }
    void felder()
    {
        QFETCH(Bau, bau);
        QFETCH(QString, feld);
        QFETCH(QString, wert);
        Konfigspeicher k = geraet();
        schreibe(k, 1, 0, "0664123\r\x03");  // A1: the balance monitoring keeps what was read
        bau(k);
        const std::optional<Editorwerte> o = dekodieren(k);
        QVERIFY(o);
        const Editorwerte& w = *o;
        QString ist;
        if (feld == "oeffner")
            for (bool x : w.oeffner)
                ist += x ? '1' : '0';
        else if (feld == "gutmeldung")
            for (bool x : w.gutmeldung)
                ist += x ? '1' : '0';
        else if (feld == "quit")
            ist = QStringLiteral("%1,%2,'%3'").arg(int(w.quittierung)).arg(w.sliderQuit).arg(w.quit);
        else if (feld == "ruf")
            ist = QStringLiteral("%1,%2,%3,%4").arg(int(w.kontrollruf)).arg(w.tag).arg(w.udStunde).arg(w.udMinute);
        else if (feld == "zeit")
            ist = QStringLiteral("'%1','%2',%3,%4").arg(w.txtStunde, w.txtMinute).arg(w.udStunde).arg(w.udMinute);
        else if (feld == "konto")
            ist = QStringLiteral("%1,'%2','%3',%4,'%5'").arg(int(w.konto)).arg(w.guthabenrufnummer, w.nummerAufladung).arg(w.sliderGuthaben).arg(w.guthaben);
        else if (feld == "name")
            ist = w.anlagenbezeichnung;
        else if (feld == "sms8")
            ist = w.smsText[8];
        else if (feld == "relais")
            ist = QStringLiteral("%1,'%2',%3,%4").arg(int(w.relaisbest1)).arg(w.besttext1).arg(int(w.relaisbest2)).arg(zeigen(w.besttext2));
        else if (feld == "bereich")
            ist = QStringList{w.messbereich4, w.messbereich20, w.grenzwertmin, w.grenzwertmax}.join(',');
        else if (feld == "einheit")
            ist = w.einheit;
        else if (feld == "texte")
            ist = w.textMin + '|' + w.textMax;
        QCOMPARE(ist, wert);
        QCOMPARE(w.netz, Netzbetreiber::A1);
    }

    // What the handlers store back into page 0; nothing else changes.
    void zurueckgeschrieben_data()
    {
        QTest::addColumn<QByteArray>("seite1");
        QTest::addColumn<QByteArray>("vorher");   // page 0 offsets 24..56
        QTest::addColumn<QByteArray>("nachher");
        QTest::addColumn<int>("netz");
        const QByteArray nummern = QByteArray("123\x03") + ff(12) + "456\x03" + ff(12);
        const QByteArray geleert = QByteArray("\x03" "23\x03") + ff(12) + "\x03" "56\x03" + ff(12);
        QTest::newRow("A1, Guthaben 5") << QByteArray("0664123\r\x03") << nummern + "\x05" << nummern + "\x05" << int(Netzbetreiber::A1);
        QTest::newRow("T Mobile, Guthaben 0xFF -> 9") << QByteArray("+43676\r\x03") << nummern + "\xFF" << nummern + "\x09"
                                                      << int(Netzbetreiber::TMobile);
        QTest::newRow("A1, Guthaben 0") << QByteArray("0664123\r\x03") << nummern + QByteArray(1, '\0') << geleert + QByteArray(1, '\0')
                                        << int(Netzbetreiber::A1);
        QTest::newRow("Andere, Guthaben 5") << QByteArray("0699123\r\x03") << nummern + "\x05" << geleert + QByteArray(1, '\0')
                                            << int(Netzbetreiber::Andere);
        QTest::newRow("leere Liste") << QByteArray("\x03") << nummern + "\x05" << geleert + QByteArray(1, '\0') << int(Netzbetreiber::Andere);
    }
    void zurueckgeschrieben()
    {
        QFETCH(QByteArray, seite1);
        QFETCH(QByteArray, vorher);
        QFETCH(QByteArray, nachher);
        QFETCH(int, netz);
        Konfigspeicher k = geraet();
        schreibe(k, 1, 0, seite1);
        schreibe(k, 0, 24, vorher);
        Konfigspeicher erwartet = k;
        schreibe(erwartet, 0, 24, nachher);
        const std::optional<Editorwerte> w = dekodieren(k);
        QVERIFY(w);
        QCOMPARE(k, erwartet);
        QCOMPARE(int(w->netz), netz);
        QCOMPARE(w->kontoAktivierbar, netz != int(Netzbetreiber::Andere));
    }

    // A first byte 0x80..0xFE overflows the device's signed 16-bit computation:
    // the decode fails. Every other value is still shown; the failing number
    // is shown empty and held as an empty field, so that the image is what
    // the editor shows.
    void ueberlauf_data()
    {
        QTest::addColumn<int>("paar");
        QTest::addColumn<int>("hoch");
        QTest::newRow("4 mA 0x80") << 0 << 0x80;
        QTest::newRow("20 mA 0xFE") << 1 << 0xFE;
        QTest::newRow("Maximum 0x9C") << 3 << 0x9C;
    }
    void ueberlauf()
    {
        QFETCH(int, paar);
        QFETCH(int, hoch);
        Konfigspeicher k = geraet();
        schreibe(k, 11, 128, QByteArray("\x00\x01\x00\x02\x00\x03\x00\x04" "bar\x03", 12));
        k.setze(11, 128 + 2 * paar, std::uint8_t(hoch));
        schreibe(k, 0, 56, QByteArray(1, '\0'));
        schreibe(k, 0, 128, "Name\x03");
        schreibe(k, 12, 0, "tief\x03");
        Editorwerte bisher;
        QVERIFY(!dekodieren(k, &bisher));
        QCOMPARE(bisher.anlagenbezeichnung, QStringLiteral("Name"));
        QStringList bereiche{bisher.messbereich4, bisher.messbereich20, bisher.grenzwertmin, bisher.grenzwertmax};
        QStringList erwartet{"1", "2", "3", "4"};
        erwartet[paar] = QString();
        QCOMPARE(bereiche, erwartet);
        QCOMPARE(bisher.einheit, QStringLiteral("bar"));
        QCOMPARE(bisher.textMin, QStringLiteral("tief"));
        QCOMPARE(bisher.netz, Netzbetreiber::A1);  // not derived (page 1 would give "Andere")
        QCOMPARE(k.byte(0, 24), std::uint8_t(ETX));  // the balance monitoring's stores happened
        QCOMPARE(zellen(k, 11, 128 + 2 * paar, 2), ff(2));
        QByteArray rest("\x00\x01\x00\x02\x00\x03\x00\x04", 8);
        rest.replace(2 * paar, 2, ff(2));
        QCOMPARE(zellen(k, 11, 128, 8), rest);
        QVERIFY(dekodieren(k).has_value());  // held as empty, the field no longer fails
    }

    // Any device bytes: a result or a failure, never anything else. Only
    // offsets 24, 40 and 56 of page 0 and overflowing analog numbers are ever
    // stored back.
    void zufaelligeBilder()
    {
        QRandomGenerator zufall(1234);
        int fehler = 0;
        for (int n = 0; n < 3000; ++n) {
            Konfigspeicher k = geraet();
            static const std::uint8_t haeufig[] = {0x00, 0x03, 0x0D, 0xFF, 0x07, 0x80, 0x7F, 0xFE, '6', '4'};
            for (int s = 0; s < kGeraeteSeiten; ++s)
                for (int o = 0; o < kZellen; ++o)
                    k.setze(s, o, zufall.bounded(2) ? std::uint8_t(zufall.bounded(256)) : haeufig[zufall.bounded(10)]);
            bool ueberlauf = false;
            for (int p = 0; p < 4; ++p) {
                const int h = k.byte(11, 128 + 2 * p);
                ueberlauf = ueberlauf || (h >= 0x80 && h <= 0xFE);
            }
            const Konfigspeicher vorher = k;
            const std::optional<Editorwerte> w = dekodieren(k);
            QCOMPARE(!w, ueberlauf);
            fehler += ueberlauf;
            Konfigspeicher ohneRueckschrieb = k;
            for (int o : {24, 40, 56})
                ohneRueckschrieb.setze(0, o, vorher.byte(0, o));
            for (int o = 128; o < 136; ++o)
                ohneRueckschrieb.setze(11, o, vorher.byte(11, o));
            QVERIFY(ohneRueckschrieb == vorher);
            // An overflowing number is stored as an empty field; no other changes on page 11.
            for (int p = 0; p < 4; ++p) {
                const int h = vorher.byte(11, 128 + 2 * p);
                const bool leer = h >= 0x80 && h <= 0xFE;
                QCOMPARE(zellen(k, 11, 128 + 2 * p, 2), leer ? ff(2) : zellen(vorher, 11, 128 + 2 * p, 2));
            }
            if (w) {
                QVERIFY(k.byte(0, 56) <= 9);
                QVERIFY(w->sliderQuit >= 1 && w->sliderQuit <= 255);
                QVERIFY(w->sliderGuthaben >= 1 && w->sliderGuthaben <= 9);
                QVERIFY(w->anlagenbezeichnung.size() <= 128 && w->guthabenrufnummer.size() <= 16);
                QCOMPARE(w->konto, k.byte(0, 56) != 0);
            }
        }
        QVERIFY(fehler > 100 && fehler < 2900);  // both outcomes were exercised
    }
};

QTEST_GUILESS_MAIN(TestDekodieren)
#include "test_dekodieren.moc"
