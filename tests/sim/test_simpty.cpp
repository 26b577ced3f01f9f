// The simulated device on a pseudo-terminal, seen from the other end of the
// line: the runner in this process, and the gsmbv-sim program.
#include "kit.h"
#include "sim/simptyrunner.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray ACK(1, char(0x06));
const QByteArray ESC(1, char(0x1B));

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
    void anhalten() { m_lesbar->setEnabled(false); }
    void fortsetzen() { m_lesbar->setEnabled(true); }
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

SimOptionen optionen(int baud)
{
    SimOptionen o;
    o.baud = baud;
    return o;
}

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
    QEventLoop schleife;
    QTimer::singleShot(ms, &schleife, &QEventLoop::quit);
    schleife.exec();
    return jetzt() - vorher;
}

} // namespace

class TestSimPty : public QObject {
    Q_OBJECT

private slots:
    // The ACK only once the other side opens the line; bytes paced at 9600 bit/s.
    void leitung()
    {
        SimOptionen o = optionen(9600);
        o.fehler.stumm = true;
        SimPtyRunner sim(o);
        QVERIFY2(sim.ok(), qPrintable(sim.fehlertext()));
        QVERIFY(sim.pfad().startsWith(QLatin1String("/dev/")));
        QTest::qWait(30);
        QCOMPARE(sim.gesendeteBytes(), QByteArray());  // nobody there: no ACK
        QCOMPARE(sim.verbindungen(), 0);

        // A silent device takes in, answers nothing.
        Gegenstelle pc(sim.pfad());
        QVERIFY(pc.oeffnen());
        pc.senden("r");
        QTest::qWait(150);
        QCOMPARE(pc.empfangen, QByteArray());
        QCOMPARE(sim.empfangeneBytes(), QByteArray("r"));
        pc.schliessen();
        QTRY_VERIFY(!sim.verbunden());

        // Faults can be changed while the runner runs.
        sim.geraet().setzeFehler(SimFehler{});
        QElapsedTimer uhr;
        uhr.start();
        QVERIFY(pc.oeffnen());
        QTRY_COMPARE_WITH_TIMEOUT(pc.empfangen, ACK, 2000);
        QVERIFY2(uhr.elapsed() >= 20, qPrintable(QString::number(uhr.elapsed())));  // "shortly after"
        QVERIFY(sim.verbunden());
        QCOMPARE(sim.verbindungen(), 2);
        QTest::qWait(50);
        QCOMPARE(pc.empfangen, ACK);  // and only once

        // 42 characters written at once come in one per byte time; each echo
        // leaves only after its byte has arrived: the last one after 43 byte times.
        const double byteMs = 10.0 * 1000.0 / 9600.0;
        pc.empfangen.clear();
        uhr.restart();
        pc.senden(QByteArray("w0") + musterseite(1).left(40));
        QTRY_COMPARE_WITH_TIMEOUT(pc.empfangen.size(), 42, 3000);
        const double echoMs = double(uhr.nsecsElapsed()) / 1e6;
        QVERIFY2(echoMs >= 43 * byteMs * 0.98, qPrintable(QString::number(echoMs)));
        // The write ends without an image file to keep it in.
        pc.senden(musterseite(1).mid(40) + ESC);
        QTRY_COMPARE_WITH_TIMEOUT(sim.geraet().schreibvorgaenge(), 1, 3000);

        // The event memory: "l" on the wire, then 513 bytes back.
        QTRY_COMPARE(pc.empfangen.size(), 2 + 256);
        pc.empfangen.clear();
        uhr.restart();
        pc.senden("l");
        QTRY_COMPARE_WITH_TIMEOUT(pc.empfangen.size(), 513, 5000);
        const double logMs = double(uhr.nsecsElapsed()) / 1e6;
        QVERIFY2(logMs >= 514 * byteMs * 0.98, qPrintable(QString::number(logMs)));
        QCOMPARE(pc.empfangen, QByteArray("l") + simStandardEreignisse());
        pc.schliessen();
        QTRY_VERIFY(!sim.verbunden());
    }

