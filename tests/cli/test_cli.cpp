// gsmbv end to end: the program in build/bin against the simulated device on
// a pseudo-terminal (in this process, on this test's event loop). Exact
// standard output, standard error, exit status and file bytes for every
// command, the failures included; the device's memory after a write.
#include "cfgfile/cfgdatei.h"
#include "cli/aufruf.h"
#include "image/felder.h"
#include "kit.h"
#include "pdftext.h"
#include "sim/simptyrunner.h"
#include "sim/simstandard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray ACK(1, char(0x06));
const QByteArray ESC(1, char(0x1B));
const QByteArray kETX("\x03");
const QByteArray kNL("\r\n");

struct Lauf {
    int status = -1;
    bool normal = false;  // ended by itself, not by a signal or the test's limit
    QByteArray aus;
    QByteArray fehler;
};

QString programm()
{
    return qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv");
}

// Runs gsmbv; the event loop keeps running meanwhile, so the simulated device
// answers. `waehrend` runs once the program has started (for signals).
Lauf gsmbv(const QStringList& argumente, int grenzeMs = 20000,
           const std::function<void(QProcess&)>& vorher = {},
           const std::function<void(QProcess&)>& waehrend = {})
{
    Lauf l;
    QProcess p;
    p.setProgram(programm());
    p.setArguments(argumente);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));  // system error texts in English
    env.remove(QStringLiteral("GSMBV_PORT"));
    p.setProcessEnvironment(env);
    if (vorher)
        vorher(p);
    QSignalSpy fertig(&p, &QProcess::finished);
    p.start();
    if (!p.waitForStarted(5000)) {
        qWarning("gsmbv did not start: %s", qPrintable(p.errorString()));
        return l;
    }
    if (waehrend)
        waehrend(p);
    if (fertig.isEmpty() && !fertig.wait(grenzeMs)) {
        p.kill();
        p.waitForFinished(2000);
        qWarning("gsmbv did not end within %d ms", grenzeMs);
        return l;
    }
    l.normal = p.exitStatus() == QProcess::NormalExit;
    l.status = p.exitCode();
    l.aus = p.readAllStandardOutput();
    l.fehler = p.readAllStandardError();
    return l;
}

using kit::lesen;
using kit::schreiben;

std::unique_ptr<SimPtyRunner> geraet(const QByteArray& speicher = simStandardSpeicher(),
                                     const QString& fehler = {}, int baud = 0)
{
    SimOptionen o;
    o.speicher = speicher;
    o.baud = baud;
    if (!fehler.isEmpty())
        o.fehler.hinzufuegen(fehler);
    return std::make_unique<SimPtyRunner>(o);
}

// The clock as the device sent it, formatted independently of the program.
QString uhrText(int sek, int min, int std, int tag, int mon)
{
    return QString::asprintf("%02d:%02d:%02d   %02d.%02d.", std, min, sek, tag, mon);
}

// A small event ring: the write position at slot 2; two records before it,
// three after it, then a free slot.
QByteArray ereignisring()
{
    QByteArray r(512, char(0xFF));
    const auto satz = [&r](int slot, std::initializer_list<int> b) {
        int i = 0;
        for (int v : b)
            r[slot * 8 + i++] = char(v);
    };
    satz(0, {9, 5, 14, 21, 6, 3, 'K', 'S'});
    satz(1, {0, 0, 0, 1, 1, 'N', 'K', 'A'});
    satz(3, {59, 59, 23, 31, 12, 9, 'G', 'F'});
    satz(4, {135, 7, 5, 2, 3, 'M', 'k', 'x'});
    satz(5, {1, 2, 3, 4, 5, 200, 'G', 'S'});
    return r;
}


// The event log as the tool writes it for the ring above (LOG.TXT format).
const QByteArray kLogDatei("31.12, 23:59:59, Stromausfall - geht : Fehler SMS senden\r\n"
                           "02.03, 05:07:135, Fehler GSM Modul\r\n"
                           "04.05, 03:02:01, unbekanntes Ereignis (Code 200) - geht : gesendet\r\n"
                           "21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\r\n"
                           "01.01, 00:00:00, kein GSM-Netz verf\xFCgbar - kommt : aktiv\r\n");

// The default image's file without its last line.
QByteArray zwoelfZeilen()
{
    QByteArray d = ";;;255;255;FF;FF;" + QByteArray(16, char(0xFF)) + ";" + QByteArray(16, char(0xFF)) + ";255;" + kETX
                 + ";" + kNL;
    for (int i = 1; i <= 9; ++i)
        d += kETX + kNL;
    d += " " + kNL;
    d += kETX + QByteArray("255;").repeated(8) + QByteArray(3, char(0xFF)) + kETX + ";Batteriespannung zu niedrig"
       + kETX + kNL;
    return d;
}

// Runs gsmbv with standard error on a pseudo-terminal of `spalten` columns
// (0: the terminal tells none); returns what reached the terminal.
QByteArray amTerminal(Lauf& l, const QStringList& argumente, int spalten,
                      const std::function<void(QProcess&)>& vorher = {})
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return "<kein Terminal>";
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);  // bytes as written: no CR added before LF
    ::tcsetattr(slave, TCSANOW, &t);
    winsize ws{};
    ws.ws_col = static_cast<unsigned short>(spalten);
    ::ioctl(slave, TIOCSWINSZ, &ws);
    l = gsmbv(argumente, 20000, [&](QProcess& p) {
        if (vorher)
            vorher(p);
        p.setChildProcessModifier([slave] { ::dup2(slave, 2); });
    });
    ::close(slave);
    QByteArray gelesen;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char puffer[4096];
    ssize_t n;
    while ((n = ::read(master, puffer, sizeof puffer)) > 0)
        gelesen.append(puffer, n);
    ::close(master);
    return gelesen;
}

// Exact, except that "…" stands for any text in between.
bool passt(const QString& ist, const QString& muster)
{
    const QStringList teile = muster.split(QStringLiteral("…"));
    if (teile.size() == 1)
        return ist == muster;
    if (!ist.startsWith(teile.first()) || !ist.endsWith(teile.last()))
        return false;
    qsizetype pos = teile.first().size();
    for (const QString& t : teile.mid(1, teile.size() - 2)) {
        pos = ist.indexOf(t, pos);
        if (pos < 0)
            return false;
        pos += t.size();
    }
    return pos <= ist.size() - teile.last().size();
}

