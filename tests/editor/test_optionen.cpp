// The option controls of the main window: check boxes, operator options,
// sliders, the weekday list and the time spinners, and what they store.
#include "editorhilfe.h"

#include "editor/aufab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <functional>

using namespace hilfe;

Q_DECLARE_METATYPE(Editorwerte)

namespace {
void klick(hilfe::Fenster& f, const QString& name)
{
    QWidget* w = f.finde(name);
    QVERIFY2(w && w->isEnabled(), qPrintable(name));
    for (int i = 0; i < f.k.tabs()->count(); ++i)
        if (f.k.tabs()->widget(i)->isAncestorOf(w))
            f.k.tabs()->setCurrentIndex(i);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
}

QByteArray seite0(const Konfig& k, int von, int n)
{
    return zellen(const_cast<Konfig&>(k).speicher(), 0, von, n);
}
} // namespace

class TestOptionen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { plattformHinweiseAus(); }

    void meldelinienOptionen_data()
    {
        QTest::addColumn<QStringList>("klicks");
        QTest::addColumn<QByteArray>("bytes");  // page 0 offsets 0..2
        QTest::newRow("Oeffner 0 und 2, dann 0 weg")
            << QStringList{"Chk_Oeffner_0", "Chk_Oeffner_2", "Chk_Oeffner_0"} << QByteArray("\x04\x00\x00", 3);
        QTest::newRow("Oeffner 0, 2, 7") << QStringList{"Chk_Oeffner_0", "Chk_Oeffner_2", "Chk_Oeffner_7"}
                                         << QByteArray("\x85\x00\x00", 3);
        QTest::newRow("Gutmeldung 1 und 3") << QStringList{"Chk_Gutmeldung_1", "Chk_Gutmeldung_3"}
                                            << QByteArray("\x00\x0A\x00", 3);
        QTest::newRow("Gutmeldung Stromausfall an")
            << QStringList{"Chk_Gutmeldung_8"} << QByteArray("\x00\x00\xFF", 3);
        QTest::newRow("Gutmeldung Stromausfall an und aus")
            << QStringList{"Chk_Gutmeldung_0", "Chk_Gutmeldung_8", "Chk_Gutmeldung_8"} << QByteArray("\x00\x01\x00", 3);
    }
    void meldelinienOptionen()
    {
        QFETCH(QStringList, klicks);
        Fenster f;
        for (const QString& n : klicks)
            klick(f, n);
        QTEST(seite0(f.k, 0, 3), "bytes");
        QCOMPARE(geflaggt(f.k), QList<int>{0});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{21});
        for (const auto& z : unterschiede(f.k.speicher(), startbild()))
            QVERIFY(z.first == 0 && z.second <= 2);
    }

    void kontrollruf()
    {
        Fenster f;
        auto* combo = f.finde<QComboBox>(QStringLiteral("Combo_Tag"));
        auto* tag = f.finde<QRadioButton>(QStringLiteral("OPT_Tag"));
        auto* woche = f.finde<QRadioButton>(QStringLiteral("OPT_Woche"));
        auto* stunde = f.finde<Aufab>(QStringLiteral("UD_Stunde"));
        auto* minute = f.finde<Aufab>(QStringLiteral("UD_Minute"));
        QVERIFY(!tag->isEnabled() && !woche->isEnabled() && !combo->isEnabled());
        QVERIFY(!stunde->isEnabled() && !minute->isEnabled());

        // Switching on: daily at 10:00, recorded although no value changed.
        klick(f, QStringLiteral("CHK_Kontrollruf"));
        QCOMPARE(seite0(f.k, 4, 3), QByteArray("\x07\x10\x00", 3));
        QCOMPARE(geflaggt(f.k), QList<int>{0});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{22});
        QVERIFY(tag->isChecked() && tag->isEnabled() && woche->isEnabled());
        QVERIFY(!combo->isEnabled());
        QVERIFY(stunde->isEnabled() && minute->isEnabled());

        klick(f, QStringLiteral("OPT_Woche"));
        QCOMPARE(combo->currentText(), QStringLiteral("Montag"));
        QVERIFY(combo->isEnabled());
        QCOMPARE(f.k.speicher().byte(0, 4), std::uint8_t(0));
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_End);
        QCOMPARE(combo->currentText(), QStringLiteral("Sonntag"));
        QCOMPARE(f.k.speicher().byte(0, 4), std::uint8_t(6));
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(f.k.speicher().byte(0, 4), std::uint8_t(5));
        klick(f, QStringLiteral("OPT_Tag"));
        QCOMPARE(combo->currentText(), QString());
        QVERIFY(!combo->isEnabled());
        QCOMPARE(f.k.speicher().byte(0, 4), std::uint8_t(7));

        // The arrows of the spinners.
        QTest::mouseClick(f.finde<QToolButton>(QStringLiteral("UD_Stunde_ab")), Qt::LeftButton);
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Stunde"))->text(), QStringLiteral("09"));
        QCOMPARE(f.k.speicher().byte(0, 5), std::uint8_t(0x09));
        QTest::mouseClick(f.finde<QToolButton>(QStringLiteral("UD_Minute_auf")), Qt::LeftButton);
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Minute"))->text(), QStringLiteral("01"));
        QCOMPARE(f.k.speicher().byte(0, 6), std::uint8_t(0x01));

        // Switching off: the whole stretch 4..23 and the spinners back at 10:00.
        klick(f, QStringLiteral("CHK_Kontrollruf"));
        QCOMPARE(seite0(f.k, 4, 20), QByteArray("\xFF\x10\x00\x03", 4) + ff(16));
        QVERIFY(!tag->isChecked() && !woche->isChecked());
        QVERIFY(!tag->isEnabled() && !woche->isEnabled() && !combo->isEnabled());
        QCOMPARE(stunde->value(), 10);
        QCOMPARE(minute->value(), 0);
        QVERIFY(!stunde->isEnabled() && !minute->isEnabled());
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Stunde"))->text(), QStringLiteral("10"));
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Minute"))->text(), QStringLiteral("00"));
        QCOMPARE(unterschiede(f.k.speicher(), startbild()), {});
    }

    void spinner_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("wert");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("byte");
        QTest::newRow("Stunde 0") << "UD_Stunde" << 0 << "00" << 5 << 0x00;
        QTest::newRow("Stunde 9") << "UD_Stunde" << 9 << "09" << 5 << 0x09;
        QTest::newRow("Stunde 23") << "UD_Stunde" << 23 << "23" << 5 << 0x23;
        QTest::newRow("Stunde 24 begrenzt") << "UD_Stunde" << 24 << "23" << 5 << 0x23;
        QTest::newRow("Minute 45") << "UD_Minute" << 45 << "45" << 6 << 0x45;
        QTest::newRow("Minute 59") << "UD_Minute" << 59 << "59" << 6 << 0x59;
        QTest::newRow("Minute -1 begrenzt") << "UD_Minute" << -1 << "" << 6 << 0x00;
    }
    void spinner()
    {
        QFETCH(QString, name);
        QFETCH(int, wert);
        QFETCH(QString, text);
        QFETCH(int, offset);
        Fenster f;
        klick(f, QStringLiteral("CHK_Kontrollruf"));
        f.finde<Aufab>(name)->setValue(wert);
        const QString feld = name == QLatin1String("UD_Stunde") ? QStringLiteral("TXT_Stunde") : QStringLiteral("TXT_Minute");
        // A value clamped to where it already stood changes nothing.
        QCOMPARE(f.finde<QLineEdit>(feld)->text(), text.isEmpty() ? QStringLiteral("00") : text);
        QTEST(int(f.k.speicher().byte(0, offset)), "byte");
    }

    void konto_data()
    {
        QTest::addColumn<QString>("netz");
        QTest::addColumn<QString>("nummer1");
        QTest::addColumn<QString>("nummer2");
        QTest::newRow("A1") << "OPT_A1" << "08006642903" << "08006642902";
        QTest::newRow("T Mobile") << "OPT_TM" << "*101#" << "*105*";
    }
    void konto()
    {
        QFETCH(QString, netz);
        QFETCH(QString, nummer1);
        QFETCH(QString, nummer2);
        Fenster f;
        auto* n1 = f.feld(QStringLiteral("TXT_Guthabenrufnummer"));
        auto* n2 = f.feld(QStringLiteral("TXT_Nummer_Aufladung"));
        auto* slider = f.finde<QSlider>(QStringLiteral("Slider_Guthaben"));
        auto* chk = f.finde<QCheckBox>(QStringLiteral("Chk_Konto"));
        if (netz != QLatin1String("OPT_A1"))
            klick(f, netz);
        klick(f, QStringLiteral("Chk_Konto"));
        QCOMPARE(n1->text(), nummer1);
        QCOMPARE(n2->text(), nummer2);
        QVERIFY(n1->isEnabled() && n2->isEnabled() && slider->isEnabled());
        QCOMPARE(seite0(f.k, 24, 16), nummer1.toLatin1() + "\x03" + ff(15 - nummer1.size()));
        QCOMPARE(seite0(f.k, 40, 16), nummer2.toLatin1() + "\x03" + ff(15 - nummer2.size()));
        QCOMPARE(slider->value(), 5);
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Guthaben"))->text(), QStringLiteral("5"));
        QCOMPARE(f.k.speicher().byte(0, 56), std::uint8_t(5));
        QCOMPARE(sichtbareMarker(f.k), QList<int>{22});
        QCOMPARE(geflaggt(f.k), QList<int>{0});

        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_End);
        QCOMPARE(f.k.speicher().byte(0, 56), std::uint8_t(9));
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Guthaben"))->text(), QStringLiteral("9"));

        // The other operator's numbers replace them while ticked.
        const bool a1 = netz == QLatin1String("OPT_A1");
        klick(f, a1 ? QStringLiteral("OPT_TM") : QStringLiteral("OPT_A1"));
        QCOMPARE(n1->text(), a1 ? QStringLiteral("*101#") : QStringLiteral("08006642903"));
        QCOMPARE(f.k.speicher().byte(0, 56), std::uint8_t(5));

        // "Andere": monitoring off and locked, the numbers emptied in the image.
        klick(f, QStringLiteral("OPT_Andere"));
        QVERIFY(!chk->isChecked() && !chk->isEnabled());
        QVERIFY(n1->text().isEmpty() && n2->text().isEmpty());
        QVERIFY(!n1->isEnabled() && !n2->isEnabled() && !slider->isEnabled());
        QCOMPARE(f.k.speicher().byte(0, 24), std::uint8_t(0x03));
        QCOMPARE(f.k.speicher().byte(0, 40), std::uint8_t(0x03));
        QCOMPARE(f.k.speicher().byte(0, 56), std::uint8_t(0));
        QCOMPARE(f.finde<QLineEdit>(QStringLiteral("TXT_Guthaben"))->text(), QString());
        klick(f, QStringLiteral("OPT_A1"));
        QVERIFY(chk->isEnabled() && !chk->isChecked());
        QCOMPARE(f.door.beeps, 0);
    }

    void quittierung()
    {
        Fenster f;
        auto* slider = f.finde<QSlider>(QStringLiteral("Slider_Quit"));
        auto* quit = f.finde<QLineEdit>(QStringLiteral("Quit"));
        klick(f, QStringLiteral("Chk_Quittierung"));
        QVERIFY(slider->isEnabled());
        QCOMPARE(slider->value(), 15);
        QCOMPARE(quit->text(), QStringLiteral("15"));
        QCOMPARE(f.k.speicher().byte(0, 3), std::uint8_t(15));
        QCOMPARE(sichtbareMarker(f.k), QList<int>{22});
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(f.k.speicher().byte(0, 3), std::uint8_t(16));
        QCOMPARE(quit->text(), QStringLiteral("16"));
        klick(f, QStringLiteral("Chk_Quittierung"));
        QVERIFY(!slider->isEnabled());
        QCOMPARE(slider->value(), 1);
        QCOMPARE(quit->text(), QString());
        QCOMPARE(f.k.speicher().byte(0, 3), std::uint8_t(0));
        QCOMPARE(unterschiede(f.k.speicher(), startbild()), {});
    }

    void relais_data()
    {
        QTest::addColumn<int>("nr");
        QTest::addColumn<int>("anfang");
        QTest::addColumn<int>("marker");
        QTest::newRow("Relais 1") << 1 << 0 << 18;
        QTest::newRow("Relais 2") << 2 << 128 << 19;
    }
    void relais()
    {
        QFETCH(int, nr);
        QFETCH(int, anfang);
        QFETCH(int, marker);
        Fenster f;
        const QString n = QString::number(nr);
        auto* text = f.feld(QStringLiteral("Besttext") + n);
        QVERIFY(!text->isEnabled());
        klick(f, QStringLiteral("Chk_Relaisbest") + n);
        QVERIFY(text->isEnabled());
        QCOMPARE(sichtbareMarker(f.k), QList<int>{marker});
        QCOMPARE(geflaggt(f.k), QList<int>{10});
        f.betreten(text);
        tippen(text, QStringLiteral("Hallo"));
        klick(f, QStringLiteral("Chk_Relaisbest") + n);
        QVERIFY(!text->isEnabled());
        QVERIFY(text->text().isEmpty());
        // Left with its text, then emptied: only the first cell is 0x03.
        QCOMPARE(zellen(f.k.speicher(), 10, anfang, 128), QByteArray("\x03" "allo\x03") + ff(122));
        QCOMPARE(sichtbareMarker(f.k), QList<int>{marker});
        QCOMPARE(geflaggt(f.k), QList<int>{10});
    }

    // While the editor is filled by the program, nothing is recorded.
    void einlesenVermerktNichts()
    {
        Fenster f;
        f.k.modell().setFuellen(true);
        for (const char* n : {"Chk_Oeffner_3", "Chk_Gutmeldung_8", "Chk_Relaisbest1", "Chk_Quittierung",
                              "CHK_Kontrollruf", "Chk_Konto"})
            f.finde<QCheckBox>(QLatin1String(n))->setChecked(true);
        f.finde<QRadioButton>(QStringLiteral("OPT_TM"))->setChecked(true);
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        QCOMPARE(geflaggt(f.k), QList<int>{});
        // The bit fields are stored, the ticks of the dependent settings do nothing.
        QCOMPARE(seite0(f.k, 0, 7), QByteArray("\x08\x00\xFF\x00\xFF\x10\x00", 7));
        QVERIFY(f.feld(QStringLiteral("TXT_Guthabenrufnummer"))->text().isEmpty());
        QVERIFY(f.feld(QStringLiteral("TXT_Guthabenrufnummer"))->isEnabled());
        QCOMPARE(f.k.speicher().byte(0, 56), std::uint8_t(0));
        QCOMPARE(zellen(f.k.speicher(), 10, 0, 1), ff(1));
        f.k.modell().setFuellen(false);
        klick(f, QStringLiteral("Chk_Oeffner_3"));
        QCOMPARE(sichtbareMarker(f.k), QList<int>{21});
    }

    void anzeigenUndWerte_data()
    {
        QTest::addColumn<Editorwerte>("w");
        QTest::newRow("leer") << Editorwerte{};
        Editorwerte voll;
        voll.oeffner = {true, false, true, false, false, false, false, true};
        voll.gutmeldung = {false, true, false, false, false, false, false, false, true};
        for (int i = 0; i < 9; ++i)
            voll.smsText[std::size_t(i)] = QStringLiteral("Text %1").arg(i);
        voll.anlagenbezeichnung = QString(128, QChar(0xFF));
        voll.netz = Netzbetreiber::TMobile;
        voll.quittierung = true;
        voll.sliderQuit = 200;
        voll.quit = QStringLiteral("200");
        voll.konto = true;
        voll.guthabenrufnummer = QStringLiteral("*101#");
        voll.nummerAufladung = QStringLiteral("*105*");
        voll.sliderGuthaben = 7;
        voll.guthaben = QStringLiteral("7");
        voll.kontrollruf = Editorwerte::Kontrollruf::Woechentlich;
        voll.tag = 3;
        voll.udStunde = 22;
        voll.udMinute = 15;
        voll.txtStunde = QStringLiteral("3A");
        voll.txtMinute = QStringLiteral("15");
        voll.relaisbest1 = true;
        voll.besttext1 = QStringLiteral("Relais 1 ein");
        voll.messbereich4 = QStringLiteral("0");
        voll.messbereich20 = QStringLiteral("32767");
        voll.grenzwertmin = QStringLiteral("10");
        voll.grenzwertmax = QString();
        voll.einheit = QStringLiteral("   ");
        voll.textMin = QStringLiteral("zu wenig");
        voll.textMax = QStringLiteral("zu viel");
        QTest::newRow("voll") << voll;
        Editorwerte taeglich;
        taeglich.kontrollruf = Editorwerte::Kontrollruf::Taeglich;
        taeglich.netz = Netzbetreiber::Andere;
        taeglich.kontoAktivierbar = false;
        taeglich.relaisbest2 = true;
        taeglich.besttext2 = QStringLiteral("zwei");
        QTest::newRow("taeglich, Andere") << taeglich;
    }
    void anzeigenUndWerte()
    {
        QFETCH(Editorwerte, w);
        Fenster f;
        const Konfigspeicher vorher = f.k.speicher();
        f.k.anzeigen(w);
        QVERIFY(f.k.werte() == w);
        // Nothing stored, nothing recorded.
        QVERIFY(f.k.speicher() == vorher);
        QCOMPARE(geflaggt(f.k), QList<int>{});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        QCOMPARE(f.door.beeps, 0);
        // The enabled states that follow from the values.
        const bool an = w.kontrollruf != Editorwerte::Kontrollruf::Aus;
        QCOMPARE(f.finde(QStringLiteral("OPT_Tag"))->isEnabled(), an);
        QCOMPARE(f.finde(QStringLiteral("OPT_Woche"))->isEnabled(), an);
        QCOMPARE(f.finde(QStringLiteral("UD_Stunde"))->isEnabled(), an);
        QCOMPARE(f.finde(QStringLiteral("Combo_Tag"))->isEnabled(), w.kontrollruf == Editorwerte::Kontrollruf::Woechentlich);
        QCOMPARE(f.finde(QStringLiteral("Chk_Konto"))->isEnabled(), w.kontoAktivierbar);
        QCOMPARE(f.finde(QStringLiteral("TXT_Nummer_Aufladung"))->isEnabled(), w.konto);
        QCOMPARE(f.finde(QStringLiteral("Slider_Guthaben"))->isEnabled(), w.konto);
        QCOMPARE(f.finde(QStringLiteral("Slider_Quit"))->isEnabled(), w.quittierung);
        QCOMPARE(f.finde(QStringLiteral("Besttext1"))->isEnabled(), w.relaisbest1);
        QCOMPARE(f.finde(QStringLiteral("Besttext2"))->isEnabled(), w.relaisbest2);
        // Afterwards the handlers record again.
        klick(f, QStringLiteral("Chk_Gutmeldung_2"));
        QCOMPARE(sichtbareMarker(f.k), QList<int>{21});
    }

    void schieberBegrenzt()
    {
        Fenster f;
        Editorwerte w;
        w.quittierung = w.konto = true;
        w.sliderQuit = 0;
        w.sliderGuthaben = 12;
        f.k.anzeigen(w);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Quit"))->value(), 1);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Guthaben"))->value(), 9);
        w.sliderQuit = 300;
        w.sliderGuthaben = 0;
        f.k.anzeigen(w);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Quit"))->value(), 255);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Guthaben"))->value(), 1);
        QVERIFY(f.k.speicher() == startbild());
    }

    void editorLeeren()
    {
        Fenster f;
        klick(f, QStringLiteral("OPT_TM"));
        klick(f, QStringLiteral("Chk_Konto"));
        klick(f, QStringLiteral("CHK_Kontrollruf"));
        klick(f, QStringLiteral("Chk_Relaisbest2"));
        klick(f, QStringLiteral("Chk_Oeffner_5"));
        f.betreten(f.feld(QStringLiteral("SMSText_6")));
        tippen(f.feld(QStringLiteral("SMSText_6")), QStringLiteral("Feuer"));
        const Konfigspeicher vorher = f.k.speicher();
        f.k.editorLeeren();
        Editorwerte leer;
        leer.netz = Netzbetreiber::TMobile;
        QVERIFY(f.k.werte() == leer);
        QVERIFY(f.k.speicher() == vorher);
        QVERIFY(!f.finde(QStringLiteral("Besttext2"))->isEnabled());
        QVERIFY(!f.finde(QStringLiteral("TXT_Guthabenrufnummer"))->isEnabled());
        QVERIFY(!f.finde(QStringLiteral("UD_Minute"))->isEnabled());
    }

    // Ticking and unticking every option and typing into every field of one tab
    // changes only the cells of that tab's settings.
    void nurDieZellenDesTabs_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QList<int>>("marker");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Allgemein") << 0 << QList<int>{22} << 0;
        QTest::newRow("Meldelinien") << 1 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 21} << 0;
        QTest::newRow("Relaisausgaenge") << 2 << QList<int>{18, 19} << 0;
        // Leaving the 20 mA value checks the still empty thresholds against a
        // range that starts at 10: both beep.
        QTest::newRow("Analogeingaenge") << 3 << QList<int>{20} << 2;
    }
    void nurDieZellenDesTabs()
    {
        QFETCH(int, tab);
        Fenster f;
        f.k.tabs()->setCurrentIndex(tab);
        QWidget* seite = f.k.tabs()->widget(tab);
        const auto kaestchen = seite->findChildren<QCheckBox*>();
        for (QCheckBox* c : kaestchen)
            if (c->isEnabled())
                QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
        const QMap<QString, QString> analog = {{"Messbereich4", "10"}, {"Messbereich20", "900"},
                                               {"Grenzwertmin", "100"}, {"Grenzwertmax", "800"}};
        for (Eingabefeld* e : seite->findChildren<Eingabefeld*>()) {
            if (!e->isEnabled())
                continue;
            QTest::mouseClick(e, Qt::LeftButton);
            QCOMPARE(f.fokus(), e);
            tippen(e, analog.value(e->objectName(), QStringLiteral("12")));
            QTest::keyClick(e, Qt::Key_Tab);
            QVERIFY2(f.fokus() != e, qPrintable(e->objectName()));
        }
        for (QSlider* s : seite->findChildren<QSlider*>())
            if (s->isEnabled())
                QTest::keyClick(s, Qt::Key_Right);
        for (Aufab* a : seite->findChildren<Aufab*>())
            if (a->isEnabled())
                a->stepDown();
        for (QRadioButton* r : seite->findChildren<QRadioButton*>())
            if (r->isEnabled())
                QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2));
        for (QComboBox* c : seite->findChildren<QComboBox*>())
            if (c->isEnabled())
                c->setCurrentIndex(4);
        for (QCheckBox* c : kaestchen)
            if (c->isEnabled())
                QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));

        auto erlaubt = [tab](int s, int o) {
            switch (tab) {
            case 0: return s == 0 && ((o >= 3 && o <= 56) || o >= 128);
            case 1: return (s == 0 && o <= 2) || (s >= 1 && s <= 9 && o >= 128);
            case 2: return s == 10;
            case 3: return (s == 11 && o >= 128 && o <= 139) || s == 12;
            }
            return false;
        };
        const auto diff = unterschiede(f.k.speicher(), startbild());
        QVERIFY(!diff.isEmpty());
        for (const auto& z : diff)
            QVERIFY2(erlaubt(z.first, z.second), qPrintable(QStringLiteral("%1/%2").arg(z.first).arg(z.second)));
        QTEST(sichtbareMarker(f.k), "marker");
        QTEST(f.door.beeps, "beeps");
    }
};

QTEST_MAIN(TestOptionen)
#include "test_optionen.moc"
