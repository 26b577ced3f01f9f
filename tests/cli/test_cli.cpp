// gsmbv end to end: the program in build/bin against the simulated device on
// a pseudo-terminal (in this process, on this test's event loop). Exact
// standard output, standard error, exit status and file bytes for every
// command, the failures included; the device's memory after a write.
#include "backup/sicherung.h"
#include "cfgfile/cfgdatei.h"
#include "cli/aufruf.h"
#include "kit.h"
#include "pdftext.h"
#include "sim/simptyrunner.h"
#include "sim/simstandard.h"
#include "systemfehler/dateiname.h"
#include "terminal.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <optional>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray ACK(1, char(0x06));
const QByteArray ESC(1, char(0x1B));

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

QString quelle(const QString& name)
{
    return qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/tests/cli/") + name;
}

using kit::lesen;
using kit::schreiben;

// A file by the bytes of its name, which need not be UTF-8; "<fehlt>" when it cannot be read.
QByteArray rohLesen(const QByteArray& name)
{
    QFile f;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    return fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? f.readAll() : "<fehlt>";
}
bool rohSchreiben(const QByteArray& name, const QByteArray& inhalt)
{
    QFile f;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd >= 0 && f.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)
        && f.write(inhalt) == inhalt.size();
}

// Runs gsmbv; the event loop keeps running meanwhile, so the simulated device
// answers. `umgebung`: NAME=value is set, a bare NAME removed. `waehrend` runs
// once the program has started.
Lauf gsmbv(QStringList argumente, const QStringList& umgebung = {},
           const std::function<void(QProcess&)>& vorher = {},
           const std::function<void(QProcess&)>& waehrend = {}, int grenzeMs = 20000)
{
    Lauf l;
    QProcess p;
    p.setProgram(programm());
    p.setArguments(argumente);
    // QProcess passes arguments as UTF-8: a name that is none goes through bash as $'\xHH...'.
    const auto keinUtf8 = [](const QString& a) { return dateiname::bytes(a) != a.toUtf8(); };
    if (std::any_of(argumente.begin(), argumente.end(), keinUtf8)) {
        QString skript = QStringLiteral("exec");
        for (const QString& a : QStringList{p.program()} + argumente) {
            skript += QStringLiteral(" $'");
            for (const char c : dateiname::bytes(a))
                skript += QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
            skript += QLatin1Char('\'');
        }
        p.setProgram(QStringLiteral("/bin/bash"));
        p.setArguments({QStringLiteral("-c"), skript});
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));  // system error texts in English
    env.remove(QStringLiteral("GSMBV_PORT"));
    for (const QString& u : umgebung) {
        if (u.contains(QLatin1Char('=')))
            env.insert(u.section(QLatin1Char('='), 0, 0), u.section(QLatin1Char('='), 1));
        else
            env.remove(u);
    }
    p.setProcessEnvironment(env);
    if (vorher)
        vorher(p);
    QSignalSpy fertig(&p, &QProcess::finished);
    p.start();
    if (!p.waitForStarted(5000))
        return l;
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

// A small event ring: the write position at slot 2; two records before it,
// three after it, then free slots.
QByteArray ereignisring()
{
    return QByteArray::fromHex(lesen(quelle("daten/ereignisse.hex"))).leftJustified(512, char(0xFF));
}

std::unique_ptr<SimPtyRunner> geraet(const QByteArray& speicher = simStandardSpeicher(), const QString& fehler = {},
                                     const QByteArray& ereignisse = ereignisring())
{
    SimOptionen o;
    o.speicher = speicher;
    o.ereignisse = ereignisse;
    o.baud = 0;
    if (!fehler.isEmpty())
        o.fehler.hinzufuegen(fehler);
    return std::make_unique<SimPtyRunner>(o);
}

// The clock as the device sent it, formatted independently of the program.
QString uhrText(int sek, int min, int std, int tag, int mon)
{
    return QString::asprintf("%02d:%02d:%02d   %02d.%02d.", std, min, sek, tag, mon);
}

// Exact, except that "…" stands for any text in between.
bool passt(const QByteArray& ist, const QByteArray& muster)
{
    if (!muster.contains("…"))
        return ist == muster;
    QStringList teile = QString::fromUtf8(muster).split(QStringLiteral("…"));
    for (QString& t : teile)
        t = QRegularExpression::escape(t);
    const QRegularExpression alles(QRegularExpression::anchoredPattern(teile.join(QStringLiteral(".*"))),
                                   QRegularExpression::DotMatchesEverythingOption);
    return alles.match(QString::fromUtf8(ist)).hasMatch();
}

// One run of the table: arguments (PORT: the simulated device, @name: a file in the test's folder, %E4 in it the
// byte 0xE4, daten/name (also behind "="): a file of the test's sources, ">/dev/full" and "2>/dev/full": standard
// output or error that takes nothing, ">|": standard output whose reader is gone) and the device -> exit status,
// standard output and error ("…" any text, %D the test's folder, %S the data folder, or daten/name: that file's
// bytes), what the device received first ("-": the port was never opened) and last, the pages it stored (none: it
// holds what it held), the file @alt.cfg (or `ziel`) and the backup afterwards. On a terminal each state of the
// progress is one line that fits it.
struct Fall {
    QStringList argumente{};
    QString geraetefehler{};
    QByteArray speicher{};              // empty: all 0xFF
    QByteArray ereignisse{};            // empty: the small ring
    int status = 0;
    QByteArray aus{};
    QByteArray fehler{};
    QByteArray anfang = "-";
    QByteArray ende{};
    QList<int> gespeichert{};
    QByteArray danach{};                // the device's memory after a write, also one broken off
    std::optional<QByteArray> datei{};  // @alt.cfg afterwards ("…" any text); none: as it was
    QByteArray sicherung{};             // the one backup kept; empty: none
    bool ohneOrdner = false;            // the data folder cannot be made
    int signal = 0;                     // sent once the 600th echo is awaited (SIGINT: Ctrl+C)
    bool abziehen = false;              // then the device's line closed instead, as a cable pulled
    int terminal = -1;                  // standard error on a terminal this wide (COLUMNS=60 meanwhile)
    QByteArray ziel = "alt.cfg";        // the file that stands for @alt.cfg
    QByteArray benannt = "Pumpwerk Nord";  // the installation name a write gives the device
};

} // namespace

Q_DECLARE_METATYPE(Fall)

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void laeufe_data();
    void laeufe();
    void writeErzwungen();
    void schritteUndMitschrift();
    void fifo();
    void uhr();
    void showPdf();
    void festerName();
    void rundweg();
    void portsImBaum();
    void wiederherstellen_data();
    void wiederherstellen();
    void serie();

private:
    QTemporaryDir m_dir;
    QString pfad(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
};

void TestCli::initTestCase()
{
    QVERIFY2(QFile::exists(programm()), qPrintable(programm()));
    QVERIFY(m_dir.isValid());
    // The backups of every run that makes one stay here.
    qputenv("XDG_DATA_HOME", QFile::encodeName(pfad("daten")));
    QVERIFY(schreiben(pfad("quelle.cfg"), cfgSchreiben(simStandardKonfig())));
    QVERIFY(schreiben(pfad("utf8.cfg"), QString::fromLatin1(cfgSchreiben(simStandardKonfig())).toUtf8()));
    // The default image's file without its last line.
    const QByteArray grund = lesen(quelle("daten/grund.cfg"));
    QVERIFY(schreiben(pfad("zwoelf.cfg"), grund.left(grund.lastIndexOf("\r\n") + 2)));
    // A file whose balance minimum the rules lower to 9.
    QVERIFY(schreiben(pfad("angepasst.cfg"), lesen(quelle("daten/tmobile.cfg")).replace(";*105*;3;", ";*105*;20;")));
}