bool istFifo(const QString& pfad)
{
    struct stat st {};
    return ::stat(QFile::encodeName(pfad).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void lesenUndSichern_data();
    void lesenUndSichern();
    void writeErzwungen();
    void schritteUndMitschrift();

    void ausgabeZiele_data();
    void ausgabeZiele();

    void uhr_data();
    void uhr();
    void befehle_data();
    void befehle();
    void showJson();
    void showPdf();

    void fehlschlaege_data();
    void fehlschlaege();
    void festerName();
    void portsImBaum();
    void fortschrittAmTerminal_data();
    void fortschrittAmTerminal();

private:
    QTemporaryDir m_dir;
    QString pfad(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
};

void TestCli::initTestCase()
{
    QVERIFY2(QFile::exists(programm()), qPrintable(programm()));
    QVERIFY(m_dir.isValid());
    // The backups of every run (read, and write before it writes) stay here.
    qputenv("XDG_DATA_HOME", QFile::encodeName(pfad("daten")));
    QVERIFY(schreiben(pfad("quelle.cfg"), cfgSchreiben(simStandardKonfig())));
    QVERIFY(schreiben(pfad("utf8.cfg"), QString::fromLatin1(cfgSchreiben(simStandardKonfig())).toUtf8()));
}

// ---------------------------------------------------------------------------
// read and write that succeed, with the backup of the device's configuration

// A read replaces a larger file as a whole and leaves nothing else; every
// successful read, and every write before it writes, is kept as a backup in
// the data folder; a backup that cannot be kept is one line on standard error.
void TestCli::lesenUndSichern_data()
{
    QTest::addColumn<bool>("schreiben");  // write the sample configuration instead of reading
    QTest::addColumn<QByteArray>("speicher");
    QTest::addColumn<bool>("ordnerMoeglich");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("fehler");  // %1: the data folder
    QTest::addColumn<QByteArray>("datei");  // the file read and its backup; empty: none
    // A device never written: every byte 0xFF. The decode ticks the balance
    // monitoring at 9 EURO, then the operator ("Andere": the first recipient
    // is all 0xFF) switches it off and empties both numbers.
    QByteArray leer = "255;255;255;255;255;FF;FF;;;;" + kETX + ";" + kNL;
    for (int i = 1; i <= 9; ++i)
        leer += kETX + kNL;
    leer += " " + kNL;
    leer += kETX + QByteArray("255;").repeated(8) + QByteArray(3, char(0xFF)) + kETX + ";"
          + QByteArray(56, char(0xFF)) + kNL;
    leer += kETX + kETX;
    const QByteArray ff(kGeraeteBytes, char(0xFF));
    QByteArray ueberlauf = simStandardSpeicher();
    ueberlauf[11 * 256 + 128] = char(0x80);
    const QString nichtGesichert =
        "gsmbv: Konfiguration nicht gesichert: Ordner %1/gsmbv/sicherungen kann nicht angelegt werden\n";
    QTest::newRow("read") << false << ff << true << 0 << QString() << leer;
    QTest::newRow("read, folder impossible") << false << ff << false << 0 << nichtGesichert << leer;
    QTest::newRow("write") << true << ff << true << 0 << QString() << leer;
    // The write goes on without its backup.
    QTest::newRow("write, folder impossible") << true << ff << false << 0 << nichtGesichert << QByteArray();
    QTest::newRow("read fails") << false << ueberlauf << true << 3
                                << "Fehler bei Datenübertragung\ngsmbv: Konfigurationsdaten nicht lesbar: "
                                   "Analogeingang Messwert 4 mA (Seite 11, Zeichen 129 und 130): 0x80 0x00 = "
                                   "32768, größer als 32767\n"
                                << QByteArray();
}

void TestCli::lesenUndSichern()
{
    QFETCH(bool, schreiben);
    QFETCH(QByteArray, speicher);
    QFETCH(bool, ordnerMoeglich);
    QFETCH(QString, fehler);
    QFETCH(QByteArray, datei);
    QTemporaryDir tmp;
    const QString daten = tmp.filePath(QStringLiteral("daten")), ziel = tmp.filePath(QStringLiteral("a.cfg"));
    QVERIFY(ordnerMoeglich || ::schreiben(daten, "eine Datei, kein Ordner"));
    QVERIFY(::schreiben(ziel, QByteArray(20000, 'x')));
    auto sim = geraet(speicher);
    const QStringList befehl = schreiben ? QStringList{"write", pfad("quelle.cfg")} : QStringList{"read", "-o", ziel};
    const Lauf l = gsmbv(befehl + QStringList{"--port", sim->pfad(), "-t", "5"}, 20000, [&](QProcess& p) {
        QProcessEnvironment env = p.processEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), daten);
        p.setProcessEnvironment(env);
    });
    QTEST(l.status, "status");
    QCOMPARE(QString::fromUtf8(l.fehler), fehler.contains(QLatin1String("%1")) ? fehler.arg(daten) : fehler);
    QCOMPARE(l.aus, QByteArray());
    const QDir ordner(daten + QStringLiteral("/gsmbv/sicherungen"));
    const QStringList namen = ordner.entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(namen.size(), ordnerMoeglich && l.status == 0 ? 1 : 0);
    if (!namen.isEmpty()) {
        QVERIFY2(namen[0].startsWith(QLatin1String("ohne Bezeichnung_")), qPrintable(namen[0]));
        QCOMPARE(lesen(ordner.filePath(namen[0])), datei);
    }
    const QStringList dort = QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(dort, ordnerMoeglich ? QStringList{"a.cfg"} : (QStringList{"a.cfg", "daten"}));
    if (!schreiben) {
        QCOMPARE(lesen(ziel), datei.isEmpty() ? QByteArray(20000, 'x') : datei);
        QTRY_COMPARE(sim->empfangeneBytes(), QByteArray("r"));
        return;
    }
    // All 13 pages went over and hold the sample configuration: the backup's
    // "r"; "w", then per page its character and 256 bytes, then ESC; the "r"
    // of the read back.
    QTRY_COMPARE(sim->geraet().schreibvorgaenge(), 1);
    QCOMPARE(sim->geraet().letzteSeiten(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    QCOMPARE(sim->geraet().speicher(), simStandardSpeicher());
    QTRY_COMPARE(sim->empfangeneBytes().size(), 1 + 1 + 13 * 257 + 1 + 1);
    QVERIFY(sim->empfangeneBytes().startsWith("rw0"));
    QVERIFY(sim->empfangeneBytes().endsWith(ESC + "r"));
    QCOMPARE(sim->verbindungen(), 3);
}

void TestCli::writeErzwungen()
{
    // --force writes a file that only fails the form check, as the bytes it
    // holds: the text of line 5 re-saved as UTF-8.
    auto sim = geraet(QByteArray(kGeraeteBytes, char(0xFF)));
    const Lauf l = gsmbv({"write", "--force", "-p", sim->pfad(), "-t", "5", pfad("utf8.cfg")});
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.status, 0);
    QTRY_COMPARE(sim->geraet().schreibvorgaenge(), 1);
    QCOMPARE(sim->geraet().speicher().mid(5 * 256 + 128, 17), QByteArray("St\xC3\xB6rung Pumpe 1\x03"));
}

// -v names every step of a write, --transcript records every byte both ways
// with its time.
void TestCli::schritteUndMitschrift()
{
    auto sim = geraet();
    const QString datei = pfad("mitschrift.txt");
    QVERIFY(schreiben(datei, "alt\n"));
    QTemporaryDir daten;
    const QStringList argumente{"write", "-v", pfad("quelle.cfg"), "-p", sim->pfad(), "--transcript", datei};
    const Lauf l = gsmbv(argumente, 20000, [&](QProcess& p) {
        QProcessEnvironment env = p.processEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), daten.path());
        p.setProcessEnvironment(env);
    });
    QCOMPARE(l.status, 0);
    const QStringList sicherung = QDir(daten.filePath(QStringLiteral("gsmbv/sicherungen"))).entryList(QDir::Files);
    QString schritte = "gsmbv: Port %1 geöffnet\ngsmbv: ACK empfangen\ngsmbv: Befehl r gesendet\n"
                       "gsmbv: 3328 Bytes empfangen\ngsmbv: Port geschlossen\ngsmbv: Sicherung angelegt: %2\n"
                       "gsmbv: Port %1 geöffnet\ngsmbv: ACK empfangen\ngsmbv: Befehl w gesendet\n";
    for (int s = 0; s <= 12; ++s)
        schritte += QStringLiteral("gsmbv: Seite %1 geschrieben\n").arg(s);
    schritte += "gsmbv: ESC gesendet\ngsmbv: Port geschlossen\ngsmbv: Port %1 geöffnet\ngsmbv: ACK empfangen\n"
                "gsmbv: Befehl r gesendet\ngsmbv: 3328 Bytes empfangen\ngsmbv: Port geschlossen\n"
                "gsmbv: zurückgelesen: Seiten 0 bis 12 wie gesendet\n"
                "Konfiguration geschrieben und geprüft: 13 Seiten\n";
    QCOMPARE(QString::fromUtf8(l.fehler),
             schritte.replace(QLatin1String("%1"), sim->pfad())
                 .replace(QLatin1String("%2"), daten.filePath("gsmbv/sicherungen/" + sicherung.value(0))));

    // The transcript: a heading, then every line with its time of day.
    const QList<QByteArray> zeilen = lesen(datei).split('\n');
    QVERIFY2(zeilen.value(0).startsWith("# gsmbv 1.") && zeilen.value(0).endsWith(
                 ": \"<-\" an das Gerät, \"->\" vom Gerät (hexadezimal)"), zeilen.value(0).constData());
    QByteArray empfangen, gesendet;
    int geschlossen = 0;
    static const QRegularExpression zeile(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d (<-|->|==) (.*)$"));
    for (const QByteArray& z : zeilen.mid(1, zeilen.size() - 2)) {
        const auto m = zeile.match(QString::fromUtf8(z));
        QVERIFY2(m.hasMatch(), z.constData());
        if (m.captured(1) == QLatin1String("=="))
            geschlossen += m.captured(2) == QLatin1String("Port geschlossen");
        else
            (m.captured(1) == QLatin1String("<-") ? empfangen : gesendet) += QByteArray::fromHex(m.captured(2).toLatin1());
    }
    QVERIFY(zeilen.last().isEmpty());
    // Every byte on the line, in both directions, as the device saw them.
    QTRY_COMPARE(empfangen, sim->empfangeneBytes());
    QCOMPARE(gesendet, sim->gesendeteBytes());
    QCOMPARE(geschlossen, sim->verbindungen());
}

