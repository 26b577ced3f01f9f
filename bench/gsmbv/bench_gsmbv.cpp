// Speed of the program against the simulated device, one figure a line:
//
//  - configuration read, full write (pages 0..12 flagged) and event-memory
//    download at 9600 bit/s, each as time and as a ratio to its wire-time
//    floor (10 bits per byte). The transfer is timed from the command byte
//    (written right after the device's ACK) to the operation's end; the time
//    with the connection set-up is shown beside it;
//  - write and verify (the write, then a configuration read) against the sum
//    of both floors, and the whole gsmbv write as a process;
//  - echoed characters per second through Senden with the device unpaced
//    (--baud 0): a full write, its characters divided by its time, and the
//    program's CPU time per character;
//  - beside both writes, the same characters sent by a bare poll/write/read
//    loop on the same line: what the line, the device and the machine's load
//    allow at that moment, so that the program's own share can be told apart;
//  - CPU seconds of the program during a wait for an ACK that never comes;
//  - time from the start of gsmbv-konfig (offscreen) to its window shown, and
//    its peak memory.
//
// The device is gsmbv-sim as a process of its own, as a real device is: on
// one event loop with the program its pacing and the program's work would
// delay each other. --intern runs it in this process for comparison.
// Figures only; the aims are printed beside them and nothing is asserted.
// --quick: one run of each, a write of 2 pages, a 2 s wait. --nur picks parts.
// --fenster: with the program's progress window drawn offscreen.
#include "door/door.h"
#include "cfgfile/cfgdatei.h"
#include "image/konfigspeicher.h"
#include "linkui/datenfenster.h"
#include "link/seriellertransport.h"
#include "link/verbindung.h"
#include "linktext/linktext.h"
#include "sim/simptyrunner.h"

#include <QCommandLineParser>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// --fenster: the progress window of the program is drawn (offscreen) as in the
// program, instead of no view at all.
bool g_fenster = false;

using Uhr = std::chrono::steady_clock;

double sekunden(Uhr::duration d) { return std::chrono::duration<double>(d).count(); }

