// The device read's decode: the device's bytes -> what every control shows,
// the bytes the handlers store back, or the failing field.
#include "cfghilfe.h"
#include "cfgfile/cfgdatei.h"
#include "cfgfile/cfgform.h"
#include "cfgfile/dekodieren.h"
#include "image/felder.h"

#include <QRandomGenerator>

namespace {

struct Zellen {
    int seite, offset;
    QByteArray bytes;
};
using Aenderungen = QList<Zellen>;

// A device as the editor leaves it after start-up, with an A1 recipient first
// on page 1: its decode shows an empty editor and stores nothing back.
Konfigspeicher geraet()
{
    Konfigspeicher k = geraetebild(ff(kGeraeteBytes));
    for (auto [s, o, b] : {std::tuple{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0}, {0, 5, 0x10}, {0, 6, 0}, {0, 24, 3}, {0, 40, 3}, {0, 56, 0}, {0, 128, 3}})
        k.setze(s, o, std::uint8_t(b));
    for (int s = 1; s <= 12; ++s) {
        k.setze(s, 0, ETX);
        if (s != 11)
            k.setze(s, 128, ETX);
    }
    for (int i = 0; i < 5; ++i)
        k.setze(1, i, std::uint8_t("0664\r"[i]));
    k.setze(1, 5, ETX);
    return k;
}

} // namespace

Q_DECLARE_METATYPE(Aenderungen)

