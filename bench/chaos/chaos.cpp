// The fault campaign of gsmbv write (scripts/chaos.sh): random valid
// configurations written by gsmbv into gsmbv-sim, with both of its write
// models, under random faults: every fault the simulated device offers at
// random positions (page boundaries often), SIGINT, SIGTERM and SIGHUP at
// random times (sometimes a second one), the simulated device ended in the
// middle (its line gone, as a cable pulled). Every statement a run makes
// about the device is checked against the memory gsmbv-sim leaves
// (--save-image); see pruefung.h. Prints the counts, every false statement
// with the command that repeats its run, and the longest run against its
// limit. Exit status 1 when a statement was false or a run took too long.
//
//   gsmbv_chaos [LÄUFE] [--saat N] [--lauf I] [--ordner DIR]
//
// Seeded: run I of seed N always makes the same choices; only the moment a
// signal meets the program depends on the machine. The programs are taken
// from this program's own folder.
#include "cfgfile/cfgdatei.h"
#include "plan.h"
#include "pruefung.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTime>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {

struct Ausfuehrung {
    Laufergebnis ergebnis;
    qint64 dauerMs = 0;
    int stilleMs = 0;     // the longest the line stayed silent (see stilleMessen)
    int wartezeiten = 0;  // silences of more than half the time limit
    QStringList befehle;  // the two command lines, to repeat the run by hand
};

// The silences of a run, from gsmbv's transcript (a line for every byte and
// every opening and closing of the port, with its time of day) between the
// program's start and its end: the longest, and how many lasted more than
// half the time limit `fristMs` (a wait that ran out, or was cut short late).
void stilleMessen(const QByteArray& mitschrift, int startMs, int endeMs, int fristMs, Ausfuehrung& a)
{
    static const QRegularExpression zeit(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d\\d\\d) "));
    QList<int> zeiten{startMs};
    for (const QByteArray& zeile : mitschrift.split('\n'))
        if (const auto m = zeit.match(QString::fromUtf8(zeile)); m.hasMatch())
            zeiten << ((m.captured(1).toInt() * 60 + m.captured(2).toInt()) * 60 + m.captured(3).toInt()) * 1000
                          + m.captured(4).toInt();
    zeiten << endeMs;
    for (qsizetype i = 1; i < zeiten.size(); ++i) {
        const int still = (zeiten[i] - zeiten[i - 1] + 86400000) % 86400000;  // across midnight too
        a.stilleMs = std::max(a.stilleMs, still);
        a.wartezeiten += still > fristMs / 2;
    }
}

// gsmbv and gsmbv-sim end (SIGTERM: gsmbv leaves the device, the simulated
// device saves its memory) when the campaign itself is ended.
void mitEnden(QProcess& p)
{
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

QString programm(const char* name) { return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name); }