// ---------------------------------------------------------------------------
// log

void TestCli::ausgabeZiele_data()
{
    QTest::addColumn<QString>("ziel");  // "": no --output; "-", "datei", "fifo", "fifo später", or a device
    QTest::addColumn<QByteArray>("ring");
    QTest::addColumn<QByteArray>("erwartet");
    const QByteArray ring = ereignisring();
    QTest::newRow("lines on standard output")
        << "" << ring
        << QByteArray("31.12, 23:59:59, Stromausfall - geht : Fehler SMS senden\n"
                      "02.03, 05:07:135, Fehler GSM Modul\n"
                      "04.05, 03:02:01, unbekanntes Ereignis (Code 200) - geht : gesendet\n"
                      "21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\n"
                      "01.01, 00:00:00, kein GSM-Netz verf\xC3\xBCgbar - kommt : aktiv\n");
    QTest::newRow("the file on standard output") << "-" << ring << kLogDatei;
    QTest::newRow("file replaced") << "datei" << ring << kLogDatei;
    QTest::newRow("empty ring, empty file") << "datei" << QByteArray(512, char(0xFF)) << QByteArray();
    QTest::newRow("FIFO with a reader") << "fifo" << ring << kLogDatei;
    QTest::newRow("FIFO, reader comes later") << "fifo später" << ring << kLogDatei;
    QTest::newRow("/dev/null") << "/dev/null" << ring << QByteArray();
}

void TestCli::ausgabeZiele()
{
    QFETCH(QString, ziel);
    QFETCH(QByteArray, ring);
    auto sim = geraet();
    sim->geraet().setzeEreignisse(ring);
    const QString fifo = pfad("protokoll.fifo"), datei = pfad("LOG.TXT");
    QVERIFY(schreiben(datei, QByteArray(5000, 'x')));
    int leser = -1;
    if (ziel.startsWith("fifo")) {
        QFile::remove(fifo);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (ziel == "fifo")
            leser = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    }
    const QString o = ziel.startsWith("fifo") ? fifo : ziel == "datei" ? datei : ziel;
    const Lauf l = gsmbv(QStringList{"log", "-p", sim->pfad(), "-t", "5"} + (o.isEmpty() ? QStringList() : QStringList{"-o", o}), 20000, {}, [&](QProcess& p) {
        if (ziel != "fifo später")
            return;
        // The tool waits for a reader and says so; then a reader comes.
        p.setReadChannel(QProcess::StandardError);
        QTRY_VERIFY_WITH_TIMEOUT(p.bytesAvailable() > 0 || p.state() != QProcess::Running, 10000);
        leser = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    });
    QVERIFY(l.normal);
    QCOMPARE(l.status, 0);
    QByteArray geschrieben = ziel == "datei" ? lesen(datei) : l.aus;
    if (leser >= 0) {
        char puffer[8192];
        const ssize_t n = ::read(leser, puffer, sizeof puffer);
        geschrieben = n > 0 ? QByteArray(puffer, n) : QByteArray();
        ::close(leser);
        QVERIFY(istFifo(fifo));  // never replaced by a regular file
    }
    if (ziel == "fifo später")
        QCOMPARE(l.fehler, "gsmbv: " + fifo.toUtf8() + ": warte, bis ein anderes Programm die FIFO liest\n");
    else
        QCOMPARE(l.fehler, QByteArray());
    QTEST(geschrieben, "erwartet");
    QVERIFY(!QFileInfo(QStringLiteral("/dev/null")).isFile());  // never replaced by a regular file
}

// ---------------------------------------------------------------------------
// clock

void TestCli::uhr_data()
{
    QTest::addColumn<bool>("stellen");
    QTest::newRow("read") << false;
    QTest::newRow("--set") << true;
}