class TestDekodieren : public QObject {
    Q_OBJECT
private slots:
    void felder_data()
    {
        QTest::addColumn<Aenderungen>("zellen");
        QTest::addColumn<QString>("werte");        // those that differ from an empty editor's
        QTest::addColumn<QString>("gespeichert");  // cells stored back, "page:offset new/old"
        QTest::addColumn<bool>("gelingt");
        const auto z = [](const char* name, const Aenderungen& a, const QString& werte, const QString& gespeichert = {}, bool gelingt = true) {
            QTest::newRow(name) << a << werte << gespeichert << gelingt;
        };
        const auto yy = [](const char* feld) { return QLatin1String(feld) + QLatin1Char('=') + QString(128, QChar(0xFF)) + QStringLiteral("; "); };
        Aenderungen unbeschrieben;
        QString w("quittierung=ja; sliderQuit=255; quit=255; txtStunde=FF; txtMinute=FF; netz=2; kontoAktivierbar=nein; gutmeldung8=ja; ");
        for (int i = 0; i < kGeraeteSeiten; ++i)
            unbeschrieben << Zellen{i, 0, ff(256)};
        for (int i = 0; i < 9; ++i)
            w += yy(qPrintable(QStringLiteral("smsText%1").arg(i))) + (i < 8 ? QStringLiteral("oeffner%1=ja; gutmeldung%1=ja; ").arg(i) : QString());
        z("unbeschriebenes Gerät", unbeschrieben, w + yy("anlagenbezeichnung") + yy("besttext1") + yy("besttext2") + yy("textMin") + yy("textMax"),
          "0:24 03/FF 0:40 03/FF 0:56 00/FF");
        z("Öffner 0x85", {{0, 0, "\x85"}}, "oeffner0=ja; oeffner2=ja; oeffner7=ja");
        z("Gutmeldung 0x02, Strom 0xFE", {{0, 1, "\x02\xFE"}}, "gutmeldung1=ja");
        z("Gutmeldung Strom 0xFF", {{0, 2, "\xFF"}}, "gutmeldung8=ja");
        z("Quittierung 1", {{0, 3, "\x01"}}, "quittierung=ja; quit=1");
        z("Quittierung 200", {{0, 3, "\xC8"}}, "quittierung=ja; sliderQuit=200; quit=200");
        z("Kontrollruf 0x07 täglich", {{0, 4, "\x07"}}, "kontrollruf=1");
        z("Kontrollruf 0x03 Donnerstag", {{0, 4, "\x03"}}, "kontrollruf=2; tag=3");
        z("Kontrollruf 0x00 Montag", {{0, 4, QByteArray(1, '\0')}}, "kontrollruf=2; tag=0");
        z("Kontrollruf 0x08 aus", {{0, 4, "\x08"}}, "");
        z("Zeit 07:45", {{0, 5, "\x07\x45"}}, "udStunde=7; udMinute=45; txtStunde=07; txtMinute=45");
        z("Zeit 23:59", {{0, 5, "\x23\x59"}}, "udStunde=23; udMinute=59; txtStunde=23; txtMinute=59");
        z("Stunde 0x3A", {{0, 5, "\x3A"}}, "txtStunde=3A");
        z("Stunde 0x24, Minute 0x60", {{0, 5, "\x24\x60"}}, "txtStunde=24; txtMinute=60");
        z("Nummern bis FF und ETX", {{0, 24, "*101#\xFF" "9" + ff(9) + "0664\x03" "99" + ff(9) + "\x05"}},
          "konto=ja; guthabenrufnummer=*101#; nummerAufladung=0664; sliderGuthaben=5; guthaben=5");
        z("Nummer voll", {{0, 24, "0123456789012345" + ff(16) + "\x01"}}, "konto=ja; guthabenrufnummer=0123456789012345; guthaben=1");
        z("Guthaben 0 leert die Nummern", {{0, 24, "123\x03"}, {0, 40, "456\x03"}}, "", "0:24 03/31 0:40 03/34");
        z("Guthaben 12 begrenzt", {{0, 56, "\x0C"}}, "konto=ja; sliderGuthaben=9; guthaben=9", "0:56 09/0C");
        z("T Mobile, Guthaben 0xFF", {{1, 0, "+43676\r\x03"}, {0, 56, "\xFF"}}, "netz=1; konto=ja; sliderGuthaben=9; guthaben=9", "0:56 09/FF");
        z("Andere, Guthaben 5", {{1, 0, "0699123\r\x03"}, {0, 24, "123\x03"}, {0, 40, "456\x03"}, {0, 56, "\x05"}}, "netz=2; kontoAktivierbar=nein",
          "0:24 03/31 0:40 03/34 0:56 00/05");
        z("leere Empfängerliste", {{1, 0, E + ff(5)}}, "netz=2; kontoAktivierbar=nein");
        z("Name", {{0, 128, "Halle 3\x03xyz"}}, "anlagenbezeichnung=Halle 3");
        z("Name mit FF", {{0, 128, "a\xFF" "b\x03"}}, QString::fromLatin1("anlagenbezeichnung=a\xFF" "b"));
        z("Meldetext 9", {{9, 128, "Netz weg\x03"}}, "smsText8=Netz weg");
        z("Relais 1 mit ETX vorn, Relais 2 ohne ETX", {{10, 0, "\x03" "alt\x03"}, {10, 128, "\xFF"}}, yy("besttext2"));
        z("Relais 1 und 2", {{10, 0, "Tor\x03" + ff(124) + "Licht\x03"}}, "relaisbest1=ja; besttext1=Tor; relaisbest2=ja; besttext2=Licht");
        z("Relais 2 leer", {{10, 0, "Tor\x03"}}, "relaisbest1=ja; besttext1=Tor");
        z("Bereich 0x00 0x00", {{11, 128, QByteArray(2, '\0')}}, "messbereich4=0");
        z("Bereich 0xFF 0x12: leer", {{11, 128, "\xFF\x12"}}, "");
        z("Bereiche", {{11, 128, kit::hex("03E77FFF0100FF00")}}, "messbereich4=999; messbereich20=32767; grenzwertmin=256");
        z("Einheit V", {{11, 136, "V  \x03"}}, "einheit=V  ");
        z("Einheit mit FF", {{11, 136, "\xFF" "A\xFF"}}, "einheit=A");
        z("Alarmtexte", {{12, 0, "tief\x03" + ff(123) + "hoch\x03"}}, "textMin=tief; textMax=hoch");
        // A first byte 0x80..0xFE overflows the device's signed 16-bit
        // computation: the read fails, the rest is shown, the number is held
        // as an empty field, the operator is not derived (page 1 says "Andere").
        const Zellen andere{1, 0, "0699\r\x03"};
        z("4 mA 0x80", {andere, {11, 128, kit::hex("8001000200030004")}, {0, 128, "Name\x03"}},
          "messbereich20=2; grenzwertmin=3; grenzwertmax=4; anlagenbezeichnung=Name", "11:128 FF/80 11:129 FF/01", false);
        z("20 mA 0xFE", {andere, {11, 128, kit::hex("0001FE0200030004")}}, "messbereich4=1; grenzwertmin=3; grenzwertmax=4", "11:130 FF/FE 11:131 FF/02", false);
        z("Maximum 0x9C", {andere, {11, 128, kit::hex("0001000200039C04")}}, "messbereich4=1; messbereich20=2; grenzwertmin=3", "11:134 FF/9C 11:135 FF/04", false);
    }
    void felder()
    {
        QFETCH(Aenderungen, zellen);
        QFETCH(QString, werte);
        QFETCH(bool, gelingt);
        Konfigspeicher k = geraet();
        for (const Zellen& z : zellen)
            for (int i = 0; i < z.bytes.size(); ++i)
                k.setze(z.seite, z.offset + i, std::uint8_t(z.bytes[i]));
        const Konfigspeicher vorher = k;
        Editorwerte w;
        QCOMPARE(dekodieren(k, &w).has_value(), gelingt);
        QCOMPARE(geaendert(w), ordnen(werte));
        QTEST(kit::unterschied(k, vorher), "gespeichert");
        if (!gelingt)
            QVERIFY(dekodieren(k));  // held as empty, the field no longer fails
    }

