// The simulated device on a pseudo-terminal, seen from the other end of the
// line: the runner in this process, and the gsmbv-sim program.
#include "kit.h"
#include "sim/simptyrunner.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const QByteArray ACK(1, char(0x06)), ESC(1, char(0x1B));

QByteArray musterseite(int saat)
{
    QByteArray s;
    for (int i = 0; i < 256; ++i)
        s.append(char((i * 11 + saat) & 0xFF));
    return s;
}

// The program's side of the cable: a plain descriptor on the runner's slave
// that collects everything it receives. Unlike a serial-port class it neither
// sets the line up nor flushes it when it opens, so whatever the runner leaves
// in the line (or a line not made raw) shows.
class Gegenstelle : public QObject {
public:
    explicit Gegenstelle(const QString& pfad) : m_pfad(pfad.toLocal8Bit()) {}
    ~Gegenstelle() override { schliessen(); }
    bool oeffnen()
    {
        empfangen.clear();
        m_fd = ::open(m_pfad.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return false;
        m_lesbar = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        connect(m_lesbar.get(), &QSocketNotifier::activated, this, [this] {
            char b[4096];
            ssize_t n;
            while ((n = ::read(m_fd, b, sizeof b)) > 0)
                empfangen.append(b, n);
        });
        return true;
    }
    void senden(const QByteArray& b) { QCOMPARE(::write(m_fd, b.constData(), size_t(b.size())), ssize_t(b.size())); }
    // Reads no more: what comes stays in the line; then reads again.
    void lesen(bool ja) { m_lesbar->setEnabled(ja); }
    void schliessen()
    {
        m_lesbar.reset();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    QByteArray empfangen;

private:
    QByteArray m_pfad;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_lesbar;
};

// Milliseconds of processor time this process uses while its event loop runs
// for `ms` (an idle loop sleeps in the system and uses next to none).
double rechenzeitWaehrend(int ms)
{
    const auto jetzt = [] {
        timespec t{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
    };
    const double vorher = jetzt();
    QTest::qWait(ms);
    return jetzt() - vorher;
}

} // namespace

class TestSimPty : public QObject {
    Q_OBJECT

private slots:
    // The other side stops reading and the line's buffer fills up: the runner
    // waits for room without spinning, then delivers every byte once and in
    // order; with nothing left to send it sits idle.
    void vollerPuffer()
    {
        SimOptionen o;
        o.baud = 0;
        SimPtyRunner sim(o);
        Gegenstelle pc(sim.pfad());
        QVERIFY(pc.oeffnen());
        QTRY_COMPARE(pc.empfangen, ACK);
        pc.lesen(false);
        pc.senden(QByteArray(40, 'r'));
        const QByteArray alles = ACK + ("r" + simStandardSpeicher()).repeated(40);
        QVERIFY(kit::warten([&] { return sim.empfangeneBytes().size() == 40; }));
        for (const bool voll : {true, false}) {
            const double ms = rechenzeitWaehrend(300);
            QVERIFY2(ms < 20, qPrintable(QStringLiteral("%1 ms Rechenzeit").arg(ms)));
            QCOMPARE(sim.unterwegs(), voll);
            if (voll) {
                QVERIFY(sim.gesendeteBytes().size() < alles.size());
                pc.lesen(true);
                QVERIFY(kit::warten([&] { return pc.empfangen.size() >= alles.size(); }));
            }
        }
        QCOMPARE(pc.empfangen, alles);
        QCOMPARE(sim.gesendeteBytes(), alles);
    }

    // The ACK only once the other side opens the line; bytes paced at 9600 bit/s.
    void leitung()
    {
        SimOptionen o;
        o.baud = 9600;
        SimPtyRunner sim(o);
        QVERIFY2(sim.ok(), qPrintable(sim.fehlertext()));
        QVERIFY(sim.pfad().startsWith(QLatin1String("/dev/")));
        QTest::qWait(30);
        QCOMPARE(sim.gesendeteBytes() + '|' + QByteArray::number(sim.verbindungen()), "|0");  // nobody there: no ACK, no connection

        Gegenstelle pc(sim.pfad());
        QElapsedTimer uhr;
        uhr.start();
        QVERIFY(pc.oeffnen());
        QTRY_COMPARE_WITH_TIMEOUT(pc.empfangen, ACK, 2000);
        QVERIFY2(uhr.elapsed() >= 20, qPrintable(QString::number(uhr.elapsed())));  // "shortly after"
        QCOMPARE(QStringLiteral("%1|%2").arg(int(sim.verbunden())).arg(sim.verbindungen()), "1|1");  // connected, once
        QTest::qWait(50);
        QCOMPARE(pc.empfangen, ACK);  // and only once

        // A write ends without an image file to keep it in.
        pc.empfangen.clear();
        pc.senden("w0" + musterseite(1) + ESC);
        QTRY_COMPARE_WITH_TIMEOUT(sim.geraet().schreibvorgaenge(), 1, 3000);

        // The event memory: "l" on the wire, then 513 bytes back, one per byte time.
        QTRY_COMPARE(pc.empfangen.size(), 2 + 256);
        pc.empfangen.clear();
        uhr.restart();
        pc.senden("l");
        QTRY_COMPARE_WITH_TIMEOUT(pc.empfangen.size(), 513, 5000);
        const double logMs = double(uhr.nsecsElapsed()) / 1e6;
        QVERIFY2(logMs >= 514 * 10'000.0 / 9600.0 * 0.98, qPrintable(QString::number(logMs)));
        QCOMPARE(pc.empfangen, QByteArray("l") + simStandardEreignisse());
        pc.schliessen();
        QTRY_VERIFY(!sim.verbunden());
    }

    // gsmbv-sim refuses what it cannot run with: a bad option with status 2,
    // a file it cannot keep with 1; the first line says why.
    void optionen_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("zeile");
        const QString fehler = QStringLiteral("gsmbv-sim: unbekannte Fehlerangabe \"%1\" (erlaubt: silent, noecho@N, stop@N, noise, noise@SAAT, hangup@N, nostore@N)");
        QTest::newRow("Argument") << QStringList{"x"} << 2 << "gsmbv-sim: unerwartetes Argument \"x\"";
        QTest::newRow("Option") << QStringList{"--fast=1"} << 2 << "gsmbv-sim: unbekannte Option \"--fast\"";
        QTest::newRow("ohne Wert") << QStringList{"--baud"} << 2 << "gsmbv-sim: --baud braucht einen Wert";
        QTest::newRow("Baud") << QStringList{"--baud", "-1"} << 2 << "gsmbv-sim: --baud: \"-1\" ist keine Geschwindigkeit";
        QTest::newRow("Seite 13") << QStringList{"--fault=silent,nostore@13"} << 2 << fehler.arg("nostore@13");
        QTest::newRow("noecho@0") << QStringList{"--fault", "noecho@0"} << 2 << fehler.arg("noecho@0");
        QTest::newRow("noecho@2^31") << QStringList{"--fault", "noecho@2147483648"} << 2 << fehler.arg("noecho@2147483648");
        QTest::newRow("noise@0") << QStringList{"--fault=noise@0"} << 2 << fehler.arg("noise@0");
        QTest::newRow("leer") << QStringList{"--fault=,"} << 2 << "gsmbv-sim: leere Fehlerangabe";
        QTest::newRow("Modell") << QStringList{"--write-model=all"} << 2 << "gsmbv-sim: --write-model: \"all\" ist kein Modell (byte oder complete)";
        QTest::newRow("Speicher fehlt") << QStringList{"--image=/nicht/da"} << 2 << "gsmbv-sim: /nicht/da: Datei oder Ordner nicht vorhanden";
        QTest::newRow("Ereignisse leer") << QStringList{"--events=/dev/null"} << 2 << "gsmbv-sim: /dev/null: die Datei muss genau 512 Bytes haben";
        QTest::newRow("Mitschrift") << QStringList{"--transcript=/nicht/da"} << 1 << "gsmbv-sim: Mitschrift /nicht/da: Datei oder Ordner nicht vorhanden";
        QTest::newRow("Speicherdatei") << QStringList{"--save-image=/dev/null"} << 1 << "gsmbv-sim: Speicherabbild /dev/null: keine gewöhnliche Datei";
        QTest::newRow("Hilfe") << QStringList{"--baud=x", "-h"} << 0 << "Aufruf: gsmbv-sim [OPTIONEN]";
    }
    void optionen()
    {
        QFETCH(QStringList, argumente);
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv-sim"), argumente);
        QVERIFY(p.waitForFinished(5000));
        QTEST(p.exitCode(), "status");
        QTEST(QString::fromUtf8(p.readLine()).chopped(1), "zeile");
    }

    // gsmbv-sim: its memory from a file, a read cut short, the memory file
    // from the start and after every change: a write whose final ESC comes as
    // the other side closes the line (it still ends the write), or a write
    // ended by the signal in the middle of a page, each byte stored as it
    // came; the transcript.
    void programm_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("bytes");  // of page 2 sent; 256: then ESC and the line closed
        QTest::newRow("SIGTERM, nach einem Schreiben") << int(SIGTERM) << 256;
        QTest::newRow("SIGINT mitten in der Seite") << int(SIGINT) << 100;
    }
    void programm()
    {
        QFETCH(int, signal);
        QFETCH(int, bytes);
        QTemporaryDir dir;
        QByteArray abbild;
        for (int i = 0; i < 3328; ++i)
            abbild.append(char((i * 13) >> 3));
        const QString image = dir.filePath("ein.bin"), aus = dir.filePath("aus.bin"), protokoll = dir.filePath("mitschrift.txt");
        QVERIFY(kit::schreiben(image, abbild));
        QVERIFY(kit::schreiben(aus, "von einem frueheren Lauf"));
        QProcess p;
        p.start(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv-sim"),
                {"--image", image, "--baud", "0", "--save-image", aus, "--transcript", protokoll, "--fault", "stop@100"});
        QVERIFY(p.waitForStarted());
        QVERIFY(p.waitForReadyRead(5000));
        const QString pfad = QString::fromLocal8Bit(p.readLine()).trimmed();
        QVERIFY2(pfad.startsWith(QLatin1String("/dev/")), qPrintable(pfad));
        QCOMPARE(kit::lesen(aus), abbild);  // from the start

        Gegenstelle pc(pfad);
        QVERIFY(pc.oeffnen());
        QTRY_COMPARE(pc.empfangen, ACK);
        pc.senden("r");
        QTRY_COMPARE(pc.empfangen, ACK + "r" + abbild.left(100));
        // The page in two parts, the second while the file still holds the
        // first; the signal comes before the file has caught up.
        QByteArray schreiben;
        for (const QByteArray& teil : {"w2" + musterseite(2).left(50), musterseite(2).mid(50, bytes - 50)}) {
            pc.senden(teil);
            schreiben += teil;
            QVERIFY(kit::warten([&] { return pc.empfangen == ACK + "r" + abbild.left(100) + schreiben; }));
        }
        const QByteArray geschrieben = QByteArray(abbild).replace(512, bytes, musterseite(2).left(bytes));
        if (bytes == 256) {
            QTRY_COMPARE(kit::lesen(aus), geschrieben);  // followed while the write runs
            pc.senden(ESC);
            pc.schliessen();
        }
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(5000));
        pc.schliessen();
        // A normal exit with status 0 and nothing on stderr.
        QCOMPARE(QByteArray::number(p.exitStatus()) + '|' + QByteArray::number(p.exitCode()) + '|' + p.readAllStandardError(), "0|0|");
        QCOMPARE(kit::lesen(aus), geschrieben);  // saved on exit as well
        QCOMPARE(kit::modus(protokoll), QStringLiteral("600"));  // the numbers on the line are the user's alone

        const QString text = QString::fromUtf8(kit::lesen(protokoll));
        const QStringList zeilen = text.split(QLatin1Char('\n'));
        QVERIFY(zeilen.size() > 8);
        QVERIFY(zeilen[0].startsWith(QLatin1Char('#')));
        QCOMPARE(zeilen.mid(1, 4), (QStringList{"== verbunden", "-> 06", "<- 72",
                                                "-> 72 00 01 03 04 06 08 09 0B 0D 0E 10 11 13 15 16 18 1A 1B 1D 1E 20 22 23 25 27 28 2A 2B 2D 2F 30"}));
        QCOMPARE(text.endsWith(QStringLiteral("== getrennt\n")), bytes == 256);
    }
};

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_simpty.moc"
