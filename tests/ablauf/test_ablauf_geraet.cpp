// The main window's device commands against the simulated device: what a read
// leaves in the window, what a write sends, the window's side of a failure, the
// busy rule, abort and close mid-transfer, event memory and clock.
#include "ablauf.h"

#include "cfgfile/cfgdatei.h"
#include "editor/teledit.h"
#include "linkui/syszeit.h"
#include "shell/sicherungen.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace ablauf;

namespace {

// What a write of `pages` of `speicher` puts on the wire after its command.
QByteArray seiten(const QByteArray& speicher, const QList<int>& pages)
{
    QByteArray out;
    for (int p : pages)
        out += char('0' + p) + speicher.mid(p * kZellen, kZellen);
    return out;
}
QByteArray mitName(const QByteArray& name)  // the simulated device's memory with another name
{
    return simStandardSpeicher().replace(128, 128, name + '\x03' + ff(127 - int(name.size())));
}
SimFehler fehler(bool stumm, std::optional<int> keinEcho = {}, std::optional<qint64> auflegen = {})
{
    SimFehler f;
    f.stumm = stumm, f.keinEcho = keinEcho, f.auflegen = auflegen;
    return f;
}
const QString kUebertragung = QStringLiteral("Kritisch|Ok|Fehler bei Datenübertragung|GSM Boravilon");
const QString kKeineVerbindung = QStringLiteral("Kritisch|Ok|Verbindung nicht möglich|GSM Boravilon");

} // namespace

Q_DECLARE_METATYPE(Ausgang)
Q_DECLARE_METATYPE(SimFehler)

