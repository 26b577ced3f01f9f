// The programs as they start and end: command lines, the start-up function, run.sh.
#include "ablauf.h"

#include "cfgfile/cfgdatei.h"
#include "linkui/syszeit.h"
#include "shell/programm.h"

#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ablauf;

class TestAblaufProgramm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kit::plattformHinweiseAus(); }

    void startoptionen_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<QString>("ergebnis");  // demo|port|file, or the error
        QTest::newRow("nichts") << QStringList{} << "0||";
        QTest::newRow("--demo") << QStringList{"--demo"} << "1||";
        QTest::newRow("--port GERÄT") << QStringList{"--port", "/dev/ttyUSB0"} << "0|/dev/ttyUSB0|";
        QTest::newRow("--port=GERÄT, Datei") << QStringList{"a b.cfg", "--port=/dev/ttyACM1"} << "0|/dev/ttyACM1|a b.cfg";
        QTest::newRow("--port ohne Gerät") << QStringList{"--port"} << "--port ohne Gerät";
        QTest::newRow("--port=") << QStringList{"--port="} << "--port ohne Gerät";
        QTest::newRow("unbekannt") << QStringList{"--demo", "-x"} << "unbekanntes Argument „-x“";
        QTest::newRow("beides") << QStringList{"--demo", "--port", "/dev/ttyS0"} << "--demo und --port schließen einander aus";
        QTest::newRow("Datei nach --") << QStringList{"--demo", "--", "--port"} << "1||--port";
        QTest::newRow("zwei Dateien") << QStringList{"a.cfg", "b.cfg"} << "nur eine Konfigurationsdatei, nicht auch „b.cfg“";
    }
    void startoptionen()
    {
        QFETCH(QStringList, argumente);
        QString fehler;
        const auto o = startoptionenLesen(argumente, &fehler);
        QTEST(o ? QStringLiteral("%1|%2|%3").arg(int(o->demo)).arg(o->port, o->datei) : fehler, "ergebnis");
    }

    // The program: usage on standard output, a wrong argument's exit code;
    // run.sh starts the demo only when no port is given.
    void prozess_data()
    {
        QTest::addColumn<QString>("programm");
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("ausgabe");
        QTest::addColumn<QByteArray>("fehler");
        const QByteArray hilfe = aufrufText().toUtf8();
        QVERIFY(hilfe.startsWith("Aufruf: gsmbv-konfig [--demo | --port GERÄT] [DATEI.cfg]\n"));
        const QString konfig = qEnvironmentVariable("GSMBV_BIN_DIR") + "/gsmbv-konfig", run = qEnvironmentVariable("GSMBV_SOURCE_DIR") + "/run.sh";
        QTest::newRow("--help") << konfig << QStringList{"--help"} << 0 << hilfe << QByteArray();
        QTest::newRow("unbekannt") << konfig << QStringList{"--bogus"} << 2 << QByteArray() << "gsmbv-konfig: unbekanntes Argument „--bogus“\n\n" + hilfe;
        QTest::newRow("run.sh") << run << QStringList{} << 0 << QByteArray("--demo\n") << QByteArray();
        QTest::newRow("run.sh, Port und Datei") << run << QStringList{"--port=/dev/ttyS1", "a b.cfg"} << 0 << QByteArray("--port=/dev/ttyS1\na b.cfg\n") << QByteArray();
        QTest::newRow("run.sh, Datei --port") << run << QStringList{"--", "--port"} << 0 << QByteArray("--demo\n--\n--port\n") << QByteArray();
    }
    void prozess()
    {
        QFETCH(QString, programm);
        QFETCH(QStringList, argumente);
        QProcess p;
        QTemporaryDir laufzeit;  // keeps Qt's note about a missing runtime folder off standard error
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), laufzeit.path());
        env.insert(QStringLiteral("GSMBV_RUN_ZEIGEN"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(programm, argumente);
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
        QTest::newRow("Schließfeld") << "" << QStringList{"wirdGeschlossen"};
        QTest::newRow("Datei") << "Datei" << QStringList{"Pumpwerk Nord", "%DATEI%", "23", "wirdGeschlossen"};
        QTest::newRow("Datei fehlt") << "fehlt"
            << QStringList{"Fehler bei Zugriff auf Konfigurationsdatei über dem Fenster", "", "%DATEI%", "0", "wirdGeschlossen"};
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
            int marker = 0;
            for (int i = 0; i < kMarker; ++i)
                marker += k->markerSichtbar(i);
            if (!start.datei.isEmpty())
                ist << k->werte().anlagenbezeichnung << k->dateidialog().name << QString::number(marker);
            if (fall == QLatin1String("MNU_end"))
                return k->findChild<QAction*>(QStringLiteral("MNU_end"))->trigger();
            k->close();
        });
        takt.start(5);
        QTimer wachhund;
        connect(&wachhund, &QTimer::timeout, [] { QCoreApplication::exit(98); });
        wachhund.start(10000);
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
        QTest::newRow("keine Berechtigung") << "rechte" << 1 << "gsmbv: Keine Berechtigung für %1 – Benutzer in die Gruppe tty aufnehmen und neu anmelden" << QByteArray("alt\n");
        QTest::newRow("exklusiv belegt") << "exklusiv" << 1 << "gsmbv: COM 1 (%1) ist belegt von einem anderen Programm" << QByteArray("alt\n");
        QTest::newRow("kein Gerät") << "fehlt" << 1 << "gsmbv: Gerät %1 nicht vorhanden" << QByteArray("alt\n");
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
        const QString port = fall == QLatin1String("fehlt") ? QStringLiteral("/dev/gsmbv-fehlt") : sim.pfad();
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("ro")), pfad = ordner + QStringLiteral("/a.cfg"), gsmbv = tmp.filePath(QStringLiteral("gsmbv"));
        QVERIFY(QDir().mkdir(ordner) && schreiben(pfad, "alt\n") && QFile::copy(qEnvironmentVariable("GSMBV_BIN_DIR") + "/gsmbv", gsmbv));
        for (const auto& [datei, modus] : {std::pair{tmp.path(), 0755}, {gsmbv, 0755}, {pfad, 0666}, {ordner, 0555}, {sim.pfad(), fall == "rechte" ? 0600 : 0666}})
            QVERIFY(::chmod(QFile::encodeName(datei).constData(), mode_t(modus)) == 0);
        const group* tty = ::getgrnam("tty");  // the device's group, whatever the terminals' default
        QVERIFY(tty && ::chown(pty.constData(), uid_t(-1), tty->gr_gid) == 0);
        const int exklusiv = fall == QLatin1String("exklusiv") ? ::open(pty.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK) : -1;
        QVERIFY(exklusiv < 0 || ::ioctl(exklusiv, TIOCEXCL) == 0);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(setpriv, {"--reuid=nobody", "--regid=nogroup", "--clear-groups", gsmbv, "read", "--port", port, "--output", pfad, "--timeout", "2"});
        QVERIFY(kit::warten([&] { return p.state() == QProcess::NotRunning; }, 20000));
        if (exklusiv >= 0)
            ::close(exklusiv);
        QVERIFY(::chmod(QFile::encodeName(ordner).constData(), 0755) == 0);
        QTEST(p.exitCode(), "code");
        QFETCH(QString, zeile);
        const QStringList fehler = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'));
        QVERIFY2(zeile.isEmpty() || fehler.contains(zeile.arg(port)), qPrintable(fehler.join(QLatin1Char('|'))));
        QFETCH(QByteArray, datei);
        QCOMPARE(lesen(pfad).left(datei.size()), datei);
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList{"a.cfg"});
    }

    // The program's names: its desktop entry and its data folder.
    void namen()
    {
        programmEinrichten();
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("gsmbv-konfig"));
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation), qEnvironmentVariable("XDG_DATA_HOME") + "/gsmbv");
    }
};

QTEST_MAIN(TestAblaufProgramm)
#include "test_ablauf_programm.moc"