void schreiben(const QString& pfad, const QByteArray& bytes)
{
    QFile f(pfad);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Waits up to `ms` for gsmbv to end; true when it still runs.
bool laeuftNoch(QProcess& p, qint64 ms) { return p.state() != QProcess::NotRunning && !p.waitForFinished(int(std::max<qint64>(ms, 1))); }

QStringList simArgumente(const Plan& p, const QDir& d)
{
    QStringList a{"--baud",         QString::number(p.baud),         "--image",      d.filePath("vorher.bin"),
                  "--save-image",   d.filePath("geraet.bin"),        "--write-model", p.bytemodell ? "byte" : "complete"};
    for (const QString& f : p.fehler)
        a << "--fault" << f;
    return a;
}

// gsmbv write against the simulated device, with the plan's signals and the
// device's end at their moments. The configurations are random, each with a
// name of its own: --force-name lets every write past the guard against
// another installation, so that --no-backup still means no read before.
void schreibenLassen(const Plan& p, const QDir& d, QProcess& sim, const QString& port, Ausfuehrung& a)
{
    QProcess g;
    mitEnden(g);
    g.setProgram(programm("gsmbv"));
    g.setArguments(QStringList{"write", "-p", port, "-t", QString::number(p.fristMs / 1000.0), "--force-name",
                               "--transcript", d.filePath("draht.txt")}
                   + (p.sicherung ? QStringList() : QStringList{"--no-backup"}) + QStringList{d.filePath("neu.cfg")});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", d.filePath("daten"));
    env.insert("LC_ALL", "C.UTF-8");
    g.setProcessEnvironment(env);
    a.befehle << QStringLiteral("XDG_DATA_HOME=%1 %2 %3").arg(d.filePath("daten"), g.program(), g.arguments().join(' '));
    QElapsedTimer uhr;
    uhr.start();
    const int startMs = QTime::currentTime().msecsSinceStartOfDay();
    g.start();
    if (!g.waitForStarted(5000))
        return;
    if (p.simBeenden && laeuftNoch(g, p.nachMs - uhr.elapsed()))
        sim.terminate();  // SIGTERM: it saves its memory and closes the line
    if (p.signal && laeuftNoch(g, p.nachMs - uhr.elapsed())) {
        ::kill(pid_t(g.processId()), p.signal);
        ++a.ergebnis.signale;
        if (p.signal2 && laeuftNoch(g, p.nach2Ms)) {
            ::kill(pid_t(g.processId()), p.signal2);
            ++a.ergebnis.signale;
        }
    }
    const bool fertig = !laeuftNoch(g, p.grenzeMs() + 20000);
    a.dauerMs = uhr.elapsed();
    stilleMessen(lesen(d.filePath("draht.txt")), startMs, QTime::currentTime().msecsSinceStartOfDay(), p.fristMs, a);
    if (!fertig) {
        g.kill();
        g.waitForFinished(2000);
    }
    a.ergebnis.beendet = fertig && g.exitStatus() == QProcess::NormalExit;
    a.ergebnis.status = g.exitCode();
    a.ergebnis.fehler = QString::fromUtf8(g.readAllStandardError());
}

// One run in folder `d`: the files, the simulated device, gsmbv, the memory
// the device leaves.
Ausfuehrung ausfuehren(const Plan& p, const QDir& d)
{
    Ausfuehrung a;
    Laufergebnis& e = a.ergebnis;
    e.datei = cfgLesen(p.datei).image.geraeteBytes();
    e.vorher = p.vorher;
    e.bytemodell = p.bytemodell;
    e.sicherung = p.sicherung;
    e.nichtGespeichert = p.nichtGespeichert;
    schreiben(d.filePath("neu.cfg"), p.datei);
    schreiben(d.filePath("vorher.bin"), p.vorher);
    QFile::remove(d.filePath("geraet.bin"));
    QProcess sim;
    mitEnden(sim);
    sim.start(programm("gsmbv-sim"), simArgumente(p, d));
    a.befehle << programm("gsmbv-sim") + QLatin1Char(' ') + simArgumente(p, d).join(' ');
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
        return a;
    const QString port = QString::fromUtf8(sim.readLine()).trimmed();
    schreibenLassen(p, d, sim, port, a);
    if (sim.state() != QProcess::NotRunning) {
        sim.terminate();
        if (!sim.waitForFinished(5000))
            sim.kill();
    }
    e.geraet = lesen(d.filePath("geraet.bin"));
    return a;
}

struct Zaehlung {
    int laeufe = 0, falsch = 0, zuLang = 0;
    QMap<QString, int> arten, zweite, modelle, aussagen;
    int zweiSignale = 0;  // runs with a second signal
    qint64 laengster = 0;  // ms, the longest run
    int stille = 0, stilleGrenze = 0;  // the longest silence of any run, and that run's limit
};

void laufZaehlen(Zaehlung& z, const Plan& p, const Ausfuehrung& a, const QList<Aussage>& aussagen)
{
    ++z.laeufe;
    ++z.arten[p.art];
    if (!p.zweiter.isEmpty())
        ++z.zweite[p.zweiter];
    z.zweiSignale += p.signal2 != 0;
    ++z.modelle[p.bytemodell ? QStringLiteral("byte") : QStringLiteral("complete")];
    for (const Aussage& s : aussagen)
        ++z.aussagen[s.art];
    z.laengster = std::max(z.laengster, a.dauerMs);
    if (a.stilleMs > z.stille) {
        z.stille = a.stilleMs;
        z.stilleGrenze = p.stilleGrenzeMs();
    }
}

void ausgeben(const char* format, const QString& text) { std::printf(format, qPrintable(text)); }

// Every false statement of run `n`, with what repeats it.
void falschMelden(Zaehlung& z, const QList<Aussage>& aussagen, const Ausfuehrung& a, const Plan& p, quint64 saat, int n)
{
    bool gemeldet = false;
    for (const Aussage& s : aussagen) {
        if (s.falsch.isEmpty())
            continue;
        ++z.falsch;
        gemeldet = true;
        ausgeben("FALSCH Lauf %s\n", QStringLiteral("%1 (%2): %3\n  weil: %4").arg(n).arg(p.art, s.text, s.falsch));
    }
    if (a.stilleMs > p.stilleGrenzeMs() || a.wartezeiten > 3) {
        ++z.zuLang;
        gemeldet = true;
        ausgeben("ZU LANG Lauf %s\n", QStringLiteral("%1: %2 ms still (Grenze %3 ms), %4 Wartezeiten (höchstens 3)")
                                          .arg(n).arg(a.stilleMs).arg(p.stilleGrenzeMs()).arg(a.wartezeiten));
    }
    if (gemeldet)
        ausgeben("  nachstellen: %s\n", QStringLiteral("scripts/chaos.sh 1 --saat %1 --lauf %2\n  von Hand: %3")
                                             .arg(saat).arg(n).arg(a.befehle.join(QStringLiteral("\n            "))));
}

QString zaehlungText(const QMap<QString, int>& m)
{
    QStringList s;
    for (auto it = m.begin(); it != m.end(); ++it)
        s << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return s.join(QStringLiteral(", "));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int laeufe = 100, nur = -1;
    quint64 saat = 1;
    QString ordner = QDir::tempPath() + QStringLiteral("/gsmbv-chaos");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString wert = args.value(i + 1);
        if (args[i] == QLatin1String("--saat"))
            saat = wert.toULongLong(), ++i;
        else if (args[i] == QLatin1String("--lauf"))
            nur = wert.toInt(), ++i;
        else if (args[i] == QLatin1String("--ordner"))
            ordner = wert, ++i;
        else
            laeufe = args[i].toInt();
    }
    Zaehlung z;
    for (int n = nur >= 0 ? nur : 0; n < (nur >= 0 ? nur + 1 : laeufe); ++n) {
        Zufall zufall(saat * 1000003u + quint64(n));
        const Plan p = planen(zufall);
        QDir d(QStringLiteral("%1/lauf-%2").arg(ordner).arg(n));
        d.removeRecursively();
        QDir().mkpath(d.path());
        const Ausfuehrung a = ausfuehren(p, d);
        const QList<Aussage> aussagen = pruefen(a.ergebnis);
        laufZaehlen(z, p, a, aussagen);
        const int vorher = z.falsch + z.zuLang;
        falschMelden(z, aussagen, a, p, saat, n);
        if (z.falsch + z.zuLang == vorher)
            QDir(d).removeRecursively();  // kept only for a run to look into
        if (z.laeufe % 50 == 0)
            std::fprintf(stderr, "%d Läufe, %d falsch\n", z.laeufe, z.falsch + z.zuLang);
        std::fflush(stdout);
    }
    ausgeben("Läufe: %s\n", QStringLiteral("%1 (Saat %2)").arg(z.laeufe).arg(saat));
    ausgeben("Fehlerarten: %s\n", zaehlungText(z.arten));
    ausgeben("dazu ein zweiter Fehler: %s\n",
             zaehlungText(z.zweite) + QStringLiteral("; ein zweites Signal: %1").arg(z.zweiSignale));
    ausgeben("Schreibmodelle: %s\n", zaehlungText(z.modelle));
    int summe = 0;
    for (int v : z.aussagen)
        summe += v;
    ausgeben("Aussagen geprüft: %s\n", QStringLiteral("%1 (%2)").arg(summe).arg(zaehlungText(z.aussagen)));
    ausgeben("falsche Aussagen: %s\n", QString::number(z.falsch));
    ausgeben("längster Lauf: %s\n", QStringLiteral("%1 ms").arg(z.laengster));
    ausgeben("längste Stille auf der Leitung: %s\n",
             QStringLiteral("%1 ms (Grenze dieses Laufs: Frist + 500 ms = %2 ms); Läufe über der Grenze: %3")
                 .arg(z.stille).arg(z.stilleGrenze).arg(z.zuLang));
    return z.falsch + z.zuLang > 0 ? 1 : 0;
}
