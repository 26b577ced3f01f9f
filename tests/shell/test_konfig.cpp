// The main window's frame: start-up state, menus, toolbar, status bar and
// clock, the busy rule, the change-marker operations and the layout.
#include "../editor/editorhilfe.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

using namespace hilfe;

namespace {

// Records which command slot a menu item, toolbar button or button reaches.
class ZaehlKonfig : public Konfig {
public:
    ZaehlKonfig()
    {
        // The device commands start on a port that cannot be opened.
        for (int com = 1; com <= 4; ++com)
            verbindung().zuordnung().festlegen(com, QStringLiteral("/nonexistent/gsmbv-test-port"));
    }
    QStringList aufrufe;
    void MNU_Lesen_Click() override { Konfig::MNU_Lesen_Click(); aufrufe << "MNU_Lesen"; }
    void MNU_Schreib_Click() override { Konfig::MNU_Schreib_Click(); aufrufe << "MNU_Schreib"; }
    void MNU_Open_Click() override { Konfig::MNU_Open_Click(); aufrufe << "MNU_Open"; }
    void MNU_Sicherungen_Click() override { Konfig::MNU_Sicherungen_Click(); aufrufe << "MNU_Sicherungen"; }
    void MNU_Save_Click() override { Konfig::MNU_Save_Click(); aufrufe << "MNU_Save"; }
    void MNU_log_Click() override { Konfig::MNU_log_Click(); aufrufe << "MNU_log"; }
    void MNU_COM_Click() override { Konfig::MNU_COM_Click(); aufrufe << "MNU_COM"; }
    void MNU_Uhr_Click() override { Konfig::MNU_Uhr_Click(); aufrufe << "MNU_Uhr"; }
    void MNU_SYSTEM_Click() override { Konfig::MNU_SYSTEM_Click(); aufrufe << "MNU_SYSTEM"; }
    void MNU_Boraviloninfo_Click() override { Konfig::MNU_Boraviloninfo_Click(); aufrufe << "MNU_Boraviloninfo"; }
    void Verbindung_abbrechen() override { aufrufe << "Verbindung_abbrechen"; }
    void CMD_Nr_Click(int i) override { aufrufe << QStringLiteral("CMD_Nr %1").arg(i); }
    void Cmd_Analog_Click() override { aufrufe << "Cmd_Analog"; }
};

using Wirkung = std::function<bool(Fenster&)>;

QStringList texteIn(QWidget* w)
{
    QStringList out;
    for (QLabel* l : w->findChildren<QLabel*>())
        out << l->text();
    for (QGroupBox* g : w->findChildren<QGroupBox*>())
        out << g->title();
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Wirkung)

class TestKonfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { plattformHinweiseAus(); }

