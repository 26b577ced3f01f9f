// The editor model without a window: what each handler stores, which marker
// and page it reports, what it refuses, and what the filling mode holds back.
#include "modell/editormodell.h"

#include <QTest>
#include <functional>

namespace {

using Ablauf = std::function<Folge(Editormodell&)>;

// Page 0: the option bytes 0..7, the first cells of both numbers (24, 40)
// and the minimum balance (56).
QByteArray seite0(const Editormodell& m)
{
    QByteArray b;
    for (int o : {0, 1, 2, 3, 4, 5, 6, 7, 24, 40, 56})
        b.append(char(m.speicher().byte(0, o, 0xEE)));
    return b;
}

QByteArray zellen(const Editormodell& m, int seite, int von, int anzahl)
{
    QByteArray b;
    for (int i = 0; i < anzahl; ++i)
        b.append(char(m.speicher().byte(seite, von + i, 0xEE)));
    return b;
}

QList<int> sichtbar(const Editormodell& m)
{
    QList<int> l;
    for (int i = 0; i < kMarker; ++i)
        if (m.marker(i))
            l << i;
    return l;
}

// After start-up: acknowledgement, check call and balance monitoring off.
const QByteArray kStart("\x00\x00\x00\x00\xFF\x10\x00\x03\x03\x03\x00", 11);

} // namespace

Q_DECLARE_METATYPE(Ablauf)
Q_DECLARE_METATYPE(Feld)
Q_DECLARE_METATYPE(Einwand)

