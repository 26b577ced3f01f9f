// Event memory and clock through the main window against the simulated
// device; the COM port dialog and the Info menu; the program's command line
// and its end while a transfer is under way.
#include "ablaufhilfe.h"

#include "cfgfile/cfgdatei.h"
#include "linkui/syszeit.h"
#include "clock/uhr.h"
#include "linkui/kommunikation.h"
#include "shell/programm.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

using namespace ablauf;

namespace {

QByteArray satz(int s, int m, int h, int tag, int monat, int code, char kg, char asf)
{
    const char b[8] = {char(s), char(m), char(h), char(tag), char(monat), char(code), kg, asf};
    return QByteArray(b, 8);
}

QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

// The ring with its write position in slot 2: slots 3 and 4 are the oldest,
// slots 0 and 1 the newest, slot 5 onwards was never written.
QByteArray ringMitMarke()
{
    QByteArray r = ff(512);
    r.replace(0, 8, satz(9, 5, 14, 21, 6, 3, 'K', 'S'));
    r.replace(8, 8, satz(0, 0, 0, 1, 1, 9, 'G', 'A'));
    r.replace(24, 8, satz(59, 59, 23, 31, 12, 'M', 'K', 'F'));
    r.replace(32, 8, satz(7, 135, 12, 5, 5, 'N', 'k', 'x'));
    return r;
}

// 64 records, no write position: all of them from the start.
QByteArray ringVoll()
{
    QByteArray r;
    for (int i = 0; i < 64; ++i)
        r += satz(i % 60, i, i % 24, 1 + i % 28, 1 + i % 12, 1 + i % 12, i % 2 ? 'G' : 'K', 'A');
    return r;
}
QByteArray ringVollLog()
{
    static const char* const namen[12] = {"Meldelinie 1", "Meldelinie 2", "Meldelinie 3", "Meldelinie 4",
                                          "Meldelinie 5", "Meldelinie 6", "Meldelinie 7", "Meldelinie 8",
                                          "Stromausfall", "Minimumalarm", "Maximumalarm", "Batteriespannung"};
    QByteArray log;
    for (int i = 0; i < 64; ++i)
        log += QString::asprintf("%02d.%02d, %02d:%02d:%02d, %s - %s : aktiv\r\n", 1 + i % 28, 1 + i % 12, i % 24,
                                 i, i % 60, namen[i % 12], i % 2 ? "geht" : "kommt")
                   .toLatin1();
    return log;
}

// The log of the viewer and nothing else shown.
bool nurAnzeige(const FakeDoor& d, const QString& pfad)
{
    return d.angezeigt == QStringList{pfad} && d.meldungen.isEmpty() && d.beeps == 0;
}

} // namespace

Q_DECLARE_METATYPE(Ausgang)

class TestAblaufLogUhr : public QObject {
    Q_OBJECT
private slots:
    void ereignisspeicher_data()
    {
        QTest::addColumn<QByteArray>("ring");
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("Marke in der Mitte")
            << ringMitMarke()
            << QByteArray("31.12, 23:59:59, Fehler GSM Modul - kommt : Fehler SMS senden\r\n"
                          "05.05, 12:135:07, kein GSM-Netz verf\xFC" "gbar\r\n"
                          "21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\r\n"
                          "01.01, 00:00:00, Stromausfall - geht : aktiv\r\n");
        QTest::newRow("keine Marke") << ringVoll() << ringVollLog();
        QTest::newRow("alles 0xFF") << ff(512) << QByteArray();
    }
    void ereignisspeicher()
    {
        QFETCH(QByteArray, ring);
        QTemporaryDir programm, daten;
        Stand s;
        s.sim.geraet().setzeEreignisse(ring);
        s.k->setLogOrdner(programm.path(), daten.path());
        QCOMPARE(s.ausfuehren("MNU_log"), Ausgang::Erfolg);
        QVERIFY(s.ruhend());
        const QString pfad = programm.filePath(QStringLiteral("LOG.TXT"));
        QCOMPARE(s.k->logPfad(), pfad);
        QTEST(lesen(pfad), "log");
        QVERIFY(nurAnzeige(s.door, pfad));
        QCOMPARE(s.empfangen(), QByteArray("l"));
        // Again: the file is replaced as a whole.
        s.sim.geraet().setzeEreignisse(ringMitMarke());
        s.door.zuruecksetzen();
        QCOMPARE(s.ausfuehren("Toolbar1_Button5"), Ausgang::Erfolg);
        QCOMPARE(lesen(pfad).count("\r\n"), 4);
        QVERIFY(nurAnzeige(s.door, pfad));
    }

