// What only the editor's widgets do: keys and pasted, dropped and composed text, the check on
// leaving a field, tab switches, every control wired to its handler, markers, hints, states shown.
#include "../modell/aenderung.h"
#include "editor/teledit.h"
#include "fenster.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QWheelEvent>

using kit::Fenster;
using kit::tippen;
using namespace std::chrono_literals;
Q_DECLARE_METATYPE(Editorwerte)

namespace {
// The cells changed since start-up, the markers and pages shown and what control `zeigt`
// shows: `0:128 "Halle" 03 / M22 / S0 / Anlagenbezeichnung=Halle`.
QString stand(Fenster& f, const QString& zeigt = QString())
{
    QStringList m, s;
    for (int i : f.marker())
        m << QString::number(i);
    for (int i : f.geflaggt())
        s << QString::number(i);
    const QString z = aenderung(f.k.speicher(), kit::startbild()) + " / M" + m.join(' ') + " / S" + s.join(' ');
    return zeigt.isEmpty() ? z : z + " / " + f.zeigt(zeigt);
}

// One action of the user: "name" a click, "name:key" a key ("name:Rad+", "name:Rad-" the mouse wheel), "name=text" typed into a field
// over its text and left, "Nummern i=n" / "Kopieren i=n" n in the first slot of source i's
// recipients, stored / copied.
void bedienen(Fenster& f, const QString& a)
{
    const QString name = a.section(QLatin1Char('='), 0, 0), text = a.section(QLatin1Char('='), 1);
    if (name.startsWith(QLatin1String("Nummern ")) || name.startsWith(QLatin1String("Kopieren "))) {
        f.k.CMD_Nr_Click(name.section(QLatin1Char(' '), 1).toInt());
        auto* nummer = f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"));
        nummer->setFocus();
        tippen(nummer, text);
        f.k.teledit().findChild<QAbstractButton*>(name.startsWith('N') ? QStringLiteral("CMD_Save") : QStringLiteral("CMD_kopieren"))->click();
    } else if (a.contains(QLatin1Char('='))) {
        f.betreten(f.feld(name));
        QTest::keyClick(f.feld(name), Qt::Key_A, Qt::ControlModifier);
        tippen(f.feld(name), text + '\t');
    } else if (a.contains(QLatin1Char(':'))) {
        QWidget* el = f.finde(a.section(QLatin1Char(':'), 0, 0));
        f.zeigen(el);
        el->setFocus();
        const QString taste = a.section(QLatin1Char(':'), 1);
        QWheelEvent rad(QPointF(5, 5), el->mapToGlobal(QPointF(5, 5)), {}, {0, taste.endsWith('-') ? -120 : 120}, Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
        if (taste.startsWith(QLatin1String("Rad")))
            QApplication::sendEvent(el, &rad);
        else
            QTest::keyClick(el, QKeySequence::fromString(taste)[0].key());
    } else {
        f.klicken(a);
    }
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    // Typed keys and text put in otherwise: what the field holds, beeps, the status bar (reason or hint);
    // nothing stored while it has the focus. "verlassen": typed, then left: its cells and marker (a field
    // of each kind and group; the tab order test names every field by the setting it is registered with).
    void eingabe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("vorher");
        QTest::addColumn<QString>("weg");
        QTest::addColumn<QString>("eingabe");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("bild");
        QTest::addColumn<int>("marker");
        auto z = [](const char* zeile, const QString& name, const QString& vorher, const QString& weg, const QString& eingabe,
                    const QString& text, int beeps, const QString& panel, const QString& bild = {}, int marker = -1) {
            QTest::newRow(zeile) << name << vorher << weg << eingabe << text << beeps << panel << bild << marker;
        };
        auto v = [&z](const char* name, const char* eingabe, const char* bild, int marker, const QString& hinweis) {
            z(name, name, "", "verlassen", eingabe, eingabe, 0, hinweis, bild, marker);
        };
        const QString zeichen = QStringLiteral("Zeichen nicht zulässig"), nummer = QStringLiteral("Nur Ziffern, +, * und #");
        const QString a70(70, 'a'), e15(15, '1');
        z("frei, verbotene Zeichen", "Anlagenbezeichnung", "", "", "a\"b#c[d\\e]f^g_h`i{j|k}l~m", "abcdefghijklm", 12, zeichen);
        z("frei, Umlaute, Euro, ohne Byte", "SMSText_2", "", "", "TürÖßx€y中z", "Trxyz", 5, zeichen);
        z("frei, Satzzeichen", "Text_Max", "", "", "A-z 0:9!$%&'()*+,./;<=>?@", "A-z 0:9!$%&'()*+,./;<=>?@", 0, "Meldunsgtext für Maximumalarm");
        z("frei voll", "Anlagenbezeichnung", a70, "", "b", a70, 1, "Höchstens 70 Zeichen");
        z("Relaistext 127", "Besttext1", QString(126, 'z'), "", "ab", QString(126, 'z') + "a", 1, "Höchstens 127 Zeichen");
        z("Nummer", "TXT_Nummer_Aufladung", "", "", "+0-6 (6)4a*#", "+0664*#", 5, nummer);
        z("Nummer, Rückschritt", "TXT_Nummer_Aufladung", "12", "", "\b", "1", 0, "");
        z("Nummer voll", "TXT_Guthabenrufnummer", e15, "", "5", e15, 1, "Höchstens 15 Zeichen");
        z("Analog", "Messbereich4", "", "", "-1.234", "123", 3, "Höchstens 3 Ziffern");
        z("Einheit", "Einheit", "", "", "m/sx", "m/s", 1, "Höchstens 3 Zeichen");
        z("Einheit aus drei Blanks", "Einheit", "   ", "", "V", "V", 0, "Einheit des Analogwertes: max. 3 Zeichen");
        z("einfügen in drei Blanks", "Einheit", "   ", "einfuegen", "bar", "bar", 0, "Einheit des Analogwertes: max. 3 Zeichen");
        z("einfügen", "Anlagenbezeichnung", "", "einfuegen", "Büro #2\n中Ost", "Bro 2Ost", 1, zeichen);
        z("einfügen bis zur Grenze", "Anlagenbezeichnung", QString(68, 'x'), "einfuegen", "abc", QString(68, 'x') + "ab", 1, "Höchstens 70 Zeichen");
        z("einfügen, Nummer", "TXT_Guthabenrufnummer", "", "einfuegen", "+43 (664) 12-34", "+436641234", 1, nummer);
        z("einfügen ersetzt die Auswahl", "SMSText_0", "xyz", "ersetzen", "ab#", "ab", 1, zeichen);
        z("einfügen: nichts zulässig ersetzt ein Zeichen", "SMSText_0", "x", "ersetzen", "#", "", 1, zeichen);
        z("ablegen", "Text_Max", "", "ablegen", "Druck [hoch]", "Druck hoch", 1, zeichen);
        z("komponieren", "Messbereich4", "", "komponieren", "4a2", "42", 1, "Nur Ziffern");
        z("Kontextmenü", "Text_Min", "", "menue", "_!", "!", 1, zeichen);
        // Set through the accessibility interface (on-screen keyboard, voice input): the field's rules, counted as
        // typed; stored when left, or at once in a field that is not being edited.
        z("Zugang im Feld", "Anlagenbezeichnung", "", "zugang", "ab[ä]c", "abc", 1, zeichen, "0:128 \"abc\" 03", 22);
        z("Zugang, anderes Feld", "SMSText_2", "", "aussen", "Tür zu", "Tr zu", 1, zeichen, "3:128 \"Tr zu\" 03", 2);
        z("Zugang, zu lang", "Einheit", "", "aussen", "abcd", "abc", 1, "Höchstens 3 Zeichen", "11:136 \"abc\" 03", 20);
        v("Anlagenbezeichnung", "12", "0:128 \"12\" 03", 22, "");
        v("SMSText_8", "12", "9:128 \"12\" 03", 8, "");
        v("TXT_Guthabenrufnummer", "12", "0:24 \"12\" 03", 22, "");
        v("Einheit", "12", "11:136 \"12 \" 03", 20, "Einheit des Analogwertes: max. 3 Zeichen");
        v("Messbereich4", "0", "11:128 00 00", 20, "Wert bei 4 mA: 0 bis 999");
        v("Grenzwertmin", "12", "11:132 00 0C", 20, "Analogwert Minimumalarm: muss um mind. 50 unter Maximumalarm liegen");
    }
    void eingabe()
    {
        QFETCH(QString, name);
        QFETCH(QString, vorher);
        QFETCH(QString, weg);
        QFETCH(QString, eingabe);
        QFETCH(int, marker);
        Fenster f;
        Editorwerte w;  // every field open: balance monitoring and both relays on, the range 0..100
        w.konto = w.relaisbest1 = w.relaisbest2 = true;
        std::tie(w.messbereich4, w.messbereich20) = std::tuple(QStringLiteral("0"), QStringLiteral("100"));
        f.k.anzeigen(w);
        Eingabefeld* feld = f.feld(name);
        const bool aussen = weg == QLatin1String("aussen");
        f.zeigen(feld);
        if (!aussen) {
            f.betreten(feld);
            feld->setText(vorher);
        }
        QApplication::clipboard()->setText(eingabe);
        if (weg.isEmpty() || weg == QLatin1String("verlassen")) {
            tippen(feld, eingabe);
        } else if (aussen || weg == QLatin1String("zugang")) {  // an assistive technology sets the text
            QAccessible::queryAccessibleInterface(feld)->editableTextInterface()->replaceText(0, int(feld->text().size()), eingabe);
            QCoreApplication::processEvents();
        } else if (weg == QLatin1String("einfuegen") || weg == QLatin1String("ersetzen")) {
            if (weg == QLatin1String("ersetzen"))
                feld->selectAll();
            QTest::keyClick(feld, Qt::Key_V, Qt::ControlModifier);
        } else if (weg == QLatin1String("ablegen")) {
            QMimeData daten;
            daten.setText(eingabe);
            QDragEnterEvent hinein(QPoint(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(feld, &hinein);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(feld, &drop);
            QVERIFY(drop.isAccepted());
        } else if (weg == QLatin1String("komponieren")) {
            QInputMethodEvent ime;
            ime.setCommitString(eingabe);
            QApplication::sendEvent(feld, &ime);
        } else {
            QContextMenuEvent menue(QContextMenuEvent::Mouse, QPoint(5, 5), feld->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(feld, &menue);
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(popup);
            popup->findChild<QAction*>(QStringLiteral("edit-paste"))->trigger();
            popup->close();
        }
        QTEST(feld->text(), "text");
        QTEST(f.door.beeps, "beeps");
        QTEST(f.k.panel(2)->text(), "panel");
        if (!aussen) {
            QCOMPARE(f.fokus(), feld);
            QCOMPARE(aenderung(f.k.speicher(), kit::startbild()), QString());
            if (marker < 0)
                return;
            tippen(feld, QStringLiteral("\t"));
            QVERIFY(f.fokus() != feld);
        }
        QTEST(aenderung(f.k.speicher(), kit::startbild()), "bild");
        QCOMPARE(f.marker(), QList<int>{marker});
    }

    // A refused value keeps the focus against every way out but the abort.
    void ablehnungHaeltFest()
    {
        Fenster f;
        f.k.setAbweisungsdauer(300ms, 100ms);
        Eingabefeld* m4 = f.feld(QStringLiteral("Messbereich4"));
        QTabBar* leiste = f.k.tabs()->tabBar();
        auto fensterklick = [&](QWidget* w) {
            QTest::mouseClick(f.k.windowHandle(), Qt::LeftButton, {}, w->mapTo(&f.k, QPoint(6, w->height() / 2)));
        };
        f.betreten(m4);
        tippen(m4, QStringLiteral("007\t"));
        QCOMPARE(f.door.beeps, 1);
        QCOMPARE(f.k.panel(2)->text(), QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)"));
        QTest::mouseClick(f.feld(QStringLiteral("Text_Min")), Qt::LeftButton);
        QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(1).center());
        f.k.tabs()->setCurrentIndex(1);  // by program: the field is brought back into view
        QCoreApplication::processEvents();
        fensterklick(f.feld(QStringLiteral("Text_Max")));
        QVERIFY(!f.k.eingabeUebernehmen());
        f.finde<QAction>(QStringLiteral("Toolbar1_Button7"))->trigger();
        QCOMPARE(f.door.beeps, 7);
        f.finde<QAction>(QStringLiteral("Toolbar1_Button1"))->trigger();  // the abort is never held up
        QVERIFY(f.door.beeps == 7 && f.fokus() == m4 && f.k.tabs()->currentIndex() == 3);
        QCOMPARE(stand(f), QStringLiteral(" / M / S"));
        // The reason goes, the hint is back.
        QTRY_COMPARE(f.k.panel(2)->text(), QStringLiteral("Wert bei 4 mA: 0 bis 999"));
        // Corrected: a press at the window moves on, once checked.
        tippen(m4, QStringLiteral("\b\b"));
        fensterklick(f.feld(QStringLiteral("Messbereich20")));
        QVERIFY(f.fokus() == f.feld(QStringLiteral("Messbereich20")) && f.door.beeps == 7);
        QCOMPARE(stand(f), QStringLiteral("11:128 00 00 / M20 / S11"));
        // A command takes typing over, the focus stays; saving sees what was typed since.
        Eingabefeld* text = f.feld(QStringLiteral("SMSText_1"));
        f.betreten(text);
        tippen(text, QStringLiteral("Ein"));
        QVERIFY(f.k.eingabeUebernehmen());
        QCOMPARE(f.fokus(), text);
        tippen(text, QStringLiteral("!"));
        f.finde<QAction>(QStringLiteral("MNU_Save"))->trigger();
        QCOMPARE(stand(f), QStringLiteral("2:128 \"Ein!\" 03; 11:128 00 00 / M1 20 / S2 11"));
        // A click into another window is that window's, the field left pending.
        f.k.teledit().oeffnen(3);
        QTest::mouseClick(f.k.teledit().findChild<QAbstractButton*>(QStringLiteral("CMD_Cancel")), Qt::LeftButton);
        QVERIFY(!f.k.teledit().isVisible());
    }

    // A field left without a key stores its text again and records nothing;
    // Delete and a refused key are edits.
    void tabsUndVerlassen()
    {
        Fenster f;
        Editorwerte w;
        w.anlagenbezeichnung = QStringLiteral("Halle");
        f.k.anzeigen(w);
        Eingabefeld* name = f.feld(QStringLiteral("Anlagenbezeichnung"));
        f.betreten(name);
        f.betreten(f.feld(QStringLiteral("SMSText_3")));
        QCOMPARE(stand(f), QStringLiteral("0:128 \"Halle\" 03 / M / S"));
        f.betreten(name);
        QTest::keyClick(name, Qt::Key_Home);
        QTest::keyClick(name, Qt::Key_Delete);
        f.betreten(f.feld(QStringLiteral("SMSText_3")));
        tippen(f.feld(QStringLiteral("SMSText_3")), QStringLiteral("#"));
        f.betreten(f.feld(QStringLiteral("SMSText_4")));
        QCOMPARE(stand(f), QStringLiteral("0:128 \"alle\" 03; 4:128 03 / M3 22 / S0 4"));
    }

    // Values shown by the program (sliders within their range), then every option control wired to its
    // handler: clicks ("name") and keys ("name:key") -> cells, markers, what the controls show.
    void optionen_data()
    {
        QTest::addColumn<Editorwerte>("w");
        QTest::addColumn<QStringList>("aktionen");
        QTest::addColumn<QString>("bild");
        QTest::addColumn<QList<int>>("marker");
        QTest::addColumn<QStringList>("zustand");
        Editorwerte voll, taeglich, w;
        voll.oeffner[0] = voll.quittierung = voll.konto = voll.relaisbest1 = true;
        std::tie(voll.smsText[3], voll.netz, voll.sliderQuit, voll.quit, voll.guthabenrufnummer, voll.sliderGuthaben) =
            std::tuple(QStringLiteral("Tor"), Netzbetreiber::TMobile, 300, QStringLiteral("300"), QStringLiteral("*101#"), 12);
        std::tie(voll.kontrollruf, voll.tag, voll.udStunde, voll.txtStunde, voll.einheit) =
            std::tuple(Editorwerte::Kontrollruf::Woechentlich, 3, 22, QStringLiteral("3A"), QStringLiteral("   "));
        std::tie(taeglich.kontrollruf, taeglich.netz, taeglich.kontoAktivierbar, taeglich.sliderQuit, taeglich.relaisbest2) =
            std::tuple(Editorwerte::Kontrollruf::Taeglich, Netzbetreiber::Andere, false, 0, true);
        QTest::newRow("gezeigt: voll") << voll << QStringList{"Chk_Gutmeldung_2"} << "0:1 04" << QList<int>{21}
            << QStringList{"Chk_Oeffner_0=x", "SMSText_3=Tor", "OPT_TM=x", "Slider_Quit=255", "Quit=300", "Chk_Konto=x", "TXT_Guthabenrufnummer=*101#",
                           "Slider_Guthaben=9", "Combo_Tag=Donnerstag", "UD_Stunde=22", "TXT_Stunde=3A", "Besttext2= gesperrt", "Einheit=   "};
        QTest::newRow("gezeigt: täglich, Andere") << taeglich << QStringList() << "" << QList<int>{}
            << QStringList{"OPT_Tag=x", "OPT_Woche=-", "Combo_Tag= gesperrt", "UD_Minute=0", "Chk_Konto=- gesperrt", "TXT_Nummer_Aufladung= gesperrt",
                           "Slider_Quit=1 gesperrt", "Besttext2="};
        QTest::newRow("Öffner, Gutmeldungen") << w << QStringList{"Chk_Oeffner_1", "Chk_Oeffner_2", "Chk_Oeffner_4", "Chk_Oeffner_7", "Chk_Gutmeldung_0",
                                                                  "Chk_Gutmeldung_3", "Chk_Gutmeldung_5", "Chk_Gutmeldung_6", "Chk_Gutmeldung_8", "Chk_Gutmeldung_3"}
            << "0:0 96 61 FF" << QList<int>{21} << QStringList{"Chk_Oeffner_0=-", "Chk_Oeffner_7=x", "Chk_Gutmeldung_3=-"};
        QTest::newRow("Quittierung 16") << w << QStringList{"Chk_Quittierung", "Slider_Quit:Right"} << "0:3 10" << QList<int>{22} << QStringList{"Slider_Quit=16", "Quit=16"};
        QTest::newRow("Quittierung aus") << w << QStringList{"Chk_Quittierung", "Chk_Quittierung"} << "" << QList<int>{22} << QStringList{"Slider_Quit=1 gesperrt", "Quit="};
        QTest::newRow("Konto T Mobile, 9 Euro") << w << QStringList{"OPT_TM", "Chk_Konto", "Slider_Guthaben:End"} << "0:24 \"*101#\" 03; 0:40 \"*105*\" 03; 0:56 09"
            << QList<int>{22} << QStringList{"TXT_Guthabenrufnummer=*101#", "TXT_Nummer_Aufladung=*105*", "Slider_Guthaben=9", "TXT_Guthaben=9"};
        QTest::newRow("Konto, Andere") << w << QStringList{"Chk_Konto", "OPT_Andere"} << "0:25 \"8006642903\" 03; 0:41 \"8006642902\" 03" << QList<int>{22}
            << QStringList{"Chk_Konto=- gesperrt", "TXT_Guthabenrufnummer= gesperrt", "Slider_Guthaben=1 gesperrt", "TXT_Guthaben="};
        QTest::newRow("T Mobile, Andere, A1") << w << QStringList{"OPT_TM", "OPT_Andere", "OPT_A1"} << "" << QList<int>{22} << QStringList{"Chk_Konto=-", "TXT_Nummer_Aufladung= gesperrt"};
        QTest::newRow("Kontrollruf Samstag 08:11") << w << QStringList{"CHK_Kontrollruf", "OPT_Woche", "Combo_Tag:End", "Combo_Tag:Up", "UD_Stunde_ab", "UD_Minute_auf",
                                                                       "UD_Minute:PgUp", "UD_Minute:PgUp", "UD_Minute:PgDown", "UD_Stunde:Rad-", "UD_Stunde:Rad+", "UD_Stunde:Rad-"}
            << "0:4 05 08 11" << QList<int>{22} << QStringList{"Combo_Tag=Samstag", "OPT_Tag=-", "TXT_Stunde=08", "TXT_Minute=11"};
        QTest::newRow("Kontrollruf täglich um 23") << w << QStringList{"CHK_Kontrollruf", "OPT_Woche", "OPT_Tag", "UD_Stunde:PgUp", "UD_Stunde:PgUp", "UD_Minute:Down"}
            << "0:4 07 23" << QList<int>{22} << QStringList{"Combo_Tag= gesperrt", "OPT_Tag=x", "UD_Stunde=23", "UD_Stunde_auf=- gesperrt", "UD_Minute_ab=- gesperrt"};
        QTest::newRow("Kontrollruf aus") << w << QStringList{"CHK_Kontrollruf", "UD_Stunde:Up", "CHK_Kontrollruf"} << "" << QList<int>{22}
            << QStringList{"OPT_Tag=- gesperrt", "OPT_Woche=- gesperrt", "UD_Stunde=10 gesperrt", "TXT_Stunde=10"};
        QTest::newRow("Relais") << w << QStringList{"Chk_Relaisbest1", "Chk_Relaisbest2", "Chk_Relaisbest2"} << "10:0 03; 10:128 03" << QList<int>{18, 19}
            << QStringList{"Besttext1=", "Besttext2= gesperrt"};
    }
    void optionen()
    {
        QFETCH(Editorwerte, w);
        QFETCH(QStringList, aktionen);
        QFETCH(QStringList, zustand);
        Fenster f;
        f.k.anzeigen(w);
        QCOMPARE(f.k.werte(), w);
        QCOMPARE(aenderung(f.k.speicher(), kit::startbild()), QString());
        for (const QString& a : aktionen)
            bedienen(f, a);
        QTEST(aenderung(f.k.speicher(), kit::startbild()), "bild");
        QTEST(f.marker(), "marker");
        QStringList ist;
        for (const QString& z : zustand)
            ist << f.zeigt(z.section(QLatin1Char('='), 0, 0));
        QCOMPARE(ist, zustand);
        QCOMPARE(f.door.beeps, 0);
    }

    // Every kind of committed change is one step: after the changes, one undo shows the state
    // before the last one, a redo the state after it (cells, markers, pages, a control), and
    // the undos run out after `schritte`.
    void rueckgaengig_data()
    {
        QTest::addColumn<QStringList>("aktionen");
        QTest::addColumn<QString>("zeigt");
        QTest::addColumn<QString>("vorher");
        QTest::addColumn<QString>("nachher");
        QTest::addColumn<int>("schritte");
        QTest::newRow("zweites Feld") << QStringList{"Anlagenbezeichnung=Halle", "SMSText_2=Tor"} << "SMSText_2"
            << "0:128 \"Halle\" 03 / M22 / S0 / SMSText_2=" << "0:128 \"Halle\" 03; 3:128 \"Tor\" 03 / M2 22 / S0 3 / SMSText_2=Tor" << 2;
        QTest::newRow("abgelehnt, dann berichtigt") << QStringList{"Chk_Oeffner_1", "Messbereich4=050", "Messbereich4=\b0"} << "Messbereich4"
            << "0:0 02 / M21 / S0 / Messbereich4=" << "0:0 02; 11:128 00 00 / M20 21 / S0 11 / Messbereich4=0" << 2;
        QTest::newRow("Kästchen") << QStringList{"Chk_Gutmeldung_8"} << "Chk_Gutmeldung_8" << " / M / S / Chk_Gutmeldung_8=-" << "0:2 FF / M21 / S0 / Chk_Gutmeldung_8=x" << 1;
        QTest::newRow("Option") << QStringList{"OPT_TM"} << "OPT_TM" << " / M / S / OPT_TM=-" << " / M22 / S0 / OPT_TM=x" << 1;
        QTest::newRow("Schieber") << QStringList{"Chk_Quittierung", "Slider_Quit:Right"} << "Quit" << "0:3 0F / M22 / S0 / Quit=15" << "0:3 10 / M22 / S0 / Quit=16" << 2;
        QTest::newRow("Spinner") << QStringList{"CHK_Kontrollruf", "UD_Stunde:Up"} << "TXT_Stunde"
            << "0:4 07 / M22 / S0 / TXT_Stunde=10" << "0:4 07 11 / M22 / S0 / TXT_Stunde=11" << 2;
        QTest::newRow("Liste gespeichert") << QStringList{"Nummern 3=0664123"} << "" << " / M / S" << "4:0 \"0664123\" 0D 03 / M12 / S4" << 1;
        QString neun;
        for (int seite : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
            neun += QStringLiteral("%1:0 \"0664\" 0D 03; ").arg(seite);
        QTest::newRow("Kopieren") << QStringList{"Kopieren 0=0664"} << "Nummer_0" << " / M / S / Nummer_0="
            << neun.chopped(2) + " / M9 10 11 12 13 14 15 16 17 20 / S1 2 3 4 5 6 7 8 9 11 / Nummer_0=0664" << 1;
    }
    void rueckgaengig()
    {
        QFETCH(QStringList, aktionen);
        QFETCH(QString, zeigt);
        Fenster f;
        auto* zurueck = f.finde<QAction>(QStringLiteral("MNU_Rueckgaengig"));
        auto* vor = f.finde<QAction>(QStringLiteral("MNU_Wiederholen"));
        QVERIFY(!zurueck->isEnabled() && !vor->isEnabled());
        for (const QString& a : aktionen)
            bedienen(f, a);
        QTEST(stand(f, zeigt), "nachher");
        zurueck->trigger();
        QTEST(stand(f, zeigt), "vorher");
        QVERIFY(vor->isEnabled());
        vor->trigger();
        QTEST(stand(f, zeigt), "nachher");
        QVERIFY(!vor->isEnabled());
        int schritte = 0;
        for (; zurueck->isEnabled() && schritte < 10; ++schritte)
            zurueck->trigger();
        QTEST(schritte, "schritte");
        QCOMPARE(stand(f), QStringLiteral(" / M / S"));
    }

    // Ctrl+Z and Ctrl+Y are a field's own while it has typing to take back or do again, else
    // the window's; typing left as it was is dropped, a refused value stops the window's undo.
    void rueckgaengigTasten()
    {
        Fenster f;
        auto* zurueck = f.finde<QAction>(QStringLiteral("MNU_Rueckgaengig"));
        Eingabefeld* name = f.feld(QStringLiteral("Anlagenbezeichnung"));
        const QString feld = QStringLiteral("Anlagenbezeichnung");
        auto taste = [&f, &feld](Qt::Key k) {  // Ctrl+k at the focus, then the state
            QTest::keyClick(f.fokus(), k, Qt::ControlModifier);
            return stand(f, feld);
        };
        f.klicken(QStringLiteral("Chk_Oeffner_0"));
        f.betreten(name);
        tippen(name, QStringLiteral("ab"));
        QCOMPARE(taste(Qt::Key_Z), QStringLiteral("0:0 01 / M21 / S0 / Anlagenbezeichnung="));
        QCOMPARE(taste(Qt::Key_Z), QStringLiteral(" / M / S / Anlagenbezeichnung="));
        QVERIFY(f.fokus() == name && !zurueck->isEnabled());
        QCOMPARE(taste(Qt::Key_Y), QStringLiteral(" / M / S / Anlagenbezeichnung=ab"));
        tippen(name, QStringLiteral("\t"));
        QCOMPARE(stand(f, feld), QStringLiteral("0:128 \"ab\" 03 / M22 / S0 / Anlagenbezeichnung=ab"));
        QVERIFY(f.fokus() != name);
        QCOMPARE(taste(Qt::Key_Z), QStringLiteral(" / M / S / Anlagenbezeichnung="));
        QCOMPARE(taste(Qt::Key_Y), QStringLiteral("0:128 \"ab\" 03 / M22 / S0 / Anlagenbezeichnung=ab"));
        Eingabefeld* m4 = f.feld(QStringLiteral("Messbereich4"));
        f.betreten(m4);
        tippen(m4, QStringLiteral("050"));
        zurueck->trigger();
        QVERIFY(f.door.beeps == 1 && f.fokus() == m4);
        QCOMPARE(stand(f, feld), QStringLiteral("0:128 \"ab\" 03 / M22 / S0 / Anlagenbezeichnung=ab"));
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
