// The whole program against the simulated device on COM 1 (a pseudo-terminal, the real
// serial-port code between): the main window's frame, files and printing, the device
// commands, the programs as they start and end.
#include "cfgfile/cfgdatei.h"
#include "editor/teledit.h"
#include "fenster.h"
#include "kit.h"
#include "linkui/kommunikation.h"
#include "link/portursache.h"
#include "linkui/syszeit.h"
#include "modell/abweisungsgrund.h"
#include "pdftext.h"
#include "shell/programm.h"
#include "shell/sicherungen.h"
#include "shell/vergleich.h"
#include "sim/simptyrunner.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolTip>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/fsuid.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using kit::esc, kit::ff, kit::lesen, kit::schreiben;

SimOptionen simOptionen(const QByteArray& speicher = simStandardSpeicher())
{
    SimOptionen o;
    o.baud = 0;
    o.speicher = speicher;
    return o;
}

// A file of tests/ablauf/daten.
QByteArray daten(const char* name)
{
    return lesen(qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/tests/ablauf/daten/") + QLatin1String(name));
}

// Runs `tun` while no file of this process may grow beyond 100 bytes: the disk is "full".
void plattevoll(const std::function<void()>& tun)
{
    rlimit vorher{};
    getrlimit(RLIMIT_FSIZE, &vorher);
    const rlimit knapp{100, vorher.rlim_max};
    const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &knapp);
    tun();
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, signalVorher);
}

// Triggers a menu item or toolbar button and waits for the end of its device operation.
std::optional<Ausgang> ausfuehren(Konfig& k, const QString& name)
{
    std::optional<Ausgang> a;
    const auto c = QObject::connect(&k, &Konfig::geraetBeendet, [&a](Ausgang x) { a = x; });
    k.findChild<QAction*>(name)->trigger();
    kit::warten([&] { return a.has_value(); }, 20000);
    QObject::disconnect(c);
    return a;
}

// The file dialog answered with `pfad`, then the command.
void datei(kit::Fenster& f, const char* befehl, const QString& pfad)
{
    f.door.dateinamen.enqueue(pfad);
    f.k.findChild<QAction*>(QLatin1String(befehl))->trigger();
}

// Replaces a field's text as the user does: a click into it, all selected, typed, Tab.
Eingabefeld* eingeben(kit::Fenster& f, const QString& feld, const QString& text, bool verlassen = true)
{
    QApplication::setActiveWindow(&f.k);
    Eingabefeld* e = f.feld(feld);
    f.betreten(e);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    kit::tippen(e, text);
    if (verlassen)
        QTest::keyClick(e, Qt::Key_Tab);
    return e;
}

// The simulated device and a main window on it (`ohneGeraet`: on COM 1 none); the end of its last device operation.
struct Stand {
    SimPtyRunner sim;
    kit::Fenster f;
    std::optional<Ausgang> ende;
    explicit Stand(const SimOptionen& o = simOptionen(), std::chrono::milliseconds frist = 2s, bool ohneGeraet = false)
        : sim(o), f(ohneGeraet ? QStringLiteral("/dev/gsmbv-fehlt") : sim.pfad())
    {
        f.k.verbindung().setWartezeit(frist);
        QObject::connect(&f.k, &Konfig::geraetBeendet, [this](Ausgang a) { ende = a; });
    }
    std::optional<Ausgang> ausfuehren(const QString& name) { return ::ausfuehren(f.k, name); }
    // The device's faults from now on ("" none).
    void fehler(const QString& was)
    {
        SimFehler x;
        QVERIFY(was.isEmpty() || x.hinzufuegen(was));
        sim.geraet().setzeFehler(x);
    }
    // Nothing under way, the port closed on both sides, no progress window, no wait cursor.
    bool ruhend()
    {
        return kit::warten([&] {
            return !f.k.verbindung().operationLaeuft() && !f.k.verbindung().portOffen() && !sim.verbunden()
                && !f.k.findChild<QWidget*>(QStringLiteral("Daten")) && f.k.cursor().shape() == Qt::ArrowCursor;
        }, 3000);
    }
};

const QList<int> kAlleMarker{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
const QList<int> kGeraeteseiten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// A configuration file: "Kläranlage West", the recipients and text of line 1, relays, analog input.
const QByteArray kDatei = daten("anlage.cfg");

const QString kDateifehler = QStringLiteral("Kritisch|Ok|Fehler bei Zugriff auf Konfigurationsdatei|GSM-Boravilon");
const QString kUeberschreiben = QStringLiteral("Warnung|JaNein|Datei bereits vorhanden! Überschreiben?|GSM Boravilon");

bool rechte(const QString& pfad, mode_t modus) { return ::chmod(QFile::encodeName(pfad).constData(), modus) == 0; }

// Panel 2's line and tooltip ("text|tooltip") at the window's default width (40 pixels and
// its four panels' 20884 twips at 96 dpi); " (abgeschnitten)" is added when the line does
// not fit whole.
QString statuszeile(Konfig& k)
{
    k.resize(1432, k.height());
    const QLabel* p = k.panel(2);
    kit::warten([&] { return k.statusBar()->width() == 1432; }, 1000);
    const QFontMetrics fm = p->fontMetrics();
    const bool ganz = fm.horizontalAdvance(p->text()) + fm.horizontalAdvance(QLatin1Char('x')) <= p->contentsRect().width();
    return p->text() + '|' + p->toolTip() + (ganz ? QString() : QStringLiteral(" (abgeschnitten)"));
}

const QString kUebertragung = QStringLiteral("Kritisch|Ok|Fehler bei Datenübertragung|GSM Boravilon");

// The memory of a backup: bytes 7 * i + 3, the installation name "Tankstelle Süd".
QByteArray rueckspeicher()
{
    QByteArray m;
    for (int i = 0; i < kGeraeteBytes; ++i)
        m += char(7 * i + 3);
    return m.replace(128, 15, "Tankstelle S\xFC" "d\x03");
}
const QString kKeineVerbindung = QStringLiteral("Kritisch|Ok|Verbindung nicht möglich|GSM Boravilon");

} // namespace

Q_DECLARE_METATYPE(Ausgang)