void TestCli::laeufe_data()
{
    QTest::addColumn<Fall>("f");
    const auto fall = [](const char* name, const Fall& f) { QTest::newRow(name) << f; };
    fall("help", {.argumente = {"--help"}, .aus = "Aufruf: gsmbv read    -p PORT…GSMBV_PORT  …\n"});
    fall("version", {.argumente = {"--version"}, .aus = "gsmbv …\n"});
    fall("version, standard output full", {.argumente = {"--version", ">/dev/full"}, .status = 5,
                                           .fehler = "gsmbv: Standardausgabe kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger\n"});
    fall("read --help", {.argumente = {"read", "--help"},
                         .aus = "Aufruf: gsmbv read -p PORT -o DATEI.cfg…ohne Rückfrage ersetzt…  -p, --port PORT …\n"});

    // Wrong arguments: the reason, the command's usage, where its help is.
    fall("write, usage", {.argumente = {"write", "-p", "COM1"}, .status = 2,
                          .fehler = "gsmbv: write braucht eine Konfigurationsdatei\nAufruf: gsmbv write -p PORT [-t SEKUNDEN] "
                                    "[--force] [--strict] [--no-backup] [--no-verify]\n                   [--force-name] "
                                    "[--dry-run] [--set SCHLÜSSEL=WERT ...] [GERÄTEOPTIONEN] DATEI.cfg\nHilfe: gsmbv write --help\n"});

    const QByteArray datei = "Fehler bei Zugriff auf Konfigurationsdatei\ngsmbv: %D/";
    // Operator T Mobile, balance monitoring on, daily check call, no
    // acknowledgement, both relays off, every kind of recipient.
    fall("show", {.argumente = {"show", "daten/tmobile.cfg"}, .aus = "daten/tmobile.show"});
    // The default content: operator "Andere" (no recipients), so the balance
    // monitoring is off; acknowledgement 255 minutes; check call off; the time
    // fields read "FF" as 0.
    fall("show, default content", {.argumente = {"show", "daten/grund.cfg"}, .aus = "daten/grund.show",
                                   .fehler = "gsmbv: angepasst: Minimalguthaben in EURO 255 → 9\n"});
    fall("show --json", {.argumente = {"show", "--json", "daten/tmobile.cfg"}, .aus = "daten/tmobile.json"});
    // A file that only fails the form check is refused (write --force writes it as it is: below).
    fall("show refuses", {.argumente = {"show", "@utf8.cfg"}, .status = 4,
                          .fehler = datei + "utf8.cfg: Zeile 6 passt nicht zum Format einer Konfigurationsdatei "
                                            "(UTF-8-Zeichen an Stelle 65; erwartet ist Windows-1252)\n"});
    // What the rules store otherwise than the file has it is said, and is
    // output that matters.
    const QByteArray angepasst = "gsmbv: angepasst: Minimalguthaben in EURO 20 → 9\n";
    fall("show, standard error full", {.argumente = {"show", "@angepasst.cfg", "2>/dev/full"}, .status = 5,
                                       .aus = "…"});
    // The same settings in other bytes: line 1's fax and e-mail behind the
    // other operators' gateway prefixes.
    fall("diff, equal settings, other bytes", {.argumente = {"diff", "@quelle.cfg", "daten/gleich.cfg"}});
    fall("diff, differ", {.argumente = {"diff", "@quelle.cfg", "daten/anders.cfg"}, .status = 1,
                          .aus = "daten/diff.txt"});

    // set: settings by key through the window's rules (into @alt.cfg: the data files stay as they are); a
    // refused value, a refused row of a list: nothing written. One list as CSV.
    const QByteArray sim = lesen(pfad("quelle.cfg"));
    const auto zeile = [&](int nr, const QByteArray& neu) {
        QList<QByteArray> z = sim.split('\n');
        z[nr - 1] = neu;
        return z.join('\n');
    };
    const QStringList s{"set", "@quelle.cfg", "-o", "@alt.cfg"};
    fall("set", {.argumente = s + QStringList{"general.check_call.mode=weekly", "general.check_call.day=friday"},
                 .datei = zeile(1, "12;63;255;15;4;10;30;08006642903;08006642902;5;Pumpwerk Nord;\r")});
    fall("set, refused", {.argumente = s + QStringList{"analog.value_4ma=050", "lines[0].recipients=SMS 1",
                                                       "general.balance.minimum_euro=10"},
                          .status = 4, .fehler = "gsmbv: general.balance.minimum_euro: Erlaubt: 1 bis 9\n"
                                                 "gsmbv: lines[0].recipients: Erlaubt: GSM, Fax, email\n"
                                                 "gsmbv: analog.value_4ma: Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)\n"
                                                 "gsmbv: %D/alt.cfg nicht geschrieben\n"});
    // A value the rules adjusted on opening goes into the file with the values: named, unless a value replaced it.
    const QStringList sa{"set", "@angepasst.cfg", "-o", "@alt.cfg", "general.installation_name=Halle 7"};
    fall("set, a value adjusted", {.argumente = sa, .fehler = angepasst, .datei = "5;;;;7;8;5;*101#;*105*;9;Halle 7;\r\n…"});
    fall("set, the adjusted value replaced", {.argumente = sa + QStringList{"general.balance.minimum_euro=4"},
                                              .datei = "5;;;;7;8;5;*101#;*105*;4;Halle 7;\r\n…"});
    fall("set --empfaenger", {.argumente = s + QStringList{"--empfaenger", "lines[1].recipients=daten/nummern.csv"},
                              .datei = zeile(3, "+436641234567;066468020316123456;0664680502&technik*pumpwerk.at (Boravilon);"
                                                "\x03" "Einbruch Halle 2\r")});
    fall("set --empfaenger, refused rows", {.argumente = s + QStringList{"--empfaenger", "lines[1].recipients=daten/falsch.csv"},
                                            .status = 4, .fehler = "gsmbv: …/falsch.csv, Zeile 2: Nur Ziffern und +\n"
                                                                   "gsmbv: …/falsch.csv, Zeile 3: Erlaubt: GSM, Fax, email\n"
                                                                   "gsmbv: …/falsch.csv, Zeile 5: Nummer fehlt\n"
                                                                   "gsmbv: %D/alt.cfg nicht geschrieben\n"});
    fall("set, --from refused, a list missing", {.argumente = s + QStringList{"--from", "daten/falsch.json", "--empfaenger",
                                                                           "lines[1].recipients=daten/fehlt.csv"},
                                                 .status = 4, .fehler = "gsmbv: …/falsch.json: gibts.nicht: Keine solche Einstellung\n"
                                                                        "gsmbv: …/fehlt.csv: Datei oder Ordner nicht vorhanden\n"
                                                                        "gsmbv: %D/alt.cfg nicht geschrieben\n"});
    fall("set, --from missing", {.argumente = s + QStringList{"--from", "daten/fehlt.json"}, .status = 4,
                                 .fehler = "gsmbv: …/fehlt.json: Datei oder Ordner nicht vorhanden\ngsmbv: %D/alt.cfg nicht geschrieben\n"});
    fall("show --empfaenger", {.argumente = {"show", "--empfaenger", "lines[0].recipients", "daten/tmobile.cfg"},
                               .aus = "Art;Nummer\nGSM;06769876543\nFax;07229555123\nemail;info@example.org\n"});

    // read and write that succeed, with the backup of the device's configuration. A read replaces a larger file as a
    // whole; a backup that cannot be kept is one line on standard error, and a write goes on without it. A device never
    // written reads as daten/leer.cfg: the decode ticks the balance monitoring at 9 EURO, then the operator ("Andere":
    // the first recipient is all 0xFF) switches it off and empties both numbers.
    const QByteArray nichtGesichert =
        "gsmbv: Konfiguration nicht gesichert: Ordner %S/gsmbv/sicherungen kann nicht angelegt werden\n";
    const QByteArray leer = "daten/leer.cfg";
    const QList<int> alle{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const QStringList r{"read", "-p", "PORT", "-o", "@alt.cfg", "-t", "5"};
    // Every page goes over as its character and 256 bytes; the read back follows.
    const QStringList w5{"write", "-p", "PORT", "-t", "5", "@quelle.cfg"};
    // On a terminal of 50 columns (COLUMNS says 60) the bar fits the terminal.
    fall("write, terminal of 50 columns", {.argumente = w5, .fehler = "\rVerbindungsaufbau ... noch 5 s…\rprüfe "
                                           "Konfigurationsdaten ... [#######] 3328/3328\nKonfiguration "
                                           "geschrieben und geprüft: 13 Seiten\n",
                                           .anfang = "rw0", .ende = ESC + "r", .gespeichert = alle,
                                           .danach = simStandardSpeicher(), .sicherung = leer, .terminal = 50});
    // A name that is no UTF-8 (Latin-1 "ä") is the file it names (a transcript's: Ctrl+C below).
    const QByteArray latin1 = "alt%E4.cfg";
    fall("write, folder impossible", {.argumente = w5, .fehler = nichtGesichert, .anfang = "rw0", .ende = ESC + "r",
                                      .gespeichert = alle, .danach = simStandardSpeicher(), .ohneOrdner = true});
    // --set: the file's values changed on the way; refused, the port is never opened.
    fall("write --set", {.argumente = w5 + QStringList{"--set", "general.installation_name=Halle 7"}, .anfang = "rw0",
                         .ende = ESC + "r", .gespeichert = alle,
                         .danach = QByteArray(simStandardSpeicher()).replace(128, 128, "Halle 7\x03" + kit::ff(120)),
                         .sicherung = leer, .benannt = "Halle 7"});
    fall("write --set, refused", {.argumente = w5 + QStringList{"--set", "analog.value_4ma=abc"}, .status = 4,
                                  .fehler = "gsmbv: analog.value_4ma: Nur Ziffern\ngsmbv: Gerät nicht beschrieben\n"});
    // The guard: a device of another installation is read (also with
    // --no-backup) and left as it is; --force-name, an empty name (--dry-run
    // below) and a device never written (all 0xFF, above) let the write through.
    const QByteArray fremd = QByteArray(simStandardSpeicher()).replace(128, 16, "Tankstelle S\xFC" "d\x03\xFF");
    const QStringList ohneSicherung5 = QStringList{"write", "--no-backup"} + w5.mid(1);
    const QByteArray ohneName = QByteArray(fremd).replace(128, 1, "\x03");
    fall("write, foreign installation", {.argumente = ohneSicherung5, .speicher = fremd, .status = 6,
                                         .fehler = "Gerät enthält »Tankstelle Süd«, Datei ist für »Pumpwerk Nord«\n"
                                                   "gsmbv: Gerät nicht beschrieben (--force-name schreibt trotzdem)\n",
                                         .anfang = "r", .ende = "r"});
    fall("write, foreign, file unnamed", {.argumente = ohneSicherung5 + QStringList{"--set", "general.installation_name="},
                                          .speicher = fremd, .status = 6,
                                          .fehler = "Gerät enthält »Tankstelle Süd«, Datei ist ohne Anlagenbezeichnung\n"
                                                    "gsmbv: Gerät nicht beschrieben (--force-name schreibt trotzdem)\n",
                                          .anfang = "r", .ende = "r"});
    fall("write --force-name", {.argumente = ohneSicherung5 + QStringList{"--force-name"}, .speicher = fremd,
                                .anfang = "w0", .ende = ESC + "r", .gespeichert = alle, .danach = simStandardSpeicher()});
    // --dry-run: the device only read (also with --no-backup), the settings a write would change.
    // diff with a port: the device ("<", read and kept as a backup) against a file.
    fall("diff -p, differ", {.argumente = {"diff", "-p", "PORT", "-t", "5", "@quelle.cfg"}, .status = 1,
                             .aus = "Anlagenbezeichnung (general.installation_name)\n< (leer)\n> Pumpwerk Nord\n…",
                             .anfang = "r", .ende = "r", .sicherung = leer});
    fall("write --dry-run", {.argumente = ohneSicherung5 + QStringList{"--dry-run"}, .speicher = ohneName,
                             .aus = "Anlagenbezeichnung (general.installation_name)\n< (leer)\n> Pumpwerk Nord\n",
                             .fehler = "gsmbv: Gerät nicht beschrieben (--dry-run): 1 Einstellung würde sich ändern\n",
                             .anfang = "r", .ende = "r"});

    // Runs that fail: nothing reaches standard output, the file that was there stays.
    QByteArray ueberlauf = simStandardSpeicher();
    ueberlauf[11 * 256 + 128] = char(0x80);
    const QByteArray uebertragung = "Fehler bei Datenübertragung\ngsmbv: ";
    const QByteArray stumm = "Verbindung nicht möglich\ngsmbv: kein ACK innerhalb 100 ms\n";
    const QByteArray haelt = "gsmbv: Gerät hält: ";
    const QByteArray ungeprueft = "gsmbv: Zustand des Geräts nicht geprüft: ";
    const QByteArray wiederholen = ". Schreiben wiederholen.\n";
    const QByteArray voll = "gsmbv: Standardausgabe kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger\n";
    const QStringList w{"write", "-p", "PORT", "-t", "0.2", "@quelle.cfg"};
    const QStringList ohneSicherung = QStringList{"write", "--no-backup", "--force-name"} + w.mid(1);
    const auto dateifehler = [&](const char* name, const QStringList& a, const QByteArray& grund) {
        fall(name, {.argumente = a, .status = 4, .fehler = datei + grund + "\n"});
    };
    dateifehler("serie, no template", {"serie", "-p", "PORT", "@fehlt.cfg", "@geraete.csv"}, "fehlt.cfg: Datei oder Ordner nicht vorhanden");
    fall("serie, no list", {.argumente = {"serie", "-p", "PORT", "@quelle.cfg", "@fehlt.csv"}, .status = 4,
                            .fehler = "gsmbv: %D/fehlt.csv: Datei oder Ordner nicht vorhanden\n"});
    dateifehler("read, no such folder", {"read", "-p", "PORT", "-o", "@gibtsnicht/a.cfg"},
                "gibtsnicht/a.cfg: Datei oder Ordner nicht vorhanden");
    fall("read, decode fails", {.argumente = r, .speicher = ueberlauf, .status = 3,
                                .fehler = uebertragung + "Konfigurationsdaten nicht lesbar: Analogeingang Messwert "
                                          "4 mA (Seite 11, Zeichen 129 und 130): 0x80 0x00 = 32768, größer als 32767\n",
                                .anfang = "r"});
    fall("read", {.argumente = r, .fehler = "\rVerbindungsaufbau ... noch 5 s…\rlese Konfigurationsdaten ... [########] "
                                            "3328/3328\nKonfiguration gelesen und in %D/alt.cfg gespeichert\n",
                  .anfang = "r", .ende = "r", .datei = leer, .sicherung = leer, .terminal = 50});
    const QStringList rAus{"read", "-p", "PORT", "-o", "-"};
    fall("read, standard output", {.argumente = rAus, .aus = leer, .anfang = "r", .ende = "r", .sicherung = leer});
    fall("read, standard output full", {.argumente = rAus + QStringList{">/dev/full"}, .status = 5, .fehler = voll,
                                        .anfang = "r", .ende = "r", .sicherung = leer});
    // The backup is kept when the output cannot be written.
    fall("read, /dev/full", {.argumente = {"read", "-p", "PORT", "-o", "/dev/full"}, .status = 4,
                             .fehler = "Fehler bei Zugriff auf Konfigurationsdatei\ngsmbv: /dev/full: kein Platz mehr auf dem Datenträger\n",
                             .anfang = "r", .ende = "r", .sicherung = leer});
    fall("read stops", {.argumente = {"read", "-p", "PORT", "-o", "@alt.cfg", "-t", "0.1"}, .geraetefehler = "stop@1000",
                        .status = 3, .fehler = "\rVerbindungsaufbau ... noch 1 s…\rlese Konfigurationsdaten ... [##......] 1000/3328\n"
                                                    + uebertragung + "nach 1000 von 3328 Bytes keine Daten mehr\n",
                        .anfang = "r\x1B", .terminal = 50});
    fall("log, standard output full", {.argumente = {"log", "-p", "PORT", ">/dev/full"}, .status = 5, .fehler = voll,
                                       .anfang = "l"});
    fall("log, reader of standard output gone", {.argumente = {"log", "-p", "PORT", ">|"}, .status = 5,
                                                 .fehler = "gsmbv: Standardausgabe kann nicht geschrieben werden: der "
                                                           "Empfänger hat die Verbindung geschlossen\n",
                                                 .anfang = "l"});
    fall("transcript, no folder", {.argumente = {"clock", "-p", "PORT", "--transcript", "/nonexistent/m.txt"}, .status = 5,
                                   .fehler = "gsmbv: /nonexistent/m.txt kann nicht geschrieben werden: Datei oder Ordner nicht vorhanden\n"});
    fall("write --strict refuses", {.argumente = {"write", "--strict", "-p", "PORT", "@angepasst.cfg"}, .status = 4,
                                    .fehler = angepasst + datei + "angepasst.cfg: mit --strict abgewiesen: 1 Einstellung "
                                                                  "angepasst\n"});
    // Said at once, not after the 30 s.
    fall("no such device", {.argumente = {"write", "-p", "/dev/gsmbv-gibtsnicht", "-t", "30", "@quelle.cfg"}, .status = 1,
                                   .fehler = "Verbindung nicht möglich\ngsmbv: Gerät /dev/gsmbv-gibtsnicht nicht "
                                             "vorhanden\ngsmbv: Gerät nicht beschrieben\n"});
    fall("silent, write", {.argumente = {"write", "-p", "PORT", "-t", "0.1", "@quelle.cfg"}, .geraetefehler = "silent",
                           .status = 1, .fehler = stumm + "gsmbv: Gerät nicht beschrieben\n", .anfang = ""});
    // diff's 1 says the settings differ: a device that does not answer is 3.
    fall("silent, diff -p", {.argumente = {"diff", "-p", "PORT", "-t", "0.1", "@quelle.cfg"}, .geraetefehler = "silent",
                             .status = 3, .fehler = stumm, .anfang = ""});
    // A file with missing lines is refused before the port opens, also with --force: half of the device would get
    // the defaults.
    dateifehler("12 lines, --force", {"write", "--force", "-p", "PORT", "@zwoelf.cfg"}, "zwoelf.cfg: nur 12 von 13 Zeilen");

    // Echoes: "w" is 1, each page its character and 256 bytes. The device
    // keeps every byte it took in, the ESC that ended the write among them
    // where page data was due; a write that broke off after a page character
    // is read back, and what each page holds is said.
    const auto bisEsc = [](int n) { return simStandardSpeicher().left(n) + ESC + kit::ff(kGeraeteBytes - n - 1); };
    fall("no echo for w", {.argumente = w, .geraetefehler = "noecho@1", .status = 3,
                           .fehler = uebertragung + "Echo fehlt bei w\ngsmbv: Gerät nicht beschrieben: keine Seite "
                                     "gesendet" + wiederholen,
                           .anfang = "rw", .sicherung = leer});
    fall("no echo, page 1 select", {.argumente = w, .geraetefehler = "noecho@259", .status = 3,
                                    .fehler = uebertragung + "Echo fehlt beim Seitenzeichen von Seite 1\n" + haelt
                                              + "Seite 0 aus der Datei, Seite 1 gemischt, Seiten 2 bis 12 wie vorher"
                                              + wiederholen,
                                    .anfang = "rw0", .ende = ESC + "r", .danach = bisEsc(256), .sicherung = leer});
    fall("no echo, page 2 byte 100, --no-backup",
         {.argumente = ohneSicherung, .geraetefehler = "noecho@616", .status = 3,
          .fehler = uebertragung + "Echo fehlt bei Seite 2, Zeichen 100\n" + haelt
                    + "Seiten 0 und 1 aus der Datei, Seiten 2 bis 12 abweichend" + wiederholen,
          .anfang = "w0", .ende = ESC + "r", .danach = bisEsc(2 * 256 + 100)});
    // The device gone silent inside page 2: it cannot be read back.
    fall("device gone, --no-backup",
         {.argumente = ohneSicherung, .geraetefehler = "hangup@616", .status = 3,
          .fehler = uebertragung + "Echo fehlt bei Seite 2, Zeichen 100\ngsmbv: nicht zurückgelesen: kein ACK innerhalb "
                    "200 ms\n" + ungeprueft + "Seiten 0 und 1 gesendet und bestätigt, von Seite 2 nur 99 der 256 "
                    "Bytes, Seiten 3 bis 12 nicht gesendet" + wiederholen,
          .anfang = "w0", .ende = ESC, .danach = simStandardSpeicher().left(2 * 256 + 99) + kit::ff(3328 - 2 * 256 - 99)});
    const QStringList w30{"write", "-p", "PORT", "-t", "30", "@quelle.cfg"};
    const QByteArray bisSeite2 = "Seiten 0 und 1 aus der Datei, Seite 2 gemischt, Seiten 3 bis 12 wie vorher" + wiederholen;
    // The transcript (named in Latin-1) holds the ESC, then the read back, and ends with the port closed.
    fall("Ctrl+C", {.argumente = {"write", "-p", "PORT", "-t", "30", "--transcript", "@alt%E4.cfg", "@quelle.cfg"},
                    .geraetefehler = "noecho@600", .status = 130, .fehler = "gsmbv: abgebrochen\n" + haelt + bisSeite2,
                    .anfang = "rw0", .ende = ESC + "r", .danach = bisEsc(2 * 256 + 84),
                    .datei = "# gsmbv …1B\n… == Port geschlossen\n", .sicherung = leer, .signal = SIGINT,
                    .ziel = latin1});
    fall("SIGHUP", {.argumente = w30, .geraetefehler = "noecho@600", .status = 130,
                    .fehler = "gsmbv: abgebrochen\n" + haelt + bisSeite2, .anfang = "rw0", .ende = ESC + "r",
                    .danach = bisEsc(2 * 256 + 84), .sicherung = leer, .signal = SIGHUP});
    // A cable pulled ends the wait at once, not after its 30 s.
    fall("cable pulled", {.argumente = w30, .geraetefehler = "noecho@600", .status = 3,
                          .fehler = uebertragung + "Verbindung getrennt\n" + ungeprueft + "Seiten 0 und 1 gesendet und "
                                    "bestätigt, von Seite 2 nur 83 der 256 Bytes, Seiten 3 bis 12 nicht gesendet"
                                    + wiederholen,
                          .sicherung = leer, .abziehen = true});
    // The backup read fails: nothing is written.
    fall("backup read stops", {.argumente = w, .geraetefehler = "stop@100", .status = 3,
                               .fehler = uebertragung + "nach 100 von 3328 Bytes keine Daten mehr\ngsmbv: Gerät nicht "
                                         "beschrieben: seine Konfiguration ließ sich vorher nicht lesen (ohne "
                                         "Sicherung schreiben: --no-backup)\n",
                               .anfang = "r\x1B"});
    // The read back fails: written, but not checked.
    fall("read back stops", {.argumente = ohneSicherung, .geraetefehler = "stop@100", .status = 3,
                             .fehler = uebertragung + "nach 100 von 3328 Bytes keine Daten mehr\n"
                                       "gsmbv: Konfiguration gesendet, aber nicht geprüft\n",
                             .anfang = "w0", .gespeichert = alle});
    // Pages the device takes and echoes but does not keep.
    fall("pages 0 and 12 not stored, --no-backup", {.argumente = ohneSicherung, .geraetefehler = "nostore@0,nostore@12", .status = 3,
                                                    .fehler = "Prüfung fehlgeschlagen: Seiten 0 und 12 weichen ab\ngsmbv: erste "
                                                              "Abweichung: Seite 0, Zeichen 1: gesendet 0x0C, gelesen 0xFF\n",
                                                    .anfang = "w0", .gespeichert = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}});

    // The event log: lines on standard output, or the file (Windows-1252, CR LF).
    fall("log, lines", {.argumente = {"log", "-p", "PORT", "-t", "5"}, .aus = "daten/log.txt", .anfang = "l"});
    fall("log, file replaced", {.argumente = {"log", "-p", "PORT", "-o", "@alt.cfg"}, .anfang = "l",
                                .datei = "daten/LOG.TXT"});
    fall("log, empty ring, empty file", {.argumente = {"log", "-p", "PORT", "-o", "@alt.cfg"},
                                         .ereignisse = kit::ff(512), .anfang = "l", .datei = QByteArray()});
    fall("log, /dev/null", {.argumente = {"log", "-p", "PORT", "-o", "/dev/null"}, .anfang = "l"});
}