void TestCli::uhr()
{
    QFETCH(bool, stellen);
    auto sim = geraet();
    sim->geraet().stelleUhr(QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)));
    const QDate heute = QDate::currentDate();
    const Lauf l = gsmbv(QStringList{"clock", "--port", sim->pfad(), "--timeout", "5"}
                         + (stellen ? QStringList{"--set"} : QStringList()));
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.status, 0);
    const QList<QByteArray> zeilen = l.aus.split('\n');
    QCOMPARE(zeilen.size(), stellen ? 3 : 2);
    QVERIFY(zeilen.last().isEmpty());
    // The five bytes the device sent before ">", after its ACK.
    const QByteArray b = sim->gesendeteBytes();
    QCOMPARE(b.size(), stellen ? 8 : 7);
    QVERIFY(b.startsWith(ACK) && b[6] == '>');
    QCOMPARE(QString::fromUtf8(zeilen[0]), uhrText(b[1], b[2], b[3], b[4], b[5]));
    QVERIFY(zeilen[0].startsWith("14:05:") && zeilen[0].endsWith("   21.06."));
    if (!stellen) {
        QCOMPARE(sim->empfangeneBytes(), QByteArray("t"));
        return;
    }
    // The second line is the time the device was set to.
    QTRY_VERIFY(sim->empfangeneBytes().endsWith(ESC));
    QCOMPARE(sim->empfangeneBytes().left(2), QByteArray("ts"));
    QCOMPARE(sim->empfangeneBytes().size(), 2 + 5 + 1);
    const auto e = sim->geraet().letzteUhreinstellung();
    QVERIFY(e && e->gueltig);
    QCOMPARE(QString::fromUtf8(zeilen[1]), uhrText(e->sekunde, e->minute, e->stunde, e->tag, e->monat));
    if (QDate::currentDate() == heute) {
        QCOMPARE(e->tag, heute.day());
        QCOMPARE(e->monat, heute.month());
        QCOMPARE(e->jahrRest, heute.year() % 4);
        QCOMPARE(e->wochentag, heute.dayOfWeek() - 1);
    }
}

// ---------------------------------------------------------------------------
// Commands without a device: help, version, wrong arguments, show, diff.
// Arguments: @name is a file in the test's folder, a first argument
// gsmbv-sim or gsmbv-konfig runs that program. Expected outputs are exact;
// "…" stands for any text in between, %D for the test's folder.
void TestCli::befehle_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("aus");
    QTest::addColumn<QString>("fehler");
    const auto hilfe = [](const char* name, const QStringList& a, const QString& aus) {
        QTest::newRow(name) << a << 0 << aus << QString();
    };
    hilfe("help", {"--help"}, "Aufruf: gsmbv read  -p PORT…GSMBV_PORT  …\n");
    hilfe("read --help", {"read", "--help"}, "Aufruf: gsmbv read -p PORT -o DATEI.cfg…ohne Rückfrage ersetzt…\n");
    hilfe("write -h", {"write", "-h"}, "Aufruf: gsmbv write -p PORT…weniger als 13 Zeilen…\n");
    hilfe("log --help", {"log", "--port", "x", "--help"}, "Aufruf: gsmbv log -p PORT…Windows-1252…\n");
    hilfe("clock --help", {"clock", "--help"}, "Aufruf: gsmbv clock -p PORT [--set]…--set  …\n");
    hilfe("show --help", {"show", "--help"}, "Aufruf: gsmbv show [--force] [--json | --pdf DATEI.pdf] DATEI.cfg…"
                                             "\"lines[2].text\" ist der Meldungstext der Meldelinie 3…\n");
    hilfe("diff --help", {"diff", "--help"}, "Aufruf: gsmbv diff DATEI_A.cfg DATEI_B.cfg…  1    Einstellungen verschieden\n…\n");
    hilfe("ports --help", {"ports", "--help"}, "Aufruf: gsmbv ports…/dev/serial/by-id/…\n");
    hilfe("simulator --help", {"gsmbv-sim", "--help"}, "Aufruf: gsmbv-sim [OPTIONEN]…Die erste Ausgabezeile ist\nder Gerätepfad…\n");
    hilfe("window --help", {"gsmbv-konfig", "--help"}, "Aufruf: gsmbv-konfig…--version…\n");
    // One form for all three programs, with the same version.
    hilfe("gsmbv --version", {"--version"}, "gsmbv 1.3.0\n");
    hilfe("gsmbv-sim --version", {"gsmbv-sim", "--version"}, "gsmbv-sim 1.3.0\n");
    hilfe("gsmbv-konfig --version", {"gsmbv-konfig", "--version"}, "gsmbv-konfig 1.3.0\n");

    // Wrong arguments: the reason, the command's usage, where its help is.
    const auto falsch = [](const char* name, const QStringList& a, const char* grund, const char* aufruf,
                           const char* hilfe) {
        QTest::newRow(name) << a << 2 << QString()
                            << QStringLiteral("gsmbv: %1\nAufruf: gsmbv %2\n%3Hilfe: gsmbv %4--help\n")
                                   .arg(QString::fromUtf8(grund), QString::fromUtf8(aufruf),
                                        *hilfe ? QString() : QStringLiteral("…\n"), QString::fromUtf8(hilfe));
    };
    falsch("nothing", {}, "kein Befehl angegeben", "read  -p PORT -o DATEI.cfg [-t SEKUNDEN] [GERÄTEOPTIONEN]", "");
    falsch("read", {"read", "-p", "COM1"}, "read braucht --output",
           "read -p PORT -o DATEI.cfg [-t SEKUNDEN] [GERÄTEOPTIONEN]", "read ");
    falsch("write", {"write", "-p", "COM1"}, "write braucht eine Konfigurationsdatei",
           "write -p PORT [-t SEKUNDEN] [--force] [--no-backup] [--no-verify]\n"
           "                   [GERÄTEOPTIONEN] DATEI.cfg", "write ");
    falsch("log", {"log", "-p", "COM9"}, "\"COM9\" ist kein Port: COM1 bis COM4 oder ein Gerätepfad",
           "log -p PORT [-o DATEI] [-t SEKUNDEN] [GERÄTEOPTIONEN]", "log ");
    falsch("clock", {"clock", "-p", "COM1", "-t", "0"},
           "--timeout braucht Sekunden größer als 0 und bis 86400, z. B. 5 oder 0.5",
           "clock -p PORT [--set] [-t SEKUNDEN] [GERÄTEOPTIONEN]", "clock ");
    falsch("show", {"show", "a", "b"}, "show nimmt genau eine Konfigurationsdatei",
           "show [--force] [--json | --pdf DATEI.pdf] DATEI.cfg", "show ");
    falsch("diff", {"diff", "a"}, "diff braucht genau zwei Konfigurationsdateien", "diff DATEI_A.cfg DATEI_B.cfg",
           "diff ");
    falsch("ports", {"ports", "x"}, "unerwartetes Argument \"x\"", "ports", "ports ");

    // show: the settings list itself is checked where it is built.
    QTest::newRow("show") << QStringList{"show", "@quelle.cfg"} << 0
                          << "Anlagenbezeichnung: Pumpwerk Nord\nNetzbetreiber: A1\nQuittierung: aktiv\n…\n"
                             "Analogeingang Nummer 3: email technik@pumpwerk-nord.at\n"
                          << QString();
    // --force shows a file that only fails the form check; without it show refuses it.
    QTest::newRow("show --force") << QStringList{"show", "--force", "@utf8.cfg"} << 0
                                  << "Anlagenbezeichnung: Pumpwerk Nord\n…\nMeldelinie 5 Meldungstext: St\u00C3\u00B6rung Pumpe 1\n…"
                                  << QString();
    QTest::newRow("show refuses") << QStringList{"show", "@utf8.cfg"} << 4 << QString()
                                  << "Fehler bei Zugriff auf Konfigurationsdatei\ngsmbv: %D/utf8.cfg: Zeile 6 passt nicht "
                                     "zum Format einer Konfigurationsdatei (UTF-8-Zeichen an Stelle 65; erwartet ist "
                                     "Windows-1252)\n";

    // The same settings in other bytes: line 1's fax and e-mail behind the
    // other operators' gateway prefixes.
    Konfigspeicher gleich = simStandardKonfig();
    listeSpeichern(gleich, 1, *listeRahmen({"06641234567", "676207229555123", "6761&technik*pumpwerk-nord.at "}));
    QVERIFY(schreiben(pfad("gleich.cfg"), cfgSchreiben(gleich)));
    QTest::newRow("diff, equal settings, other bytes") << QStringList{"diff", "@quelle.cfg", "@gleich.cfg"} << 0
                                                       << QString() << QString();
    Konfigspeicher k = simStandardKonfig();
    textSpeichern(k, bereich::SMSText(0), "Einbruch Halle 3");
    listeSpeichern(k, 1, *listeRahmen({"06641234567", "676207229555123"}));
    listeSpeichern(k, 8, *listeRahmen({"06769876543", "676207229555123", "06641234567"}));
    textSpeichern(k, bereich::Besttext2, "");  // an empty text unticks its box
    k.setze(0, 0, 0x0D);  // Öffner of lines 1, 3 and 4
    QVERIFY(schreiben(pfad("anders.cfg"), cfgSchreiben(k)));
    QTest::newRow("diff, differ") << QStringList{"diff", "@quelle.cfg", "@anders.cfg"} << 1
                                  << "Meldelinie 1 Meldungstext (lines[0].text)\n"
                                     "< Einbruch Halle 1\n"
                                     "> Einbruch Halle 3\n"
                                     "Meldelinie 1 Öffner (lines[0].normally_closed)\n"
                                     "< nein\n"
                                     "> ja\n"
                                     "Meldelinie 1 Nummer 3 (lines[0].recipients[2])\n"
                                     "< email technik@pumpwerk-nord.at\n"
                                     "> (nicht vorhanden)\n"
                                     "Meldelinie 8 Nummer 3 (lines[7].recipients[2])\n"
                                     "< (nicht vorhanden)\n"
                                     "> GSM 06641234567\n"
                                     "Relais 2 Bestätigungsmeldung (relays[1].confirmation)\n"
                                     "< aktiv\n"
                                     "> aus\n"
                                     "Relais 2 Bestätigungstext (relays[1].text)\n"
                                     "< Relais 2 geschaltet: Hupe aus\n"
                                     "> (leer)\n"
                                  << QString();
}

