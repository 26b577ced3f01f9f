// The command line and the window read the same device into the same file:
// `gsmbv read` against the window's read followed by its save.
#include "ablaufhilfe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QStandardPaths>

#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ablauf;

namespace {

QByteArray datei(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the tool to its end, as an unprivileged user where the test runs as
// root ("nobody": root opens any device and writes into any folder).
// Returns its exit code; the standard error goes to `fehler`.
int alsNutzer(const QStringList& argumente, QString* fehler = nullptr)
{
    QProcess p;
    QString gsmbv = qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv");
    QTemporaryDir kopie;
    if (::geteuid() == 0) {
        // A copy that "nobody" may run whatever folder the build is in; its
        // leak check (which would read files below the build) stays with root's runs.
        QFile::setPermissions(kopie.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        if (!QFile::copy(gsmbv, kopie.filePath(QStringLiteral("gsmbv"))))
            return -1;
        gsmbv = kopie.filePath(QStringLiteral("gsmbv"));
        QFile::setPermissions(gsmbv, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                         | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.remove(QStringLiteral("LSAN_OPTIONS"));
        umgebung.insert(QStringLiteral("ASAN_OPTIONS"), umgebung.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        p.setProcessEnvironment(umgebung);
        p.setProgram(QStandardPaths::findExecutable(QStringLiteral("setpriv")));
        p.setArguments(QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                   QStringLiteral("--clear-groups"), gsmbv} + argumente);
    } else {
        p.setProgram(gsmbv);
        p.setArguments(argumente);
    }
    bool fertig = false;
    QObject::connect(&p, &QProcess::finished, [&] { fertig = true; });
    p.start();
    if (!warten([&] { return fertig; }, 20000))
        return -1;
    if (fehler)
        *fehler = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool ohneNutzerwechsel()
{
    return ::geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
}

} // namespace

class TestAblaufCli : public QObject {
    Q_OBJECT
private slots:
    void gleicheDatei_data()
    {
        QTest::addColumn<QByteArray>("speicher");
        QTest::newRow("Standard") << simStandardSpeicher();
        QTest::newRow("unbeschrieben") << QByteArray(kGeraeteBytes, char(0xFF));
        QByteArray ohneKonto = simStandardSpeicher();
        ohneKonto[56] = 0;  // monitoring off: the read stores the emptied numbers back
        QTest::newRow("Guthaben 0 mit Nummern") << ohneKonto;
        QByteArray andere = simStandardSpeicher();
        andere.replace(256, 11, "07201234567");  // operator "Andere": monitoring cleared
        QTest::newRow("Betreiber Andere") << andere;
        QByteArray zeit = simStandardSpeicher();
        zeit[4] = char(0x08);
        zeit[5] = char(0x3A);
        QTest::newRow("Kontrollruf aus, Stunde 0x3A") << zeit;
        for (quint32 saat : {7u, 99u, 2024u}) {
            QByteArray zufall(kGeraeteBytes, '\0');
            QRandomGenerator g(saat);
            for (auto& c : zufall)
                c = char(g.bounded(256));
            QTest::newRow(qPrintable(QStringLiteral("zufällig %1").arg(saat))) << zufall;
        }
    }
    void gleicheDatei()
    {
        QFETCH(QByteArray, speicher);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString fensterDatei = dir.filePath(QStringLiteral("fenster.cfg"));
        const QString cliDatei = dir.filePath(QStringLiteral("gsmbv.cfg"));

        Stand f(simOptionen(speicher));
        const std::optional<Ausgang> a = f.ausfuehren("MNU_Lesen");
        QVERIFY(a);
        QVERIFY(f.ruhend());
        const bool gelesen = *a == Ausgang::Erfolg;
        if (gelesen) {
            f.door.dateinamen.enqueue(fensterDatei);
            f.k->MNU_Save_Click();
            QVERIFY(QFile::exists(fensterDatei));
        }

        QProcess p;
        p.setProgram(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv"));
        p.setArguments({QStringLiteral("read"), QStringLiteral("--port"), f.sim.pfad(), QStringLiteral("--output"), cliDatei,
                        QStringLiteral("--timeout"), QStringLiteral("5")});
        bool fertig = false;
        connect(&p, &QProcess::finished, this, [&] { fertig = true; });
        p.start();
        QVERIFY(warten([&] { return fertig; }, 20000));
        QVERIFY(p.exitStatus() == QProcess::NormalExit);

        if (gelesen) {
            QCOMPARE(p.exitCode(), 0);
            const QByteArray fenster = datei(fensterDatei);
            QVERIFY(!fenster.isEmpty());
            QCOMPARE(datei(cliDatei), fenster);
        } else {
            // A decode the window reports as failed is a transfer error on the
            // command line too, and no file is written.
            QCOMPARE(p.exitCode(), 3);
            QVERIFY(!QFile::exists(cliDatei));
        }
    }

    // The cause of a failed open as the command line's detail line, for the
    // causes that depend on who runs the program: the tool runs as an
    // unprivileged user (root opens any device, and ignores exclusive use).
    void portursache_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("zeile");  // %1: the device
        QTest::newRow("nicht vorhanden") << "fehlt" << "gsmbv: Gerät %1 nicht vorhanden";
        QTest::newRow("keine Berechtigung")
            << "rechte" << "gsmbv: Keine Berechtigung für %1 – Benutzer in die Gruppe tty aufnehmen und neu anmelden";
        QTest::newRow("exklusiv belegt") << "exklusiv" << "gsmbv: COM 1 (%1) ist belegt von einem anderen Programm";
    }
    void portursache()
    {
        QFETCH(QString, fall);
        QFETCH(QString, zeile);
        if (ohneNutzerwechsel())
            QSKIP("setpriv is missing: no unprivileged user to run the tool as");
        SimPtyRunner sim(simOptionen());
        const QByteArray pty = sim.pfad().toLocal8Bit();
        QString geraet = sim.pfad();
        int exklusiv = -1;
        if (fall == QLatin1String("fehlt")) {
            geraet = QStringLiteral("/dev/gsmbv-gibt-es-nicht");
        } else if (fall == QLatin1String("rechte")) {
            QVERIFY(::chmod(pty.constData(), ::geteuid() == 0 ? 0600 : 0) == 0);
            if (::geteuid() == 0) {  // the device's group, whatever the terminals' default
                const group* tty = ::getgrnam("tty");
                QVERIFY(tty && ::chown(pty.constData(), uid_t(-1), tty->gr_gid) == 0);
            }
        } else {
            // Held for exclusive use by this process, as a terminal program does.
            QVERIFY(::chmod(pty.constData(), 0666) == 0);
            exklusiv = ::open(pty.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            QVERIFY(exklusiv >= 0);
            QVERIFY(::ioctl(exklusiv, TIOCEXCL) == 0);
        }
        QString ausgabe;
        const int status = alsNutzer({QStringLiteral("log"), QStringLiteral("--port"), geraet,
                                      QStringLiteral("--timeout"), QStringLiteral("1")}, &ausgabe);
        if (exklusiv >= 0)
            ::close(exklusiv);
        const QStringList fehler = ausgabe.split(QLatin1Char('\n'));
        if (fall == QLatin1String("exklusiv") && ::geteuid() != 0)  // the same user sees who holds it
            zeile = QStringLiteral("gsmbv: COM 1 (%1) ist belegt von Programm test_ablauf_cli (PID %2)")
                        .arg(geraet).arg(QCoreApplication::applicationPid());
        QVERIFY2(fehler.contains(zeile.arg(geraet)), qPrintable(fehler.join(QLatin1Char('|'))));
        QVERIFY(fehler.contains(QStringLiteral("Verbindung nicht möglich")));
        QCOMPARE(status, 1);
    }

    // The output goes into a folder that takes no new file, where the file
    // itself may be written: it is overwritten in place after the transfer.
    // A transfer that fails leaves it as it was.
    void schreibgeschuetzterOrdner_data()
    {
        QTest::addColumn<bool>("geraet");
        QTest::addColumn<QString>("befehl");
        QTest::newRow("read") << true << "read";
        QTest::newRow("log") << true << "log";
        QTest::newRow("read ohne Gerät") << false << "read";
    }
    void schreibgeschuetzterOrdner()
    {
        QFETCH(bool, geraet);
        QFETCH(QString, befehl);
        if (ohneNutzerwechsel())
            QSKIP("setpriv is missing: no unprivileged user to run the tool as");
        SimPtyRunner sim(simOptionen());
        QVERIFY(::chmod(sim.pfad().toLocal8Bit().constData(), 0666) == 0);
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("ro"));
        const QString pfad = ordner + QStringLiteral("/a.txt");
        QVERIFY(QDir().mkdir(ordner));
        QFile alt(pfad);
        QVERIFY(alt.open(QIODevice::WriteOnly) && alt.write("alt\n") == 4);
        alt.close();
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(pfad).constData(), 0666) == 0);
        QVERIFY(::chmod(QFile::encodeName(ordner).constData(), 0555) == 0);
        const QString port = geraet ? sim.pfad() : QStringLiteral("/dev/gsmbv-gibt-es-nicht");
        const int status = alsNutzer({befehl, QStringLiteral("--port"), port, QStringLiteral("--output"), pfad,
                                      QStringLiteral("--timeout"), QStringLiteral("5")});
        QVERIFY(::chmod(QFile::encodeName(ordner).constData(), 0755) == 0);
        QCOMPARE(status, geraet ? 0 : 1);
        const QByteArray inhalt = datei(pfad);
        if (!geraet)
            QCOMPARE(inhalt, QByteArray("alt\n"));
        else if (befehl == QLatin1String("read"))
            QVERIFY(inhalt.startsWith("12;63;255;15;2;10;30;08006642903;08006642902;5;Pumpwerk Nord;\r\n")
                    && inhalt.contains("\nRelais 1 geschaltet: Pumpe 1 ein\x03Relais 2 geschaltet: Hupe aus\x03\r\n"));
        else
            QVERIFY(inhalt.endsWith("\r\n") && !inhalt.contains("alt"));
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList{"a.txt"});
    }
};

QTEST_MAIN(TestAblaufCli)
#include "test_ablauf_cli.moc"