double cpuSekunden()
{
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

QString last()
{
    double l[3] = {0, 0, 0};
    if (::getloadavg(l, 3) != 3)
        return QStringLiteral("?");
    return QStringLiteral("%1 %2 %3").arg(l[0], 0, 'f', 2).arg(l[1], 0, 'f', 2).arg(l[2], 0, 'f', 2);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

void zeile(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString ziel(bool erreicht) { return erreicht ? QStringLiteral("erreicht") : QStringLiteral("VERFEHLT"); }

// Shows nothing: the link's messages come with its report.
class LeiseTuer : public Door {
public:
    LeiseTuer() { Door::setzen(this); }
    ~LeiseTuer() override { Door::setzen(nullptr); }
    Antwort meldung(const QString&, Icon, Knoepfe, const QString&) override { return Antwort::Ok; }
    void beep() override {}
    QString dateiSpeichern(const Dateidialog&) override { return {}; }
    QString dateiOeffnen(const Dateidialog&) override { return {}; }
    bool starten(const QString&, const QStringList&) override { return false; }
    bool anzeigen(const QString&) override { return false; }
};

// The program's serial transport; notes when the first byte after an open is
// written (the command, sent as soon as the ACK is in).
class GestoppterTransport : public Transport {
public:
    GestoppterTransport() { connect(&m_innen, &Transport::datenDa, this, &Transport::datenDa); }

    bool oeffnen(const QString& geraet) override
    {
        erstesSchreiben.reset();
        return m_innen.oeffnen(geraet);
    }
    void schliessen() override { m_innen.schliessen(); }
    bool istOffen() const override { return m_innen.istOffen(); }
    bool schreiben(const QByteArray& bytes) override
    {
        if (!erstesSchreiben)
            erstesSchreiben = Uhr::now();
        return m_innen.schreiben(bytes);
    }
    qint64 wartend() const override { return m_innen.wartend(); }
    QByteArray lesen(qint64 hoechstens) override { return m_innen.lesen(hoechstens); }
    QString letzterFehler() const override { return m_innen.letzterFehler(); }
    Portursache ursache() const override { return m_innen.ursache(); }

    std::optional<Uhr::time_point> erstesSchreiben;

private:
    SeriellerTransport m_innen;
};

// The simulated device: gsmbv-sim as a child process, or the runner in this process.
class Geraet {
public:
    Geraet(int baud, const QStringList& fehler, bool intern)
    {
        if (intern) {
            SimOptionen o;
            o.baud = baud;
            for (const QString& f : fehler)
                o.fehler.hinzufuegen(f);
            m_runner = std::make_unique<SimPtyRunner>(o);
            if (m_runner->ok())
                pfad = m_runner->pfad();
            else
                fehlertext = m_runner->fehlertext();
            return;
        }
        QStringList argumente{QStringLiteral("--baud"), QString::number(baud)};
        for (const QString& f : fehler)
            argumente << QStringLiteral("--fault") << f;
        m_prozess = std::make_unique<QProcess>();
        m_prozess->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_prozess->start(QCoreApplication::applicationDirPath() + QStringLiteral("/gsmbv-sim"), argumente);
        if (!m_prozess->waitForStarted(5000)) {
            fehlertext = m_prozess->errorString();
            return;
        }
        while (!m_prozess->canReadLine() && m_prozess->waitForReadyRead(5000)) {
        }
        if (!m_prozess->canReadLine()) {
            fehlertext = QStringLiteral("gsmbv-sim nennt keinen Geraetepfad");
            return;
        }
        pfad = QString::fromLocal8Bit(m_prozess->readLine()).trimmed();
    }
    ~Geraet()
    {
        if (m_prozess && m_prozess->state() != QProcess::NotRunning) {
            m_prozess->terminate();
            if (!m_prozess->waitForFinished(3000))
                m_prozess->kill();
            m_prozess->waitForFinished(1000);
        }
    }
    bool ok() const { return !pfad.isEmpty(); }

    QString pfad;
    QString fehlertext;

private:
    std::unique_ptr<QProcess> m_prozess;
    std::unique_ptr<SimPtyRunner> m_runner;
};

struct Lauf {
    Ausgang ausgang = Ausgang::Abgebrochen;
    double uebertragung = 0;  // from the command byte to the end
    double gesamt = 0;        // from the call to the end
    double cpu = 0;           // CPU of this process meanwhile
    QString meldung;
};

using Fertig = Verbindung::Fertig;

// Runs one device operation on the device at `pfad` and waits (on the event loop) for its end.
template <typename Starten>
Lauf laufen(const QString& pfad, std::chrono::milliseconds wartezeit, Starten starten)
{
    LeiseTuer tuer;
    auto transport = std::make_unique<GestoppterTransport>();
    GestoppterTransport* t = transport.get();
    Verbindung v(std::move(transport));
    v.zuordnung().festlegen(1, pfad);
    v.setWartezeit(wartezeit);
    std::unique_ptr<DatenFenster> fenster;
    if (g_fenster)
        fenster = std::make_unique<DatenFenster>(v);

    Lauf lauf;
    QEventLoop schleife;
    Uhr::time_point ende{};
    double cpuEnde = 0;
    const double cpuStart = cpuSekunden();
    const Uhr::time_point beginn = Uhr::now();
    const bool angenommen = starten(v, [&](const Vorgangsbericht& e) {
        ende = Uhr::now();
        cpuEnde = cpuSekunden();
        lauf.ausgang = e.ausgang;
        lauf.meldung = linktext::meldung(e);
        schleife.quit();
    });
    if (!angenommen) {
        lauf.meldung = QStringLiteral("Operation abgelehnt");
        return lauf;
    }
    schleife.exec();
    lauf.gesamt = sekunden(ende - beginn);
    lauf.uebertragung = t->erstesSchreiben ? sekunden(ende - *t->erstesSchreiben) : 0;
    lauf.cpu = cpuEnde - cpuStart;
    return lauf;
}

bool lesen(Verbindung& v, Fertig f)
{
    return v.konfigurationLesen([](const QByteArray& b) { return b.size() == kGeraeteBytes; }, std::move(f));
}

bool ereignisse(Verbindung& v, Fertig f)
{
    return v.ereignisspeicherLesen([](const QByteArray& b) { return b.size() == Verbindung::kLogAnzahl; },
                                   std::move(f));
}

struct Schreiben {
    Konfigspeicher bild;
    Seitenaenderung seiten{};
    int anzahl = 0;

    explicit Schreiben(int seitenzahl)
    {
        Grundeinstellung(bild);
        if (seitenzahl >= kGeraeteSeiten)
            Alles_markieren(seiten);
        else
            for (int p = 0; p < seitenzahl; ++p)
                seiten[std::size_t(p)] = true;
        anzahl = int(std::count(seiten.begin(), seiten.end(), true));
    }
    // Characters sent, each echoed: "w", then per page its character and 256 cells.
    int zeichen() const { return 1 + anzahl * (kZellen + 1); }
    bool operator()(Verbindung& v, Fertig f) const { return v.konfigurationSchreiben(bild, seiten, std::move(f)); }
};

// The same write without the program: a bare loop of poll, write and read on
// the line, each character awaiting its echo. What the line and the device
// allow on this machine now; the program is measured against it too. Seconds
// from the "w" to the last echo, or a negative value when the device did not
// answer as expected.
double rohSchreiben(const QString& pfad, const Schreiben& schreiben)
{
    QByteArray text("w");
    for (int p = 0; p < kSeiten; ++p)
        if (schreiben.seiten[std::size_t(p)])
            text += char(48 + p) + schreiben.bild.seite(p);
    const int fd = ::open(pfad.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(fd, TCSANOW, &t);
    const auto byteLesen = [fd](char& z) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 5000) == 1 && ::read(fd, &z, 1) == 1;
    };
    char z = 0;
    double dauer = -1;
    if (byteLesen(z) && z == char(Verbindung::ACK)) {
        const Uhr::time_point beginn = Uhr::now();
        bool ok = true;
        for (qsizetype i = 0; ok && i < text.size(); ++i)
            ok = ::write(fd, text.constData() + i, 1) == 1 && byteLesen(z) && z == text.at(i);
        if (ok)
            dauer = sekunden(Uhr::now() - beginn);
        const char esc = char(Verbindung::ESC);
        [[maybe_unused]] const auto n = ::write(fd, &esc, 1);
    }
    ::close(fd);
    return dauer;
}

QString ausgangText(const Lauf& l)
{
    if (l.ausgang == Ausgang::Erfolg)
        return {};
    return QStringLiteral("  [nicht erfolgreich: %1]").arg(l.meldung.isEmpty() ? QStringLiteral("?") : l.meldung);
}

// One transfer at 9600 bit/s, `wiederholungen` times; the median against its
// floor. With `roh` (a write, the device in its own process) the bare loop
// runs after each of the program's runs, under the same load.
void uebertragung(const QString& name, int bytesAufDerLeitung, int wiederholungen, bool intern,
                  const std::function<bool(Verbindung&, Fertig)>& starten, const Schreiben* roh = nullptr)
{
    Geraet g(9600, {}, intern);
    if (!g.ok()) {
        zeile(QStringLiteral("%1: Geraet nicht gestartet (%2)").arg(name, g.fehlertext));
        return;
    }
    const double boden = bytesAufDerLeitung * 10.0 / 9600.0;
    std::vector<double> zeiten, gesamt, rohZeiten;
    QString fehler;
    for (int i = 0; i < wiederholungen; ++i) {
        const Lauf l = laufen(g.pfad, Verbindung::kWartezeit, starten);
        if (l.ausgang != Ausgang::Erfolg) {
            fehler = ausgangText(l);
            break;
        }
        zeiten.push_back(l.uebertragung);
        gesamt.push_back(l.gesamt);
        if (roh && !intern)
            if (const double r = rohSchreiben(g.pfad, *roh); r > 0)
                rohZeiten.push_back(r);
    }
    if (zeiten.empty()) {
        zeile(name + fehler);
        return;
    }
    const double t = median(zeiten);
    const double verhaeltnis = t / boden;
    const QString ohneProgramm =
        rohZeiten.empty() ? QString()
                          : QStringLiteral("; ohne Programm (rohe Schleife) %1 s = %2x, Programm/roh %3x")
                                .arg(median(rohZeiten), 0, 'f', 3)
                                .arg(median(rohZeiten) / boden, 0, 'f', 3)
                                .arg(t / median(rohZeiten), 0, 'f', 3);
    zeile(QStringLiteral("%1: %2 s, Boden %3 s (%4 Bytes), %5x (Ziel <= 1.05x: %6); "
                         "min %7 s, max %8 s, mit Verbindungsaufbau %9 s%12; %10 Laeufe%11")
              .arg(name)
              .arg(t, 0, 'f', 3)
              .arg(boden, 0, 'f', 3)
              .arg(bytesAufDerLeitung)
              .arg(verhaeltnis, 0, 'f', 3)
              .arg(ziel(verhaeltnis <= 1.05))
              .arg(*std::min_element(zeiten.begin(), zeiten.end()), 0, 'f', 3)
              .arg(*std::max_element(zeiten.begin(), zeiten.end()), 0, 'f', 3)
              .arg(median(gesamt), 0, 'f', 3)
              .arg(zeiten.size())
              .arg(fehler, ohneProgramm));
}

// Write and verify as gsmbv write does it: the write, then a configuration
// read on a connection of its own; the two transfers together against the sum
// of their floors. Beside it the whole command, gsmbv write --no-backup as a
// process, from its start to its end (with both connection set-ups).
void schreibenUndPruefen(int wiederholungen, bool intern, const Schreiben& schreiben)
{
    const QString name = QStringLiteral("Schreiben und Pruefen (%1 Seiten), 9600 Bd").arg(schreiben.anzahl);
    Geraet g(9600, {}, intern);
    if (!g.ok()) {
        zeile(QStringLiteral("%1: Geraet nicht gestartet (%2)").arg(name, g.fehlertext));
        return;
    }
    const double bodenSchreiben = 2 * schreiben.zeichen() * 10.0 / 9600.0;
    const double bodenLesen = (1 + 1 + kGeraeteBytes) * 10.0 / 9600.0;
    const double boden = bodenSchreiben + bodenLesen;
    std::vector<double> zeiten, gesamt;
    QString fehler;
    for (int i = 0; i < wiederholungen && fehler.isEmpty(); ++i) {
        const Lauf w = laufen(g.pfad, Verbindung::kWartezeit, schreiben);
        if (w.ausgang != Ausgang::Erfolg) {
            fehler = ausgangText(w);
            break;
        }
        const Lauf r = laufen(g.pfad, Verbindung::kWartezeit, lesen);
        if (r.ausgang != Ausgang::Erfolg) {
            fehler = ausgangText(r);
            break;
        }
        zeiten.push_back(w.uebertragung + r.uebertragung);
        gesamt.push_back(w.gesamt + r.gesamt);
    }
    // The command itself, when the device runs as a process of its own (the
    // program in this process would hold the line open otherwise).
    QString befehl;
    if (!intern && fehler.isEmpty() && schreiben.anzahl == kGeraeteSeiten) {
        const QString datei = QDir::temp().filePath(QStringLiteral("bench_gsmbv_%1.cfg").arg(::getpid()));
        QFile f(datei);
        if (f.open(QIODevice::WriteOnly) && f.write(cfgSchreiben(schreiben.bild)) > 0) {
            f.close();
            std::vector<double> prozess;
            for (int i = 0; i < wiederholungen; ++i) {
                QProcess p;
                p.setProcessChannelMode(QProcess::ForwardedChannels);
                const Uhr::time_point beginn = Uhr::now();
                p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/gsmbv"),
                        {QStringLiteral("write"), QStringLiteral("--no-backup"), QStringLiteral("-q"),
                         QStringLiteral("-p"), g.pfad, datei});
                if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
                    befehl = QStringLiteral("; gsmbv write: Rueckgabewert %1").arg(p.exitCode());
                    break;
                }
                prozess.push_back(sekunden(Uhr::now() - beginn));
            }
            if (befehl.isEmpty() && !prozess.empty())
                befehl = QStringLiteral("; gsmbv write als Prozess %1 s = %2x").arg(median(prozess), 0, 'f', 3)
                             .arg(median(prozess) / boden, 0, 'f', 3);
        }
        QFile::remove(datei);
    }
    if (zeiten.empty()) {
        zeile(name + fehler);
        return;
    }
    const double t = median(zeiten);
    zeile(QStringLiteral("%1: %2 s, Boden %3 s (Schreiben %4 s + Lesen %5 s), %6x (Ziel <= 1.05x: %7); "
                         "mit Verbindungsaufbau %8 s%9; %10 Laeufe%11")
              .arg(name)
              .arg(t, 0, 'f', 3)
              .arg(boden, 0, 'f', 3)
              .arg(bodenSchreiben, 0, 'f', 3)
              .arg(bodenLesen, 0, 'f', 3)
              .arg(t / boden, 0, 'f', 3)
              .arg(ziel(t / boden <= 1.05))
              .arg(median(gesamt), 0, 'f', 3)
              .arg(befehl)
              .arg(zeiten.size())
              .arg(fehler));
}