void TestCli::laeufe()
{
    QFETCH(Fall, f);
    const QByteArray speicher = f.speicher.isEmpty() ? kit::ff(kGeraeteBytes) : f.speicher;
    auto sim = geraet(speicher, f.geraetefehler, f.ereignisse.isEmpty() ? ereignisring() : f.ereignisse);
    const QByteArray alt(20000, 'x');  // larger than anything written over it
    const QByteArray ziel = QFile::encodeName(m_dir.path()) + '/' + QByteArray::fromPercentEncoding(f.ziel);
    QVERIFY(rohSchreiben(ziel, alt));
    const auto wegraeumen = qScopeGuard([&] {
        if (f.ziel != "alt.cfg")
            ::unlink(ziel.constData());  // Qt cannot name it to remove it
    });
    const QStringList vorher = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    QTemporaryDir daten;
    const QString ordner = daten.filePath(QStringLiteral("daten"));
    QVERIFY(!f.ohneOrdner || schreiben(ordner, "eine Datei, kein Ordner"));
    const bool voll = f.argumente.removeAll(">/dev/full") > 0;
    const bool fehlerVoll = f.argumente.removeAll("2>/dev/full") > 0;
    // A pipe whose reading end is closed.
    int rohr[2] = {-1, -1};
    QVERIFY(!f.argumente.removeAll(">|") || (::pipe(rohr) == 0 && ::close(rohr[0]) == 0));
    const auto rohrZu = qScopeGuard([&] {
        if (rohr[1] >= 0)
            ::close(rohr[1]);
    });
    for (QString& a : f.argumente) {
        if (a == QLatin1String("PORT"))
            a = sim->pfad();
        else if (a.startsWith('@'))
            a = dateiname::text(QFile::encodeName(m_dir.path()) + '/' + QByteArray::fromPercentEncoding(a.mid(1).toUtf8()));
        else if (a.startsWith(QLatin1String("daten/")))
            a = quelle(a);
        else
            a.replace(QLatin1String("=daten/"), QLatin1Char('=') + quelle(QStringLiteral("daten/")));
    }
    Terminal terminal(std::max(f.terminal, 0));
    const int seite = terminal.seite();
    QVERIFY(seite >= 0);
    Lauf l = gsmbv(
        f.argumente, {"XDG_DATA_HOME=" + ordner, f.terminal >= 0 ? "COLUMNS=60" : "COLUMNS"},
        [&](QProcess& p) {
            if (voll)
                p.setStandardOutputFile(QStringLiteral("/dev/full"));
            if (fehlerVoll)
                p.setStandardErrorFile(QStringLiteral("/dev/full"));
            if (f.terminal >= 0)
                p.setChildProcessModifier([seite] { ::dup2(seite, 2); });
            if (rohr[1] >= 0)
                p.setChildProcessModifier([fd = rohr[1]] { ::dup2(fd, 1); });
        },
        [&](QProcess& p) {
            if (f.signal || f.abziehen) {
                QVERIFY(kit::warten([&] { return sim->empfangeneBytes().size() == 1 + 600; }));
                if (f.abziehen)
                    sim.reset();
                else
                    ::kill(pid_t(p.processId()), f.signal);
            }
        });
    QVERIFY(l.normal);
    QCOMPARE(l.status, f.status);
    if (f.terminal >= 0) {
        l.fehler = terminal.gelesen();
        for (const QByteArray& z : l.fehler.split('\n').first().split('\r'))
            QVERIFY2(QString::fromUtf8(z).size() < f.terminal, z.constData());
    }
    const auto erwartet = [&](const QByteArray& e) {
        if (e.startsWith("daten/"))
            return lesen(quelle(QString::fromUtf8(e)));
        return QByteArray(e).replace("%D", QFile::encodeName(m_dir.path())).replace("%S", QFile::encodeName(ordner));
    };
    QVERIFY2(passt(l.aus, erwartet(f.aus)), l.aus.constData());
    QVERIFY2(passt(l.fehler, erwartet(f.fehler)), l.fehler.constData());
    const QByteArray danach = rohLesen(ziel), soll = f.datei ? erwartet(*f.datei) : alt;
    if (soll.contains("…"))
        QVERIFY2(passt(danach, soll), danach.left(300).constData());
    else
        QCOMPARE(danach, soll);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), vorher);
    QVERIFY(!QFileInfo(QStringLiteral("/dev/null")).isFile());  // never replaced by a regular file

    // A backup: its *.cfg, the memory as read and, before a write, the name written.
    const QDir sicherungen(ordner + QStringLiteral("/gsmbv/sicherungen"));
    const QStringList namen = sicherungen.entryList(QDir::Files | QDir::Hidden);
    const bool vorSchreiben = f.argumente.value(0) == QLatin1String("write");
    QCOMPARE(namen.size(), f.sicherung.isEmpty() ? 0 : vorSchreiben ? 3 : 2);
    if (!namen.isEmpty()) {
        QVERIFY2(namen[0].startsWith(QLatin1String("ohne Bezeichnung_")), qPrintable(namen[0]));
        const QString name = sicherungen.filePath(QFileInfo(namen[0]).completeBaseName());
        QCOMPARE(lesen(name + ".cfg"), erwartet(f.sicherung));
        QCOMPARE(lesen(name + ".speicher"), speicher);
        QCOMPARE(lesen(name + ".vorschreiben"), vorSchreiben ? f.benannt + '\n' : QByteArray("<fehlt>"));
    }

    if (!sim)  // the line closed under the write
        return;
    if (f.anfang == "-")
        QCOMPARE(sim->verbindungen(), 0);
    else if (f.anfang == f.ende)  // that one command alone
        QVERIFY2(kit::warten([&] { return sim->empfangeneBytes() == f.anfang; }, 2000),
                 sim->empfangeneBytes().left(8).toHex().constData());
    else
        QVERIFY2(kit::warten([&] { return sim->empfangeneBytes().startsWith(f.anfang); }, 2000),
                 sim->empfangeneBytes().left(8).toHex().constData());
    QVERIFY2(kit::warten([&] { return sim->empfangeneBytes().endsWith(f.ende); }, 2000),
             sim->empfangeneBytes().right(8).toHex().constData());
    QCOMPARE(sim->geraet().letzteSeiten(), f.gespeichert);
    if (f.gespeichert.isEmpty()) {
        // Left with ESC: it holds what it held, and what a write broken off had sent.
        QVERIFY(f.anfang != "rw0" || kit::warten([&] { return sim->empfangeneBytes().contains(ESC); }));
        QCOMPARE(sim->geraet().speicher(), f.danach.isEmpty() ? speicher : f.danach);
        return;
    }
    if (f.danach.isEmpty())
        return;
    QCOMPARE(sim->geraet().speicher(), f.danach);
    // The backup's "r" (none: no read first); "w", per page its character and 256 bytes, ESC; the "r" of the read back.
    const int vorab = f.anfang.startsWith('r') ? 1 : 0;
    QCOMPARE(sim->empfangeneBytes().size(), vorab + 1 + 13 * 257 + 1 + 1);
    QCOMPARE(sim->verbindungen(), 2 + vorab);
}