void TestCli::befehle()
{
    QFETCH(QStringList, argumente);
    QString programm = QStringLiteral("gsmbv");
    if (!argumente.isEmpty() && argumente[0].startsWith(QLatin1String("gsmbv-")))
        programm = argumente.takeFirst();
    for (QString& a : argumente)
        a = a.startsWith('@') ? pfad(qPrintable(a.mid(1))) : a;
    const Lauf l = gsmbv(argumente, 20000, [&](QProcess& p) {
        p.setProgram(qEnvironmentVariable("GSMBV_BIN_DIR") + QLatin1Char('/') + programm);
    });
    QTEST(l.status, "status");
    const QString istAus = QString::fromUtf8(l.aus), istFehler = QString::fromUtf8(l.fehler);
    QFETCH(QString, aus);
    QVERIFY2(passt(istAus, aus.replace("%D", m_dir.path())), qPrintable(istAus));
    QFETCH(QString, fehler);
    QVERIFY2(passt(istFehler, fehler.replace("%D", m_dir.path())), qPrintable(istFehler));
    // German throughout: none of the toolkit's English help, no umlauts written out.
    for (const char* fremd : {"Usage", "Options:", "Displays", "Geraet", "waehl"})
        QVERIFY2(!(istAus + istFehler).contains(QLatin1String(fremd)), fremd);
}

void TestCli::showJson()
{
    const QString daten = qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/tests/cli/daten/");
    const Lauf l = gsmbv({"show", "--json", daten + "tmobile.cfg"});
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.status, 0);
    QCOMPARE(QString::fromUtf8(l.aus), QString::fromUtf8(lesen(daten + "tmobile.json")));
}

void TestCli::showPdf()
{
    // As on a server: no display, no platform chosen.
    QTemporaryDir laufzeit;
    const auto ohneAnzeige = [&](QProcess& p) {
        QProcessEnvironment env = p.processEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), laufzeit.path());
        p.setProcessEnvironment(env);
    };
    QFile::setPermissions(laufzeit.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString datei = pfad("blatt.cfg"), pdf = pfad("blatt.pdf");
    QVERIFY(schreiben(datei, cfgSchreiben(simStandardKonfig())));
    const Lauf l = gsmbv({"show", "--pdf", pdf, datei}, 20000, ohneAnzeige);
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.status, 0);
    QCOMPARE(l.aus, QByteArray());
    const QStringList text = pdfText(pdf).split(QLatin1Char('\n'));
    QCOMPARE(text.mid(0, 4), (QStringList{"GSM Boravilon Konfiguration",
                                          "Anlagenbezeichnung                  Pumpwerk Nord",
                                          "Datum                               " + QDate::currentDate().toString("dd.MM.yyyy"),
                                          "Herkunft                            Datei " + datei}));
    QVERIFY(text.filter(QStringLiteral("Seite 3 von 3")).size() == 1);

    // A sheet that cannot be written is no success, and leaves nothing behind.
    const Lauf kaputt = gsmbv({"show", "--pdf", "/nonexistent/blatt.pdf", datei}, 20000, ohneAnzeige);
    QCOMPARE(kaputt.status, int(cli::Ausgabe));
    QVERIFY2(kaputt.fehler.startsWith("gsmbv: /nonexistent/blatt.pdf kann nicht geschrieben werden: "), kaputt.fehler);
}