class TestAblaufGeraet : public QObject {
    Q_OBJECT
private slots:
    // A read: image, values, no marker or flag, the backup in panel 2. A failed
    // decode shows what it read; no device leaves the start-up image, as a write sends it.
    void geraetLesen_data()
    {
        QTest::addColumn<QByteArray>("speicher");  // empty: COM 1 leads nowhere
        QTest::addColumn<bool>("ordner");          // the backup folder can be made
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QString>("hinweis");      // %1 the folder, %2 the backup's name
        QTest::addColumn<QStringList>("texte");    // Anlagenbezeichnung, Messbereich4, Quit
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<QByteArray>("bild");  // the image afterwards as device bytes; empty: the start-up image
        QByteArray ueberlauf = simStandardSpeicher();
        ueberlauf[11 * kZellen + 128] = char(0x80);
        const QByteArray ohneZahl = QByteArray(ueberlauf).replace(11 * kZellen + 128, 2, ff(2));  // as the editor shows it
        const QStringList standard{"Pumpwerk Nord", "0", "15"};
        QTest::newRow("gesichert") << simStandardSpeicher() << true << Ausgang::Erfolg << "Konfiguration gesichert: %1/%2" << standard
                                   << QStringList() << simStandardSpeicher();
        QTest::newRow("Ordner nicht anlegbar") << simStandardSpeicher() << false << Ausgang::Erfolg
                                               << "Konfiguration nicht gesichert: Ordner %1 kann nicht angelegt werden" << standard
                                               << QStringList() << simStandardSpeicher();
        QTest::newRow("Zahl übergelaufen") << ueberlauf << true << Ausgang::Uebertragungsfehler << ""
                                           << QStringList{"Pumpwerk Nord", "", "15"} << QStringList{kUebertragung} << ohneZahl;
        QTest::newRow("kein Gerät") << QByteArray() << true << Ausgang::KeineVerbindung << "Gerät /dev/gsmbv-fehlt nicht vorhanden"
                                    << QStringList{"", "", ""} << QStringList{kKeineVerbindung} << QByteArray();
    }
    void geraetLesen()
    {
        QFETCH(QByteArray, speicher);
        QFETCH(bool, ordner);
        QFETCH(QString, hinweis);
        QTemporaryDir tmp;
        const QString sicherungen = tmp.filePath(QStringLiteral("sicherungen"));
        QVERIFY(ordner || schreiben(sicherungen, "im Weg"));
        Stand s(simOptionen(speicher.isEmpty() ? simStandardSpeicher() : speicher), 200ms);
        if (speicher.isEmpty())
            s.f.k.verbindung().zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-fehlt"));
        s.f.k.setSicherungsOrdner(sicherungen);
        s.f.k.CMD_Nr_Click(0);  // an open recipients editor follows the read
        QTEST(*s.ausfuehren(QStringLiteral("MNU_Lesen")), "ausgang");
        QVERIFY(s.ruhend());
        QCOMPARE(s.empfangen(), speicher.isEmpty() ? QByteArray() : QByteArray("r"));
        QFETCH(QByteArray, bild);
        QCOMPARE(kit::unterschied(s.f.k.speicher(), bild.isEmpty() ? kit::startbild() : kit::bild(bild)), QString());
        const Editorwerte& w = s.f.k.werte();
        QTEST((QStringList{w.anlagenbezeichnung, w.messbereich4, w.quit}), "texte");
        QCOMPARE(s.f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"))->text(),
                 speicher.isEmpty() ? QString() : QStringLiteral("06641234567"));
        QCOMPARE(s.f.marker(), QList<int>{});
        QCOMPARE(s.f.geflaggt(), QList<int>{});
        QTEST(kit::boxen(s.f.door), "boxen");
        QCOMPARE(s.f.k.cursor().shape(), Qt::ArrowCursor);
        const QStringList namen = QDir(sicherungen).entryList(QDir::Files);
        QCOMPARE(s.f.k.panel(2)->text(), hinweis.replace(QLatin1String("%1"), sicherungen).replace(QLatin1String("%2"), namen.value(0)));
        QCOMPARE(namen.size(), hinweis.startsWith(QLatin1String("Konfiguration gesichert")) ? 1 : 0);
        QVERIFY(namen.isEmpty() || namen[0].startsWith(QLatin1String("Pumpwerk Nord_")));
        if (!speicher.isEmpty()) {  // edits after the read are recorded again; the backup opens from the list
            s.f.finde<QCheckBox>(QStringLiteral("Chk_Oeffner_0"))->click();
            QCOMPARE(s.f.geflaggt(), QList<int>{0});
            if (namen.isEmpty())
                return;
            for (int mal = 0; mal < 2; ++mal)  // one list at a time
                s.f.finde<QAction>(QStringLiteral("MNU_Sicherungen"))->trigger();
            QTreeWidget* liste = s.f.k.sicherungen()->liste();
            QVERIFY(liste->topLevelItemCount() == 1 && QTest::qWaitForWindowExposed(s.f.k.sicherungen()));
            liste->setCurrentItem(nullptr);
            const QPoint mitte = liste->visualItemRect(liste->topLevelItem(0)).center();
            QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, mitte);
            QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, mitte);
            QVERIFY(kit::warten([&] { return !s.f.k.sicherungen(); }));
            QCOMPARE(s.f.geflaggt(), kGeraeteseiten);
            return;
        }
        s.f.k.verbindung().zuordnung().festlegen(1, s.sim.pfad());
        eingeben(s.f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("Halle 2"));
        QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Schreib")), Ausgang::Erfolg);
        const QByteArray seite0 = QByteArray("\x00\x00\x00\x00\xFF\x10\x00\x03", 8) + ff(16) + "\x03" + ff(15) + "\x03" + ff(15)
                                + QByteArray(1, '\0') + ff(17) + "Kontostand Minimum\x03" + ff(35) + "Halle 2\x03" + ff(120);
        QCOMPARE(s.sim.geraet().speicher(), seite0 + simStandardSpeicher().mid(kZellen));
    }

    // A write sends the flagged pages, every character but the ESC echoed; the flags
    // stay. An echo lost leaves device, image and flags as they were.
    void geraetSchreiben_data()
    {
        QTest::addColumn<QString>("vorlauf");
        QTest::addColumn<int>("keinEcho");
        QTest::addColumn<QByteArray>("draht");   // after the 'w'
        QTest::addColumn<QByteArray>("danach");  // the device's memory
        QTest::addColumn<QList<int>>("geflaggt");
        QTest::newRow("Name getippt") << "name" << 0 << seiten(mitName("Pumpwerk Ost"), {0}) + esc() << mitName("Pumpwerk Ost")
                                      << QList<int>{0};
        QTest::newRow("nichts geändert") << "" << 0 << esc() << simStandardSpeicher() << QList<int>{};
        // 'w' is echo 1; pages 0 and 1 take 257 each; page 2's select character, then 100 bytes.
        QTest::newRow("Echo fehlt") << "datei" << 1 + 2 * 257 + 1 + 100
                                    << seiten(simStandardSpeicher(), {0, 1, 2}).left(2 * 257 + 101) + esc() << simStandardSpeicher()
                                    << kGeraeteseiten;
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
        else
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Lesen")), Ausgang::Erfolg);
        if (vorlauf == QLatin1String("name"))
            eingeben(s.f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("Pumpwerk Ost"));
        if (keinEcho)
            s.sim.geraet().setzeFehler(fehler(false, keinEcho));
        const Konfigspeicher bild = s.f.k.speicher();
        for (int mal = vorlauf == QLatin1String("name") ? 2 : 1; mal > 0; --mal) {
            const qsizetype ab = s.sim.empfangeneBytes().size(), gesendetAb = s.sim.gesendeteBytes().size();
            QCOMPARE(s.ausfuehren(QStringLiteral("Toolbar1_Button3")), keinEcho ? Ausgang::Uebertragungsfehler : Ausgang::Erfolg);
            QCOMPARE(s.empfangen(ab), 'w' + draht);
            QCOMPARE(s.sim.gesendeteBytes().mid(gesendetAb), "\x06w" + draht.left(keinEcho ? keinEcho - 2 : draht.size() - 1));
        }
        QTEST(s.sim.geraet().speicher(), "danach");
        QTEST(s.f.geflaggt(), "geflaggt");
        QCOMPARE(kit::unterschied(s.f.k.speicher(), bild), QString());
        QVERIFY(s.ruhend());
        QCOMPARE(kit::boxen(s.f.door), keinEcho ? QStringList{kUebertragung} : QStringList());
        QCOMPARE(s.f.door.beeps, keinEcho ? 1 : 0);
        QCOMPARE(s.f.k.cursor().shape(), Qt::ArrowCursor);
    }

    // A read under way: device commands beep, the progress window is centred, the wait
    // cursor shows. Abort (ESC), closing the progress window or the main window (silently,
    // its dialogs with it) end it; the port is closed and a read runs again.
    void unterbrechen_data()
    {
        QTest::addColumn<QString>("wie");
        QTest::addColumn<QByteArray>("draht");
        QTest::newRow("Verbindung abbrechen") << "Toolbar1_Button1" << "r" + esc();
        QTest::newRow("Fortschrittsfenster geschlossen") << "Daten" << QByteArray("r");
        QTest::newRow("Hauptfenster geschlossen") << "Konfig" << QByteArray("r");
    }
    void unterbrechen()
    {
        QFETCH(QString, wie);
        SimOptionen o = simOptionen();
        o.fehler.stopp = 1000;
        Stand s(o);
        std::optional<Ausgang> ausgang;
        QObject::connect(&s.f.k, &Konfig::geraetBeendet, [&](Ausgang a) { ausgang = a; });
        s.f.k.CMD_Nr_Click(4);
        s.f.finde<QAction>(QStringLiteral("MNU_Lesen"))->trigger();
        QVERIFY(kit::warten([&] { return s.f.k.verbindung().Fortschritt() == 1000; }));
        for (const char* n : {"MNU_Lesen", "MNU_Schreib", "MNU_log", "MNU_Uhr", "MNU_Drucken", "Toolbar1_Button2", "Toolbar1_Button3",
                              "Toolbar1_Button4", "Toolbar1_Button5", "MNU_Open"})
            s.f.finde<QAction>(QLatin1String(n))->trigger();
        QCOMPARE(s.f.door.beeps + 10 * s.f.door.druckdialoge, 9);
        QCOMPARE(s.f.door.dateidialoge.size(), 1);  // opening a file is no device command
        QCOMPARE(s.f.k.panel(2)->text(), QStringLiteral("Eine Übertragung läuft bereits – bitte warten oder abbrechen"));
        QWidget* daten = s.f.finde(QStringLiteral("Daten"));
        QVERIFY(daten && daten->isVisible());
        QVERIFY((daten->geometry().center() - s.f.k.geometry().center()).manhattanLength() <= 6);
        QCOMPARE(s.f.k.cursor().shape(), Qt::WaitCursor);
        if (wie == QLatin1String("Toolbar1_Button1"))
            s.f.finde<QAction>(wie)->trigger();
        else
            (wie == QLatin1String("Daten") ? daten : &s.f.k)->close();
        QVERIFY(s.ruhend());
        QTest::qWait(20);
        QCOMPARE(ausgang, wie == QLatin1String("Konfig") ? std::nullopt : std::optional(Ausgang::Abgebrochen));
        QTEST(s.empfangen(), "draht");
        QCOMPARE(s.f.k.cursor().shape(), Qt::ArrowCursor);
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
        QCOMPARE(s.empfangen(), QByteArray("l"));
        QCOMPARE(QStringList({s.f.k.logPfad()}) + s.f.door.angezeigt + kit::boxen(s.f.door),
                 (schreibbar ? QStringList{log, log} : QStringList{QString()}) + (box.isEmpty() ? QStringList() : QStringList{box.replace(QLatin1String("%1"), log)}));
        QCOMPARE(lesen(log), schreibbar ? QByteArray("31.12, 23:59:59, Fehler GSM Modul - kommt : Fehler SMS senden\r\n"
                                                     "05.05, 12:135:07, kein GSM-Netz verf\xFC" "gbar\r\n"
                                                     "21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\r\n"
                                                     "01.01, 00:00:00, Stromausfall - geht : aktiv\r\n")
                                        : QByteArray("alter Inhalt\r\n"));
    }

    // The clock read into the dialog and set to the PC's time; failures: the message
    // first, the dialog after a read that got an answer, closed after a setting.
    void uhr_data()
    {
        QTest::addColumn<bool>("setzen");
        QTest::addColumn<SimFehler>("fehler");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<bool>("dialogBeiMeldung");
        QTest::addColumn<bool>("dialogDanach");
        QTest::newRow("Lesen und Setzen") << true << SimFehler{} << Ausgang::Erfolg << "" << QByteArray("tts") << false << false;
        QTest::newRow("Lesen, Gerät stumm") << false << fehler(true) << Ausgang::KeineVerbindung << kKeineVerbindung << QByteArray() << false << false;
        QTest::newRow("Lesen, keine Uhrzeit") << false << fehler(false, {}, 1) << Ausgang::Uebertragungsfehler << kUebertragung << QByteArray("t") << false << true;
        QTest::newRow("Setzen, Gerät stumm") << true << fehler(true) << Ausgang::KeineVerbindung << kKeineVerbindung << QByteArray("tt") << true << false;
    }
    void uhr()
    {
        QFETCH(bool, setzen);
        QFETCH(QString, box);
        QFETCH(QByteArray, draht);
        SimOptionen o = simOptionen();
        o.uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9));
        Stand s(o, 200ms);
        for (int mal = setzen ? 2 : 0; mal > 0; --mal) {  // read twice: one dialog
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Uhr")), Ausgang::Erfolg);
            QVERIFY(s.f.k.uhrDialog() && s.f.k.uhrDialog()->isVisible() && !s.f.k.uhrDialog()->isModal());
            QCOMPARE(s.f.k.uhrDialog()->boraZeit(), QStringLiteral("14:05:09   21.06."));
        }
        QFETCH(SimFehler, fehler);
        s.sim.geraet().setzeFehler(fehler);
        std::optional<Ausgang> ende;
        QObject::connect(&s.f.k, &Konfig::geraetBeendet, [&](Ausgang a) { ende = a; });
        bool dialogBeiMeldung = false;
        s.f.door.beiMeldung = [&] { dialogBeiMeldung = s.f.k.uhrDialog() && s.f.k.uhrDialog()->isVisible(); };
        const QDateTime vor = QDateTime::currentDateTime().addSecs(-1);
        if (setzen)
            s.f.k.uhrDialog()->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
        else
            s.f.finde<QAction>(QStringLiteral("Toolbar1_Button4"))->trigger();
        QVERIFY(kit::warten([&] { return ende.has_value(); }));
        QTEST(*ende, "ausgang");
        QVERIFY(s.ruhend());
        QCOMPARE(kit::boxen(s.f.door), box.isEmpty() ? QStringList() : QStringList{box});
        QTEST(dialogBeiMeldung, "dialogBeiMeldung");
        QFETCH(bool, dialogDanach);
        QVERIFY(kit::warten([&] { return (s.f.k.uhrDialog() != nullptr) == dialogDanach; }, 1000));
        const auto e = s.sim.geraet().letzteUhreinstellung();
        QCOMPARE(s.empfangen(), draht + (e ? e->bytes + esc() : QByteArray()));
        QCOMPARE(e.has_value(), box.isEmpty());
        if (!e)
            return;
        const QDateTime gestellt(QDate(vor.date().year(), e->monat, e->tag), QTime(e->stunde, e->minute, e->sekunde));
        QVERIFY2(e->gueltig && gestellt >= vor && gestellt <= QDateTime::currentDateTime(), qPrintable(gestellt.toString()));
        QCOMPARE(e->wochentag, gestellt.date().dayOfWeek() - 1);
    }
};

QTEST_MAIN(TestAblaufGeraet)
#include "test_ablauf_geraet.moc"