// Echoed characters per second with the device unpaced.
void sendenUngebremst(int wiederholungen, bool intern)
{
    Geraet g(0, {}, intern);
    if (!g.ok()) {
        zeile(QStringLiteral("Senden bei 0 Bd: Geraet nicht gestartet (%1)").arg(g.fehlertext));
        return;
    }
    const Schreiben schreiben(kGeraeteSeiten);
    std::vector<double> raten, cpuJeZeichen, rohRaten;
    QString fehler;
    for (int i = 0; i < wiederholungen; ++i) {
        const Lauf l = laufen(g.pfad, Verbindung::kWartezeit, schreiben);
        if (l.ausgang != Ausgang::Erfolg || l.uebertragung <= 0) {
            fehler = ausgangText(l);
            break;
        }
        raten.push_back(schreiben.zeichen() / l.uebertragung);
        cpuJeZeichen.push_back(l.cpu / schreiben.zeichen() * 1e6);
        if (!intern)
            if (const double r = rohSchreiben(g.pfad, schreiben); r > 0)
                rohRaten.push_back(schreiben.zeichen() / r);
    }
    if (raten.empty()) {
        zeile(QStringLiteral("Senden bei 0 Bd:") + fehler);
        return;
    }
    const double rate = median(raten);
    zeile(QStringLiteral("Senden bei 0 Bd (Schreiben, %1 Zeichen mit Echo): %2 Zeichen/s (Ziel > 20000: %3); "
                         "min %4, max %5; CPU %6 us je Zeichen%7%10; %8 Laeufe%9")
              .arg(schreiben.zeichen())
              .arg(rate, 0, 'f', 0)
              .arg(ziel(rate > 20000))
              .arg(*std::min_element(raten.begin(), raten.end()), 0, 'f', 0)
              .arg(*std::max_element(raten.begin(), raten.end()), 0, 'f', 0)
              .arg(median(cpuJeZeichen), 0, 'f', 1)
              .arg(intern ? QStringLiteral(" (mit Geraet)") : QStringLiteral(" (nur Programm)"))
              .arg(raten.size())
              .arg(fehler,
                   rohRaten.empty() ? QString()
                                    : QStringLiteral("; ohne Programm (rohe Schleife) %1 Zeichen/s, "
                                                     "das Programm erreicht %2 % davon")
                                          .arg(median(rohRaten), 0, 'f', 0)
                                          .arg(100.0 * rate / median(rohRaten), 0, 'f', 0)));
}

