// The text and number fields of the main window with real key events and real
// focus changes: what lands in the image, which page is flagged, which marker
// shows, how often it beeps and where the focus stays.
#include "editorhilfe.h"
#include "editor/teledit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFrame>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>

using namespace hilfe;

class TestFelder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { plattformHinweiseAus(); }
    void cleanup() { QApplication::clipboard()->clear(); }

    // Typing and leaving each free-text field: its area, its page, its marker.
    void feldSpeichern_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("seite");
        QTest::addColumn<int>("anfang");
        QTest::addColumn<int>("breite");
        QTest::addColumn<int>("marker");
        QTest::newRow("Anlagenbezeichnung") << "Anlagenbezeichnung" << 0 << 128 << 128 << 22;
        QTest::newRow("SMSText_0") << "SMSText_0" << 1 << 128 << 128 << 0;
        QTest::newRow("SMSText_4") << "SMSText_4" << 5 << 128 << 128 << 4;
        QTest::newRow("SMSText_8 Stromausfall") << "SMSText_8" << 9 << 128 << 128 << 8;
        QTest::newRow("Text_Min") << "Text_Min" << 12 << 0 << 128 << 20;
        QTest::newRow("Text_Max") << "Text_Max" << 12 << 128 << 128 << 20;
        QTest::newRow("TXT_Guthabenrufnummer") << "TXT_Guthabenrufnummer" << 0 << 24 << 16 << 22;
        QTest::newRow("TXT_Nummer_Aufladung") << "TXT_Nummer_Aufladung" << 0 << 40 << 16 << 22;
        QTest::newRow("Besttext1") << "Besttext1" << 10 << 0 << 128 << 18;
        QTest::newRow("Besttext2") << "Besttext2" << 10 << 128 << 128 << 19;
    }
    void feldSpeichern()
    {
        QFETCH(QString, name);
        QFETCH(int, seite);
        QFETCH(int, anfang);
        QFETCH(int, breite);
        QFETCH(int, marker);
        Fenster f;
        // The number fields and relay texts are open only with their boxes ticked.
        if (name.startsWith(QLatin1String("TXT_")))
            f.k.anzeigen([] { Editorwerte w; w.konto = true; return w; }());
        if (name.startsWith(QLatin1String("Besttext")))
            f.k.anzeigen([] { Editorwerte w; w.relaisbest1 = w.relaisbest2 = true; return w; }());
        Eingabefeld* feld = f.feld(name);
        f.betreten(feld);
        QCOMPARE(f.fokus(), feld);
        tippen(feld, QStringLiteral("1234"));
        QCOMPARE(feld->text(), QStringLiteral("1234"));
        // Nothing is stored while the field has the focus.
        QCOMPARE(unterschiede(f.k.speicher(), startbild()), {});
        QTest::keyClick(feld, Qt::Key_Tab);
        QVERIFY(f.fokus() != feld);
        QCOMPARE(zellen(f.k.speicher(), seite, anfang, breite), QByteArray("1234\x03") + ff(breite - 5));
        QCOMPARE(geflaggt(f.k), QList<int>{seite});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{marker});
        QCOMPARE(f.door.beeps, 0);
        // Only the field's own area changed.
        for (const auto& z : unterschiede(f.k.speicher(), startbild()))
            QVERIFY(z.first == seite && z.second >= anfang && z.second < anfang + breite);
    }

    // Characters a field refuses, typed with real keys: each refusal beeps.
    void zeichenAblehnen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("frei: verbotene Zeichen")
            << "Anlagenbezeichnung" << QString::fromUtf8("a\"b#c[d\\e]f^g_h`i{j|k}l~m") << "abcdefghijklm" << 12;
        QTest::newRow("frei: Umlaute, Eszett, Euro, Zeichen ohne Byte")
            << "SMSText_2" << QString::fromUtf8("TürÖßx€y\u4e2dz") << "Trxyz" << 5;
        QTest::newRow("frei: Satzzeichen erlaubt")
            << "Text_Max" << QStringLiteral("A-z 0:9!$%&'()*+,./;<=>?@") << "A-z 0:9!$%&'()*+,./;<=>?@" << 0;
        QTest::newRow("nummer: +43*12#") << "TXT_Guthabenrufnummer" << "+43*12#" << "+43*12#" << 0;
        QTest::newRow("nummer: minus blank klammern buchstaben")
            << "TXT_Nummer_Aufladung" << "0-6 (6)4a" << "0664" << 5;
        QTest::newRow("analog: minus punkt vierte Ziffer") << "Messbereich4" << "-1.234" << "123" << 3;
        QTest::newRow("einheit: drei Zeichen") << "Einheit" << "m/sx" << "m/s" << 1;
    }
    void zeichenAblehnen()
    {
        QFETCH(QString, name);
        QFETCH(QString, getippt);
        Fenster f;
        Editorwerte w;
        w.konto = true;
        f.k.anzeigen(w);
        Eingabefeld* feld = f.feld(name);
        f.betreten(feld);
        tippen(feld, getippt);
        QTEST(feld->text(), "text");
        QTEST(f.door.beeps, "beeps");
        QCOMPARE(f.fokus(), feld);
    }

    // A full field: Backspace goes through, every other key is refused.
    void volleFelder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("grenze");
        QTest::addColumn<QString>("zeichen");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Anlagenbezeichnung 70") << "Anlagenbezeichnung" << 70 << "x" << 1;
        QTest::newRow("SMSText 70, verbotenes Zeichen") << "SMSText_0" << 70 << "#" << 1;
        QTest::newRow("Text_Min 127") << "Text_Min" << 127 << "x" << 1;
        QTest::newRow("Nummer 15, Ziffer") << "TXT_Guthabenrufnummer" << 15 << "5" << 1;
        QTest::newRow("Nummer 15, Buchstabe: zwei Beeps") << "TXT_Guthabenrufnummer" << 15 << "a" << 2;
        QTest::newRow("Messbereich20 3") << "Messbereich20" << 3 << "7" << 1;
    }
    void volleFelder()
    {
        QFETCH(QString, name);
        QFETCH(int, grenze);
        QFETCH(QString, zeichen);
        Fenster f;
        Editorwerte w;
        w.konto = true;
        f.k.anzeigen(w);
        Eingabefeld* feld = f.feld(name);
        f.betreten(feld);
        tippen(feld, QString(grenze, QLatin1Char('1')));
        QCOMPARE(feld->text().size(), grenze);
        QCOMPARE(f.door.beeps, 0);
        tippen(feld, zeichen);
        QCOMPARE(feld->text().size(), grenze);
        QTEST(f.door.beeps, "beeps");
        f.door.zuruecksetzen();
        QTest::keyClick(feld, Qt::Key_Backspace);
        QCOMPARE(feld->text().size(), grenze - 1);
        QCOMPARE(f.door.beeps, 0);
    }

    void textUeberschreiben()
    {
        Fenster f;
        Eingabefeld* feld = f.feld(QStringLiteral("Anlagenbezeichnung"));
        f.betreten(feld);
        tippen(feld, QStringLiteral("AB"));
        QTest::keyClick(feld, Qt::Key_Tab);
        QCOMPARE(zellen(f.k.speicher(), 0, 128, 128), QByteArray("AB\x03") + ff(125));
        // Emptied: only the first cell becomes 0x03, the rest stays behind it.
        f.betreten(feld);
        QTest::keyClick(feld, Qt::Key_End);
        QTest::keyClick(feld, Qt::Key_Backspace);
        QTest::keyClick(feld, Qt::Key_Backspace);
        QVERIFY(feld->text().isEmpty());
        QTest::keyClick(feld, Qt::Key_Tab);
        QCOMPARE(zellen(f.k.speicher(), 0, 128, 128), QByteArray("\x03" "B\x03") + ff(125));
        // 70 characters: 0x03 at offset 198, 0xFF behind.
        f.betreten(feld);
        tippen(feld, QString(70, QLatin1Char('z')));
        QTest::keyClick(feld, Qt::Key_Tab);
        QCOMPARE(zellen(f.k.speicher(), 0, 128, 128), QByteArray(70, 'z') + "\x03" + ff(57));
    }

    // A field left without a key pressed stores its text again and records nothing.
    void verlassenOhneTippen()
    {
        Fenster f;
        Editorwerte w;
        w.anlagenbezeichnung = QStringLiteral("Halle 3");
        w.smsText[3] = QStringLiteral("Tor");
        f.k.anzeigen(w);
        f.betreten(f.feld(QStringLiteral("Anlagenbezeichnung")));
        QTest::keyClick(f.feld(QStringLiteral("Anlagenbezeichnung")), Qt::Key_Tab);
        f.betreten(f.feld(QStringLiteral("SMSText_3")));
        f.betreten(f.feld(QStringLiteral("SMSText_4")));
        QCOMPARE(zellen(f.k.speicher(), 0, 128, 8), QByteArray("Halle 3\x03"));
        QCOMPARE(zellen(f.k.speicher(), 4, 128, 4), QByteArray("Tor\x03"));
        QCOMPARE(geflaggt(f.k), QList<int>{});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        // Deleting with the Delete key is a change too, though it types nothing.
        Eingabefeld* name = f.feld(QStringLiteral("Anlagenbezeichnung"));
        f.betreten(name);
        QTest::keyClick(name, Qt::Key_Home);
        QTest::keyClick(name, Qt::Key_Delete);
        QCOMPARE(name->text(), QStringLiteral("alle 3"));
        f.betreten(f.feld(QStringLiteral("SMSText_4")));
        QCOMPARE(zellen(f.k.speicher(), 0, 128, 7), QByteArray("alle 3\x03"));
        QCOMPARE(geflaggt(f.k), QList<int>{0});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{22});
        // A refused key counts as typing: the field is marked when left.
        tippen(f.feld(QStringLiteral("SMSText_4")), QStringLiteral("#"));
        QCOMPARE(f.door.beeps, 1);
        f.betreten(f.feld(QStringLiteral("SMSText_5")));
        QCOMPARE(geflaggt(f.k), (QList<int>{0, 5}));
        QCOMPARE(sichtbareMarker(f.k), (QList<int>{4, 22}));
    }

    void einheit()
    {
        Fenster f;
        Eingabefeld* einheit = f.feld(QStringLiteral("Einheit"));
        Eingabefeld* text = f.feld(QStringLiteral("Text_Min"));
        // An empty unit is stored as three blanks and always counts as changed.
        f.betreten(einheit);
        f.betreten(text);
        QCOMPARE(zellen(f.k.speicher(), 11, 136, 4), QByteArray("   \x03"));
        QCOMPARE(geflaggt(f.k), QList<int>{11});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{20});

        // Three blanks shown: the first key empties the field.
        Editorwerte w;
        w.einheit = QStringLiteral("   ");
        f.k.anzeigen(w);
        f.betreten(einheit);
        tippen(einheit, QStringLiteral("V"));
        QCOMPARE(einheit->text(), QStringLiteral("V"));
        f.betreten(text);
        QCOMPARE(zellen(f.k.speicher(), 11, 136, 4), QByteArray("V  \x03"));

        // Four characters (possible only by program): refused on leaving, the
        // focus stays, nothing is stored.
        f.door.zuruecksetzen();
        f.betreten(einheit);
        einheit->setText(QStringLiteral("mbar"));
        QTest::keyClick(einheit, Qt::Key_Tab);
        QCOMPARE(f.fokus(), einheit);
        QCOMPARE(f.door.beeps, 1);
        QCOMPARE(zellen(f.k.speicher(), 11, 136, 4), QByteArray("V  \x03"));
        einheit->setText(QStringLiteral("bar"));
        QTest::keyClick(einheit, Qt::Key_Tab);
        QVERIFY(f.fokus() != einheit);
        QCOMPARE(zellen(f.k.speicher(), 11, 136, 4), QByteArray("bar\x03"));
    }

    void hinweise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hinweis");
        QTest::newRow("Text_Min") << "Text_Min" << QStringLiteral("Meldunsgtext für Minimumalarm");
        QTest::newRow("Text_Max") << "Text_Max" << QStringLiteral("Meldunsgtext für Maximumalarm");
        QTest::newRow("Einheit") << "Einheit" << QStringLiteral("Einheit des Analogwertes: max. 3 Zeichen");
        QTest::newRow("Messbereich4") << "Messbereich4" << QStringLiteral("Wert bei 4 mA: 0 bis 999");
        QTest::newRow("Messbereich20") << "Messbereich20" << QStringLiteral("Wert bei 20 mA: 0 bis 999");
        QTest::newRow("Grenzwertmin") << "Grenzwertmin"
                                      << QStringLiteral("Analogwert Minimumalarm: muss um mind. 50 unter Maximumalarm liegen");
        QTest::newRow("Grenzwertmax") << "Grenzwertmax"
                                      << QStringLiteral("Analogwert Maximumalarm: muss um mind. 50 über Minimumalarm liegen");
        QTest::newRow("ohne Hinweis") << "Anlagenbezeichnung" << QString();
    }
    void hinweise()
    {
        QFETCH(QString, name);
        QFETCH(QString, hinweis);
        Fenster f;
        f.k.hinweisSetzen(QStringLiteral("vorher"));
        f.betreten(f.feld(name));
        QCOMPARE(f.k.panel(2)->text(), hinweis.isEmpty() ? QStringLiteral("vorher") : hinweis);
        f.k.tabs()->tabBar()->setFocus();
        QCOMPARE(f.k.panel(2)->text(), hinweis.isEmpty() ? QStringLiteral("vorher") : QString());
    }

    // The analog fields through the window: refusals keep the focus.
    void analogFelder()
    {
        Fenster f;
        Eingabefeld* m4 = f.feld(QStringLiteral("Messbereich4"));
        Eingabefeld* m20 = f.feld(QStringLiteral("Messbereich20"));
        Eingabefeld* gmin = f.feld(QStringLiteral("Grenzwertmin"));
        Eingabefeld* gmax = f.feld(QStringLiteral("Grenzwertmax"));
        auto eingeben = [&](Eingabefeld* e, const QString& t) {
            f.betreten(e);
            e->selectAll();
            QTest::keyClick(e, Qt::Key_Backspace);
            tippen(e, t);
            QTest::keyClick(e, Qt::Key_Tab);
        };
        eingeben(m4, QStringLiteral("050"));
        QCOMPARE(f.fokus(), m4);
        QCOMPARE(f.door.beeps, 1);
        eingeben(m4, QStringLiteral("0"));
        eingeben(m20, QStringLiteral("100"));
        eingeben(gmin, QStringLiteral("20"));
        QCOMPARE(f.door.beeps, 1);
        eingeben(gmax, QStringLiteral("70"));
        QCOMPARE(f.fokus(), gmax);
        QCOMPARE(f.door.beeps, 2);
        eingeben(gmax, QStringLiteral("71"));
        QVERIFY(f.fokus() != gmax);
        QCOMPARE(f.door.beeps, 2);
        QCOMPARE(zellen(f.k.speicher(), 11, 128, 8), QByteArray("\x00\x00\x00\x64\x00\x14\x00\x47", 8));
        QCOMPARE(geflaggt(f.k), QList<int>{11});
        QCOMPARE(sichtbareMarker(f.k), QList<int>{20});

        // Narrowing the range: the maximum no longer fits, one beep, it keeps
        // its bytes; the range itself is taken.
        eingeben(m20, QStringLiteral("50"));
        QCOMPARE(f.door.beeps, 3);
        QVERIFY(f.fokus() != m20);
        QCOMPARE(zellen(f.k.speicher(), 11, 128, 8), QByteArray("\x00\x00\x00\x32\x00\x14\x00\x47", 8));
        // The range widened again: both thresholds are stored again.
        eingeben(m20, QStringLiteral("999"));
        QCOMPARE(f.door.beeps, 3);
        QCOMPARE(zellen(f.k.speicher(), 11, 128, 8), QByteArray("\x00\x00\x03\xE7\x00\x14\x00\x47", 8));
        // 256 is stored high byte first.
        eingeben(gmax, QStringLiteral("256"));
        QCOMPARE(zellen(f.k.speicher(), 11, 134, 2), QByteArray("\x01\x00", 2));
    }

    // A click that would leave a refusing field is not carried out.
    void klickBeiAblehnung()
    {
        Fenster f;
        Eingabefeld* m4 = f.feld(QStringLiteral("Messbereich4"));
        f.betreten(m4);
        tippen(m4, QStringLiteral("007"));
        auto* box = f.finde<QCheckBox>(QStringLiteral("Chk_Oeffner_0"));
        QTest::mouseClick(f.finde(QStringLiteral("Text_Min")), Qt::LeftButton);
        QCOMPARE(f.fokus(), m4);
        QCOMPARE(f.door.beeps, 1);
        // The tab stays where the field is.
        QTabBar* leiste = f.k.tabs()->tabBar();
        QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(1).center());
        QCOMPARE(f.k.tabs()->currentIndex(), 3);
        QCOMPARE(f.fokus(), m4);
        QCOMPARE(f.door.beeps, 2);
        // Switching the tab by program: the field is brought back into view.
        f.k.tabs()->setCurrentIndex(1);
        QCoreApplication::processEvents();
        QCOMPARE(f.k.tabs()->currentIndex(), 3);
        QCOMPARE(f.fokus(), m4);
        QCOMPARE(f.door.beeps, 3);
        QVERIFY(!box->isChecked());
        // Corrected, the click goes through.
        m4->setText(QStringLiteral("7"));
        QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(1).center());
        QCOMPARE(f.k.tabs()->currentIndex(), 1);
        QCOMPARE(f.door.beeps, 3);
        QCOMPARE(zellen(f.k.speicher(), 11, 128, 2), QByteArray("\x00\x07", 2));
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(box->isChecked());
    }

    // A press arriving at the window (as from the real mouse) is checked
    // before any widget takes the focus; the check runs once per leave.
    void klickUeberDasFenster()
    {
        Fenster f;
        Eingabefeld* m4 = f.feld(QStringLiteral("Messbereich4"));
        Eingabefeld* m20 = f.feld(QStringLiteral("Messbereich20"));
        auto* textMin = f.feld(QStringLiteral("Text_Min"));
        auto klickAuf = [&](QWidget* w) {
            const QPoint p = w->mapTo(&f.k, QPoint(6, w->height() / 2));
            QTest::mouseClick(f.k.windowHandle(), Qt::LeftButton, {}, p);
        };
        f.betreten(m4);
        tippen(m4, QStringLiteral("10"));
        klickAuf(m20);
        QCOMPARE(f.fokus(), m20);
        QCOMPARE(f.door.beeps, 0);
        tippen(m20, QStringLiteral("10"));
        klickAuf(textMin);
        QCOMPARE(f.fokus(), m20);
        QCOMPARE(f.door.beeps, 1);
        // 900 is taken; the empty thresholds below a range starting at 10 beep,
        // each once.
        QTest::keyClick(m20, Qt::Key_Backspace);
        QTest::keyClick(m20, Qt::Key_Backspace);
        tippen(m20, QStringLiteral("900"));
        klickAuf(textMin);
        QCOMPARE(f.fokus(), textMin);
        QCOMPARE(f.door.beeps, 3);
        QCOMPARE(zellen(f.k.speicher(), 11, 128, 8), QByteArray("\x00\x0A\x03\x84", 4) + ff(4));
    }

    // Menu and toolbar commands take the typing over first.
    void eingabeUebernehmen()
    {
        Fenster f;
        Eingabefeld* feld = f.feld(QStringLiteral("SMSText_1"));
        f.betreten(feld);
        tippen(feld, QStringLiteral("Einbruch"));
        QVERIFY(f.k.eingabeUebernehmen());
        QCOMPARE(zellen(f.k.speicher(), 2, 128, 9), QByteArray("Einbruch\x03"));
        QCOMPARE(sichtbareMarker(f.k), QList<int>{1});
        QCOMPARE(f.fokus(), feld);
        // Typing on and saving: the save sees what was typed.
        tippen(feld, QStringLiteral("!"));
        f.finde<QAction>(QStringLiteral("MNU_Save"))->trigger();
        QCOMPARE(zellen(f.k.speicher(), 2, 128, 10), QByteArray("Einbruch!\x03"));

        // A refusing field stops the command: beep, the focus stays.
        Eingabefeld* m20 = f.feld(QStringLiteral("Messbereich20"));
        f.betreten(m20);
        tippen(m20, QStringLiteral("01"));
        QVERIFY(!f.k.eingabeUebernehmen());
        QCOMPARE(f.door.beeps, 1);
        f.finde<QAction>(QStringLiteral("Toolbar1_Button7"))->trigger();
        QCOMPARE(f.door.beeps, 2);
        QCOMPARE(f.fokus(), m20);
        // The abort is never held up by a field.
        f.finde<QAction>(QStringLiteral("Toolbar1_Button1"))->trigger();
        QCOMPARE(f.door.beeps, 2);
    }

    // Clicking through the tabs is no edit: a field the focus lands in when its
    // tab is shown is not entered by the user. One the user enters keeps its rules.
    void tabsDurchklicken_data()
    {
        QTest::addColumn<bool>("tastatur");
        QTest::newRow("Maus") << false;
        QTest::newRow("Strg+Tab") << true;
    }
    void tabsDurchklicken()
    {
        QFETCH(bool, tastatur);
        Fenster f;
        // The focus in the first tab (at start it is on the tab bar).
        f.finde(QStringLiteral("Chk_Quittierung"))->setFocus(Qt::TabFocusReason);
        QTabBar* leiste = f.k.tabs()->tabBar();
        auto wechseln = [&](int i) {
            if (tastatur)
                QTest::keyClick(f.fokus(), Qt::Key_Tab, Qt::ControlModifier);
            else
                QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(i).center());
            QCOMPARE(f.k.tabs()->currentIndex(), i);
        };
        for (int i : {1, 2, 3})
            wechseln(i);
        QCOMPARE(f.fokus(), f.feld(QStringLiteral("Messbereich4")));
        for (int i : {0, 1, 2, 3, 0})
            wechseln(i);
        QCOMPARE(f.door.beeps, 0);
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        QCOMPARE(geflaggt(f.k), QList<int>{});
        QCOMPARE(unterschiede(f.k.speicher(), startbild()), {});
        // Clicked into and left: an empty range field is marked.
        for (int i : {1, 2, 3})
            wechseln(i);
        QTest::mouseClick(f.feld(QStringLiteral("Messbereich4")), Qt::LeftButton);
        wechseln(0);
        QCOMPARE(sichtbareMarker(f.k), QList<int>{20});
        QCOMPARE(geflaggt(f.k), QList<int>{11});
    }

    // On "Analogeingänge" the Tab key goes down the values (the unit between
    // range and thresholds), then to the button and the alarm texts.
    void tabReihenfolgeAnalog()
    {
        Fenster f;
        f.betreten(f.feld(QStringLiteral("Messbereich4")));
        QStringList folge{f.fokus()->objectName()};
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(f.fokus(), Qt::Key_Tab);
            folge << f.fokus()->objectName();
        }
        QCOMPARE(folge, (QStringList{"Messbereich4", "Messbereich20", "Einheit", "Grenzwertmin", "Grenzwertmax",
                                     "Cmd_Analog", "Text_Min", "Text_Max"}));
    }

    // A refusal is seen, not only heard: its reason in the hint panel and a red
    // frame on its field, each for a while; then the field's own hint is back.
    void abweisungSichtbar_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tasten");  // a final "\t" leaves the field with Tab
        QTest::addColumn<QString>("grund");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Zeichen") << "Anlagenbezeichnung" << QStringLiteral("Bü") << QStringLiteral("Zeichen nicht zulässig") << 1;
        QTest::newRow("Wert nicht verlassen") << "Messbereich4" << "05\t"
                                              << QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)") << 1;
        QTest::newRow("Empfaenger") << "Nummer_0" << "0664a" << QStringLiteral("Nur Ziffern und +") << 1;
    }
    void abweisungSichtbar()
    {
        QFETCH(QString, name);
        QFETCH(QString, tasten);
        QFETCH(QString, grund);
        Fenster f;
        f.k.setAbweisungsdauer(std::chrono::milliseconds(300), std::chrono::milliseconds(100));
        QLineEdit* feld = nullptr;
        QString hinweis;
        const bool teledit = name.startsWith(QLatin1String("Nummer_"));
        if (teledit) {
            f.k.CMD_Nr_Click(0);
            feld = f.k.teledit().findChild<QLineEdit*>(name);
        } else {
            f.betreten(f.feld(name));
            feld = f.feld(name);
            hinweis = f.feld(name)->hinweis();
        }
        const bool verlassen = tasten.endsWith(QLatin1Char('\t'));
        tippen(feld, verlassen ? tasten.chopped(1) : tasten);
        if (verlassen)
            QTest::keyClick(feld, Qt::Key_Tab);
        QTEST(f.door.beeps, "beeps");
        QCOMPARE(f.k.panel(2)->text(), grund);
        auto* rahmen = feld->findChild<QFrame*>(QStringLiteral("Abweisungsrahmen"));
        QVERIFY(rahmen && rahmen->isVisible());
        QCOMPARE(rahmen->geometry(), feld->rect());
        if (!teledit)
            QCOMPARE(f.fokus(), feld);  // a field of the main window keeps the focus
        QTRY_VERIFY(!feld->findChild<QFrame*>(QStringLiteral("Abweisungsrahmen")));
        QCOMPARE(f.k.panel(2)->text(), grund);
        QTRY_COMPARE(f.k.panel(2)->text(), hinweis);
    }

    // Pasted, dropped and composed text obeys the same rules as typed text.
    void einfuegen()
    {
        Fenster f;
        Eingabefeld* feld = f.feld(QStringLiteral("Anlagenbezeichnung"));
        f.betreten(feld);
        QApplication::clipboard()->setText(QString::fromUtf8("Büro #2\nOst"));
        QTest::keyClick(feld, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(feld->text(), QStringLiteral("Bro 2Ost"));
        QCOMPARE(f.door.beeps, 1);
        // Up to the limit and no further.
        QApplication::clipboard()->setText(QString(80, QLatin1Char('x')));
        QTest::keyClick(feld, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(feld->text().size(), 70);
        QCOMPARE(f.door.beeps, 2);
        QTest::keyClick(feld, Qt::Key_Tab);
        QCOMPARE(zellen(f.k.speicher(), 0, 128, 71), QByteArray("Bro 2Ost") + QByteArray(62, 'x') + "\x03");
        QCOMPARE(sichtbareMarker(f.k), QList<int>{22});

        // Composed text.
        Eingabefeld* nummer = f.feld(QStringLiteral("Messbereich4"));
        f.betreten(nummer);
        QInputMethodEvent ime;
        ime.setCommitString(QStringLiteral("4a2"));
        QApplication::sendEvent(nummer, &ime);
        QCOMPARE(nummer->text(), QStringLiteral("42"));
        QCOMPARE(f.door.beeps, 3);

        // Dropped text.
        Eingabefeld* text = f.feld(QStringLiteral("Text_Max"));
        QMimeData daten;
        daten.setText(QStringLiteral("Druck [hoch]"));
        QDragEnterEvent hinein(QPoint(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &hinein);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(text, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(text->text(), QStringLiteral("Druck hoch"));
        QCOMPARE(f.door.beeps, 4);

        // The context menu's paste.
        f.betreten(text);
        QApplication::clipboard()->setText(QStringLiteral("_!"));
        QContextMenuEvent menue(QContextMenuEvent::Mouse, QPoint(5, 5), text->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(text, &menue);
        QMenu* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QAction* paste = popup->findChild<QAction*>(QStringLiteral("edit-paste"));
        QVERIFY(paste);
        paste->trigger();
        popup->close();
        QCOMPARE(text->text(), QStringLiteral("Druck hoch!"));
        QCOMPARE(f.door.beeps, 5);
    }
};

QTEST_MAIN(TestFelder)
#include "test_felder.moc"