    // Two openers in a row, each leaving in the middle of a read with bytes
    // unread in the line: every next one finds only its own ACK.
    void keineAltlastenFuerDenNaechsten_data()
    {
        QTest::addColumn<int>("baud");
        QTest::newRow("ungebremst") << 0;
        QTest::newRow("9600") << 9600;
    }
    void keineAltlastenFuerDenNaechsten()
    {
        QFETCH(int, baud);
        SimPtyRunner sim(optionen(baud));
        Gegenstelle pc(sim.pfad());
        for (int runde = 0; runde < 2; ++runde) {
            QVERIFY(pc.oeffnen());
            QTRY_VERIFY_WITH_TIMEOUT(!pc.empfangen.isEmpty(), 2000);
            QTest::qWait(30);
            QCOMPARE(pc.empfangen, ACK);  // nothing left over from the last round
            const qsizetype vorher = sim.gesendeteBytes().size();
            pc.senden("r");
            pc.anhalten();
            QTRY_VERIFY_WITH_TIMEOUT(sim.gesendeteBytes().size() > vorher + 100, 2000);
            pc.schliessen();
            QTRY_VERIFY(!sim.verbunden());
        }
        QCOMPARE(sim.verbindungen(), 2);
        QVERIFY(pc.oeffnen());
        QTRY_VERIFY_WITH_TIMEOUT(!pc.empfangen.isEmpty(), 2000);
        pc.senden("t");
        QTRY_VERIFY(pc.empfangen.endsWith('>'));
        QCOMPARE(pc.empfangen.size(), 1 + 6);
        QCOMPARE(sim.mitschrift().text().count(QStringLiteral("== verbunden\n")), 3);
        QCOMPARE(sim.mitschrift().text().count(QStringLiteral("== getrennt\n")), 2);
    }

    // The other side stops reading and the line's buffer fills up: the runner
    // waits for room without spinning, then delivers every byte once and in
    // order; with nothing left to send it sits idle.
    void vollerPuffer()
    {
        SimPtyRunner sim(optionen(0));
        Gegenstelle pc(sim.pfad());
        QVERIFY(pc.oeffnen());
        QTRY_COMPARE(pc.empfangen, ACK);
        pc.anhalten();
        pc.senden(QByteArray(40, 'r'));
        const QByteArray alles = ACK + ("r" + simStandardSpeicher()).repeated(40);
        QVERIFY(kit::warten([&] { return sim.empfangeneBytes().size() == 40; }));
        for (const bool voll : {true, false}) {
            const double ms = rechenzeitWaehrend(300);
            QVERIFY2(ms < 20, qPrintable(QStringLiteral("%1 ms Rechenzeit").arg(ms)));
            QCOMPARE(sim.unterwegs(), voll);
            if (voll) {
                QVERIFY(sim.gesendeteBytes().size() < alles.size());
                pc.fortsetzen();
                QVERIFY(kit::warten([&] { return pc.empfangen.size() >= alles.size(); }));
            }
        }
        QCOMPARE(pc.empfangen, alles);
        QCOMPARE(sim.gesendeteBytes(), alles);
    }