void TestCli::writeErzwungen()
{
    // --force writes a file that only fails the form check, as the bytes it
    // holds: the text of line 5 re-saved as UTF-8.
    auto sim = geraet(kit::ff(kGeraeteBytes));
    const Lauf l = gsmbv({"write", "--force", "-p", sim->pfad(), "-t", "5", pfad("utf8.cfg")});
    QCOMPARE(l.fehler + QByteArray::number(l.status), QByteArray("0"));
    QTRY_COMPARE(sim->geraet().schreibvorgaenge(), 1);
    QCOMPARE(sim->geraet().speicher().mid(5 * 256 + 128, 17), QByteArray("St\xC3\xB6rung Pumpe 1\x03"));
}

// -v names every step of a write; the --transcript file is for the user alone
// (what it holds: the Ctrl+C run).
void TestCli::schritteUndMitschrift()
{
    auto sim = geraet();
    const QString datei = pfad("mitschrift.txt");
    QFile::remove(datei);
    QTemporaryDir daten;
    const Lauf l = gsmbv({"write", "-v", pfad("quelle.cfg"), "-p", sim->pfad(), "--transcript", datei},
                         {"XDG_DATA_HOME=" + daten.path()});
    QCOMPARE(l.status, 0);
    QCOMPARE(kit::modus(datei), QStringLiteral("600"));
    // Each of the port's three openings (backup, write, read back) is closed once: "33".
    QCOMPARE(lesen(datei).count(" geöffnet\n") * 10 + lesen(datei).count(" Port geschlossen\n"), 33);
    const QStringList sicherung = QDir(daten.filePath(QStringLiteral("gsmbv/sicherungen"))).entryList(QDir::Files);
    QCOMPARE(QString::fromUtf8(l.fehler),
             QString::fromUtf8(lesen(quelle("daten/schritte.txt")))
                 .replace(QLatin1String("%1"), sim->pfad())
                 .replace(QLatin1String("%2"), daten.filePath("gsmbv/sicherungen/" + sicherung.value(0))));
    // A port that does not open is in the transcript with its reason.
    QCOMPARE(gsmbv({"clock", "-p", "/dev/gsmbv-gibtsnicht", "--transcript", datei}).status, 1);
    QVERIFY2(lesen(datei).endsWith(" == Port /dev/gsmbv-gibtsnicht nicht geöffnet: Datei oder Ordner nicht vorhanden\n"),
             lesen(datei).constData());
}