class TestModell : public QObject {
    Q_OBJECT
private slots:
    void handler_data()
    {
        QTest::addColumn<Ablauf>("ablauf");
        QTest::addColumn<bool>("fuellen");
        QTest::addColumn<QByteArray>("zellen");  // seite0()
        QTest::addColumn<QList<int>>("folge");   // marker, page of the last operation
        QTest::addColumn<QString>("gezeigt");    // TXT_Guthabenrufnummer, Quit, TXT_Stunde, Combo_Tag

        const Ablauf oeffner = [](Editormodell& m) {
            m.Chk_Oeffner_Click(0, true);
            m.Chk_Oeffner_Click(2, true);
            return m.Chk_Oeffner_Click(0, false);
        };
        QTest::newRow("Öffner") << oeffner << false << QByteArray("\x04", 1) + kStart.mid(1) << QList<int>{21, 0}
                                << "||10|-1";
        QTest::newRow("Öffner, füllen") << oeffner << true << QByteArray("\x04", 1) + kStart.mid(1)
                                        << QList<int>{-1, -1} << "||10|-1";
        const Ablauf strom = [](Editormodell& m) { return m.Chk_Gutmeldung_Click(8, true); };
        QTest::newRow("Gutmeldung Stromausfall")
            << strom << false << kStart.left(2) + "\xFF" + kStart.mid(3) << QList<int>{21, 0} << "||10|-1";

        // Ticking takes the slider to 15 through the slider's handler.
        const Ablauf quittierung = [](Editormodell& m) { return m.Chk_Quittierung_Click(true); };
        QTest::newRow("Quittierung") << quittierung << false << kStart.left(3) + "\x0F" + kStart.mid(4)
                                     << QList<int>{22, 0} << "|15|10|-1";
        QTest::newRow("Quittierung, füllen") << quittierung << true << kStart << QList<int>{-1, -1} << "||10|-1";

        // Chk_Konto -> the numbers' Validate -> the slider; "Andere" empties again.
        const Ablauf konto = [](Editormodell& m) { return m.Chk_Konto_Click(true); };
        QTest::newRow("Konto A1") << konto << false << kStart.left(8) + QByteArray("00\x05", 3)
                                  << QList<int>{22, 0} << "08006642903||10|-1";
        QTest::newRow("Konto, füllen") << konto << true << kStart << QList<int>{-1, -1} << "||10|-1";
        QTest::newRow("Konto T Mobile") << Ablauf([](Editormodell& m) {
            m.Chk_Konto_Click(true);
            return m.OPT_TM_Click();
        }) << false << kStart.left(8) + QByteArray("**\x05", 3) << QList<int>{22, 0} << "*101#||10|-1";
        QTest::newRow("Konto, Andere") << Ablauf([](Editormodell& m) {
            m.Chk_Konto_Click(true);
            return m.OPT_Andere_Click();
        }) << false << kStart << QList<int>{22, 0} << "||10|-1";

        // The check call: daily at 10:00 when switched on, the day list's
        // changes stored, the spinners' time in packed BCD.
        QTest::newRow("Kontrollruf") << Ablauf([](Editormodell& m) { return m.CHK_Kontrollruf_Click(true); })
                                     << false << kStart.left(4) + QByteArray("\x07\x10\x00", 3) + kStart.mid(7)
                                     << QList<int>{22, 0} << "||10|-1";
        QTest::newRow("Kontrollruf Sonntag 23:05") << Ablauf([](Editormodell& m) {
            m.CHK_Kontrollruf_Click(true);
            m.OPT_Woche_Click();
            m.Combo_Tag_Change(6);
            m.UD_Stunde_Change(23);
            return m.UD_Minute_Change(5);
        }) << false << kStart.left(4) + QByteArray("\x06\x23\x05", 3) + kStart.mid(7) << QList<int>{22, 0}
           << "||23|6";
        // Filling: the box and the day are shown, the day is not stored.
        QTest::newRow("Kontrollruf Donnerstag, füllen") << Ablauf([](Editormodell& m) {
            m.CHK_Kontrollruf_Click(true);
            m.OPT_Woche_Click();
            return m.Combo_Tag_Change(3);
        }) << true << kStart << QList<int>{-1, -1} << "||10|3";
        QTest::newRow("Kontrollruf täglich, füllen") << Ablauf([](Editormodell& m) {
            m.CHK_Kontrollruf_Click(true);
            return m.OPT_Tag_Click();
        }) << true << kStart.left(4) + "\x07" + kStart.mid(5) << QList<int>{-1, -1} << "||10|-1";
        QTest::newRow("Kontrollruf aus") << Ablauf([](Editormodell& m) {
            m.CHK_Kontrollruf_Click(true);
            m.OPT_Woche_Click();
            m.UD_Stunde_Change(7);
            return m.CHK_Kontrollruf_Click(false);
        }) << false << kStart << QList<int>{22, 0} << "||10|-1";
    }
    void handler()
    {
        QFETCH(Ablauf, ablauf);
        QFETCH(bool, fuellen);
        QFETCH(QList<int>, folge);
        Editormodell m;
        m.starten();
        QCOMPARE(seite0(m), kStart);
        QCOMPARE(sichtbar(m), QList<int>{});
        m.setFuellen(fuellen);
        const Folge f = ablauf(m);
        QTEST(seite0(m), "zellen");
        QCOMPARE((QList<int>{f.marker, f.seite}), folge);
        QCOMPARE(sichtbar(m), folge[0] < 0 ? QList<int>{} : QList<int>{folge[0]});
        QCOMPARE(m.seiten()[0], folge[0] >= 0);
        const Editorwerte& w = m.werte();
        QTEST(QStringList({w.guthabenrufnummer, w.quit, w.txtStunde, QString::number(w.tag)}).join(QLatin1Char('|')),
              "gezeigt");
    }