// CPU used while waiting for an ACK that never comes.
void cpuBeimWarten(std::chrono::milliseconds wartezeit, bool intern)
{
    Geraet g(9600, {QStringLiteral("silent")}, intern);
    if (!g.ok()) {
        zeile(QStringLiteral("CPU beim Warten: Geraet nicht gestartet (%1)").arg(g.fehlertext));
        return;
    }
    const Lauf l = laufen(g.pfad, wartezeit, lesen);
    const double auf10 = l.gesamt > 0 ? l.cpu * 10.0 / l.gesamt : 0;
    const bool hochgerechnet = wartezeit < std::chrono::seconds(10);
    zeile(QStringLiteral("CPU beim Warten auf ACK: %1 s in %2 s%3 (Ziel < 0.05 s je 10 s: %4); Ende: %5")
              .arg(l.cpu, 0, 'f', 4)
              .arg(l.gesamt, 0, 'f', 1)
              .arg(hochgerechnet ? QStringLiteral(", %1 s auf 10 s hochgerechnet").arg(auf10, 0, 'f', 4)
                                 : QString())
              .arg(ziel(auf10 < 0.05))
              .arg(l.ausgang == Ausgang::KeineVerbindung ? QStringLiteral("kein ACK, \"%1\"").arg(l.meldung)
                                                         : QStringLiteral("unerwartet")));
}