// The event log into a FIFO is written into it, never replaced by a file; with
// no reader yet the tool waits for one and says so.
void TestCli::fifo()
{
    auto sim = geraet();
    const QString fifo = pfad("protokoll.fifo");
    const QByteArray name = QFile::encodeName(fifo);
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    int leser = -1;
    const Lauf l = gsmbv({"log", "-p", sim->pfad(), "-t", "5", "-o", fifo}, {}, {}, [&](QProcess& p) {
        p.setReadChannel(QProcess::StandardError);
        QTRY_VERIFY_WITH_TIMEOUT(p.bytesAvailable() > 0 || p.state() != QProcess::Running, 10000);
        leser = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    });
    QVERIFY(l.normal);
    QCOMPARE(l.status, 0);
    QVERIFY(leser >= 0);
    char puffer[8192];
    const ssize_t n = ::read(leser, puffer, sizeof puffer);
    ::close(leser);
    QCOMPARE(n > 0 ? QByteArray(puffer, n) : QByteArray(), lesen(quelle("daten/LOG.TXT")));
    struct stat st {};
    QVERIFY(::stat(name.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    QCOMPARE(l.fehler, "gsmbv: " + name + ": warte, bis ein anderes Programm die FIFO liest\n");
}

// clock --set reads the device's clock, then sets it to the present (-v: each step named).
void TestCli::uhr()
{
    auto sim = geraet();
    sim->geraet().stelleUhr(QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)));
    const QDate heute = QDate::currentDate();
    const Lauf l = gsmbv({"clock", "--port", sim->pfad(), "--timeout", "5", "--set", "-v"});
    const QByteArray geoeffnet = "gsmbv: Port " + sim->pfad().toUtf8() + " geöffnet\ngsmbv: ACK empfangen\ngsmbv: Befehl ";
    QCOMPARE(l.fehler + QByteArray::number(l.status),
             geoeffnet + "t gesendet\ngsmbv: Antwort \">\" empfangen\ngsmbv: Port geschlossen\n" + geoeffnet
                 + "s gesendet\ngsmbv: 5 Uhrzeit-Bytes gesendet\ngsmbv: ESC gesendet\ngsmbv: Port geschlossen\n0");
    // The five bytes the device sent before ">", after its ACK; then "ts", the
    // five bytes it was set to and ESC.
    const QByteArray b = sim->gesendeteBytes();
    QCOMPARE(b.size(), 8);
    QVERIFY(b.startsWith(ACK) && b[6] == '>');
    const QString gelesen = uhrText(b[1], b[2], b[3], b[4], b[5]) + QLatin1Char('\n');
    QVERIFY(gelesen.startsWith("14:05:") && gelesen.endsWith(" 21.06.\n"));
    QTRY_COMPARE(sim->empfangeneBytes().size(), 2 + 5 + 1);
    QVERIFY(sim->empfangeneBytes().startsWith("ts") && sim->empfangeneBytes().endsWith(ESC));
    const auto e = sim->geraet().letzteUhreinstellung();
    QVERIFY(e && e->gueltig);
    if (QDate::currentDate() == heute)  // day, month, year mod 4, weekday from 0 on Monday
        QCOMPARE((QList<int>{e->tag, e->monat, e->jahrRest, e->wochentag}),
                 (QList<int>{heute.day(), heute.month(), heute.year() % 4, heute.dayOfWeek() - 1}));
    QCOMPARE(QString::fromUtf8(l.aus), gelesen + uhrText(e->sekunde, e->minute, e->stunde, e->tag, e->monat) + '\n');
}