    // The check-and-store step of the fields: cells, marker, refusals.
    void validate_data()
    {
        QTest::addColumn<QStringList>("analog");  // Messbereich4, Messbereich20, Grenzwertmin, Grenzwertmax before
        QTest::addColumn<Feld>("feld");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("geaendert");
        QTest::addColumn<int>("seite");
        QTest::addColumn<int>("von");
        QTest::addColumn<QByteArray>("zellen");
        QTest::addColumn<QList<int>>("folge");  // taken, marker, page
        QTest::addColumn<QList<Einwand>>("einwaende");
        const QStringList leer{"", "", "", ""};
        const QByteArray ff(4, char(0xFF));
        QTest::newRow("Anlagenbezeichnung") << leer << Feld::Anlagenbezeichnung << "Pumpe" << true << 0 << 128
                                            << QByteArray("Pumpe\x03\xFF") << QList<int>{1, 22, 0} << QList<Einwand>{};
        QTest::newRow("SMSText 8, nicht getippt") << leer << SMSText(8) << "Netz" << false << 9 << 128
                                                  << QByteArray("Netz\x03\xFF") << QList<int>{1, -1, -1}
                                                  << QList<Einwand>{};
        QTest::newRow("Text_Max") << leer << Feld::TextMax << "hoch" << true << 12 << 128
                                  << QByteArray("hoch\x03\xFF") << QList<int>{1, 20, 12} << QList<Einwand>{};
        QTest::newRow("Besttext2") << leer << Feld::Besttext2 << "" << true << 10 << 128
                                   << QByteArray("\x03\xFF\xFF\xFF\xFF\xFF\xFF") << QList<int>{1, 19, 10}
                                   << QList<Einwand>{};
        QTest::newRow("Einheit leer, nicht getippt") << leer << Feld::Einheit << "" << false << 11 << 136
                                                     << QByteArray("   \x03\xFF\xFF\xFF") << QList<int>{1, 20, 11}
                                                     << QList<Einwand>{};
        QTest::newRow("Einheit zu lang") << leer << Feld::Einheit << "mbar" << true << 11 << 136
                                         << QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF") << QList<int>{0, 20, 11}
                                         << QList<Einwand>{{Feld::Einheit, {Abweisung::Art::Laenge, 3}}};
        const QStringList bereich{"0", "100", "20", "71"};
        QTest::newRow("Maximum 50 über Minimum")
            << bereich << Feld::Grenzwertmax << "70" << true << 11 << 128
            << QByteArray("\x00\x00\x00\x64\x00\x14\x00\x47", 8) << QList<int>{0, -1, -1}
            << QList<Einwand>{{Feld::Grenzwertmax, {Abweisung::Art::ObererAbstand}}};
        // A narrower range is taken; the maximum no longer fits and keeps its bytes.
        QTest::newRow("Bereich verengt")
            << bereich << Feld::Messbereich20 << "50" << true << 11 << 128
            << QByteArray("\x00\x00\x00\x32\x00\x14\x00\x47", 8) << QList<int>{1, 20, 11}
            << QList<Einwand>{{Feld::Grenzwertmax, {Abweisung::Art::ObererBereich, 0, 50}}};
        QTest::newRow("4 mA mit führender Null")
            << leer << Feld::Messbereich4 << "050" << true << 11 << 128 << ff + ff
            << QList<int>{0, -1, -1} << QList<Einwand>{{Feld::Messbereich4, {Abweisung::Art::Wert4mA}}};
    }
    void validate()
    {
        QFETCH(QStringList, analog);
        QFETCH(Feld, feld);
        QFETCH(QString, text);
        QFETCH(bool, geaendert);
        QFETCH(int, seite);
        QFETCH(int, von);
        QFETCH(QByteArray, zellen);
        Editormodell m;
        m.starten();
        const Feld felder[] = {Feld::Messbereich4, Feld::Messbereich20, Feld::Grenzwertmin, Feld::Grenzwertmax};
        for (int i = 0; i < 4; ++i)
            if (!analog[i].isEmpty())
                QVERIFY(m.Validate(felder[i], analog[i], false).angenommen);
        const Folge f = m.Validate(feld, text, geaendert);
        QCOMPARE(::zellen(m, seite, von, int(zellen.size())), zellen);
        QTEST((QList<int>{f.angenommen, f.marker, f.seite}), "folge");
        QTEST(f.einwaende, "einwaende");
        // The field shows what was entered, taken or not.
        QCOMPARE(Editormodell::text(m.werte(), feld), text);
    }
};

QTEST_GUILESS_MAIN(TestModell)
#include "test_modell.moc"