struct Start {
    bool ok = false;
    double ms = 0;        // from the spawn to the line
    double msSeitMain = 0; // as the program counts it
    long maxRssKiB = 0;
    QString fehler;
};

// Starts gsmbv-konfig offscreen with GSMBV_BENCH_STARTZEIT set: it writes
// "gezeigt <ms>" once its window is shown and ends.
Start programmStarten()
{
    Start s;
    const std::string programm = (QCoreApplication::applicationDirPath() + QStringLiteral("/gsmbv-konfig")).toStdString();
    std::vector<std::string> umgebung;
    for (char** e = environ; *e; ++e) {
        const std::string v(*e);
        if (v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("GSMBV_BENCH_STARTZEIT=", 0) != 0)
            umgebung.push_back(v);
    }
    umgebung.push_back("QT_QPA_PLATFORM=offscreen");
    umgebung.push_back("GSMBV_BENCH_STARTZEIT=1");
    std::vector<char*> envp;
    for (std::string& v : umgebung)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string arg0 = programm;
    char* argv[] = {arg0.data(), nullptr};

    int rohr[2];
    if (::pipe2(rohr, O_CLOEXEC) != 0) {
        s.fehler = QStringLiteral("pipe");
        return s;
    }
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_adddup2(&aktionen, rohr[1], 1);
    posix_spawn_file_actions_addopen(&aktionen, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = -1;
    const Uhr::time_point beginn = Uhr::now();
    const int rc = ::posix_spawn(&pid, programm.c_str(), &aktionen, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&aktionen);
    ::close(rohr[1]);
    if (rc != 0) {
        ::close(rohr[0]);
        s.fehler = QStringLiteral("%1 nicht gestartet").arg(QString::fromStdString(programm));
        return s;
    }

    std::string gelesen;
    const Uhr::time_point frist = beginn + std::chrono::seconds(30);
    while (gelesen.find('\n') == std::string::npos) {
        const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(frist - Uhr::now()).count();
        if (rest <= 0)
            break;
        pollfd p{rohr[0], POLLIN, 0};
        const int n = ::poll(&p, 1, int(rest));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        char puffer[256];
        const ssize_t r = ::read(rohr[0], puffer, sizeof puffer);
        if (r <= 0)
            break;  // ended without the line
        gelesen.append(puffer, std::size_t(r));
    }
    const Uhr::time_point gezeigt = Uhr::now();
    ::close(rohr[0]);
    const bool zeile = gelesen.find('\n') != std::string::npos;
    if (!zeile)
        ::kill(pid, SIGKILL);

    int status = 0;
    rusage ru{};
    while (::wait4(pid, &status, 0, &ru) < 0 && errno == EINTR) {
    }
    s.maxRssKiB = ru.ru_maxrss;
    if (!zeile || gelesen.rfind("gezeigt ", 0) != 0) {
        s.fehler = QStringLiteral("kein \"gezeigt\" (Programm ohne GSMBV_BENCH_STARTZEIT?)");
        return s;
    }
    s.ok = true;
    s.ms = std::chrono::duration<double, std::milli>(gezeigt - beginn).count();
    s.msSeitMain = std::atof(gelesen.c_str() + 8);
    return s;
}

void startzeit(int laeufe)
{
    std::vector<double> ms, msMain;
    long rss = 0;
    for (int i = 0; i < laeufe; ++i) {
        const Start s = programmStarten();
        if (!s.ok) {
            zeile(QStringLiteral("Start bis Fenster: %1").arg(s.fehler));
            return;
        }
        ms.push_back(s.ms);
        msMain.push_back(s.msSeitMain);
        rss = std::max(rss, s.maxRssKiB);
    }
    const double m = median(ms);
    zeile(QStringLiteral("Start bis Fenster (gsmbv-konfig, offscreen): %1 ms (Ziel < 300 ms: %2); min %3, max %4, "
                         "davon im Programm %5 ms; %6 Laeufe")
              .arg(m, 0, 'f', 0)
              .arg(ziel(m < 300))
              .arg(*std::min_element(ms.begin(), ms.end()), 0, 'f', 0)
              .arg(*std::max_element(ms.begin(), ms.end()), 0, 'f', 0)
              .arg(median(msMain), 0, 'f', 0)
              .arg(ms.size()));
    zeile(QStringLiteral("Speicherspitze (gsmbv-konfig bis zum gezeigten Fenster): %1 MiB (ru_maxrss)")
              .arg(double(rss) / 1024.0, 0, 'f', 1));
}

} // namespace