class TestAblauf : public QObject {
    Q_OBJECT
private slots:
    // The program's data folder.
    void initTestCase()
    {
        kit::plattformHinweiseAus();
        programmEinrichten();
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation), qEnvironmentVariable("XDG_DATA_HOME") + "/gsmbv");
    }

    // Title; every marker and page, then none with the first tab; the COM port dialog, the
    // analog input's recipients.
    void rahmen()
    {
        kit::Fenster f;
        QCOMPARE(f.k.windowTitle(), QStringLiteral("GSM Boravilon Konfiguration"));
        // No context menu on the toolbar or the menu bar: its only item would hide the toolbar for good.
        QCOMPARE(f.k.createPopupMenu(), nullptr);
        f.k.tabs()->setCurrentIndex(2);
        f.k.alleMarkieren();
        QCOMPARE(f.marker() + f.geflaggt(), kAlleMarker + kGeraeteseiten);
        f.k.markierungenLoeschen();
        QCOMPARE(f.marker().size() + f.geflaggt().size() + f.k.tabs()->currentIndex(), 0);
        f.finde<QAction>(QStringLiteral("MNU_COM"))->trigger();
        Kommunikation* d = f.k.kommunikation();
        QVERIFY(d->isVisible() && d->windowModality() == Qt::ApplicationModal);
        d->option(3)->click();
        d->findChild<QAbstractButton*>(QStringLiteral("CMD_OK"))->click();
        QCOMPARE(f.k.verbindung().port(), 3);  // the dialog works on the window's connection
        QVERIFY(kit::warten([&] { return !f.k.kommunikation(); }));
        f.klicken(QStringLiteral("Cmd_Analog"));
        QCOMPARE(f.k.teledit().nummernseite(), 11);
        QLineEdit* nummer = f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"));
        nummer->setFocus();
        kit::tippen(nummer, QStringLiteral("0664123"));
        f.k.teledit().findChild<QAbstractButton*>(QStringLiteral("CMD_Save"))->click();
        QCOMPARE(f.marker() + f.geflaggt(), (QList<int>{20, 11}));  // the list stored: its marker, its page
        f.finde<QAction>(QStringLiteral("MNU_COM"))->trigger();
        f.k.close();  // its dialogs go with it
        QVERIFY(kit::warten([&] { return !f.k.kommunikation(); }));
    }

    // With "05" in Messbereich4 the commands that carry the editor's values refuse; the
    // others run, and the read, which replaces the editor, leaves the field unchecked.
    void unfertigerWert_data()
    {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<bool>("verweigert");
        for (const char* n : {"MNU_Save", "MNU_Schreib", "MNU_Drucken", "MNU_Vergleichen"})
            QTest::newRow(n) << n << true;
        for (const char* n : {"MNU_Lesen", "MNU_Open", "MNU_log", "MNU_COM"})
            QTest::newRow(n) << n << false;
    }
    void unfertigerWert()
    {
        QFETCH(QString, aktion);
        QFETCH(bool, verweigert);
        kit::Fenster f;
        f.k.verbindung().setWartezeit(50ms);
        Eingabefeld* m4 = eingeben(f, QStringLiteral("Messbereich4"), QStringLiteral("05"), false);
        f.finde<QAction>(aktion)->trigger();
        QCOMPARE(f.door.beeps, verweigert ? 1 : 0);
        QCOMPARE(f.k.panel(2)->text() == QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)"), verweigert);
        QVERIFY(!verweigert || f.fokus() == m4);
        QCOMPARE(f.door.dateidialoge.size() + f.door.druckdialoge, aktion == QLatin1String("MNU_Open") ? 1 : 0);
        QCOMPARE(f.k.verbindung().operationLaeuft() || f.k.kommunikation(), !verweigert && aktion != QLatin1String("MNU_Open"));
        QVERIFY(kit::warten([&] { return !f.k.verbindung().operationLaeuft(); }));
        QCOMPARE(m4->text(), aktion == QLatin1String("MNU_Lesen") ? QString() : QStringLiteral("05"));
        QCOMPARE(f.geflaggt(), QList<int>{});
    }


    // A save writes the image, asks before replacing, leaves an existing file whole on
    // failure, overwrites a writable file in place in a folder that takes no new file.
    // The dialog offers "*.cfg", then the last name; ".cfg" is added to a bare name.
    void speichern_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<bool>("geschrieben");
        QTest::newRow("neu") << "" << QStringList() << true;
        QTest::newRow("überschreiben: Ja") << "alt" << QStringList{kUeberschreiben} << true;
        QTest::newRow("überschreiben: Nein") << "alt,nein" << QStringList{kUeberschreiben} << false;
        QTest::newRow("Platte voll") << "alt,voll" << QStringList{kUeberschreiben, kDateifehler} << false;
        QTest::newRow("Ordner schreibgeschützt") << "alt,ro" << QStringList{kUeberschreiben} << true;
    }
    void speichern()
    {
        QFETCH(QString, fall);
        QFETCH(QStringList, boxen);
        QFETCH(bool, geschrieben);
        const bool alt = fall.startsWith(QLatin1String("alt"));
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("o")), pfad = ordner + QStringLiteral("/a.cfg");
        const QByteArray vorher = QByteArrayLiteral("alt\r\n\xFF\x00\x03 unverändert");  // past its NUL, too
        QVERIFY(QDir().mkdir(ordner) && rechte(tmp.path(), 0755) && schreiben(tmp.filePath(QStringLiteral("quelle.cfg")), kDatei));
        QVERIFY(!alt || (schreiben(pfad, vorher) && rechte(pfad, 0666)));
        QVERIFY(rechte(ordner, fall.contains(QLatin1String(",ro")) ? 0555 : 0755));
        kit::Fenster f;
        datei(f, "Toolbar1_Button6", tmp.filePath(QStringLiteral("quelle.cfg")));
        f.finde<QAction>(QStringLiteral("MNU_Save"))->trigger();  // cancelled: nothing written
        QCOMPARE(kit::boxen(f.door), QStringList());
        f.door.antworten.enqueue(fall.contains(QLatin1String("nein")) ? Door::Antwort::Nein : Door::Antwort::Ja);
        // "neu" names the file without ".cfg"; the superuser, who ignores permissions, is "nobody" meanwhile.
        const auto sichern = [&] { datei(f, "MNU_Save", fall.isEmpty() ? pfad.chopped(4) : pfad); };
        ::setfsuid(::geteuid() == 0 && fall.contains(QLatin1String(",ro")) ? 65534 : ::geteuid());
        fall.contains(QLatin1String("voll")) ? plattevoll(sichern) : sichern();
        ::setfsuid(::geteuid());
        QVERIFY(rechte(ordner, 0755));
        QCOMPARE(kit::boxen(f.door) << QString::number(f.door.beeps), boxen << QString::number(boxen.size()));  // a beep with each box
        QCOMPARE(lesen(pfad), geschrieben ? kDatei : alt ? vorher : QByteArray("<fehlt>"));
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), geschrieben || alt ? QStringList{"a.cfg"} : QStringList());
        QCOMPARE(f.marker(), kAlleMarker);  // a save changes nothing in the editor
        const Door::Dateidialog d = f.door.dateidialoge.last();
        QCOMPARE(QStringList({d.titel, d.filter, d.endung, d.name, f.door.dateidialoge.first().name}),
                 QStringList({"Konfigurationsdatei", "Konfigurationsdateien (*.cfg)", "cfg", tmp.filePath("quelle.cfg"), "*.cfg"}));
        if (fall.isEmpty()) {  // opening the bare name finds the file with ".cfg"
            datei(f, "MNU_Open", pfad.chopped(4));
            QCOMPARE(f.k.dateidialog().name + '|' + f.k.herkunft(), pfad + "|Datei " + pfad);
        }
    }

    // Opening replaces editor, image and flags; a short file loads what it has, then the
    // error; a file that cannot be read leaves the editor alone.
    void oeffnen_data()
    {
        QTest::addColumn<QByteArray>("inhalt");  // "<fehlt>" none
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("zeile1");  // of the file saved afterwards; "" the opened file's
        QTest::addColumn<QString>("hinweis");    // panel 2: the cause and the file (its whole path %1 the tooltip)
        const qsizetype zwoelf = kDatei.lastIndexOf("\r\n", kDatei.size() - 3) + 2;
        const QString keine = QStringLiteral("Keine Konfigurationsdatei, Zeile %1 – a.cfg|%2");
        QTest::newRow("zwölf Zeilen") << kDatei.left(zwoelf) << "Kläranlage West" << QByteArray()
                                      << keine.arg("13 fehlt: die Datei hat nur 12 von 13 Zeilen");
        QTest::newRow("0 Bytes") << QByteArray() << "" << QByteArray(";;;;255;10;0;;;;\x03;\r\n") << keine.arg("1 fehlt: die Datei ist leer");
        QTest::newRow("eine leere Zeile") << QByteArray("\r\n") << "" << QByteArray(";;;;255;10;0;;;;;\r\n") << keine.arg("1: nach Feld 1 fehlt \";\"");
        QTest::newRow("Ereignisprotokoll") << daten("LOG.TXT") << "" << QByteArray("31;;;;255;10;0;;;;;\r\n") << keine.arg("1: Feld 1 ist keine Zahl");
        QTest::newRow("fehlt") << QByteArray("<fehlt>") << "vorher" << QByteArray()
                               << "Datei nicht geöffnet, Datei oder Ordner nicht vorhanden – a.cfg|%1";
    }
    void oeffnen()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, name);
        QFETCH(QByteArray, zeile1);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        QVERIFY(inhalt == "<fehlt>" || schreiben(pfad, inhalt));
        kit::Fenster f;
        eingeben(f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("vorher"));
        f.k.CMD_Nr_Click(0);  // an open recipients editor follows what is opened
        datei(f, "MNU_Open", pfad);
        QCOMPARE(kit::boxen(f.door), QStringList{kDateifehler});
        QFETCH(QString, hinweis);
        QCOMPARE(statuszeile(f.k), hinweis.arg(pfad));
        QCOMPARE(f.k.werte().anlagenbezeichnung + '|' + f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"))->text(),
                 name + (name.startsWith(QLatin1String("Kl")) ? "|06641234567" : "|"));
        const bool geladen = name != QLatin1String("vorher");
        QCOMPARE(f.marker() + f.geflaggt(), geladen ? kAlleMarker + kGeraeteseiten : QList<int>({22, 0}));
        if (!geladen)
            return;
        f.door.zuruecksetzen();
        datei(f, "MNU_Save", ordner.filePath(QStringLiteral("neu.cfg")));
        const QByteArray neu = lesen(ordner.filePath(QStringLiteral("neu.cfg")));
        if (zeile1.isEmpty())
            QCOMPARE(neu.left(inhalt.size()), inhalt.left(neu.size()));
        else
            QCOMPARE(neu.left(neu.indexOf("\r\n") + 2), zeile1);
        QCOMPARE(kit::boxen(f.door), QStringList());
    }

    // Panel 2 shows each of its lines whole at the window's default width: the fields'
    // hints, the refusals' reasons, the port's causes (the lines of files and backups are
    // looked at where they come up). A line too long for a narrower window is cut at its
    // end, with the whole line as its tooltip.
    void statusleiste()
    {
        kit::Fenster f;
        QStringList zeilen;
        for (const Eingabefeld* e : f.k.findChildren<Eingabefeld*>())
            zeilen << e->hinweis();
        for (int art = int(Abweisung::Art::Zeichen); art <= int(Abweisung::Art::Belegt); ++art)
            zeilen << Abweisung{Abweisung::Art(art), 999, 999}.text();
        using A = Portursache::Art;
        for (A art : {A::Unbekannt, A::NichtVorhanden, A::KeinPort, A::KeineBerechtigung, A::NurEigentuemer, A::Belegt})
            zeilen << portursache::text({art, "dialout", "ModemManager", 4194304, "root", "crw-------"}, 4, QStringLiteral("/dev/ttyUSB0"),
                                        QStringLiteral("Gerät nicht mehr verfügbar"));
        QStringList zuLang;
        for (const QString& z : zeilen) {
            f.k.hinweisSetzen(z);
            if (statuszeile(f.k).endsWith(QLatin1String(" (abgeschnitten)")))
                zuLang << z;
        }
        QCOMPARE(zuLang, QStringList());
        const QString lang = QStringLiteral("Ein Hinweis, der nicht in die Statuszeile passt: ") + QString(120, QLatin1Char('W'));
        f.k.hinweisSetzen(lang);
        QHelpEvent frage(QEvent::ToolTip, QPoint(5, 5), f.k.panel(2)->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f.k.panel(2), &frage);
        QCOMPARE(QToolTip::text(), lang);
    }

    // The list of backups of the folder chosen for the run: newest first, why each was
    // taken; a file that is no configuration is shown as unreadable with its reason and is
    // never opened, chosen only to be written back with its memory file; the second backup
    // of one second shows its number. A backup
    // that no longer opens leaves the editor as it was.
    void sicherungsliste()
    {
        QTemporaryDir tmp;
        const QByteArray oel = cfgSchreiben(simStandardKonfig()).replace("Pumpwerk Nord", "\xD6lpumpe");
        const QString zweite = tmp.filePath(QStringLiteral("Ölpumpe_2025-03-01_10-00-00_2.cfg"));
        QVERIFY(schreiben(tmp.filePath(QStringLiteral("Zukunft_2030-01-01_00-00-00.cfg")), "kein Inhalt\r\n"));
        QVERIFY(schreiben(tmp.filePath(QStringLiteral("Zukunft_2030-01-01_00-00-00.speicher")), ff(kGeraeteBytes)));
        QVERIFY(schreiben(tmp.filePath(QStringLiteral("Ölpumpe_2025-03-01_10-00-00_2.vorschreiben")), "Ölpumpe\n"));
        QVERIFY(schreiben(tmp.filePath(QStringLiteral("Ölpumpe_2025-03-01_10-00-00.cfg")), oel) && schreiben(zweite, oel));
        kit::Fenster f;
        eingeben(f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("vorher"));
        f.door.dateinamen.enqueue(tmp.path());
        f.finde<QAction>(QStringLiteral("MNU_Sicherungsordner"))->trigger();
        QCOMPARE(f.door.dateidialoge.value(0).ordner, true);
        QCOMPARE(f.k.panel(2)->text(), "Sicherungsordner für diese Sitzung: " + tmp.path());
        f.finde<QAction>(QStringLiteral("MNU_Sicherungen"))->trigger();
        QTreeWidget* liste = f.k.sicherungen()->liste();
        QVERIFY(QTest::qWaitForWindowExposed(f.k.sicherungen()));
        QStringList zeilen;
        const auto knopf = [&f](const char* name) { return f.k.sicherungen()->findChild<QPushButton*>(QLatin1String(name)); };
        for (int i = 0; i < liste->topLevelItemCount(); ++i) {
            QTreeWidgetItem* z = liste->topLevelItem(i);
            const bool waehlbar = z->flags() & Qt::ItemIsEnabled;
            if (waehlbar)
                liste->setCurrentItem(z);
            zeilen << QStringList{z->text(0), z->text(1), z->text(2), z->text(3), waehlbar ? "wählbar" : "-",
                                  waehlbar && knopf("CMD_Oeffnen")->isEnabled() ? "Öffnen" : "-",
                                  waehlbar && knopf("CMD_Wiederherstellen")->isEnabled() ? "Wiederherstellen" : "-"}.join('|');
        }
        QCOMPARE(zeilen, (QStringList{"Zukunft (unlesbar)|01.01.2030|00:00:00|gelesen|wählbar|-|Wiederherstellen",
                                      "Ölpumpe|01.03.2025|10:00:00 (2)|vor Schreiben|wählbar|Öffnen|Wiederherstellen",
                                      "Ölpumpe|01.03.2025|10:00:00|gelesen|wählbar|Öffnen|Wiederherstellen"}));
        liste->setCurrentItem(liste->topLevelItem(1));
        QVERIFY(schreiben(zweite, oel.left(400)));  // spoilt since the list was made
        f.k.sicherungen()->findChild<QPushButton*>(QStringLiteral("CMD_Oeffnen"))->click();
        QCOMPARE(kit::boxen(f.door), QStringList{kDateifehler});
        QCOMPARE(statuszeile(f.k), "Keine Konfigurationsdatei, Zeile 6 fehlt: die Datei hat nur 5 von 13 Zeilen – Ölpumpe_2025-03-01_10-00-00_2.cfg|" + zweite);
        QCOMPARE(f.k.werte().anlagenbezeichnung + '|' + f.k.herkunft(), QStringLiteral("vorher|Grundeinstellung, seither geändert"));
        QCOMPARE(f.marker(), QList<int>{22});
    }

    // "Drucken ...": the sheet headed by where the configuration came from.
    void drucken_data()
    {
        QTest::addColumn<QString>("vorher");  // "lesen": the device read first
        QTest::addColumn<QString>("ziel");    // the dialog's PDF: "" cancelled, "-" the test's file
        QTest::addColumn<QString>("kopf");    // the sheet's head; "" no sheet
        QTest::newRow("Gerät") << "lesen" << "-" << "GSM Boravilon Konfiguration Anlagenbezeichnung Pumpwerk Nord Datum 21.06.2024 Herkunft Gerät an COM 1 (%PTY%)";
        QTest::newRow("abgebrochen") << "lesen" << "" << "";
        QTest::newRow("PDF nicht schreibbar") << "" << "/nonexistent/blatt.pdf" << "";
    }
    void drucken()
    {
        QFETCH(QString, vorher);
        QFETCH(QString, ziel);
        QFETCH(QString, kopf);
        QTemporaryDir ordner;
        Stand s;
        kit::Fenster& f = s.f;
        f.k.setUhr([] { return QDateTime(QDate(2024, 6, 21), QTime(9, 30)); });
        QVERIFY(vorher != QLatin1String("lesen") || s.ausfuehren(QStringLiteral("MNU_Lesen")) == Ausgang::Erfolg);
        const QString pdf = ziel == QLatin1String("-") ? ordner.filePath(QStringLiteral("blatt.pdf")) : ziel;
        if (!ziel.isEmpty())
            f.door.druckAntwort = [pdf](QPrinter& p) { return p.setOutputFileName(pdf), true; };  // "Print to file" in the dialog
        f.finde<QAction>(QStringLiteral("MNU_Drucken"))->trigger();
        QCOMPARE(f.door.druckdialoge, 1);
        QCOMPARE(kit::boxen(f.door), ziel.startsWith(QLatin1String("/nonexistent")) ? QStringList{"Kritisch|Ok|Fehler beim Drucken|GSM Boravilon"} : QStringList());
        if (kopf.isEmpty()) {
            QVERIFY(!QFile::exists(ordner.filePath(QStringLiteral("blatt.pdf"))));
            return;
        }
        const QString text = pdfText(pdf);
        QCOMPARE(text.left(text.indexOf(QStringLiteral("\n\n"))).simplified(),
                 kopf.replace(QStringLiteral("%PTY%"), s.sim.pfad()));
    }
    // A read: image, values, no marker or flag, the backup in panel 2 in place
    // of the last read's. A failed decode shows what it read; no device leaves
    // the start-up image. Panel 2 says what failed, as gsmbv does.
    void geraetLesen_data()
    {
        QTest::addColumn<QByteArray>("speicher");  // empty: COM 1 leads nowhere
        QTest::addColumn<bool>("ordner");          // the backup folder can be made
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QString>("hinweis");      // panel 2 and its tooltip; %1 the folder, %2 the backup's name
        QTest::addColumn<QStringList>("texte");    // Anlagenbezeichnung, Messbereich4, Quit, the recipients editor's Nummer_0
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<QByteArray>("bild");  // the image afterwards as device bytes; empty: the start-up image
        QByteArray ueberlauf = simStandardSpeicher();
        ueberlauf[11 * kZellen + 128] = char(0x80);
        const QByteArray ohneZahl = QByteArray(ueberlauf).replace(11 * kZellen + 128, 2, ff(2));  // as the editor shows it
        const QStringList standard{"Pumpwerk Nord", "0", "15", "06641234567"};
        QTest::newRow("gesichert") << simStandardSpeicher() << true << Ausgang::Erfolg << "Konfiguration gesichert: %2|%1/%2" << standard
                                   << QStringList() << simStandardSpeicher();
        QTest::newRow("Ordner nicht anlegbar") << simStandardSpeicher() << false << Ausgang::Erfolg
                                               << "Konfiguration nicht gesichert, Ordner nicht anlegbar (ist kein Ordner) – sicherungen|%1" << standard
                                               << QStringList() << simStandardSpeicher();
        QTest::newRow("Zahl übergelaufen") << ueberlauf << true << Ausgang::Uebertragungsfehler
                                           << "Konfigurationsdaten nicht lesbar: Analogeingang Messwert 4 mA (Seite 11, Zeichen 129 und 130): 0x80 0x00 = 32768, größer als 32767| (abgeschnitten)"
                                           << QStringList{"Pumpwerk Nord", "", "15", "06641234567"} << QStringList{kUebertragung} << ohneZahl;
        QTest::newRow("kein Gerät") << QByteArray() << true << Ausgang::KeineVerbindung << "Gerät /dev/gsmbv-fehlt nicht vorhanden|"
                                    << QStringList{"", "", "", ""} << QStringList{kKeineVerbindung} << QByteArray();
    }
    void geraetLesen()
    {
        QFETCH(QByteArray, speicher);
        QFETCH(bool, ordner);
        QFETCH(QString, hinweis);
        QTemporaryDir tmp;
        const QString sicherungen = tmp.filePath(QStringLiteral("sicherungen"));
        QVERIFY(ordner || schreiben(sicherungen, "im Weg"));
        const bool ohne = speicher.isEmpty();
        Stand s(simOptionen(ohne ? simStandardSpeicher() : speicher), 200ms, ohne);
        s.f.k.setSicherungsOrdner(sicherungen);
        s.f.k.CMD_Nr_Click(0);  // an open recipients editor follows the read
        s.f.k.hinweisSetzen(QStringLiteral("Konfiguration gesichert: älter"));
        QTEST(*s.ausfuehren(QStringLiteral("MNU_Lesen")), "ausgang");
        QVERIFY(s.ruhend());
        QCOMPARE(s.sim.empfangeneBytes(), ohne ? QByteArray() : QByteArray("r"));
        QFETCH(QByteArray, bild);
        QCOMPARE(kit::unterschied(s.f.k.speicher(), bild.isEmpty() ? kit::startbild() : kit::bild(bild)), QString());
        const Editorwerte& w = s.f.k.werte();
        QTEST((QStringList{w.anlagenbezeichnung, w.messbereich4, w.quit, s.f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"))->text()}), "texte");
        QCOMPARE(s.f.marker() + s.f.geflaggt(), QList<int>{});
        QTEST(kit::boxen(s.f.door), "boxen");
        const QStringList namen = QDir(sicherungen).entryList({QStringLiteral("*.cfg")}, QDir::Files);
        QCOMPARE(statuszeile(s.f.k), hinweis.replace(QLatin1String("%1"), sicherungen).replace(QLatin1String("%2"), namen.value(0)));
        QCOMPARE(QDir(sicherungen).entryList(QDir::Files).size(), hinweis.startsWith(QLatin1String("Konfiguration gesichert")) ? 2 : 0);
        for (const QString& n : namen)  // beside it the memory as the device sent it
            QCOMPARE(n.left(14).toUtf8() + lesen(sicherungen + '/' + QFileInfo(n).completeBaseName() + ".speicher"), "Pumpwerk Nord_" + speicher);
        if (ohne) {  // the failure's line goes when a command opens the connection
            s.f.k.verbindung().zuordnung().festlegen(1, s.sim.pfad());
            s.sim.geraet().setzeFehler({});
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Schreib")), Ausgang::Erfolg);
            QCOMPARE(s.f.k.panel(2)->text(), QString());
            return;
        }
        s.f.finde<QCheckBox>(QStringLiteral("Chk_Oeffner_0"))->click();  // edits after the read are recorded again
        QCOMPARE(s.f.geflaggt(), QList<int>{0});
        if (namen.isEmpty())
            return;
        s.f.finde<QAction>(QStringLiteral("MNU_Sicherungen"))->trigger();  // the backup opens from the list
        QTreeWidget* liste = s.f.k.sicherungen()->liste();
        QVERIFY(liste->topLevelItemCount() == 1 && QTest::qWaitForWindowExposed(s.f.k.sicherungen()));
        liste->setCurrentItem(nullptr);
        const QPoint mitte = liste->visualItemRect(liste->topLevelItem(0)).center();
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, mitte);
        QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, mitte);
        QVERIFY(kit::warten([&] { return !s.f.k.sicherungen(); }));
        QCOMPARE(s.f.geflaggt(), kGeraeteseiten);
    }

    // "Wiederherstellen" in the list of backups: after the question, the device read and kept
    // as a backup before a write, every page of the backup's memory, the read back compared
    // byte for byte; the editor untouched. A failure shows its box as a write's does.
    void wiederherstellen_data()
    {
        QTest::addColumn<bool>("mitSpeicher");  // the backup has its memory file
        QTest::addColumn<QString>("fehler");    // the device's fault
        QTest::addColumn<bool>("ja");           // the answer to the question
        QTest::addColumn<QStringList>("boxen"); // after the question
        QTest::addColumn<QString>("hinweis");   // panel 2 and its tooltip; %1 the backup's *.cfg
        QTest::addColumn<QByteArray>("draht");  // what the device received
        QTest::addColumn<bool>("zurueck");      // the device holds the backup's memory
        const QByteArray m = rueckspeicher();
        QByteArray alles = "rw";
        for (int p = 0; p < kGeraeteSeiten; ++p)
            alles += char('0' + p) + m.mid(p * kZellen, kZellen);
        alles += esc() + "r";
        QTest::newRow("Ja") << true << "" << true << QStringList() << "Konfiguration geschrieben und geprüft: 13 Seiten|" << alles << true;
        QTest::newRow("Nein") << true << "" << false << QStringList() << "|" << QByteArray() << false;
        QTest::newRow("ohne Speicherabbild") << false << "" << true << QStringList{kDateifehler}
                                             << "Nicht wiederhergestellt, ohne Speicherabbild (keine .speicher-Datei daneben) – "
                                                "Pumpwerk Nord_2025-03-01_10-00-00.cfg|%1"
                                             << QByteArray() << false;
        QTest::newRow("Seite 3 nicht gespeichert") << true << "nostore@3" << true
                                                   << QStringList{"Kritisch|Ok|Prüfung fehlgeschlagen: Seite 3 weicht ab|GSM Boravilon"}
                                                   << "erste Abweichung: Seite 3, Zeichen 1: gesendet 0x03, gelesen 0x30|" << alles << false;
        QTest::newRow("Echo fehlt") << true << "noecho@5" << true << QStringList{kUebertragung}
                                    << "Echo fehlt bei Seite 0, Zeichen 3 – Zustand des Geräts nicht geprüft: von Seite 0 "
                                       "nur 2 der 256 Bytes gesendet und bestätigt, Seiten 1 bis 12 nicht gesendet. "
                                       "Schreiben wiederholen.| (abgeschnitten)"
                                    << "rw0" + m.left(3) + esc() << false;
        QTest::newRow("Gerät stumm") << true << "silent" << true << QStringList{kKeineVerbindung}
                                     << "kein ACK innerhalb 300 ms – Gerät antwortet nicht: Kabel, Stromversorgung und COM Port "
                                        "prüfen – Gerät nicht beschrieben|"
                                     << QByteArray() << false;
    }
    void wiederherstellen()
    {
        QFETCH(bool, mitSpeicher);
        QFETCH(QByteArray, draht);
        QFETCH(bool, ja);
        QTemporaryDir tmp;
        const QString name = tmp.filePath(QStringLiteral("Pumpwerk Nord_2025-03-01_10-00-00."));
        QVERIFY(schreiben(name + "cfg", cfgSchreiben(simStandardKonfig())) && (!mitSpeicher || schreiben(name + "speicher", rueckspeicher())));
        Stand s(simOptionen(), 300ms);
        s.f.k.setSicherungsOrdner(tmp.path());
        QFETCH(QString, fehler);
        s.fehler(fehler);
        const Konfigspeicher bild = s.f.k.speicher();
        s.f.door.antworten.enqueue(ja ? Door::Antwort::Ja : Door::Antwort::Nein);
        s.f.finde<QAction>(QStringLiteral("MNU_Sicherungen"))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(s.f.k.sicherungen()));
        s.f.k.sicherungen()->findChild<QPushButton*>(QStringLiteral("CMD_Wiederherstellen"))->click();
        QVERIFY(draht.isEmpty() || kit::warten([&] { return s.ende.has_value(); }));
        QVERIFY(s.ruhend());
        const QStringList frage{QStringLiteral("Frage|JaNein|Sicherung „Pumpwerk Nord“ vom 01.03.2025, 10:00:00 in das Gerät an COM 1 (%1) "
                                         "zurückschreiben?\n\nAlle 13 Seiten des Geräts werden überschrieben; sein jetziger "
                                         "Inhalt wird vorher gesichert.|GSM Boravilon").arg(s.sim.pfad())};
        QFETCH(QStringList, boxen);
        QCOMPARE(kit::boxen(s.f.door), mitSpeicher ? frage + boxen : boxen);
        // Each failure's box comes with the signal, but that of a device that does not answer.
        QCOMPARE(s.f.door.beeps, boxen.size() - boxen.count(kKeineVerbindung));
        QFETCH(QString, hinweis);
        QCOMPARE(statuszeile(s.f.k), hinweis.replace(QLatin1String("%1"), name + "cfg"));
        QCOMPARE(s.sim.empfangeneBytes(), draht);
        QTEST(s.sim.geraet().speicher() == rueckspeicher(), "zurueck");
        QCOMPARE(kit::unterschied(s.f.k.speicher(), bild), QString());
        // The device's content before the write, kept as a backup before a write of the name written.
        const QStringList namen = QDir(tmp.path()).entryList({QStringLiteral("*.vorschreiben")}, QDir::Files);
        QCOMPARE(namen.size(), draht.size() > 1 ? 1 : 0);
        for (const QString& n : namen)
            QCOMPARE(lesen(tmp.filePath(n)) + lesen(tmp.filePath(QFileInfo(n).completeBaseName() + ".speicher")), "Tankstelle Süd\n" + simStandardSpeicher());
    }

    // A write sends the flagged pages (of the start-up image, too), every character but the
    // ESC echoed; the flags stay. An echo lost leaves image and flags as they were.
    void geraetSchreiben_data()
    {
        QTest::addColumn<QString>("vorlauf");
        QTest::addColumn<int>("keinEcho");
        QTest::addColumn<QByteArray>("draht");   // after the 'w'
        QTest::addColumn<QList<int>>("geflaggt");
        const QByteArray ost = simStandardSpeicher().replace(128, 14, "Pumpwerk Ost\x03\xFF");
        QTest::newRow("Name getippt") << "name" << 0 << '0' + ost.left(kZellen) + esc() << QList<int>{0};
        const QByteArray start = QByteArray("\x00\x00\x00\x00\xFF\x10\x00\x03", 8) + ff(16) + "\x03" + ff(15) + "\x03" + ff(15)
                               + QByteArray(1, '\0') + ff(17) + "Kontostand Minimum\x03" + ff(35) + "Pumpwerk Ost\x03" + ff(115);
        QTest::newRow("Start, Name getippt") << "start" << 0 << '0' + start + esc() << QList<int>{0};
        QTest::newRow("nichts geändert") << "" << 0 << esc() << QList<int>{};
        // 'w' is echo 1; pages 0 and 1 take 257 each; page 2's select character, then 100 bytes.
        const QByteArray m = simStandardSpeicher();
        QTest::newRow("Echo fehlt") << "datei" << 1 + 2 * 257 + 1 + 100
                                    << '0' + m.left(256) + '1' + m.mid(256, 256) + '2' + m.mid(512, 100) + esc() << kGeraeteseiten;
    }
    void geraetSchreiben()
    {
        QFETCH(QString, vorlauf);
        QFETCH(int, keinEcho);
        QFETCH(QByteArray, draht);
        Stand s(simOptionen(), 300ms);
        QTemporaryDir ordner;
        if (vorlauf == QLatin1String("datei") && schreiben(ordner.filePath(QStringLiteral("a.cfg")), cfgSchreiben(simStandardKonfig())))
            datei(s.f, "MNU_Open", ordner.filePath(QStringLiteral("a.cfg")));
        else if (vorlauf != QLatin1String("start"))
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Lesen")), Ausgang::Erfolg);
        if (vorlauf == QLatin1String("name") || vorlauf == QLatin1String("start"))
            eingeben(s.f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("Pumpwerk Ost"));
        s.fehler(keinEcho ? QStringLiteral("noecho@%1").arg(keinEcho) : QString());
        const Konfigspeicher bild = s.f.k.speicher();
        for (int mal = keinEcho || vorlauf.isEmpty() ? 1 : 2; mal > 0; --mal) {
            const qsizetype ab = s.sim.empfangeneBytes().size(), gesendetAb = s.sim.gesendeteBytes().size();
            QCOMPARE(s.ausfuehren(QStringLiteral("Toolbar1_Button3")), keinEcho ? Ausgang::Uebertragungsfehler : Ausgang::Erfolg);
            QCOMPARE(s.sim.empfangeneBytes().mid(ab), 'w' + draht);
            QCOMPARE(s.sim.gesendeteBytes().mid(gesendetAb), "\x06w" + draht.left(keinEcho ? keinEcho - 2 : draht.size() - 1));
        }
        QTEST(s.f.geflaggt(), "geflaggt");
        QCOMPARE(kit::unterschied(s.f.k.speicher(), bild), QString());
        QVERIFY(s.ruhend());
        QCOMPARE(kit::boxen(s.f.door) << QString::number(s.f.door.beeps), keinEcho ? QStringList({kUebertragung, "1"}) : QStringList{"0"});
        // The read's backup line went when the write began; a lost echo says
        // where, and what was sent and confirmed.
        QCOMPARE(s.f.k.panel(2)->text(),
                 keinEcho ? QStringLiteral("Echo fehlt bei Seite 2, Zeichen 100 – Zustand des Geräts nicht geprüft: Seiten "
                                           "0 und 1 gesendet und bestätigt, von Seite 2 nur 99 der 256 Bytes, Seiten 3 "
                                           "bis 12 nicht gesendet. Schreiben wiederholen.")
                          : QString());
    }

    // Comparing with the device reads it, keeps a backup and leaves the editor as it was (image,
    // flags, markers, values, history); the dialog lists the settings that differ and the
    // pages a write would send now, and goes with Schließen. Failures as for a read, without a
    // list. A read and an open start the editor's history anew.
    void vergleichen_data()
    {
        QTest::addColumn<QByteArray>("speicher");  // empty: COM 1 leads nowhere
        QTest::addColumn<QString>("vorlauf");      // "lesen", "ändern" (read, then edited), "datei" (the device's configuration opened)
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QStringList>("dialog");   // its first line, the rows "Einstellung|Gerät|Editor", its last line
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<int>("sicherungen");
        const QString kopf = QStringLiteral("12:00:00, Gerät an COM 1 (%PTY%): ");
        QTest::newRow("gelesen") << simStandardSpeicher() << "lesen" << Ausgang::Erfolg
            << QStringList{kopf + "keine Unterschiede", "Konfiguration schreiben sendet jetzt keine Seite."} << QStringList() << 2;
        QTest::newRow("geändert") << simStandardSpeicher() << "ändern" << Ausgang::Erfolg
            << QStringList{kopf + "2 Unterschiede", "Anlagenbezeichnung|Pumpwerk Nord|Pumpwerk Ost", "Meldelinie 2 Öffner|nein|ja",
                           "Konfiguration schreiben sendet jetzt Seite 0."} << QStringList() << 2;
        QTest::newRow("Datei") << simStandardSpeicher() << "datei" << Ausgang::Erfolg
            << QStringList{kopf + "keine Unterschiede", "Konfiguration schreiben sendet jetzt die Seiten 0 bis 12."} << QStringList() << 1;
        QTest::newRow("kein Gerät") << QByteArray() << "" << Ausgang::KeineVerbindung << QStringList() << QStringList{kKeineVerbindung} << 0;
    }
    void vergleichen()
    {
        QFETCH(QByteArray, speicher);
        QFETCH(QString, vorlauf);
        QTemporaryDir tmp;
        Stand s(simOptionen(speicher.isEmpty() ? simStandardSpeicher() : speicher), 300ms, speicher.isEmpty());
        s.f.k.setSicherungsOrdner(tmp.path());
        s.f.k.setUhr([] { return QDateTime(QDate(2025, 6, 2), QTime(12, 0)); });
        auto* zurueck = s.f.finde<QAction>(QStringLiteral("MNU_Rueckgaengig"));
        s.f.klicken(QStringLiteral("Chk_Gutmeldung_0"));
        if (vorlauf == QLatin1String("datei") && schreiben(tmp.filePath(QStringLiteral("a.cfg")), cfgSchreiben(simStandardKonfig())))
            datei(s.f, "MNU_Open", tmp.filePath(QStringLiteral("a.cfg")));
        else if (!vorlauf.isEmpty())
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Lesen")), Ausgang::Erfolg);
        QCOMPARE(zurueck->isEnabled(), vorlauf.isEmpty());
        if (vorlauf == QStringLiteral("ändern")) {
            eingeben(s.f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("Pumpwerk Ost"));
            s.f.klicken(QStringLiteral("Chk_Oeffner_1"));
        }
        const Konfigspeicher bild = s.f.k.speicher();
        const Editorwerte werte = s.f.k.werte();
        const QList<int> vorher = s.f.marker() + s.f.geflaggt() << zurueck->isEnabled();  // markers, flags, undo
        const qsizetype ab = s.sim.empfangeneBytes().size();
        QTEST(*s.ausfuehren(QStringLiteral("MNU_Vergleichen")), "ausgang");
        QVERIFY(s.ruhend());
        QCOMPARE(s.sim.empfangeneBytes().mid(ab), speicher.isEmpty() ? QByteArray() : QByteArray("r"));
        QCOMPARE(kit::unterschied(s.f.k.speicher(), bild), QString());
        QCOMPARE(s.f.k.werte(), werte);
        QCOMPARE(s.f.marker() + s.f.geflaggt() << zurueck->isEnabled(), vorher);
        QTEST(kit::boxen(s.f.door), "boxen");
        QTEST(int(QDir(tmp.path()).entryList({QStringLiteral("*.cfg")}, QDir::Files).size()) - (vorlauf == QLatin1String("datei")), "sicherungen");
        QStringList dialog;
        if (Vergleich* v = s.f.k.vergleich()) {
            if (vorlauf == QStringLiteral("ändern"))  // once more while it is open: its rows are replaced
                QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Vergleichen")), Ausgang::Erfolg);
            QVERIFY(v->isVisible());
            dialog << v->findChild<QLabel*>(QStringLiteral("Label1"))->text().replace(s.sim.pfad(), QStringLiteral("%PTY%"));
            for (int i = 0; i < v->liste()->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* z = v->liste()->topLevelItem(i);
                dialog << z->text(0) + '|' + z->text(1) + '|' + z->text(2);
            }
            dialog << v->findChild<QLabel*>(QStringLiteral("Label2"))->text();
            v->findChild<QPushButton*>(QStringLiteral("CMD_Schliessen"))->click();
            QVERIFY(kit::warten([&] { return !s.f.k.vergleich(); }));
        }
        QTEST(dialog, "dialog");
    }

    // While the device is awaited, the progress window counts the wait down, a step each half second.
    void countdown()
    {
        Stand s;
        s.fehler(QStringLiteral("silent"));
        s.f.finde<QAction>(QStringLiteral("MNU_Lesen"))->trigger();
        const auto* balken = s.f.finde(QStringLiteral("Daten"))->findChild<QProgressBar*>();
        QCOMPARE(balken->value(), 80);
        QVERIFY(kit::warten([&] { return balken->value() == 79; }));
        s.f.finde<QAction>(QStringLiteral("Toolbar1_Button1"))->trigger();
        QVERIFY(s.ruhend());
    }

    // A read under way: device commands beep, the progress window shows. Abort (ESC) or closing the main window (silently, its dialogs with it)
    // end it; the port is closed and a read runs again.
    void unterbrechen_data()
    {
        QTest::addColumn<QString>("wie");
        QTest::addColumn<QByteArray>("draht");
        QTest::newRow("Verbindung abbrechen") << "Toolbar1_Button1" << "r" + esc();
        QTest::newRow("Hauptfenster geschlossen") << "Konfig" << QByteArray("r");
    }
    void unterbrechen()
    {
        QFETCH(QString, wie);
        Stand s;
        s.fehler(QStringLiteral("stop@1000"));
        s.f.k.CMD_Nr_Click(4);
        s.f.finde<QAction>(QStringLiteral("MNU_Lesen"))->trigger();
        QVERIFY(kit::warten([&] { return s.f.k.verbindung().Fortschritt() == 1000; }));
        // Opening a file too: the read's end would overwrite it.
        for (const char* n : {"MNU_Lesen", "MNU_Schreib", "MNU_log", "MNU_Uhr", "MNU_Drucken", "Toolbar1_Button2", "Toolbar1_Button3",
                              "Toolbar1_Button4", "Toolbar1_Button5", "MNU_Open", "Toolbar1_Button6", "MNU_Sicherungen", "MNU_Vergleichen"})
            s.f.finde<QAction>(QLatin1String(n))->trigger();
        QVERIFY(!s.f.k.dateiOeffnen(QStringLiteral("/nonexistent/anlage.cfg")));  // as the desktop hands it over
        s.f.k.sicherungWiederherstellen(QStringLiteral("/nonexistent/x.cfg"), QStringLiteral("x"));
        QCOMPARE((QList<int>{s.f.door.beeps, s.f.door.druckdialoge, int(s.f.door.dateidialoge.size()), s.f.k.sicherungen() != nullptr}), (QList<int>{15, 0, 0, 0}));
        QCOMPARE(s.f.k.panel(2)->text(), QStringLiteral("Eine Übertragung läuft bereits – bitte warten oder abbrechen"));
        QWidget* daten = s.f.finde(QStringLiteral("Daten"));
        QVERIFY(daten && daten->isVisible());
        const auto* balken = daten->findChild<QProgressBar*>();  // the count of bytes, no percentage; the hourglass over it
        QCOMPARE(QStringLiteral("%1|%2/%3|%4%5").arg(daten->findChild<QLabel*>()->text()).arg(balken->value()).arg(balken->maximum())
                     .arg(int(balken->isTextVisible())).arg(int(daten->cursor().shape() == Qt::WaitCursor)), "lese Konfigurationsdaten ...|1000/3328|01");
        if (wie == QLatin1String("Toolbar1_Button1"))
            s.f.finde<QAction>(wie)->trigger();
        else
            s.f.k.close();
        QVERIFY(s.ruhend());
        QTest::qWait(20);
        QCOMPARE(s.ende, wie == QLatin1String("Konfig") ? std::nullopt : std::optional(Ausgang::Abgebrochen));
        QTEST(s.sim.empfangeneBytes(), "draht");
        QCOMPARE(s.f.k.teledit().isVisible(), wie != QLatin1String("Konfig"));
        QCOMPARE(kit::boxen(s.f.door), QStringList());
        s.sim.geraet().setzeFehler({});
        kit::Fenster neu(s.sim.pfad());
        QCOMPARE(ausfuehren(wie == QLatin1String("Konfig") ? neu.k : s.f.k, QStringLiteral("Toolbar1_Button2")), Ausgang::Erfolg);
        QCOMPARE((wie == QLatin1String("Konfig") ? neu.k : s.f.k).werte().anlagenbezeichnung, QStringLiteral("Pumpwerk Nord"));
    }

    // LOG.TXT replaced and shown; one that cannot be written stays, one that cannot be shown is named.
    void ereignisspeicher_data()
    {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<bool>("schreibbar");
        QTest::addColumn<bool>("anzeige");
        QTest::addColumn<QString>("box");  // %1 the log
        QTest::newRow("gezeigt") << "MNU_log" << true << true << "";
        QTest::newRow("kein Ordner schreibbar") << "Toolbar1_Button5" << false << true << kUebertragung;
        QTest::newRow("kein Anzeigeprogramm") << "Toolbar1_Button5" << true << false
            << "Information|Ok|Ereignisspeicher gespeichert in:\n%1\n\nKein Programm zum Anzeigen gefunden.|GSM Boravilon";
    }
    void ereignisspeicher()
    {
        QFETCH(bool, schreibbar);
        QFETCH(QString, box);
        QTemporaryDir ordner;
        Stand s;
        QByteArray ring = ff(512);  // the write position in slot 2
        ring.replace(0, 16, QByteArray("\x09\x05\x0E\x15\x06\x03KS\x00\x00\x00\x01\x01\x09GA", 16));
        s.sim.geraet().setzeEreignisse(ring.replace(24, 16, QByteArray("\x3B\x3B\x17\x1F\x0CMKF\x07\x87\x0C\x05\x05Nkx", 16)));
        const QString log = ordner.filePath(QStringLiteral("LOG.TXT"));
        QVERIFY(schreiben(log, "alter Inhalt\r\n"));
        s.f.k.setLogOrdner(schreibbar ? ordner.path() : log, log + QStringLiteral("/unter"));  // a file is no folder
        QFETCH(bool, anzeige);
        s.f.door.anzeigeErfolg = anzeige;
        QFETCH(QString, aktion);
        QCOMPARE(s.ausfuehren(aktion), schreibbar ? Ausgang::Erfolg : Ausgang::Uebertragungsfehler);
        QVERIFY(s.ruhend());
        QCOMPARE(s.sim.empfangeneBytes(), QByteArray("l"));
        QCOMPARE(QStringList({s.f.k.logPfad()}) + s.f.door.angezeigt + kit::boxen(s.f.door),
                 (schreibbar ? QStringList{log, log} : QStringList{QString()}) + (box.isEmpty() ? QStringList() : QStringList{box.replace(QLatin1String("%1"), log)}));
        QCOMPARE(lesen(log), schreibbar ? daten("LOG.TXT") : QByteArray("alter Inhalt\r\n"));
    }

    // The clock read into the dialog and set to the PC's time; failures: the message
    // first, the dialog after a read that got an answer, closed after a setting.
    void uhr_data()
    {
        QTest::addColumn<bool>("setzen");
        QTest::addColumn<QString>("fehler");  // the simulated device's fault
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<bool>("dialogBeiMeldung");
        QTest::addColumn<bool>("dialogDanach");
        QTest::newRow("Lesen und Setzen") << true << "" << Ausgang::Erfolg << "" << QByteArray("tts") << false << false;
        QTest::newRow("Lesen, keine Uhrzeit") << false << "hangup@1" << Ausgang::Uebertragungsfehler << kUebertragung << QByteArray("t") << false << true;
        // Closed while the setting waits for the device: ESC, and the wait ends as a silent device's does.
        QTest::newRow("Setzen, Dialog geschlossen") << true << "silent" << Ausgang::KeineVerbindung << kKeineVerbindung << "tt" + esc() << false << false;
        QTest::newRow("Setzen, Gerät stumm") << true << "silent" << Ausgang::KeineVerbindung << kKeineVerbindung << QByteArray("tt") << true << false;
    }
    void uhr()
    {
        QFETCH(bool, setzen);
        QFETCH(QString, box);
        QFETCH(QByteArray, draht);
        Stand s(simOptionen(), 200ms);
        s.sim.geraet().stelleUhr(QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)));
        for (int mal = setzen ? 2 : 0; mal > 0; --mal) {  // read twice: one dialog
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Uhr")), Ausgang::Erfolg);
            QVERIFY(s.f.k.uhrDialog() && s.f.k.uhrDialog()->isVisible() && !s.f.k.uhrDialog()->isModal());
            QCOMPARE(s.f.k.uhrDialog()->boraZeit(), QStringLiteral("14:05:09   21.06."));
        }
        QFETCH(QString, fehler);
        s.fehler(fehler);
        s.ende.reset();
        bool dialogBeiMeldung = false;
        s.f.door.beiMeldung = [&] { dialogBeiMeldung = s.f.k.uhrDialog() && s.f.k.uhrDialog()->isVisible(); };
        const QDateTime vor = QDateTime::currentDateTime().addSecs(-1);
        if (setzen)
            s.f.k.uhrDialog()->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
        if (QTest::currentDataTag() == QByteArray("Setzen, Dialog geschlossen"))  // by the user, from the event loop
            QTimer::singleShot(0, s.f.k.uhrDialog(), &QWidget::close);
        else
            s.f.finde<QAction>(QStringLiteral("Toolbar1_Button4"))->trigger();
        QVERIFY(kit::warten([&] { return s.ende.has_value(); }));
        QTEST(*s.ende, "ausgang");
        QVERIFY(s.ruhend());
        QCOMPARE(kit::boxen(s.f.door), box.isEmpty() ? QStringList() : QStringList{box});
        QTEST(dialogBeiMeldung, "dialogBeiMeldung");
        QFETCH(bool, dialogDanach);
        QVERIFY(kit::warten([&] { return (s.f.k.uhrDialog() != nullptr) == dialogDanach; }, 1000));
        const auto e = s.sim.geraet().letzteUhreinstellung();
        QCOMPARE(s.sim.empfangeneBytes(), draht + (e ? e->bytes + esc() : QByteArray()));
        QCOMPARE(e.has_value(), box.isEmpty());
        if (!e)
            return;
        const QDateTime gestellt(QDate(vor.date().year(), e->monat, e->tag), QTime(e->stunde, e->minute, e->sekunde));
        QVERIFY2(e->gueltig && gestellt >= vor && gestellt <= QDateTime::currentDateTime(), qPrintable(gestellt.toString()));
    }

    void startoptionen_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<QString>("ergebnis");  // demo|port|file, or the error
        QTest::newRow("--demo") << QStringList{"--demo"} << "1||";
        QTest::newRow("--port GERÄT") << QStringList{"--port", "/dev/ttyUSB0"} << "0|/dev/ttyUSB0|";
        QTest::newRow("--port=GERÄT, Datei") << QStringList{"a b.cfg", "--port=/dev/ttyACM1"} << "0|/dev/ttyACM1|a b.cfg";
        QTest::newRow("--port ohne Gerät") << QStringList{"--port"} << "--port ohne Gerät";
        QTest::newRow("--demo --port") << QStringList{"--demo", "--port=/dev/ttyS0"} << "--demo und --port schließen einander aus";
        QTest::newRow("zwei Dateien, -- vor einer") << QStringList{"a.cfg", "--", "--demo"} << "nur eine Konfigurationsdatei, nicht auch „--demo“";
    }
    void startoptionen()
    {
        QFETCH(QStringList, argumente);
        QString fehler;
        const auto o = startoptionenLesen(argumente, &fehler);
        QTEST(o ? QStringLiteral("%1|%2|%3").arg(int(o->demo)).arg(o->port, o->datei) : fehler, "ergebnis");
    }

    // The program without a display (neither a display nor a platform given): usage on standard
    // output, a wrong argument's exit code, the missing display named in German; a wrong argument
    // behind Qt's own, told once the display is there; too few descriptors for the demo's device.
    void prozess_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("ausgabe");
        QTest::addColumn<QByteArray>("fehler");
        QTest::addColumn<int>("dateien");  // descriptors allowed, 0: as given
        const QByteArray hilfe = aufrufText().toUtf8();
        QVERIFY(hilfe.startsWith("Aufruf: gsmbv-konfig [--demo | --port GERÄT] [DATEI.cfg]\n"));
        QTest::newRow("ohne Anzeige, Hilfe") << QStringList{"a.cfg", "-h"} << 0 << hilfe << QByteArray() << 0;
        QTest::newRow("ohne Anzeige, Version") << QStringList{"--version"} << 0 << QByteArray("gsmbv-konfig 1.3.0\n") << QByteArray() << 0;
        QTest::newRow("ohne Anzeige, unbekannt") << QStringList{"--bogus"} << 2 << QByteArray() << "gsmbv-konfig: unbekanntes Argument „--bogus“\n\n" + hilfe << 0;
        QTest::newRow("ohne Anzeige") << QStringList{"a.cfg"} << 1 << QByteArray()
                                      << QByteArray("gsmbv-konfig: keine grafische Anzeige (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt)\n"
                                                    "Ohne Anzeige: die Kommandozeile gsmbv (gsmbv --help)\n") << 0;
        QTest::newRow("nach -platform") << QStringList{"-platform", "offscreen", "--port="} << 2 << QByteArray()
                                        << "gsmbv-konfig: --port ohne Gerät\n\n" + hilfe << 0;
        QTest::newRow("8 Deskriptoren") << QStringList{"--demo"} << 1 << QByteArray()
                                        << QByteArray("gsmbv-konfig: nur 8 Dateien zugleich erlaubt, nötig sind 16 (ulimit -n)\n") << 8;
    }
    void prozess()
    {
        QFETCH(QStringList, argumente);
        QProcess p;
        QTemporaryDir laufzeit;  // keeps Qt's note about a missing runtime folder off standard error
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), laufzeit.path());
        for (const char* n : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(n));
        p.setProcessEnvironment(env);
        QFETCH(int, dateien);
        if (dateien)
            p.setChildProcessModifier([dateien] { rlimit g{rlim_t(dateien), rlim_t(dateien)}; ::setrlimit(RLIMIT_NOFILE, &g); });
        p.start(qEnvironmentVariable("GSMBV_BIN_DIR") + "/gsmbv-konfig", argumente);
        QVERIFY(p.waitForFinished(10000));
        QTEST(p.exitCode(), "code");
        QTEST(p.readAllStandardOutput(), "ausgabe");
        QTEST(p.readAllStandardError(), "fehler");
    }

    // The window runs until it closes (exit code 0, other windows open, unsaved edits
    // dropped unasked). A file named opens once it is shown, the real door's box over
    // it; the demo's device and a port given as a link are COM 1.
    void lauf_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QStringList>("gesehen");
        QTest::newRow("Konfiguration beenden") << "MNU_end" << QStringList{"wirdGeschlossen"};
        QTest::newRow("Datei") << "Datei" << QStringList{"Pumpwerk Nord", "%DATEI%", "23", "", "wirdGeschlossen"};
        QTest::newRow("Datei fehlt") << "fehlt"
            << QStringList{"Fehler bei Zugriff auf Konfigurationsdatei über dem Fenster", "", "%DATEI%", "0",
                           "Datei nicht geöffnet, Datei oder Ordner nicht vorhanden – Anlage Süd.cfg", "wirdGeschlossen"};
        QTest::newRow("Demo") << "demo" << QStringList{"Demo: simuliertes Boravilon an COM 1 (/dev/pts/N)", "17", "wirdGeschlossen"};
        QTest::newRow("Ende beim Lesen") << "lesen" << QStringList{"%LINK%", "unterwegs", "wirdGeschlossen", "r"};
    }
    void lauf()
    {
        QFETCH(QString, fall);
        QFETCH(QStringList, gesehen);
        QTemporaryDir ordner;
        std::optional<FakeDoor> door;
        if (fall != QLatin1String("fehlt"))
            door.emplace();
        SimOptionen o = simOptionen();
        o.baud = 38400;
        SimPtyRunner sim(o);
        Startoptionen start;
        start.demo = fall == QLatin1String("demo");
        if (fall == QLatin1String("Datei") || fall == QLatin1String("fehlt"))
            start.datei = ordner.filePath(QStringLiteral("Anlage Süd.cfg"));
        QVERIFY(fall != QLatin1String("Datei") || schreiben(start.datei, cfgSchreiben(simStandardKonfig())));
        if (fall == QLatin1String("lesen")) {
            start.port = ordner.filePath(QStringLiteral("usb-Adapter_Seriell_0001-if00-port0"));
            QVERIFY(QFile::link(sim.pfad(), start.port));
        }
        QWidget nebenfenster;
        nebenfenster.show();
        QStringList ist;
        QTimer takt;  // looks at the running program
        connect(&takt, &QTimer::timeout, [&] {
            Konfig* k = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* kk = qobject_cast<Konfig*>(w); kk && kk->isVisible())
                    k = kk;
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && k) {
                ist << box->text() + QStringLiteral(" über dem Fenster");
                return box->accept();
            }
            if (!k || (fall == QLatin1String("fehlt") && ist.isEmpty()))
                return;
            if (fall == QLatin1String("lesen")) {
                if (ist.isEmpty()) {
                    ist << k->verbindung().geraet();
                    connect(k, &Konfig::wirdGeschlossen, k, [&] { ist << QStringLiteral("wirdGeschlossen"); });
                    k->MNU_Lesen_Click();
                } else if (k->verbindung().Fortschritt() > 200) {
                    ist << (k->verbindung().operationLaeuft() ? QStringLiteral("unterwegs") : QStringLiteral("fertig"));
                    takt.stop();
                    k->close();
                }
                return;
            }
            takt.stop();
            connect(k, &Konfig::wirdGeschlossen, k, [&] { ist << QStringLiteral("wirdGeschlossen"); });
            k->speicher().setze(0, 128, 'X');
            if (fall == QLatin1String("demo")) {
                ist << k->panel(2)->text().replace(QRegularExpression(QStringLiteral("/dev/pts/\\d+")), QStringLiteral("/dev/pts/N"));
                connect(k, &Konfig::geraetBeendet, k, [&ist, k] {
                    ist << QString::number(k->uhrDialog() ? k->uhrDialog()->boraZeit().size() : 0);
                    k->close();
                });
                return k->MNU_Uhr_Click();
            }
            if (!start.datei.isEmpty())
                ist << k->werte().anlagenbezeichnung << k->dateidialog().name << QString::number(kit::marker(*k).size()) << k->panel(2)->text();
            if (fall == QLatin1String("MNU_end"))
                return k->findChild<QAction*>(QStringLiteral("MNU_end"))->trigger();
            k->close();
        });
        takt.start(5);
        QTimer::singleShot(10000, &nebenfenster, [] { QCoreApplication::exit(98); });  // a watchdog, gone with the test
        QCOMPARE(konfigAusfuehren(*qApp, start), 0);
        if (fall == QLatin1String("lesen")) {
            QVERIFY(kit::warten([&] { return !sim.verbunden(); }));
            ist << QString::fromLatin1(sim.empfangeneBytes());
        }
        QCOMPARE(ist, gesehen.replaceInStrings(QStringLiteral("%DATEI%"), start.datei).replaceInStrings(QStringLiteral("%LINK%"), start.port));
        QVERIFY(!door || door->meldungen.isEmpty());
    }

    // gsmbv as an unprivileged user: why a port does not open; an output file in a folder
    // that takes no new file is overwritten in place, or kept when the read fails.
    void alsNutzer_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("zeile");  // of standard error, %1 the device
        QTest::addColumn<QByteArray>("datei");
        QTest::newRow("nur der Eigentümer darf") << "rechte" << 1 << "gsmbv: Keine Berechtigung für %1 (Eigentümer root, Gruppe tty, Rechte crw-------)" << QByteArray("alt\n");
        QTest::newRow("exklusiv belegt") << "exklusiv" << 1 << "gsmbv: COM 1 (%1) ist belegt von einem anderen Programm" << QByteArray("alt\n");
        QTest::newRow("gelesen") << "" << 0 << "" << QByteArray("12;63;255;15;2;10;30;08006642903;08006642902;5;Pumpwerk Nord;\r\n");
    }
    void alsNutzer()
    {
        QFETCH(QString, fall);
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (::geteuid() != 0 || setpriv.isEmpty())
            QSKIP("needs the superuser and setpriv to run the tool as \"nobody\"");
        SimPtyRunner sim(simOptionen());
        const QByteArray pty = sim.pfad().toLocal8Bit();
        // A window that another test ended with SIGKILL during a read leaves the
        // superuser's lock file of its pseudo-terminal behind, which "nobody" may
        // not remove; a later pseudo-terminal of the same number is not what this
        // test is about.
        for (const char* sperren : {"/run/lock/LCK..", "/var/lock/LCK.."})
            QFile::remove(QLatin1String(sperren) + sim.pfad().mid(5).replace(QLatin1Char('/'), QLatin1Char('_')));
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("ro")), pfad = ordner + QStringLiteral("/a.cfg"), gsmbv = tmp.filePath(QStringLiteral("gsmbv"));
        QVERIFY(QDir().mkdir(ordner) && schreiben(pfad, "alt\n") && QFile::copy(qEnvironmentVariable("GSMBV_BIN_DIR") + "/gsmbv", gsmbv));
        for (const auto& [datei, modus] : {std::pair{tmp.path(), 0755}, {gsmbv, 0755}, {pfad, 0666}, {ordner, 0555}, {sim.pfad(), fall == "rechte" ? 0600 : 0666}})
            QVERIFY(rechte(datei, mode_t(modus)));
        const group* tty = ::getgrnam("tty");  // the device's group, whatever the terminals' default
        QVERIFY(tty && ::chown(pty.constData(), uid_t(-1), tty->gr_gid) == 0);
        const int exklusiv = fall == QLatin1String("exklusiv") ? ::open(pty.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK) : -1;
        QVERIFY(exklusiv < 0 || ::ioctl(exklusiv, TIOCEXCL) == 0);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(setpriv, {"--reuid=nobody", "--regid=nogroup", "--clear-groups", gsmbv, "read", "--port", sim.pfad(), "--output", pfad, "--timeout", "2"});
        QVERIFY(kit::warten([&] { return p.state() == QProcess::NotRunning; }, 20000));
        if (exklusiv >= 0)
            ::close(exklusiv);
        QVERIFY(rechte(ordner, 0755));
        QTEST(p.exitCode(), "code");
        QFETCH(QString, zeile);
        const QStringList fehler = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'));
        QVERIFY2(zeile.isEmpty() || fehler.contains(zeile.arg(sim.pfad())), qPrintable(fehler.join(QLatin1Char('|'))));
        QFETCH(QByteArray, datei);
        QCOMPARE(lesen(pfad).left(datei.size()), datei);
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList{"a.cfg"});
    }
};

QTEST_MAIN(TestAblauf)
#include "test_ablauf.moc"