    // Where the log goes, and what the user is told when it cannot be
    // written or shown.
    void logdatei_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::newRow("Programmordner schreibgeschützt") << "datenordner";
        QTest::newRow("kein Ordner schreibbar") << "keiner";
        QTest::newRow("Platte voll") << "voll";
        QTest::newRow("kein Anzeigeprogramm") << "anzeige";
    }
    void logdatei()
    {
        QFETCH(QString, fall);
        QTemporaryDir programm, daten;
        Stand s;
        s.sim.geraet().setzeEreignisse(ringVoll());
        const QString programmLog = programm.filePath(QStringLiteral("LOG.TXT"));
        const QString datenOrdner = daten.filePath(QStringLiteral("neu/gsmbv"));
        QFile alt(programmLog);
        QVERIFY(alt.open(QIODevice::WriteOnly));
        alt.write("alter Inhalt\r\n");
        alt.close();
        if (fall == QLatin1String("datenordner"))
            s.k->setLogOrdner(programm.filePath(QStringLiteral("fehlt")), datenOrdner);
        else if (fall == QLatin1String("keiner"))
            s.k->setLogOrdner(programmLog, programmLog + QStringLiteral("/unter"));  // files, not folders
        else
            s.k->setLogOrdner(programm.path(), datenOrdner);
        s.door.anzeigeErfolg = fall != QLatin1String("anzeige");

        std::optional<Ausgang> a;
        if (fall == QLatin1String("voll")) {
            rlimit vorher{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
            const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
            rlimit knapp = vorher;
            knapp.rlim_cur = 100;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &knapp), 0);
            a = s.ausfuehren("MNU_log");
            setrlimit(RLIMIT_FSIZE, &vorher);
            std::signal(SIGXFSZ, signalVorher);
        } else {
            a = s.ausfuehren("MNU_log");
        }
        QVERIFY(s.ruhend());
        if (fall == QLatin1String("datenordner")) {
            QCOMPARE(a, Ausgang::Erfolg);
            QCOMPARE(s.k->logPfad(), datenOrdner + QStringLiteral("/LOG.TXT"));
            QCOMPARE(lesen(s.k->logPfad()), ringVollLog());
            QVERIFY(nurAnzeige(s.door, s.k->logPfad()));
        } else if (fall == QLatin1String("anzeige")) {
            QCOMPARE(a, Ausgang::Erfolg);
            QCOMPARE(lesen(programmLog), ringVollLog());
            QCOMPARE(s.door.angezeigt, QStringList{programmLog});
            QCOMPARE(s.door.meldungen.size(), 1);
            QCOMPARE(s.door.meldungen[0].text,
                     QStringLiteral("Ereignisspeicher gespeichert in:\n%1\n\nKein Programm zum Anzeigen gefunden.")
                         .arg(programmLog));
            QCOMPARE(s.door.meldungen[0].icon, Door::Icon::Information);
            QCOMPARE(s.door.meldungen[0].titel, QStringLiteral("GSM Boravilon"));
        } else {
            QCOMPARE(a, Ausgang::Uebertragungsfehler);
            QVERIFY(s.eineMeldung(QStringLiteral("Fehler bei Datenübertragung")));
            QVERIFY(s.door.angezeigt.isEmpty());
            QCOMPARE(s.k->logPfad(), QString());
            QCOMPARE(lesen(programmLog), QByteArray("alter Inhalt\r\n"));
            QCOMPARE(QDir(programm.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"LOG.TXT"});
            // Idle: the next download works.
            s.door.zuruecksetzen();
            s.k->setLogOrdner(programm.path(), datenOrdner);
            QCOMPARE(s.ausfuehren("MNU_log"), Ausgang::Erfolg);
            QCOMPARE(lesen(programmLog), ringVollLog());
        }
    }

    // The device clock read, then set to the PC's time.
    void uhr()
    {
        Stand s;
        s.sim.geraet().stelleUhr(QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)));
        QCOMPARE(s.ausfuehren("MNU_Uhr"), Ausgang::Erfolg);
        QVERIFY(s.ruhend());
        syszeit* dialog = s.k->uhrDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->boraZeit(), QStringLiteral("14:05:09   21.06."));
        QCOMPARE(s.empfangen(), QByteArray("t"));
        QVERIFY(s.door.meldungen.isEmpty());

        const QDateTime vor = QDateTime::currentDateTime();
        const int enden = s.enden;
        dialog->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
        QVERIFY(warten([&] { return s.enden > enden; }, 5000));
        const QDateTime nach = QDateTime::currentDateTime();
        QCOMPARE(s.ausgang, Ausgang::Erfolg);
        QVERIFY(s.ruhend());
        QVERIFY(warten([&] { return s.k->uhrDialog() == nullptr; }, 1000));

        const QByteArray draht = s.empfangen(1);
        QCOMPARE(draht.size(), 7);
        QCOMPARE(draht.left(1), QByteArray("s"));
        QCOMPARE(draht.right(1), esc());
        const QByteArray fuenf = draht.mid(1, 5);
        bool passt = false;
        for (QDateTime t = vor.addMSecs(-vor.time().msec()); t <= nach && !passt; t = t.addSecs(1))
            passt = fuenf == uhr::stellBytes(t);
        QVERIFY2(passt, fuenf.toHex(' ').constData());
        const auto einstellung = s.sim.geraet().letzteUhreinstellung();
        QVERIFY(einstellung && einstellung->gueltig);
        QCOMPARE(einstellung->bytes, fuenf);
        QVERIFY(s.door.meldungen.isEmpty());
    }

    // A silent device: the message, and no dialog. A device that announces
    // itself but gives no time: the message, then the dialog all the same.
    void uhrOhneGeraet_data()
    {
        QTest::addColumn<bool>("stumm");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Gerät stumm") << true << Ausgang::KeineVerbindung << "Verbindung nicht möglich";
        QTest::newRow("keine Uhrzeit") << false << Ausgang::Uebertragungsfehler << "Fehler bei Datenübertragung";
    }
    void uhrOhneGeraet()
    {
        QFETCH(bool, stumm);
        QFETCH(Ausgang, ausgang);
        QFETCH(QString, meldung);
        SimOptionen o = simOptionen();
        o.fehler.stumm = stumm;
        if (!stumm)
            o.fehler.auflegen = 1;  // the ACK, then nothing
        Stand s(o, 200ms);
        bool dialogBeiMeldung = true;
        s.door.beiMeldung = [&] { dialogBeiMeldung = s.k->uhrDialog() != nullptr; };
        QCOMPARE(s.ausfuehren("MNU_Uhr"), ausgang);
        QVERIFY(s.ruhend());
        QVERIFY(s.eineMeldung(meldung));
        QVERIFY(!dialogBeiMeldung);
        QCOMPARE(s.k->uhrDialog() != nullptr, !stumm);
    }

    // "Übernehmen" with the device gone silent, or the line taken away in the
    // middle of the setting (the COM port dialog's OK, an adapter pulled):
    // the message while the dialog is still open, then the dialog closed.
    void uhrSetzenOhneGeraet_data()
    {
        QTest::addColumn<bool>("stumm");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<QByteArray>("draht");
        QTest::newRow("Gerät stumm") << true << Ausgang::KeineVerbindung << "Verbindung nicht möglich" << QByteArray("t");
        QTest::newRow("Port in der Pause geschlossen")
            << false << Ausgang::Uebertragungsfehler << "Fehler bei Datenübertragung" << QByteArray("ts");
    }
    void uhrSetzenOhneGeraet()
    {
        QFETCH(bool, stumm);
        QFETCH(Ausgang, ausgang);
        QFETCH(QString, meldung);
        QFETCH(QByteArray, draht);
        Stand s(simOptionen(), 300ms);
        QCOMPARE(s.ausfuehren("MNU_Uhr"), Ausgang::Erfolg);
        QVERIFY(s.k->uhrDialog());
        SimFehler fehler;
        fehler.stumm = stumm;
        s.sim.geraet().setzeFehler(fehler);
        bool dialogBeiMeldung = false;
        s.door.beiMeldung = [&] { dialogBeiMeldung = s.k->uhrDialog() && s.k->uhrDialog()->isVisible(); };
        const int enden = s.enden;
        s.k->uhrDialog()->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
        if (!stumm) {
            QVERIFY(warten([&] { return s.empfangen() == "ts"; }, 3000));
            s.k->verbindung().portSchliessen();
        }
        QVERIFY(warten([&] { return s.enden > enden; }, 3000));
        QCOMPARE(s.ausgang, ausgang);
        QVERIFY(s.ruhend());
        QVERIFY(s.eineMeldung(meldung));
        QVERIFY(dialogBeiMeldung);
        QVERIFY(warten([&] { return s.k->uhrDialog() == nullptr; }, 1000));
        QCOMPARE(s.empfangen(), draht);
        QVERIFY(!s.sim.geraet().letzteUhreinstellung());
    }

    // Closing the clock dialog while a configuration read or the clock's own
    // read runs leaves the read alone: it ends as without the dialog, and the
    // clock read shows the dialog again.
    void uhrDialogWaehrendLesen_data()
    {
        QTest::addColumn<QString>("menue");
        QTest::newRow("Konfiguration lesen") << "MNU_Lesen";
        QTest::newRow("Uhr lesen") << "MNU_Uhr";
    }
    void uhrDialogWaehrendLesen()
    {
        QFETCH(QString, menue);
        SimOptionen o = simOptionen();
        o.baud = 38400;
        Stand s(o);
        QCOMPARE(s.ausfuehren("MNU_Uhr"), Ausgang::Erfolg);
        QVERIFY(s.k->uhrDialog());
        const int enden = s.enden;
        const bool uhr = menue == QLatin1String("MNU_Uhr");
        s.aktion(menue.toLatin1().constData())->trigger();
        if (!uhr)
            QVERIFY(warten([&] { return s.k->verbindung().Fortschritt() > 100; }));
        QVERIFY(s.k->verbindung().operationLaeuft());
        s.k->uhrDialog()->close();
        QVERIFY(warten([&] { return s.enden > enden; }));
        QCOMPARE(s.ausgang, Ausgang::Erfolg);
        QCOMPARE(s.empfangen(), uhr ? QByteArray("tt") : QByteArray("tr"));
        if (uhr)
            QVERIFY(s.k->uhrDialog() && s.k->uhrDialog()->isVisible());
        else
            QVERIFY(s.k->werte() == gelesen(simStandardSpeicher()).werte);
        QVERIFY(s.door.meldungen.isEmpty());
    }

    void comPort()
    {
        Stand s;
        s.aktion("MNU_COM")->trigger();
        Kommunikation* d = s.k->kommunikation();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowModality(), Qt::ApplicationModal);
        QVERIFY(d->option(1)->isChecked());
        QCOMPARE(d->geraetLabel(1)->text(), s.sim.pfad());
        s.aktion("MNU_COM")->trigger();  // one dialog at a time
        QCOMPARE(s.k->findChildren<Kommunikation*>().size(), 1);
        d->option(3)->click();
        d->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
        QCOMPARE(s.k->verbindung().port(), 3);
        QVERIFY(warten([&] { return s.k->kommunikation() == nullptr; }, 1000));
    }

    void info()
    {
        Stand s;
        s.aktion("MNU_Boraviloninfo")->trigger();
        QWidget* box = s.k->findChild<QWidget*>(QStringLiteral("Information"));
        QVERIFY(box && box->isVisible());
        box->close();
        s.aktion("MNU_SYSTEM")->trigger();
        // The tool is started, or the user is told that there is none.
        QCOMPARE(s.door.starts.size() + s.door.meldungen.size(), 1);
        if (!s.door.meldungen.isEmpty())
            QCOMPARE(s.door.meldungen[0].text, QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
    }

    void startoptionen_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<bool>("gueltig");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("fehler");
        const auto zeile = [](const char* name, const QStringList& argumente, bool gueltig, bool demo, const QString& port,
                              const QString& datei, const QString& fehler) {
            QTest::newRow(name) << argumente << gueltig << demo << port << datei << fehler;
        };
        zeile("nichts", {}, true, false, {}, {}, {});
        zeile("--demo", {"--demo"}, true, true, {}, {}, {});
        zeile("--port GERÄT", {"--port", "/dev/ttyUSB0"}, true, false, "/dev/ttyUSB0", {}, {});
        zeile("--port=GERÄT", {"--port=/dev/ttyACM1"}, true, false, "/dev/ttyACM1", {}, {});
        zeile("--port ohne Gerät", {"--port"}, false, false, {}, {}, QStringLiteral("--port ohne Gerät"));
        zeile("--port=", {"--port="}, false, false, {}, {}, QStringLiteral("--port ohne Gerät"));
        zeile("unbekannt", {"--demo", "-x"}, false, false, {}, {}, QStringLiteral("unbekanntes Argument „-x“"));
        zeile("beides", {"--demo", "--port", "/dev/ttyS0"}, false, false, {}, {},
              QStringLiteral("--demo und --port schließen einander aus"));
        zeile("Datei und Port", {"a b.cfg", "--port", "/dev/ttyUSB0"}, true, false, "/dev/ttyUSB0", "a b.cfg", {});
        zeile("Datei nach --", {"--demo", "--", "--port"}, true, true, {}, "--port", {});
        zeile("zwei Dateien", {"a.cfg", "b.cfg"}, false, false, {}, {},
              QStringLiteral("nur eine Konfigurationsdatei, nicht auch „b.cfg“"));
    }
    void startoptionen()
    {
        QFETCH(QStringList, argumente);
        QFETCH(bool, gueltig);
        QString fehler;
        const auto o = startoptionenLesen(argumente, &fehler);
        QCOMPARE(o.has_value(), gueltig);
        QTEST(fehler, "fehler");
        if (o) {
            QTEST(o->demo, "demo");
            QTEST(o->port, "port");
            QTEST(o->datei, "datei");
        }
    }

    // The program itself: usage, a wrong argument.
    void programmAufruf_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("ausgabe");
        QTest::addColumn<QByteArray>("fehler");
        const QByteArray aufruf = aufrufText().toUtf8();
        QTest::newRow("--help") << QStringList{"--help"} << 0 << aufruf << QByteArray();
        QTest::newRow("unbekannt") << QStringList{"--bogus"} << 2 << QByteArray()
                                   << "gsmbv-konfig: unbekanntes Argument „--bogus“\n\n" + aufruf;
    }
    void programmAufruf()
    {
        QFETCH(QStringList, argumente);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        QTemporaryDir laufzeit;  // keeps Qt's note about a missing runtime folder off standard error
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), laufzeit.path());
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv-konfig"), argumente);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QTEST(p.exitCode(), "code");
        QTEST(p.readAllStandardOutput(), "ausgabe");
        QTEST(p.readAllStandardError(), "fehler");
    }

    // The program ends with exit code 0 when its window is closed in the
    // middle of a read; the device sees the line closed. The port is given
    // as a link to the device, as a stable name under /dev/serial/by-id/ is.
    void programmEndeWaehrendLesen()
    {
        FakeDoor door;
        SimOptionen o = simOptionen();
        o.baud = 9600;
        SimPtyRunner sim(o);
        Konfig* fenster = nullptr;
        qint16 fortschritt = 0;
        QTimer::singleShot(50, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* k = qobject_cast<Konfig*>(w); k && k->isVisible())
                    fenster = k;
            if (!fenster)
                return QCoreApplication::exit(99);
            fenster->MNU_Lesen_Click();
            auto* takt = new QTimer(fenster);
            QObject::connect(takt, &QTimer::timeout, fenster, [&, takt] {
                if (fenster->verbindung().Fortschritt() > 200) {
                    takt->stop();
                    fortschritt = fenster->verbindung().Fortschritt();
                    fenster->close();
                }
            });
            takt->start(5);
        });
        QTimer wachhund;
        wachhund.setSingleShot(true);
        connect(&wachhund, &QTimer::timeout, [] { QCoreApplication::exit(98); });
        wachhund.start(10000);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
        QVERIFY(QFile::link(sim.pfad(), name));
        Startoptionen start;
        start.port = name;
        const int rc = konfigAusfuehren(*qApp, start);
        QCOMPARE(rc, 0);
        QVERIFY(fortschritt > 200 && fortschritt < 3000);
        QVERIFY(warten([&] { return !sim.verbunden(); }, 2000));
        QCOMPARE(sim.empfangeneBytes(), QByteArray("r"));
        QVERIFY(door.meldungen.isEmpty());
    }

    // The demo: a simulated device on COM 1, reached through the serial port.
    void demo()
    {
        FakeDoor door;
        QString geraet, hinweis, boraZeit;
        QTimer::singleShot(50, [&] {
            Konfig* fenster = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* k = qobject_cast<Konfig*>(w); k && k->isVisible())
                    fenster = k;
            if (!fenster)
                return QCoreApplication::exit(99);
            geraet = fenster->verbindung().geraet();
            hinweis = fenster->panel(2)->text();
            QObject::connect(fenster, &Konfig::geraetBeendet, fenster, [&, fenster] {
                if (fenster->uhrDialog())
                    boraZeit = fenster->uhrDialog()->boraZeit();
                fenster->close();
            });
            fenster->MNU_Uhr_Click();
        });
        QTimer wachhund;
        wachhund.setSingleShot(true);
        connect(&wachhund, &QTimer::timeout, [] { QCoreApplication::exit(98); });
        wachhund.start(10000);
        Startoptionen start;
        start.demo = true;
        QCOMPARE(konfigAusfuehren(*qApp, start), 0);
        QVERIFY2(geraet.startsWith(QLatin1String("/dev/pts/")), qPrintable(geraet));
        QCOMPARE(hinweis, QStringLiteral("Demo: simuliertes Boravilon an COM 1 (%1)").arg(geraet));
        QCOMPARE(boraZeit.size(), 17);
        QVERIFY(boraZeit != QStringLiteral("00:00:00  00.00."));
        QVERIFY(door.meldungen.isEmpty());
    }

    // A file named on the command line is opened as "Öffnen ..." opens it,
    // once the window is shown; the file dialog then offers it.
    void startMitDatei_data()
    {
        QTest::addColumn<bool>("da");
        QTest::newRow("lesbar") << true;
        QTest::newRow("fehlt") << false;
    }
    void startMitDatei()
    {
        QFETCH(bool, da);
        static const auto fenster = []() -> Konfig* {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* k = qobject_cast<Konfig*>(w); k && k->isVisible())
                    return k;
            return nullptr;
        };
        struct SichtTuer : FakeDoor {  // whether the window was on screen at each box
            QList<bool> sichtbar;
            Antwort meldung(const QString& t, Icon i, Knoepfe k, const QString& titel) override
            {
                sichtbar.append(fenster() != nullptr);
                return FakeDoor::meldung(t, i, k, titel);
            }
        } door;
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("Anlage Süd.cfg"));
        QFile f(pfad);
        if (da)
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(cfgSchreiben(simStandardKonfig())) > 0 && f.flush());
        QStringList gesehen;
        QTimer::singleShot(50, [&] {
            Konfig* k = fenster();
            if (!k)
                return QCoreApplication::exit(99);
            gesehen << k->werte().anlagenbezeichnung << k->dateidialog().name
                    << QString::number(hilfe::sichtbareMarker(*k).size());
            k->close();
        });
        Startoptionen start;
        start.datei = pfad;
        QCOMPARE(konfigAusfuehren(*qApp, start), 0);
        if (da) {
            QCOMPARE(gesehen, (QStringList{"Pumpwerk Nord", pfad, "23"}));
            QVERIFY(door.meldungen.isEmpty());
        } else {
            QCOMPARE(gesehen, (QStringList{"", pfad, "0"}));
            QCOMPARE(door.meldungen.size(), 1);
            QCOMPARE(door.meldungen[0].text, QStringLiteral("Fehler bei Zugriff auf Konfigurationsdatei"));
            QCOMPARE(door.sichtbar, QList<bool>{true});
        }
    }

    // run.sh starts the demo only when no port is given.
    void runSh_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<QByteArray>("programm");
        QTest::newRow("nichts") << QStringList{} << QByteArray("--demo\n");
        QTest::newRow("Port und Datei") << QStringList{"--port=/dev/ttyS1", "a b.cfg"} << QByteArray("--port=/dev/ttyS1\na b.cfg\n");
        QTest::newRow("Datei namens --port") << QStringList{"--", "--port"} << QByteArray("--demo\n--\n--port\n");
    }
    void runSh()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GSMBV_RUN_ZEIGEN"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        QFETCH(QStringList, argumente);
        p.start(qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/run.sh"), argumente);
        QVERIFY(p.waitForFinished(10000));
        QTEST(p.readAllStandardOutput(), "programm");
    }

    // The program's names: its data folder and its desktop entry.
    void namen()
    {
        programmEinrichten();
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("gsmbv-konfig"));
        const QString basis = qEnvironmentVariableIsEmpty("XDG_DATA_HOME")
                                  ? QDir::homePath() + QStringLiteral("/.local/share")
                                  : qEnvironmentVariable("XDG_DATA_HOME");
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation),
                 basis + QStringLiteral("/gsmbv"));
    }
};

QTEST_MAIN(TestAblaufLogUhr)
#include "test_ablauf_log_uhr.moc"