    // gsmbv-sim: its memory from a file, a read cut short, the memory file
    // from the start and after every change: a write whose final ESC comes as
    // the other side closes the line (it still ends the write), or a write
    // ended by the signal in the middle of a page; the transcript.
    void programm_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("modell");
        QTest::addColumn<int>("bytes");  // of page 2 sent; 256: then ESC and the line closed
        QTest::addColumn<int>("gespeichert");  // of them in the memory
        QTest::newRow("SIGTERM, nach einem Schreiben") << int(SIGTERM) << "byte" << 256 << 256;
        QTest::newRow("SIGINT mitten in der Seite") << int(SIGINT) << "byte" << 100 << 100;
        QTest::newRow("SIGTERM mitten in der Seite, complete") << int(SIGTERM) << "complete" << 100 << 0;
    }
    void programm()
    {
        QFETCH(int, signal);
        QFETCH(QString, modell);
        QFETCH(int, bytes);
        QFETCH(int, gespeichert);
        QTemporaryDir dir;
        QByteArray abbild;
        for (int i = 0; i < 3328; ++i)
            abbild.append(char((i * 13) >> 3));
        const QString image = dir.filePath(QStringLiteral("ein.bin"));
        const QString aus = dir.filePath(QStringLiteral("aus.bin"));
        const QString protokoll = dir.filePath(QStringLiteral("mitschrift.txt"));
        QVERIFY(kit::schreiben(image, abbild));
        QVERIFY(kit::schreiben(aus, "von einem frueheren Lauf"));
        QProcess p;
        p.start(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv-sim"),
                {"--image", image, "--baud", "0", "--save-image", aus, "--transcript", protokoll, "--fault",
                 "stop@100", "--write-model", modell});
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
        const QByteArray geschrieben = QByteArray(abbild).replace(512, gespeichert, musterseite(2).left(gespeichert));
        if (bytes == 256) {
            QTRY_COMPARE(kit::lesen(aus), geschrieben);  // followed while the write runs
            pc.senden(ESC);
            pc.schliessen();
        }
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(5000));
        pc.schliessen();
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardError(), QByteArray());
        QCOMPARE(kit::lesen(aus), geschrieben);  // saved on exit as well
        QCOMPARE(kit::modus(protokoll), QStringLiteral("600"));  // the numbers on the line are the user's alone

        const QString text = QString::fromUtf8(kit::lesen(protokoll));
        const QStringList zeilen = text.split(QLatin1Char('\n'));
        QVERIFY(zeilen.size() > 8);
        QVERIFY(zeilen[0].startsWith(QLatin1Char('#')));
        QCOMPARE(zeilen.mid(1, 4), (QStringList{"== verbunden", "-> 06", "<- 72",
                                                "-> 72 00 01 03 04 06 08 09 0B 0D 0E 10 11 13 15 16 "
                                                "18 1A 1B 1D 1E 20 22 23 25 27 28 2A 2B 2D 2F 30"}));
        // Every byte in each direction, in order.
        QByteArray rein, raus;
        for (const QString& z : zeilen) {
            QByteArray* ziel = z.startsWith(QLatin1String("<- ")) ? &rein : z.startsWith(QLatin1String("-> ")) ? &raus : nullptr;
            if (ziel)
                *ziel += QByteArray::fromHex(z.mid(3).toLatin1());
        }
        QCOMPARE(rein, "r" + schreiben + (bytes == 256 ? ESC : QByteArray()));
        QCOMPARE(raus, ACK + "r" + abbild.left(100) + schreiben);
        QCOMPARE(text.endsWith(QStringLiteral("== getrennt\n")), bytes == 256);
    }

    void programmFehler_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<int>("status");
        QTest::newRow("Abbild zu kurz") << QStringList{"--image", "@kurz"} << "3328" << 2;
        QTest::newRow("Ereignisse zu kurz") << QStringList{"--events", "@kurz"} << "512" << 2;
        QTest::newRow("Abbild fehlt") << QStringList{"--image", "/nonexistent/x.bin"} << "/nonexistent/x.bin" << 2;
        QTest::newRow("Fehlerangabe") << QStringList{"--fault", "stop@1", "--fault", "crash"} << "crash" << 2;
        QTest::newRow("Geschwindigkeit") << QStringList{"--baud", "schnell"} << "schnell" << 2;
        QTest::newRow("Argument") << QStringList{"extra"} << "extra" << 2;
        QTest::newRow("Schreibmodell") << QStringList{"--write-model", "page"} << "\"page\" ist kein Modell" << 2;
        // Refused at the start, not only at the end after a session's writes.
        QTest::newRow("Speicherabbild nicht schreibbar") << QStringList{"--save-image", "/nonexistent/aus.bin"}
                                                         << "Speicherabbild /nonexistent/aus.bin: " << 1;
        QTest::newRow("Speicherabbild eine Pipe") << QStringList{"--save-image", "@fifo"} << "keine gewöhnliche Datei" << 1;
    }
    void programmFehler()
    {
        QFETCH(QStringList, argumente);
        QFETCH(QString, meldung);
        QTemporaryDir dir;
        const QString kurz = dir.filePath(QStringLiteral("kurz.bin"));
        QVERIFY(kit::schreiben(kurz, QByteArray(511, 'x')));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        argumente.replaceInStrings(QStringLiteral("@kurz"), kurz).replaceInStrings(QStringLiteral("@fifo"), fifo);
        QProcess p;
        p.start(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv-sim"), argumente);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QTEST(p.exitCode(), "status");
        QCOMPARE(p.readAllStandardOutput(), QByteArray());
        const QString fehler = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(fehler.startsWith(QLatin1String("gsmbv-sim: ")) && fehler.contains(meldung), qPrintable(fehler));
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    }
};

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_simpty.moc"