    // Whatever a device holds (texts without end marks, lists running over
    // offset 127, erased cells anywhere; no LF, no UTF-8, no ";" inside the
    // numbers of page 0): a result exactly when no analog number overflows;
    // only page 0 offsets 24, 40, 56 and overflowing numbers (as FF FF) are
    // stored back; the sliders stay in their ranges; saved, it passes the form check.
    void zufaelligeBilder()
    {
        QRandomGenerator zufall(16);
        const QByteArray selten("\x03\x03\x03\x0D\xFF\xFF\xFF\xE4\xF6\xFC\xDF\xC4", 12);
        const QByteArray zahlen("\x00\x01\x7F\x80\xFE\xFF", 6);
        int fehler = 0;
        for (int n = 0; n < 1500; ++n) {
            QByteArray b(kGeraeteBytes, Qt::Uninitialized);
            const int dichte = 1 << zufall.bounded(1, 11);  // one special byte in 2 .. 1024
            for (int i = 0; i < b.size(); ++i)
                b[i] = zufall.bounded(dichte) ? char(zufall.bounded(0x20, 0x7F)) : selten[zufall.bounded(int(selten.size()))];
            for (int i = 24; i < 56; ++i)
                b[i] = b[i] == ';' ? '0' : b[i];
            for (int i = 11 * 256 + 128; i < 11 * 256 + 136; ++i)
                b[i] = zahlen[zufall.bounded(int(zahlen.size()))];
            Konfigspeicher k = geraetebild(b);
            Konfigspeicher erwartet = k;
            bool ueberlauf = false;
            for (int o = 128; o < 136; o += 2)
                if (k.byte(11, o) >= 0x80 && k.byte(11, o) <= 0xFE) {
                    ueberlauf = true;
                    erwartet.setze(11, o, FF);
                    erwartet.setze(11, o + 1, FF);
                }
            const std::optional<Editorwerte> w = dekodieren(k);
            QCOMPARE(w.has_value(), !ueberlauf);
            fehler += ueberlauf;
            for (int o : {24, 40, 56})
                erwartet.setze(0, o, k.byte(0, o));
            QCOMPARE(kit::unterschied(k, erwartet), QString());
            if (w) {
                QVERIFY(k.byte(0, 56) <= 9);
                QVERIFY(w->sliderQuit >= 1 && w->sliderQuit <= 255 && w->sliderGuthaben >= 1 && w->sliderGuthaben <= 9);
                QCOMPARE(w->konto, k.byte(0, 56) != 0);
            }
            const QByteArray d = cfgSchreiben(k);
            QVERIFY2(cfgFormPruefen(d).passt(), qPrintable(QString::number(n) + ": " + cfgFormPruefen(d).text()));
        }
        QVERIFY(fehler > 100 && fehler < 1400);  // both outcomes were met
    }
};

QTEST_GUILESS_MAIN(TestDekodieren)
#include "test_dekodieren.moc"