int main(int argc, char** argv)
{
    // The option must be known before the application object exists.
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--fenster")
            g_fenster = true;
    if (g_fenster && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app =
        g_fenster ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Geschwindigkeit des Programms am simulierten Geraet."));
    parser.addHelpOption();
    const QCommandLineOption kurz(QStringLiteral("quick"),
                                  QStringLiteral("Kurzer Lauf: je ein Durchgang, Schreiben von 2 Seiten, "
                                                 "2 s Warten (auf 10 s hochgerechnet)."));
    const QCommandLineOption intern(QStringLiteral("intern"),
                                    QStringLiteral("Simuliertes Geraet in diesem Prozess statt als eigener Prozess."));
    const QCommandLineOption nur(QStringLiteral("nur"),
                                 QStringLiteral("Nur diese Teile (kommagetrennt): start, lesen, schreiben, "
                                                "pruefen, ereignisse, senden, warten."),
                                 QStringLiteral("TEILE"));
    const QCommandLineOption fenster(QStringLiteral("fenster"),
                                     QStringLiteral("Das Fortschrittsfenster wird gezeichnet (offscreen) wie im "
                                                    "Programm, statt ohne Ansicht."));
    parser.addOptions({kurz, intern, nur, fenster});
    parser.process(*app);
    const QStringList teile = parser.value(nur).split(QLatin1Char(','), Qt::SkipEmptyParts);
    const auto teil = [&](const char* name) { return teile.isEmpty() || teile.contains(QLatin1String(name)); };
    const bool quick = parser.isSet(kurz);
    const bool imProzess = parser.isSet(intern);
    const int wiederholungen = quick ? 1 : 3;

    zeile(QStringLiteral("bench_gsmbv%1: Geraet %2; Fortschrittsfenster %4; Last %3")
              .arg(quick ? QStringLiteral(" --quick") : QString(),
                   imProzess ? QStringLiteral("im selben Prozess (--intern)")
                             : QStringLiteral("gsmbv-sim als eigener Prozess"),
                   last(),
                   g_fenster ? QStringLiteral("gezeichnet (offscreen)") : QStringLiteral("ohne Ansicht")));

    if (teil("start"))
        startzeit(quick ? 1 : 5);

    // Read: "r", its echo, the 3328 bytes.
    if (teil("lesen"))
        uebertragung(QStringLiteral("Konfiguration lesen, 9600 Bd"), 1 + 1 + kGeraeteBytes, wiederholungen, imProzess,
                 lesen);
    // Write: every character and its echo.
    const Schreiben schreiben(quick ? 2 : kGeraeteSeiten);
    if (teil("schreiben"))
        uebertragung(QStringLiteral("Konfiguration schreiben (%1 Seiten), 9600 Bd").arg(schreiben.anzahl),
                 2 * schreiben.zeichen(), wiederholungen, imProzess, schreiben, &schreiben);
    if (teil("pruefen"))
        schreibenUndPruefen(wiederholungen, imProzess, schreiben);
    // Event memory: "l", then the echo and 512 bytes.
    if (teil("ereignisse"))
        uebertragung(QStringLiteral("Ereignisspeicher lesen, 9600 Bd"), 1 + 1 + Verbindung::kLogAnzahl, wiederholungen,
                 imProzess, ereignisse);

    if (teil("senden"))
        sendenUngebremst(wiederholungen, imProzess);
    if (teil("warten"))
        cpuBeimWarten(quick ? std::chrono::seconds(2) : std::chrono::seconds(10), imProzess);

    zeile(QStringLiteral("Last am Ende: %1").arg(last()));
    return 0;
}