    void startZustand()
    {
        Fenster f;
        QCOMPARE(f.k.windowTitle(), QStringLiteral("GSM Boravilon Konfiguration"));
        QCOMPARE(f.k.tabs()->objectName(), QStringLiteral("SSTab1"));
        QCOMPARE(f.k.tabs()->count(), 4);
        const QStringList tabs = {"Allgemein", "Meldelinien", QStringLiteral("Relaisausgänge"), QStringLiteral("Analogeingänge")};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.k.tabs()->tabText(i), tabs[i]);
        QCOMPARE(f.k.tabs()->currentIndex(), 0);
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        QCOMPARE(geflaggt(f.k), QList<int>{});
        QCOMPARE(f.k.panel(1)->text(), QStringLiteral("Ulmix"));
        QCOMPARE(f.k.panel(2)->text(), QString());
        QCOMPARE(f.k.panel(3)->text(), QString());
        QCOMPARE(f.k.panel(4)->text(), QStringLiteral("Zeit"));
        for (const char* n : {"Chk_Quittierung", "CHK_Kontrollruf", "Chk_Konto", "Chk_Relaisbest1", "Chk_Relaisbest2"})
            QVERIFY2(!f.finde<QCheckBox>(QLatin1String(n))->isChecked(), n);
        for (const char* n : {"Slider_Quit", "Slider_Guthaben", "TXT_Guthabenrufnummer", "TXT_Nummer_Aufladung", "OPT_Tag",
                              "OPT_Woche", "Combo_Tag", "UD_Stunde", "UD_Minute", "Besttext1", "Besttext2"})
            QVERIFY2(!f.finde(QLatin1String(n))->isEnabled(), n);
        QVERIFY(f.finde<QAbstractButton>(QStringLiteral("OPT_A1"))->isChecked());
        QVERIFY(f.finde(QStringLiteral("Chk_Konto"))->isEnabled());
        QCOMPARE(f.finde<QComboBox>(QStringLiteral("Combo_Tag"))->currentText(), QString());
        QCOMPARE(unterschiede(f.k.speicher(), startbild()), {});
        QVERIFY(!f.k.verbindung().operationLaeuft());
        QVERIFY(!f.k.modell().fuellt());
        QCOMPARE(f.door.beeps, 0);
        QVERIFY(f.door.meldungen.isEmpty());
        auto* timer = f.k.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 1000);
    }

    void steuerelemente_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Chk_Quittierung") << "Chk_Quittierung" << "aktiv";
        QTest::newRow("Chk_Konto") << "Chk_Konto" << "aktiv";
        QTest::newRow("CHK_Kontrollruf") << "CHK_Kontrollruf" << "aktiv";
        QTest::newRow("OPT_A1") << "OPT_A1" << "A1";
        QTest::newRow("OPT_TM") << "OPT_TM" << "T Mobile";
        QTest::newRow("OPT_Andere") << "OPT_Andere" << "Andere";
        QTest::newRow("OPT_Woche") << "OPT_Woche" << QStringLiteral("wöchentlich");
        QTest::newRow("OPT_Tag") << "OPT_Tag" << QStringLiteral("täglich");
        QTest::newRow("Chk_Relaisbest1") << "Chk_Relaisbest1" << QStringLiteral("Bestätigungsmeldung");
        QTest::newRow("Chk_Relaisbest2") << "Chk_Relaisbest2" << QStringLiteral("Bestätigungsmeldung");
        for (int i = 0; i < 9; ++i)
            QTest::addRow("CMD_Nr_%d", i) << QStringLiteral("CMD_Nr_%1").arg(i) << "Nummern";
        QTest::newRow("Cmd_Analog") << "Cmd_Analog" << "Nummern";
        QTest::newRow("TXT_Batterie") << "TXT_Batterie" << "16";
        QTest::newRow("TXT_TextBatterie") << "TXT_TextBatterie" << "Batteriespannung zu niedrig";
        QTest::newRow("TXT_Stunde") << "TXT_Stunde" << "10";
        QTest::newRow("TXT_Minute") << "TXT_Minute" << "00";
        for (const char* n : {"Anlagenbezeichnung", "Quit", "TXT_Guthabenrufnummer", "TXT_Nummer_Aufladung", "TXT_Guthaben",
                              "Besttext1", "Besttext2", "Messbereich4", "Messbereich20", "Grenzwertmin", "Grenzwertmax",
                              "Einheit", "Text_Min", "Text_Max"})
            QTest::newRow(n) << n << "";
        for (int i = 0; i < 9; ++i)
            QTest::addRow("SMSText_%d", i) << QStringLiteral("SMSText_%1").arg(i) << "";
    }
    void steuerelemente()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Fenster f;
        QWidget* w = f.finde(name);
        QVERIFY(w);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            QCOMPARE(b->text(), text);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            QCOMPARE(e->text(), text);
        else
            QFAIL("unexpected kind of control");
    }

    void feldarten()
    {
        Fenster f;
        for (int i = 0; i < 8; ++i) {
            QVERIFY(f.k.findChild<QCheckBox*>(QStringLiteral("Chk_Oeffner_%1").arg(i)));
            QVERIFY(f.k.findChild<QCheckBox*>(QStringLiteral("Chk_Gutmeldung_%1").arg(i)));
        }
        QVERIFY(!f.k.findChild<QCheckBox*>(QStringLiteral("Chk_Oeffner_8")));
        QVERIFY(f.k.findChild<QCheckBox*>(QStringLiteral("Chk_Gutmeldung_8")));
        QCOMPARE(f.finde<QGroupBox>(QStringLiteral("Netz"))->title(), QStringLiteral("Netzbetreiber"));
        auto* combo = f.finde<QComboBox>(QStringLiteral("Combo_Tag"));
        QStringList tage;
        for (int i = 0; i < combo->count(); ++i)
            tage << combo->itemText(i);
        QCOMPARE(tage, (QStringList{"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"}));
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Quit"))->minimum(), 1);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Quit"))->maximum(), 255);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Guthaben"))->minimum(), 1);
        QCOMPARE(f.finde<QSlider>(QStringLiteral("Slider_Guthaben"))->maximum(), 9);
        // The displays of sliders, spinners and the battery take no typing.
        for (const char* n : {"Quit", "TXT_Guthaben", "TXT_Stunde", "TXT_Minute", "TXT_Batterie", "TXT_TextBatterie"})
            QVERIFY2(f.finde<QLineEdit>(QLatin1String(n))->isReadOnly(), n);
        const QStringList texte = texteIn(&f.k);
        for (const QString& t : {QStringLiteral("Allgemeine Einstellungen"), QStringLiteral("maximal 70 Zeichen"),
                                 QStringLiteral("Quittierung"), QStringLiteral("Quittierungszeit in Minuten"),
                                 QStringLiteral("Kontostandsüberwachung"), QStringLiteral("Nummer für SMS Kontostandsabfrage"),
                                 QStringLiteral("Nummer für Kontoaufladung"), QStringLiteral("Minimalguthaben: EURO"),
                                 QStringLiteral("Kontrollruf"), QStringLiteral("senden um:"), QStringLiteral("Stunde"),
                                 QStringLiteral("Minute"), QStringLiteral("Meldungstext (maximal 70 Zeichen)"),
                                 QStringLiteral("Öffner"), QStringLiteral("Gutmeldung"), QStringLiteral("Meldelinie 1"),
                                 QStringLiteral("Meldelinie 8"), QStringLiteral("Stromausfall"), QStringLiteral("Relais 1"),
                                 QStringLiteral("Relais 2"), QStringLiteral("maximal 127 Zeichen"),
                                 QStringLiteral("Analogeingang 1"), QStringLiteral("Messwert 4 mA"),
                                 QStringLiteral("Messwert 20 mA"), QStringLiteral("Messwert Einheit"),
                                 QStringLiteral("unterer Grenzwert"), QStringLiteral("oberer Grenzwert"),
                                 QStringLiteral("Meldungstext (maximal 127 Zeichen)"), QStringLiteral("Batteriespannung"),
                                 QStringLiteral("Grenzwert"), QStringLiteral("Meldungstext")})
            QVERIFY2(texte.contains(t), qPrintable(t));
    }

    void marker()
    {
        Fenster f;
        for (int i = 0; i < kMarker; ++i) {
            auto* l = f.finde<QLabel>(QStringLiteral("Aenderung_%1").arg(i));
            QVERIFY(l);
            QVERIFY(l->isHidden());
            QCOMPARE(l->text(), QStringLiteral("*"));
            QCOMPARE(l->font().family(), QStringLiteral("Arial Black"));
            QCOMPARE(l->font().pointSize(), 12);
            QVERIFY(l->font().bold());
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
        }
        // Each marker sits on the tab of its settings.
        auto aufTab = [&](int m) {
            QWidget* l = f.finde(QStringLiteral("Aenderung_%1").arg(m));
            for (int i = 0; i < 4; ++i)
                if (f.k.tabs()->widget(i)->isAncestorOf(l))
                    return i;
            return -1;
        };
        for (int m = 0; m <= 17; ++m)
            QCOMPARE(aufTab(m), 1);
        QCOMPARE(aufTab(21), 1);
        QCOMPARE(aufTab(18), 2);
        QCOMPARE(aufTab(19), 2);
        QCOMPARE(aufTab(20), 3);
        QCOMPARE(aufTab(22), 0);
    }

    void markieren_data()
    {
        QTest::addColumn<int>("marker");
        QTest::addColumn<int>("seite");  // -1: the marker's own page
        QTest::addColumn<int>("geflaggt");
        QTest::newRow("Text Meldelinie 1") << 0 << -1 << 1;
        QTest::newRow("Text Stromausfall") << 8 << -1 << 9;
        QTest::newRow("Nummern Meldelinie 1") << 9 << -1 << 1;
        QTest::newRow("Nummern Stromausfall") << 17 << -1 << 9;
        QTest::newRow("Relais 2") << 19 << -1 << 10;
        QTest::newRow("Analog") << 20 << -1 << 11;
        QTest::newRow("Analogtexte") << 20 << 12 << 12;
        QTest::newRow("Optionen") << 21 << -1 << 0;
        QTest::newRow("Allgemein") << 22 << -1 << 0;
    }
    void markieren()
    {
        QFETCH(int, marker);
        QFETCH(int, seite);
        QFETCH(int, geflaggt);
        Fenster f;
        if (seite < 0)
            f.k.markieren(marker);
        else
            f.k.markieren(marker, seite);
        QCOMPARE(sichtbareMarker(f.k), QList<int>{marker});
        QCOMPARE(hilfe::geflaggt(f.k), QList<int>{geflaggt});
    }

    void allesMarkierenUndLoeschen()
    {
        Fenster f;
        f.k.tabs()->setCurrentIndex(2);
        f.k.alleMarkieren();
        QCOMPARE(sichtbareMarker(f.k).size(), 23);
        QCOMPARE(geflaggt(f.k), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
        f.k.markierungenLoeschen();
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        QCOMPARE(geflaggt(f.k), QList<int>{});
        QCOMPARE(f.k.tabs()->currentIndex(), 0);
    }

    void menues()
    {
        Fenster f;
        const QList<QPair<QString, QString>> erwartet = {
            {"MNU_Datei", "&Datei"},
            {"MNU_Lesen", "Konfiguration &lesen"},
            {"MNU_Schreib", "Konfiguration &schreiben"},
            {"MNU_Open", QStringLiteral("Konfigurationsdatei ö&ffnen ...")},
            {"MNU_Sicherungen", "Si&cherungen ..."},
            {"MNU_Save", "Konfigurationsdatei s&peichern ..."},
            {"MNU_Drucken", "&Drucken ..."},
            {"MNU_log", "&Ereignisspeicher lesen ..."},
            {"MNU_Strich", ""},
            {"MNU_end", "Konfiguration b&eenden"},
            {"MNU_Einst", "&Einstellungen"},
            {"MNU_COM", "&COM Port ..."},
            {"MNU_Uhr", "Uhr&zeit ..."},
            {"MNU_Info", "&Info"},
            {"MNU_SYSTEM", "&Systeminfo ..."},
            {"MNU_Boraviloninfo", QStringLiteral("Über GSM &Boravilon Konfiguration ...")},
        };
        QList<QPair<QString, QString>> gefunden;
        for (QAction* m : f.k.menuBar()->actions()) {
            gefunden.append({m->menu()->objectName(), m->text()});
            for (QAction* a : m->menu()->actions()) {
                gefunden.append({a->objectName(), a->text()});
                QCOMPARE(a->isSeparator(), a->objectName() == QLatin1String("MNU_Strich"));
                QVERIFY(a->isEnabled());
            }
        }
        QCOMPARE(gefunden, erwartet);
    }

    void werkzeugleiste()
    {
        Fenster f;
        auto* leiste = f.finde<QToolBar>(QStringLiteral("Toolbar1"));
        const QStringList tipps = {"Verbindung abbrechen",
                                   "Konfiguration von Boravilon lesen",
                                   "Konfiguration in Boravilon schreiben",
                                   QStringLiteral("Systemzeit ändern"),
                                   "Ereingisspeicher auslesen",
                                   QStringLiteral("Konfigurationsdatei öffnen"),
                                   "Konfigurationsdatei schreiben"};
        const auto aktionen = leiste->actions();
        QCOMPARE(aktionen.size(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(aktionen[i]->objectName(), QStringLiteral("Toolbar1_Button%1").arg(i + 1));
            QCOMPARE(aktionen[i]->toolTip(), tipps[i]);
            QVERIFY(!aktionen[i]->icon().isNull());
        }
    }

    // A right click on the toolbar or the menu bar opens no menu (whose only
    // item would hide the toolbar for good); the toolbar stays.
    void keinKontextmenue_data()
    {
        QTest::addColumn<bool>("werkzeugleiste");
        QTest::newRow("Werkzeugleiste") << true;
        QTest::newRow("Menüleiste") << false;
    }
    void keinKontextmenue()
    {
        QFETCH(bool, werkzeugleiste);
        Fenster f;
        auto* leiste = f.finde<QToolBar>(QStringLiteral("Toolbar1"));
        QWidget* ziel = werkzeugleiste ? static_cast<QWidget*>(leiste) : f.k.menuBar();
        QStringList angeboten;
        // A menu would run modally: it is recorded and closed.
        QTimer::singleShot(300, [&] {
            if (auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : m->actions())
                    angeboten << a->text();
                m->close();
            }
        });
        const QPoint stelle(ziel->width() - 3, ziel->height() / 2);
        QContextMenuEvent e(QContextMenuEvent::Mouse, stelle, ziel->mapToGlobal(stelle));
        QApplication::sendEvent(ziel, &e);
        QTest::qWait(400);
        QCOMPARE(angeboten, QStringList());
        QVERIFY(leiste->isVisible());
    }

    void verteilung_data()
    {
        QTest::addColumn<QString>("ausloeser");
        QTest::addColumn<QString>("slot");
        const char* tafel[][2] = {
            {"Toolbar1_Button1", "Verbindung_abbrechen"}, {"Toolbar1_Button2", "MNU_Lesen"},
            {"Toolbar1_Button3", "MNU_Schreib"},          {"Toolbar1_Button4", "MNU_Uhr"},
            {"Toolbar1_Button5", "MNU_log"},              {"Toolbar1_Button6", "MNU_Open"},
            {"Toolbar1_Button7", "MNU_Save"},             {"MNU_Lesen", "MNU_Lesen"},
            {"MNU_Schreib", "MNU_Schreib"},               {"MNU_Open", "MNU_Open"},
            {"MNU_Save", "MNU_Save"},                     {"MNU_log", "MNU_log"},
            {"MNU_COM", "MNU_COM"},                       {"MNU_Uhr", "MNU_Uhr"},
            {"MNU_SYSTEM", "MNU_SYSTEM"},                 {"MNU_Boraviloninfo", "MNU_Boraviloninfo"},
            {"CMD_Nr_0", "CMD_Nr 0"},                     {"CMD_Nr_8", "CMD_Nr 8"},
            {"Cmd_Analog", "Cmd_Analog"},                 {"MNU_Sicherungen", "MNU_Sicherungen"},
        };
        for (auto& z : tafel)
            QTest::newRow(z[0]) << z[0] << z[1];
    }
    void verteilung()
    {
        QFETCH(QString, ausloeser);
        QFETCH(QString, slot);
        FakeDoor door;
        ZaehlKonfig k;
        if (auto* a = k.findChild<QAction*>(ausloeser))
            a->trigger();
        else
            k.findChild<QAbstractButton*>(ausloeser)->click();
        QCOMPARE(k.aufrufe, QStringList{slot});
        QCOMPARE(door.beeps, 0);
    }

    void verteilungAndereNummern()
    {
        FakeDoor door;
        ZaehlKonfig k;
        k.Toolbar1_ButtonClick(0);
        k.Toolbar1_ButtonClick(8);
        k.Toolbar1_ButtonClick(-1);
        QCOMPARE(k.aufrufe, QStringList{});
    }

    // While a device operation is under way the device commands only beep;
    // idle, they start their operation without a beep. (Against the simulated
    // device: tests/ablauf.)
    void belegt_data()
    {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<bool>("geraet");
        for (const char* n : {"MNU_Lesen", "MNU_Schreib", "MNU_log", "MNU_Uhr", "Toolbar1_Button2", "Toolbar1_Button3",
                              "Toolbar1_Button4", "Toolbar1_Button5"})
            QTest::newRow(n) << n << true;
        for (const char* n : {"MNU_Open", "MNU_Sicherungen", "MNU_Save", "MNU_COM", "MNU_SYSTEM", "MNU_Boraviloninfo", "Toolbar1_Button1",
                              "Toolbar1_Button6", "Toolbar1_Button7"})
            QTest::newRow(n) << n << false;
    }
    void belegt()
    {
        QFETCH(QString, aktion);
        QFETCH(bool, geraet);
        Fenster f;
        QAction* a = f.finde<QAction>(aktion);
        // An operation under way: the wait for a port that cannot be opened.
        QVERIFY(f.k.verbindung().ereignisspeicherLesen({}, {}));
        const Vorgang* unterwegs = f.k.verbindung().vorgang();
        a->trigger();
        QCOMPARE(f.door.beeps, geraet ? 1 : 0);
        if (geraet) {
            QCOMPARE(f.k.panel(2)->text(), QStringLiteral("Eine Übertragung läuft bereits – bitte warten oder abbrechen"));
            QVERIFY(f.door.meldungen.isEmpty());
            QCOMPARE(f.k.verbindung().vorgang(), unterwegs);  // the refused command started nothing
        }
        // Idle: the command runs without a beep.
        f.k.verbindung().abbrechen();
        QVERIFY(!f.k.verbindung().operationLaeuft());
        f.door.zuruecksetzen();
        a->trigger();
        QCOMPARE(f.door.beeps, 0);
        if (geraet)
            QVERIFY(f.k.verbindung().operationLaeuft());
    }

    // With an unfinished value in a field ("05" cannot leave Messbereich4)
    // only the commands that carry the editor's values refuse; the others run,
    // and the read, which replaces the editor, leaves the field unchecked.
    void unfertigerWert_data()
    {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<Wirkung>("gewirkt");  // null: refused
        const Wirkung operation = [](Fenster& f) { return f.k.verbindung().operationLaeuft(); };
        for (const char* n : {"MNU_Save", "Toolbar1_Button7", "MNU_Schreib", "Toolbar1_Button3"})
            QTest::newRow(n) << n << Wirkung();
        for (const char* n : {"MNU_Lesen", "Toolbar1_Button2", "MNU_log", "Toolbar1_Button5", "MNU_Uhr"})
            QTest::newRow(n) << n << operation;
        QTest::newRow("MNU_Open") << "MNU_Open" << Wirkung([](Fenster& f) { return f.door.dateidialoge.size() == 1; });
        QTest::newRow("MNU_COM") << "MNU_COM" << Wirkung([](Fenster& f) { return f.k.kommunikation() != nullptr; });
        QTest::newRow("MNU_SYSTEM") << "MNU_SYSTEM"
                                    << Wirkung([](Fenster& f) { return f.door.starts.size() + f.door.meldungen.size() == 1; });
        QTest::newRow("MNU_Boraviloninfo") << "MNU_Boraviloninfo" << Wirkung([](Fenster& f) {
            return f.k.findChild<QWidget*>(QStringLiteral("Information")) != nullptr;
        });
    }
    void unfertigerWert()
    {
        QFETCH(QString, aktion);
        QFETCH(Wirkung, gewirkt);
        Fenster f;
        f.k.verbindung().setWartezeit(std::chrono::milliseconds(50));
        Eingabefeld* m4 = f.feld(QStringLiteral("Messbereich4"));
        f.betreten(m4);
        tippen(m4, QStringLiteral("05"));
        f.finde<QAction>(aktion)->trigger();
        if (!gewirkt) {
            QCOMPARE(f.door.beeps, 1);
            QCOMPARE(f.k.panel(2)->text(), QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)"));
            QCOMPARE(f.fokus(), m4);
            QVERIFY(f.door.dateidialoge.isEmpty() && !f.k.verbindung().operationLaeuft());
            return;
        }
        QVERIFY(gewirkt(f));
        QTRY_VERIFY(!f.k.verbindung().operationLaeuft());
        QCOMPARE(f.door.beeps, 0);
        QCOMPARE(sichtbareMarker(f.k), QList<int>{});
        QCOMPARE(geflaggt(f.k), QList<int>{});
        // The read emptied the editor and showed the first tab: the focus left
        // the field unchecked, and the failed read left the start-up image.
        // Any other command leaves the value to be corrected.
        const bool gelesen = aktion == QLatin1String("MNU_Lesen") || aktion == QLatin1String("Toolbar1_Button2");
        QCOMPARE(m4->text(), gelesen ? QString() : QStringLiteral("05"));
        if (gelesen)
            QCOMPARE(unterschiede(f.k.speicher(), startbild()), {});
    }

    void uhr_data()
    {
        QTest::addColumn<QDateTime>("zeit");
        QTest::addColumn<QString>("datum");
        QTest::addColumn<QString>("uhrzeit");
        QTest::newRow("Dezember") << QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)) << QStringLiteral("06.Dezember 2026")
                                  << "09:05:03";
        QTest::newRow("Maerz") << QDateTime(QDate(2025, 3, 31), QTime(23, 59, 59)) << QStringLiteral("31.März 2025")
                               << "23:59:59";
        QTest::newRow("Januar Mitternacht") << QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0))
                                            << QStringLiteral("01.Januar 2024") << "00:00:00";
        QTest::newRow("Mai") << QDateTime(QDate(2003, 5, 5), QTime(14, 30, 0)) << QStringLiteral("05.Mai 2003")
                             << "14:30:00";
    }
    void uhr()
    {
        QFETCH(QDateTime, zeit);
        FakeDoor door;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // the window stays German
        Konfig k;
        k.setUhr([zeit] { return zeit; });
        k.Timer1_Timer();
        QTEST(k.panel(3)->text(), "datum");
        QTEST(k.panel(4)->text(), "uhrzeit");
        QCOMPARE(k.panel(1)->text(), QStringLiteral("Ulmix"));
        QLocale::setDefault(QLocale::system());
    }

    void uhrLaeuft()
    {
        FakeDoor door;
        Konfig k;
        k.setUhr([] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3)); });
        QCOMPARE(k.panel(4)->text(), QStringLiteral("Zeit"));
        QTRY_COMPARE_WITH_TIMEOUT(k.panel(4)->text(), QStringLiteral("09:05:03"), 2500);
    }

    void panelbreiten_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixel");
        QTest::newRow("Zoll") << 1440 << 96.0 << 96;
        QTest::newRow("Panel 1") << 1587 << 96.0 << 106;
        QTest::newRow("Panel 2") << 12347 << 96.0 << 823;
        QTest::newRow("Panel 3") << 4410 << 96.0 << 294;
        QTest::newRow("Panel 4") << 2540 << 96.0 << 169;
        QTest::newRow("Panel 1, 120 dpi") << 1587 << 120.0 << 132;
        QTest::newRow("Panel 4, 144 dpi") << 2540 << 144.0 << 254;
    }
    void panelbreiten()
    {
        QFETCH(int, twips);
        QFETCH(double, dpi);
        QTEST(Konfig::twipsZuPixel(twips, dpi), "pixel");
    }

    void panels()
    {
        Fenster f;
        const double dpi = f.k.logicalDpiX();
        QCOMPARE(f.k.panel(1)->width(), Konfig::twipsZuPixel(1587, dpi));
        QCOMPARE(f.k.panel(3)->width(), Konfig::twipsZuPixel(4410, dpi));
        QCOMPARE(f.k.panel(4)->width(), Konfig::twipsZuPixel(2540, dpi));
        QVERIFY(f.k.panel(2)->width() > 0);
        QCOMPARE(f.k.panel(0), nullptr);
        QCOMPARE(f.k.panel(5), nullptr);
        f.k.hinweisSetzen(QStringLiteral("Kein Zugriff auf die Schnittstelle"));
        QCOMPARE(f.k.panel(2)->text(), QStringLiteral("Kein Zugriff auf die Schnittstelle"));
    }

    // Every control lies within its tab and every caption fits its label; the
    // tabs are written to PNG files for a look.
    void anordnung()
    {
        Fenster f;
        f.k.alleMarkieren();
        Editorwerte w;
        w.anlagenbezeichnung = QStringLiteral("Wasserwerk Süd, Pumpenhaus 2");
        w.kontrollruf = Editorwerte::Kontrollruf::Woechentlich;
        w.tag = 3;
        w.konto = w.quittierung = true;
        f.k.anzeigen(w);
        const QString ziel = qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/../");
        for (int t = 0; t < 4; ++t) {
            f.k.tabs()->setCurrentIndex(t);
            QWidget* seite = f.k.tabs()->widget(t);
            QTest::qWait(10);
            const QRect innen = seite->rect();
            for (QWidget* w : seite->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(seite) && !w->objectName().startsWith(QLatin1String("Aenderung_")))
                    continue;
                const QRect r(w->mapTo(seite, QPoint(0, 0)), w->size());
                QVERIFY2(innen.contains(r), qPrintable(w->objectName() + QLatin1Char(' ') + w->metaObject()->className()));
                if (auto* l = qobject_cast<QLabel*>(w))
                    QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(), qPrintable(l->text()));
                if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty())
                    QVERIFY2(b->width() >= b->minimumSizeHint().width(), qPrintable(b->text()));
            }
            if (qEnvironmentVariableIsSet("GSMBV_BIN_DIR"))
                f.k.grab().save(ziel + QStringLiteral("tab%1.png").arg(t));
        }
    }
};

QTEST_MAIN(TestKonfig)
#include "test_konfig.moc"