// ---------------------------------------------------------------------------
// Runs that fail: arguments (PORT: the simulated device, @name: a file in the
// test's folder, ">/dev/full": standard output that takes nothing) and the
// device's fault -> exit status, the exact lines on standard error, what the
// device received first ("-": the port was never opened) and the pages it
// stored (none: it holds what it held). Nothing reaches standard output, and
// the file that was there before stays as it was.
void TestCli::fehlschlaege_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<QString>("fehler");          // of the simulated device
    QTest::addColumn<QByteArray>("speicher");     // empty: all 0xFF
    QTest::addColumn<bool>("strgC");              // Ctrl+C once the 600th echo is awaited
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("ausgabe");         // standard error; %D the folder, %P the port
    QTest::addColumn<QByteArray>("anfang");
    QTest::addColumn<QList<int>>("gespeichert");

    // Files of every kind a write must refuse before it opens the port.
    QVERIFY(schreiben(pfad("zwoelf.cfg"), zwoelfZeilen()));

    const QByteArray standard = simStandardSpeicher();
    QByteArray ueberlauf = standard;
    ueberlauf[11 * 256 + 128] = char(0x80);
    const QString datei = "Fehler bei Zugriff auf Konfigurationsdatei\ngsmbv: %D/";
    const QString uebertragung = QStringLiteral("Fehler bei Datenübertragung\ngsmbv: ");
    const QString stumm = QStringLiteral("Verbindung nicht möglich\ngsmbv: kein ACK innerhalb 100 ms\n");
    const QString teilweise = QStringLiteral("gsmbv: Gerät nur teilweise beschrieben: ");
    const QString wiederholen = QStringLiteral(". Schreiben wiederholen.\n");
    const QString form = QStringLiteral("Zeile %1 passt nicht zum Format einer Konfigurationsdatei (%2)\n");
    const QStringList w{"write", "-p", "PORT", "-t", "0.2", "@quelle.cfg"};
    const auto zeile = [](const char* name, const QStringList& a, const QString& fehler, const QByteArray& speicher,
                          int status, const QString& aus, const QByteArray& anfang, const QList<int>& seiten = {},
                          bool strgC = false) {
        QTest::newRow(name) << a << fehler << speicher << strgC << status << aus << anfang << seiten;
    };
    const auto schreibzeile = [&](const char* name, const char* datei, const QString& grund) {
        zeile(name, {"write", "-p", "PORT", datei}, "", standard, 4,
              "Fehler bei Zugriff auf Konfigurationsdatei\ngsmbv: %D/" + QString::fromUtf8(datei + 1) + ": " + grund,
              "-");
    };

    zeile("read, no such folder", {"read", "-p", "PORT", "-o", "@gibtsnicht/a.cfg"}, "", standard, 4,
          datei + "gibtsnicht/a.cfg: Datei oder Ordner nicht vorhanden\n", "-");
    zeile("read, decode fails", {"read", "-p", "PORT", "-o", "@alt.cfg"}, "", ueberlauf, 3,
          uebertragung + "Konfigurationsdaten nicht lesbar: Analogeingang Messwert 4 mA (Seite 11, Zeichen 129 und "
                         "130): 0x80 0x00 = 32768, größer als 32767\n", "r");
    zeile("read stops", {"read", "-p", "PORT", "-o", "@alt.cfg", "-t", "0.1"}, "stop@1000", standard, 3,
          uebertragung + "nach 1000 von 3328 Bytes keine Daten mehr\n", "r\x1B");
    zeile("log, no such folder", {"log", "-p", "PORT", "-o", "@gibtsnicht/LOG.TXT"}, "", standard, 5,
          "gsmbv: %D/gibtsnicht/LOG.TXT kann nicht geschrieben werden: Datei oder Ordner nicht vorhanden\n", "-");
    zeile("log, standard output full", {"log", "-p", "PORT", ">/dev/full"}, "", standard, 5,
          "gsmbv: Standardausgabe kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger\n", "l");
    zeile("log stops", {"log", "-p", "PORT", "-o", "@alt.cfg", "-t", "0.1"}, "hangup@102", standard, 3,
          uebertragung + "nach 101 von 513 Bytes keine Daten mehr\n", "l");
    zeile("show, standard output full", {"show", "@quelle.cfg", ">/dev/full"}, "", standard, 5,
          "gsmbv: Standardausgabe kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger\n", "-");
    zeile("show, no such file", {"show", "@gibtsnicht.cfg"}, "", standard, 4,
          datei + "gibtsnicht.cfg: Datei oder Ordner nicht vorhanden\n", "-");
    zeile("diff, no such file", {"diff", "@quelle.cfg", "@gibtsnicht.cfg"}, "", standard, 4,
          datei + "gibtsnicht.cfg: Datei oder Ordner nicht vorhanden\n", "-");
    zeile("no such device", {"clock", "-p", "/dev/gsmbv-gibtsnicht", "-t", "30"}, "", standard, 1,
          "Verbindung nicht möglich\ngsmbv: Gerät /dev/gsmbv-gibtsnicht nicht vorhanden\n", "-");
    zeile("silent, write", {"write", "-p", "PORT", "-t", "0.1", "@quelle.cfg"}, "silent", standard, 1,
          stumm + "gsmbv: Gerät nicht beschrieben\n", "");
    zeile("silent, write --no-backup", {"write", "--no-backup", "-p", "PORT", "-t", "0.1", "@quelle.cfg"}, "silent",
          standard, 1, stumm, "");

    schreibzeile("12 lines", "@zwoelf.cfg", form.arg(13).arg("fehlt: die Datei hat nur 12 von 13 Zeilen"));
    schreibzeile("missing", "@fehlt.cfg", "Datei oder Ordner nicht vorhanden\n");
    // A file with missing lines stays refused with --force: half of the device would get the defaults.
    zeile("12 lines, --force", {"write", "--force", "-p", "PORT", "@zwoelf.cfg"}, "", standard, 4,
          datei + "zwoelf.cfg: nur 12 von 13 Zeilen\n", "-");

    // Echoes: "w" is 1, each page its character and 256 bytes.
    zeile("no echo for w", w, "noecho@1", {}, 3,
          uebertragung + "Echo fehlt bei w\ngsmbv: Gerät nicht beschrieben: keine Seite gesendet" + wiederholen, "rw");
    zeile("no echo, page 1 select", w, "noecho@259", {}, 3,
          uebertragung + "Echo fehlt beim Seitenzeichen von Seite 1\n" + teilweise
              + "Seite 0 geschrieben, 1 bis 12 nicht" + wiederholen, "rw0");
    zeile("no echo, page 0 byte 1", w, "noecho@3", {}, 3,
          uebertragung + "Echo fehlt bei Seite 0, Zeichen 1\n" + teilweise + "Seiten 0 bis 12 nicht geschrieben"
              + wiederholen, "rw0");
    zeile("Ctrl+C", {"write", "-p", "PORT", "-t", "30", "@quelle.cfg"}, "noecho@600", {}, 130,
          "gsmbv: abgebrochen\n" + teilweise + "Seiten 0 und 1 geschrieben, 2 bis 12 nicht" + wiederholen, "rw0", {},
          true);
    // The backup read fails: nothing is written.
    zeile("backup read stops", w, "stop@100", {}, 3,
          uebertragung + "nach 100 von 3328 Bytes keine Daten mehr\ngsmbv: Gerät nicht beschrieben: seine "
                         "Konfiguration ließ sich vorher nicht lesen (ohne Sicherung schreiben: --no-backup)\n",
          "r\x1B");
    // The read back fails: written, but not checked.
    zeile("read back stops", QStringList{"write", "--no-backup"} + w.mid(1), "stop@100", {}, 3,
          uebertragung + "nach 100 von 3328 Bytes keine Daten mehr\n"
                         "gsmbv: Konfiguration geschrieben, aber nicht geprüft\n",
          "w0", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    // Pages the device takes and echoes but does not keep.
    zeile("pages 3 and 11 not stored", w, "nostore@3,nostore@11", {}, 3,
          "Prüfung fehlgeschlagen: Seiten 3 und 11 weichen ab\n"
          "gsmbv: erste Abweichung: Seite 3, Zeichen 1: gesendet 0x30, gelesen 0xFF\n",
          "rw0", {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 12});
    zeile("page 12 not stored, --no-backup", QStringList{"write", "--no-backup"} + w.mid(1), "nostore@12", {}, 3,
          "Prüfung fehlgeschlagen: Seite 12 weicht ab\n"
          "gsmbv: erste Abweichung: Seite 12, Zeichen 1: gesendet 0x44, gelesen 0xFF\n",
          "w0", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    zeile("not stored, --no-verify", QStringList{"write", "--no-verify"} + w.mid(1), "nostore@3", {}, 0, "", "rw0",
          {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12});
}

void TestCli::fehlschlaege()
{
    QFETCH(QStringList, argumente);
    QFETCH(QString, fehler);
    QFETCH(QByteArray, speicher);
    QFETCH(bool, strgC);
    if (speicher.isEmpty())
        speicher = QByteArray(kGeraeteBytes, char(0xFF));
    auto sim = geraet(speicher, fehler);
    QVERIFY(schreiben(pfad("alt.cfg"), "alt"));
    const bool voll = argumente.removeAll(">/dev/full") > 0;
    for (QString& a : argumente)
        a = a == "PORT" ? sim->pfad() : a.startsWith('@') ? pfad(qPrintable(a.mid(1))) : a;
    const Lauf l = gsmbv(
        argumente, 20000,
        [&](QProcess& p) {
            if (voll)
                p.setStandardOutputFile(QStringLiteral("/dev/full"));
        },
        [&](QProcess& p) {
            if (strgC) {
                QVERIFY(kit::warten([&] { return sim->empfangeneBytes().size() == 1 + 600; }));
                ::kill(pid_t(p.processId()), SIGINT);
            }
        });
    QVERIFY(l.normal);
    QFETCH(QString, ausgabe);
    QCOMPARE(QString::fromUtf8(l.fehler), ausgabe.replace("%D", m_dir.path()).replace("%P", sim->pfad()));
    QTEST(l.status, "status");
    QCOMPARE(l.aus, QByteArray());
    QCOMPARE(lesen(pfad("alt.cfg")), QByteArray("alt"));
    QFETCH(QByteArray, anfang);
    if (anfang == "-")
        QCOMPARE(sim->verbindungen(), 0);
    else
        QVERIFY2(kit::warten([&] { return sim->empfangeneBytes().startsWith(anfang); }, 2000),
                 sim->empfangeneBytes().left(8).toHex().constData());
    // The pages the device stored; none: it was left with ESC and holds what it held.
    QFETCH(QList<int>, gespeichert);
    QCOMPARE(sim->geraet().letzteSeiten(), gespeichert);
    if (gespeichert.isEmpty()) {
        QVERIFY(anfang != "rw0" || kit::warten([&] { return sim->empfangeneBytes().contains(ESC); }));
        QCOMPARE(sim->geraet().speicher(), speicher);
    }
}

void TestCli::festerName()
{
    // A stable name is a link to the device, as under /dev/serial/by-id/.
    auto sim = geraet();
    sim->geraet().stelleUhr(QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)));
    const QString name = pfad("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    QFile::remove(name);
    QVERIFY(QFile::link(sim->pfad(), name));

    Lauf l = gsmbv({"clock", "-p", name, "-t", "5"});
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.status, 0);
    QVERIFY(l.aus.startsWith("14:05:"));
    l = gsmbv({"clock", "-t", "5"}, 20000, [&](QProcess& p) {
        QProcessEnvironment e = p.processEnvironment();
        e.insert("GSMBV_PORT", name);
        p.setProcessEnvironment(e);
    });
    QCOMPARE(l.status, 0);
    QVERIFY(l.aus.startsWith("14:05:"));
    QCOMPARE(sim->verbindungen(), 2);

    // Both names are one port: while another program holds the device under
    // its own name, the stable name finds it locked.
    QSerialPort anderes(sim->pfad());
    QVERIFY(anderes.open(QIODevice::ReadWrite));
    l = gsmbv({"clock", "-p", name, "-t", "30"}, 5000);  // at once, not after the wait
    QCOMPARE(l.status, int(cli::KeineVerbindung));
    QVERIFY2(l.fehler.startsWith("Verbindung nicht möglich\ngsmbv: COM 1 (" + name.toUtf8()
                                 + ") ist belegt von Programm test_cli (PID "),
             l.fehler.constData());
    // The same for a relative path to the link.
    l = gsmbv({"clock", "-p", "./" + QFileInfo(name).fileName(), "-t", "30"}, 5000,
              [&](QProcess& p) { p.setWorkingDirectory(m_dir.path()); });
    QCOMPARE(l.status, int(cli::KeineVerbindung));
    anderes.close();
}