void TestCli::showPdf()
{
    // As on a server: no display, no platform chosen, no runtime folder.
    const QStringList ohneAnzeige{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"};
    const QString datei = pfad("quelle.cfg"), pdf = pfad("blatt.pdf");
    const Lauf l = gsmbv({"show", "--pdf", pdf, datei}, ohneAnzeige);
    QCOMPARE(l.fehler + QByteArray::number(l.status), QByteArray("0"));
    QCOMPARE(l.aus, QByteArray());
    const QStringList text = pdfText(pdf).split(QLatin1Char('\n'));
    QCOMPARE(text.mid(0, 4), (QStringList{"GSM Boravilon Konfiguration",
                                          "Anlagenbezeichnung                  Pumpwerk Nord",
                                          "Datum                               " + QDate::currentDate().toString("dd.MM.yyyy"),
                                          "Herkunft                            Datei " + datei}));
    QVERIFY(text.filter(QStringLiteral("Seite 3 von 3")).size() == 1);

    // A sheet that cannot be written is no success.
    const Lauf kaputt = gsmbv({"show", "--pdf", "/nonexistent/blatt.pdf", datei}, ohneAnzeige);
    QCOMPARE(kaputt.status, int(cli::Ausgabe));
    QVERIFY2(kaputt.fehler.startsWith("gsmbv: /nonexistent/blatt.pdf kann nicht geschrieben werden: "), kaputt.fehler);
}

// show --json, then set --from: the same file byte for byte, set in place (a device never written, a file of
// every kind of recipient, the simulator's sample).
void TestCli::rundweg()
{
    const QString json = pfad("werte.json"), kopie = pfad("kopie.cfg");
    for (const QString& datei : {quelle("daten/leer.cfg"), quelle("daten/tmobile.cfg"), pfad("quelle.cfg")}) {
        QVERIFY(schreiben(json, gsmbv({"show", "--json", datei}).aus) && schreiben(kopie, lesen(datei)));
        const Lauf l = gsmbv({"set", kopie, "--from", json});
        QCOMPARE(l.fehler + QByteArray::number(l.status), QByteArray("0"));
        QCOMPARE(lesen(kopie), lesen(datei));
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

    const Lauf gelesen = gsmbv({"clock", "-p", name, "-t", "5"});
    QCOMPARE(gelesen.fehler + QByteArray::number(gelesen.status), QByteArray("0"));
    QVERIFY(gelesen.aus.startsWith("14:05:"));
    QCOMPARE(sim->verbindungen(), 1);

    // Both names are one port: while another program holds the device under
    // its own name, the stable name finds it locked.
    QSerialPort anderes(sim->pfad());
    QVERIFY(anderes.open(QIODevice::ReadWrite));
    const Lauf l = gsmbv({"clock", "-p", name, "-t", "30"}, {}, {}, {}, 5000);  // at once, not after the wait
    QCOMPARE(l.status, int(cli::KeineVerbindung));
    QVERIFY2(l.fehler.startsWith("Verbindung nicht möglich\ngsmbv: COM 1 (" + name.toUtf8()
                                 + ") ist belegt von Programm test_cli (PID "),
             l.fehler.constData());
}

void TestCli::portsImBaum()
{
    // A /sys and /dev of its own: a USB adapter with a stable name, an
    // on-board port behind the serial core's own devices (bus serial-base),
    // a virtual console (no device: no serial port).
    QTemporaryDir baum;
    // Folders end in "/", links are "name -> target" (from the tree's root, or
    // relative), files "name = content" (\n: a line end); USB/ and UART/ stand
    // for the two devices' folders.
    for (QString e : QString::fromUtf8(lesen(quelle("daten/ports.baum"))).split('\n', Qt::SkipEmptyParts)) {
        e.replace("USB/", "sys/devices/pci0000:00/usb1/1-1/").replace("UART/", "sys/devices/platform/serial8250/");
        e.replace("\\n", "\n");
        const qsizetype link = e.indexOf(" -> "), datei = e.indexOf(" =");
        const QString name = baum.filePath(e.left(link >= 0 ? link : datei >= 0 ? datei : e.size()));
        QVERIFY(QDir().mkpath(link >= 0 || datei >= 0 ? QFileInfo(name).path() : name));
        if (datei >= 0)
            QVERIFY(schreiben(name, e.mid(datei + 3).toUtf8()));
        const QString ziel = e.mid(link + 4);
        if (link >= 0)
            QVERIFY(QFile::link(ziel.startsWith("..") ? ziel : baum.filePath(ziel), name));
    }
    const QString dev = baum.filePath("dev");
    QVERIFY(QFile::setPermissions(dev + "/ttyS0", QFile::Permissions()));
    // As root every device may be opened.
    const QString zugriffS0 = ::geteuid() == 0 ? QStringLiteral("ja")
                                               : QStringLiteral("nein (Gruppe %1)").arg(QFileInfo(dev + "/ttyS0").group());

    const Lauf l = gsmbv({"ports"}, {"GSMBV_SYS=" + baum.filePath("sys"), "GSMBV_DEV=" + dev});
    QCOMPARE(l.fehler + QByteArray::number(l.status), QByteArray("0"));
    QCOMPARE(QString::fromUtf8(l.aus), QString::fromUtf8(lesen(quelle("daten/ports.txt"))).replace("%Z", zugriffS0));
}

namespace {
// A memory full of random bytes that a read still decodes (the four analog
// numbers of page 11 below 0x8000), from a fixed seed.
QByteArray zufallsspeicher()
{
    QRandomGenerator z(22);
    QByteArray b(kGeraeteBytes, '\0');
    for (char& c : b)
        c = char(z.bounded(256));
    for (int o : {128, 130, 132, 134})
        b[11 * kZellen + o] = char(z.bounded(0x80));
    return b;
}
} // namespace

// gsmbv restore against a device that holds quelle.cfg; for the undo it held
// random bytes before gsmbv write put quelle.cfg there. The folder also
// holds a newer read of that device, a newer backup of that name before a
// write of another one (all 0x5A), and one without its memory.
void TestCli::wiederherstellen_data()
{
    QTest::addColumn<QStringList>("argumente");  // after "restore -p PORT -t 5"; @name: a file of the backup folder
    QTest::addColumn<QString>("ordner");         // GSMBV_SICHERUNGEN: "" the backups', "leer" an empty one
    QTest::addColumn<QByteArray>("vorab");       // the device's memory before the restore; empty: quelle.cfg; "zufall": written over random bytes
    QTest::addColumn<QString>("geraetefehler");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("fehler");      // "…" any text, %B the backups' folder, %L the empty one
    QTest::addColumn<QByteArray>("danach");      // "zufall": the random memory; "5A": all 0x5A ("5A-3": page 3 as before); empty: as before
    const auto zeile = [](const char* name, const QStringList& a, const char* ordner, const QByteArray& vorab,
                          const char* geraetefehler, int status, const QByteArray& fehler, const QByteArray& danach = {}) {
        QTest::newRow(name) << a << QString(ordner) << vorab << QString(geraetefehler) << status << fehler << danach;
    };
    const QString anderer = "@Pumpwerk Nord_2030-01-01_00-00-00@anderer.cfg";
    const QByteArray nicht = "gsmbv: Gerät nicht beschrieben\n";
    zeile("undo the write", {}, "", "zufall", "", 0, "gsmbv: Sicherung vor dem letzten Schreiben von „Pumpwerk Nord“: %B/…\n",
          "zufall");
    zeile("named", {anderer}, "", "", "", 0, "", "5A");
    zeile("no memory file", {"@alt_2020-01-01_00-00-00.cfg"}, "", "", "", 4,
          "Fehler bei Zugriff auf Konfigurationsdatei\ngsmbv: %B/alt_2020-01-01_00-00-00.cfg: ohne Speicherabbild "
          "(keine .speicher-Datei daneben)\n");
    zeile("none before a write", {}, "leer", "", "", 4,
          "gsmbv: keine Sicherung vor einem Schreiben von „Pumpwerk Nord“ in %L\n" + nicht);
    zeile("device without a name", {}, "", kit::ff(kGeraeteBytes), "", 4,
          "gsmbv: das Gerät hat keine Anlagenbezeichnung: die Sicherung angeben (gsmbv restore -p PORT SICHERUNG)\n" + nicht);
    zeile("page 3 not stored", {anderer}, "", "", "nostore@3", 3,
          "Prüfung fehlgeschlagen: Seite 3 weicht ab\ngsmbv: erste Abweichung: Seite 3, Zeichen 1: gesendet 0x5A, gelesen 0x30\n",
          "5A-3");
}

void TestCli::wiederherstellen()
{
    QFETCH(QStringList, argumente);
    QFETCH(QString, ordner);
    QFETCH(QByteArray, vorab);
    QFETCH(QByteArray, danach);
    QTemporaryDir tmp;
    const QString b = tmp.filePath(QStringLiteral("sicherungen")), leer = tmp.filePath(QStringLiteral("leer"));
    const QStringList umgebung{"GSMBV_SICHERUNGEN=" + (ordner.isEmpty() ? b : leer), "XDG_DATA_HOME=" + tmp.filePath("xdg")};
    auto sim = geraet(vorab == "zufall" ? zufallsspeicher() : vorab.isEmpty() ? simStandardSpeicher() : vorab);
    const QStringList p{"-p", sim->pfad(), "-t", "5"};
    if (vorab == "zufall")
        QCOMPARE(gsmbv(QStringList{"write", "--force-name"} + p + QStringList{pfad("quelle.cfg")}, {"GSMBV_SICHERUNGEN=" + b}).status, 0);
    QVERIFY(sicherung::anlegen({simStandardKonfig(), simStandardSpeicher()}, b, QDateTime::currentDateTime().addDays(1),
                               QStringLiteral("werkstatt")));
    // Newer, and of the name the device holds, but before a write that gave a device another name.
    QVERIFY(sicherung::anlegen({simStandardKonfig(), QByteArray(kGeraeteBytes, '\x5A'), QStringLiteral("Tankstelle")}, b,
                               QDateTime(QDate(2030, 1, 1), QTime(0, 0)), QStringLiteral("anderer")));
    QVERIFY(QFile::copy(pfad("quelle.cfg"), b + "/alt_2020-01-01_00-00-00.cfg"));
    QFETCH(QString, geraetefehler);
    SimFehler f;
    QVERIFY(geraetefehler.isEmpty() || f.hinzufuegen(geraetefehler));
    sim->geraet().setzeFehler(f);
    const QByteArray vorher = sim->geraet().speicher();
    const int verbindungen = sim->verbindungen();
    const QStringList sicherungenVorher = QDir(b).entryList({"*.cfg"}, QDir::Files);

    for (QString& a : argumente)
        if (a.startsWith('@'))
            a = b + '/' + a.mid(1);
    const Lauf l = gsmbv(QStringList{"restore"} + p + argumente, umgebung);
    QTEST(l.status, "status");
    QFETCH(QByteArray, fehler);
    fehler.replace("%B", QFile::encodeName(b)).replace("%L", QFile::encodeName(leer));
    QVERIFY2(passt(l.fehler, fehler), l.fehler.constData());
    QByteArray soll = danach == "zufall" ? zufallsspeicher() : danach.startsWith("5A") ? QByteArray(kGeraeteBytes, '\x5A') : vorher;
    if (danach == "5A-3")
        soll.replace(3 * kZellen, kZellen, vorher.mid(3 * kZellen, kZellen));
    QVERIFY(kit::warten([&] { return !sim->verbunden(); }));
    QCOMPARE(sim->geraet().speicher().toHex(), soll.toHex());
    // The port is not opened for a backup refused; a device read once for a
    // backup that is not found; a backup of its content kept before a write.
    const QStringList neu = QDir(b).entryList({"*.cfg"}, QDir::Files);
    if (l.status == 4)
        QCOMPARE(neu, sicherungenVorher);
    QCOMPARE(sim->verbindungen() - verbindungen, l.status != 4 ? 3 : argumente.isEmpty() ? 1 : 0);
    if (l.status == 0 || l.status == 3) {
        QCOMPARE(neu.size(), sicherungenVorher.size() + 1);
        const QString name = QDir(b).filePath(QFileInfo(*std::find_if(neu.begin(), neu.end(), [&](const QString& n) {
            return !sicherungenVorher.contains(n); })).completeBaseName());
        QCOMPARE(lesen(name + ".speicher"), vorher);
        QVERIFY(QFile::exists(name + ".vorschreiben"));
    }
}

// A series of three devices on one line, the device's memory carried from
// row to row: rows are checked before anything is asked; then the first row
// is written, the second meets the first's installation and is skipped, the
// third (fremd=ja) breaks off; a second run, after a crash left half a
// journal line, goes on with the rows not written.
void TestCli::serie()
{
    QTemporaryDir tmp;
    const QString csv = tmp.filePath("geraete.csv"), journal = tmp.filePath("geraete.journal.csv");
    auto sim = geraet(kit::ff(kGeraeteBytes));
    const QStringList umgebung{"XDG_DATA_HOME=" + tmp.filePath("xdg")};
    // Answers given as each question comes; before one, `vorher` of its number runs.
    const auto lauf = [&](const QList<QByteArray>& antworten, const std::function<void(int, QProcess&)>& vorher = {}) {
        QByteArray fehler;
        int beantwortet = 0;
        const Lauf l = gsmbv({"serie", "-p", sim->pfad(), "-t", "1", pfad("quelle.cfg"), csv}, umgebung, {},
                             [&](QProcess& p) {
                                 QObject::connect(&p, &QProcess::readyReadStandardError, &p, [&] {
                                     fehler += p.readAllStandardError();
                                     const int n = int(fehler.count(" anschließen, Enter"));
                                     if (n > beantwortet && n <= antworten.size()) {
                                         beantwortet = n;
                                         if (vorher)
                                             vorher(n, p);
                                         p.write(antworten[n - 1]);
                                         fehler += "gefragt\n";
                                     }
                                 });
                             });
        return std::pair{l.status, fehler + l.fehler};
    };
    QVERIFY(schreiben(csv, "general.installation_name;lines[0].text;fremd\nHalle 1;Einbruch 1;nein\n"
                           "Halle 2;Einbruch 2;false\nHalle 3;Einbruch 3;vielleicht\nHalle 4;Einbruch Süd;0\nHalle 5;x\n"));
    auto [status, fehler] = lauf({});
    QCOMPARE(status, 4);
    QCOMPARE(fehler, QByteArray("gsmbv: " + csv.toUtf8() + ", Zeile 4, fremd: ja oder nein\ngsmbv: " + csv.toUtf8()
                                + ", Zeile 5, lines[0].text: Zeichen nicht zulässig\ngsmbv: " + csv.toUtf8()
                                + ", Zeile 6: 2 Felder, die Kopfzeile hat 3\ngsmbv: Serie nicht begonnen: kein Gerät beschrieben\n"));
    QCOMPARE(sim->verbindungen(), 0);
    // A column that names no setting is refused before any device, as is one named twice.
    QVERIFY(schreiben(csv, "general.installation_name;lines[0].text=x\nHalle 1;a\n"));
    std::tie(status, fehler) = lauf({});
    QCOMPARE(status, 4);
    QCOMPARE(fehler, QByteArray("gsmbv: " + csv.toUtf8() + ", Zeile 1: Spalte „lines[0].text=x“: Keine solche Einstellung\n"
                                  "gsmbv: Serie nicht begonnen: kein Gerät beschrieben\n"));

    QVERIFY(schreiben(csv, "general.installation_name;lines[0].text;fremd\nHalle 1;Einbruch 1;\n"
                           "Halle 2;Einbruch 2; No\n\"Halle 3\";Einbruch 3;TRUE\n"));
    std::tie(status, fehler) = lauf({"\n", "\n", "\n"}, [&](int n, QProcess&) {
        SimFehler f;
        QVERIFY(n < 3 || f.hinzufuegen(QStringLiteral("noecho@600")));
        sim->geraet().setzeFehler(f);
    });
    QCOMPARE(status, 6);
    QVERIFY2(passt(fehler, "Gerät 1 von 3: »Halle 1« anschließen, Enter – s überspringt, q beendet\ngefragt\n"
                           "Gerät 2 von 3: »Halle 2« anschließen, Enter – s überspringt, q beendet\ngefragt\n"
                           "Gerät enthält »Halle 1«, Datei ist für »Halle 2«\ngsmbv: Gerät nicht beschrieben\n"
                           "gsmbv: Zeile 3 übersprungen (fremd=ja in der Zeile schreibt trotzdem)\n"
                           "Gerät 3 von 3: »Halle 3« anschließen, Enter – s überspringt, q beendet\ngefragt\n"
                           "Fehler bei Datenübertragung\ngsmbv: Echo fehlt bei Seite 2, Zeichen 84\n"
                           "gsmbv: Gerät hält: Seiten 0 und 1 aus der Datei, …\n"),
             fehler.right(400).constData());
    const QByteArray j = "Zeit;Zeile;Anlage;Ergebnis;Sicherung;Blatt\n…;2;Halle 1;geschrieben;" + tmp.path().toUtf8()
                         + "/xdg/gsmbv/sicherungen/ohne Bezeichnung_…@…" + ".cfg;" + tmp.path().toUtf8()
                         + "/geraete-blaetter/2_Halle 1.pdf\n…;3;Halle 2;fremde Anlage;…/Halle 1_…;\n"
                           "…;4;Halle 3;Fehler 3;…/Halle 1_…;\n";
    QVERIFY2(passt(lesen(journal), j), lesen(journal).constData());
    QVERIFY(lesen(tmp.filePath("geraete-blaetter/2_Halle 1.pdf")).startsWith("%PDF-"));

    // A run that died before its line's end (its fields may be cut short: not counted); the second
    // run: an answer not understood is asked again, "s" for row 3, row 4 written over Halle 1's device.
    QVERIFY(QFile(journal).open(QIODevice::Append) && kit::schreiben(journal, lesen(journal) + "2030;4;Halle 3;geschrieben;;"));
    sim->geraet().setzeFehler({});
    std::tie(status, fehler) = lauf({"nein\n", "s\n", "\n"});
    QCOMPARE(status, 0);
    QVERIFY2(passt(fehler, "gsmbv: " + journal.toUtf8() + ": letzte Zeile unvollständig, nicht gezählt\n"
                           "gsmbv: Gerät 1 von 3: »Halle 1« schon geschrieben (Journal)\n"
                           "Gerät 2 von 3: »Halle 2« anschließen, Enter – s überspringt, q beendet\ngefragt\n"
                           "gsmbv: Antwort „nein“ nicht verstanden: Enter schreibt, s überspringt, q beendet\n"
                           "Gerät 2 von 3: »Halle 2« anschließen, Enter – s überspringt, q beendet\ngefragt\n"
                           "Gerät 3 von 3: »Halle 3« anschließen, Enter – s überspringt, q beendet\ngefragt\n"),
             fehler.right(400).constData());
    QVERIFY2(passt(lesen(journal), j + "2030;4;Halle 3;geschrieben;;\n…;3;Halle 2;übersprungen;;\n"
                                       "…;4;Halle 3;geschrieben;…/Halle 3_…;…/4_Halle 3.pdf\n"),
             lesen(journal).constData());
    QCOMPARE(sim->geraet().speicher().mid(128, 8), QByteArray("Halle 3\x03"));

    // Ctrl+C while a device is written ends the series there.
    QVERIFY(schreiben(csv, "general.installation_name;lines[0].text;fremd\nHalle 5;a;yes\nHalle 6;b;1\n"));
    std::tie(status, fehler) = lauf({"\n", "\n"}, [&](int, QProcess& p) {
        SimFehler f;
        QVERIFY(f.hinzufuegen(QStringLiteral("noecho@600")));
        sim->geraet().setzeFehler(f);
        QTimer::singleShot(300, &p, [&p] { ::kill(pid_t(p.processId()), SIGINT); });
    });
    QCOMPARE(status, 130);
    QVERIFY2(passt(fehler, "…»Halle 5« anschließen, Enter – s überspringt, q beendet\ngefragt\ngsmbv: abgebrochen\ngsmbv: Gerät hält: …\n")
                 && fehler.count("anschließen") == 1, fehler.constData());
    // A row put in above the written ones: the journal's line 2 was Halle 1, so it is asked.
    QVERIFY(schreiben(csv, "general.installation_name;lines[0].text;fremd\nHalle 0;Einbruch 0;ja\nHalle 1;Einbruch 1;\n"));
    std::tie(status, fehler) = lauf({"q\n"});
    QCOMPARE(status, 0);
    QVERIFY2(passt(fehler, "gsmbv: Journal: Zeile 2 war »Halle 1«, jetzt »Halle 0«: wird gefragt\n"
                           "Gerät 1 von 2: »Halle 0« anschließen, Enter – s überspringt, q beendet\ngefragt\n"
                           "gsmbv: Serie beendet\n"),
             fehler.constData());
    // A journal that cannot be read: no device is asked for.
    QVERIFY(QFile::remove(journal) && QDir().mkdir(journal));
    std::tie(status, fehler) = lauf({});
    QCOMPARE(fehler + QByteArray::number(status), "gsmbv: " + journal.toUtf8() + ": ist ein Ordner\n4");
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