void TestCli::portsImBaum()
{
    // A /sys and /dev of its own: a USB adapter with a stable name, an
    // on-board port behind the serial core's own devices (bus serial-base),
    // a virtual console (no device: no serial port).
    QTemporaryDir baum;
    const QString sys = baum.filePath("sys"), dev = baum.filePath("dev");
    const QString usb = sys + "/devices/pci0000:00/usb1/1-1";
    const QString uart = sys + "/devices/platform/serial8250";
    const QString kern = sys + "/bus/serial-base";
    for (const QString& d : {usb + "/1-1:1.0/ttyUSB0/tty/ttyUSB0", uart + "/serial8250:0/serial8250:0.0/tty/ttyS0",
                             sys + "/bus/usb-serial/drivers/ftdi_sio", sys + "/bus/platform/drivers/serial8250",
                             kern + "/drivers/port", kern + "/drivers/ctrl", sys + "/devices/virtual/tty/tty0",
                             sys + "/class/tty", dev + "/serial/by-id"})
        QVERIFY(QDir().mkpath(d));
    QVERIFY(schreiben(usb + "/product", "FT232R USB UART\n"));
    QVERIFY(schreiben(usb + "/manufacturer", "FTDI\n"));
    QVERIFY(QFile::link(sys + "/bus/usb-serial/drivers/ftdi_sio", usb + "/1-1:1.0/ttyUSB0/driver"));
    QVERIFY(QFile::link(usb + "/1-1:1.0/ttyUSB0", usb + "/1-1:1.0/ttyUSB0/tty/ttyUSB0/device"));
    QVERIFY(QFile::link(sys + "/bus/platform/drivers/serial8250", uart + "/driver"));
    for (const QString& stufe : {QString("/serial8250:0"), QString("/serial8250:0/serial8250:0.0")}) {
        QVERIFY(QFile::link(kern, uart + stufe + "/subsystem"));
        QVERIFY(QFile::link(kern + (stufe.endsWith(".0") ? "/drivers/port" : "/drivers/ctrl"), uart + stufe + "/driver"));
    }
    QVERIFY(QFile::link(uart + "/serial8250:0/serial8250:0.0", uart + "/serial8250:0/serial8250:0.0/tty/ttyS0/device"));
    QVERIFY(QFile::link(usb + "/1-1:1.0/ttyUSB0/tty/ttyUSB0", sys + "/class/tty/ttyUSB0"));
    QVERIFY(QFile::link(uart + "/serial8250:0/serial8250:0.0/tty/ttyS0", sys + "/class/tty/ttyS0"));
    QVERIFY(QFile::link(sys + "/devices/virtual/tty/tty0", sys + "/class/tty/tty0"));
    QVERIFY(schreiben(dev + "/ttyUSB0", "") && schreiben(dev + "/ttyS0", "") && schreiben(dev + "/tty0", ""));
    QVERIFY(::symlink("../../ttyUSB0", QFile::encodeName(dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")) == 0);
    QVERIFY(QFile::setPermissions(dev + "/ttyS0", QFile::Permissions()));
    // As root every device may be opened.
    const QString zugriffS0 = ::geteuid() == 0 ? QStringLiteral("ja")
                                               : QStringLiteral("nein (Gruppe %1)").arg(QFileInfo(dev + "/ttyS0").group());

    const Lauf l = gsmbv({"ports"}, 20000, [&](QProcess& p) {
        QProcessEnvironment e = p.processEnvironment();
        e.insert("GSMBV_SYS", sys);
        e.insert("GSMBV_DEV", dev);
        p.setProcessEnvironment(e);
    });
    QCOMPARE(l.fehler, QByteArray());
    QCOMPARE(l.status, 0);
    QCOMPARE(QString::fromUtf8(l.aus), "COM1: /dev/ttyUSB0\n"
                                       "  fester Name: /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
                                       "  Treiber: ftdi_sio (FTDI FT232R USB UART)\n"
                                       "  Zugriff: ja\n"
                                       "COM2: /dev/ttyS0\n"
                                       "  Treiber: serial8250\n"
                                       "  Zugriff: " + zugriffS0 + "\n"
                                       "COM3: /dev/ttyS2 (nicht vorhanden)\n"
                                       "COM4: /dev/ttyS3 (nicht vorhanden)\n");
}

void TestCli::fortschrittAmTerminal_data()
{
    QTest::addColumn<QStringList>("argumente");  // the port and the file are added
    QTest::addColumn<QString>("fehler");         // a fault of the simulated device
    QTest::addColumn<int>("spalten");            // 0: the terminal tells none, COLUMNS=60
    QTest::addColumn<QByteArray>("anfang");
    QTest::addColumn<QByteArray>("ende");
    const QByteArray aufbau = "\rVerbindungsaufbau ... noch 5 s";
    QTest::newRow("read, 50 columns")
        << QStringList{"read", "-o", "DATEI"} << "" << 50 << aufbau
        << QByteArray("\rlese Konfigurationsdaten ... [########] 3328/3328\n"
                      "Konfiguration gelesen und in DATEI gespeichert\n");
    QTest::newRow("write, COLUMNS")
        << QStringList{"write", "DATEI"} << "" << 0 << aufbau
        << QByteArray("\rpr\xC3\xBC" "fe Konfigurationsdaten ... [#################] 3328/3328\n"
                      "Konfiguration geschrieben und gepr\xC3\xBC" "ft: 13 Seiten\n");
    // Errors only: nothing when all goes well.
    QTest::newRow("write -q") << QStringList{"write", "-q", "DATEI"} << "" << 80 << QByteArray() << QByteArray();
    // The countdown follows --timeout, one step a second.
    QTest::newRow("silent device, 1.2 s")
        << QStringList{"clock", "-t", "1.2"} << "silent" << 80
        << QByteArray("\rVerbindungsaufbau ... noch 2 s"
                      "\rVerbindungsaufbau ... noch 1 s\rVerbindungsaufbau ... noch 0 s\n"
                      "Verbindung nicht m\xC3\xB6glich\n")
        << QByteArray();
}

void TestCli::fortschrittAmTerminal()
{
    QFETCH(QStringList, argumente);
    QFETCH(QString, fehler);
    QFETCH(int, spalten);
    QFETCH(QByteArray, anfang);
    QFETCH(QByteArray, ende);
    const QString datei = pfad("terminal.cfg");
    QVERIFY(schreiben(datei, cfgSchreiben(simStandardKonfig())));
    argumente.replaceInStrings("DATEI", datei);
    ende.replace("DATEI", datei.toUtf8());
    auto sim = geraet(simStandardSpeicher(), fehler);
    sim->geraet().setzeEreignisse(ereignisring());
    Lauf l;
    const QByteArray terminal = amTerminal(l, argumente + QStringList{"-p", sim->pfad()} +
                                                  (argumente.contains("-t") ? QStringList() : QStringList{"-t", "5"}),
                                           spalten, [](QProcess& p) {
                                               QProcessEnvironment e = p.processEnvironment();
                                               e.insert("COLUMNS", "60");
                                               p.setProcessEnvironment(e);
                                           });
    QVERIFY2(terminal.startsWith(anfang), terminal.constData());
    QVERIFY2(terminal.endsWith(ende), terminal.constData());
    if (anfang.isEmpty() && ende.isEmpty())
        QCOMPARE(terminal, QByteArray());
    QCOMPARE(l.status, fehler.isEmpty() ? 0 : int(cli::KeineVerbindung));
    // Each state on one line that fits the terminal, drawn a few times a
    // second: a few kilobytes where every byte used to redraw it.
    const int breite = spalten ? spalten : 60;
    for (const QByteArray& z : terminal.split('\n').first().split('\r'))
        QVERIFY2(QString::fromUtf8(z).size() < breite, z.constData());
    QVERIFY2(terminal.size() < 4000, qPrintable(QString::number(terminal.size())));
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
