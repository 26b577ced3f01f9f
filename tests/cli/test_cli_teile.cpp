// The parts of gsmbv that need no device: the command line, the port names,
// the escapes of "show", the image of a device read, the progress line, and
// the tool's reports when the port refuses to open or a clock byte cannot be
// written.
#include "blatt/einstellungen.h"
#include "cfgfile/dekodieren.h"
#include "cli/aufruf.h"
#include "cli/clidoor.h"
#include "cli/fortschrittszeile.h"
#include "cli/seiten.h"
#include "cli/werkzeug.h"
#include "image/ansi.h"
#include "kit.h"
#include "linktext/linktext.h"
#include "link/transport.h"
#include "terminal.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

Q_DECLARE_METATYPE(Door::Knoepfe)
Q_DECLARE_METATYPE(Door::Antwort)
Q_DECLARE_METATYPE(Schreibstand)

using namespace cli;

namespace {

// Everything written to a temporary FILE*.
QByteArray inhalt(std::FILE* f)
{
    std::fflush(f);
    QFile d;
    return d.open(::fileno(f), QIODevice::ReadOnly) && d.seek(0) ? d.readAll() : QByteArray("<nicht lesbar>");
}

struct Datei {
    std::FILE* f = std::tmpfile();
    ~Datei() { std::fclose(f); }
};

// A port that answers from a script: ACK on opening, `antwort` on the first
// byte written, and that refuses to open or refuses writes from the n-th on.
class Skriptport : public Transport {
public:
    int schreibenBis = 0;  // writes from this one on fail; -1: opening fails for want of permission
    QByteArray antwort;
    QByteArray geschrieben;
    std::function<void(int n)> beimSchliessen;  // the open port is closed for the n-th time

    bool oeffnen(const QString&) override
    {
        m_offen = schreibenBis >= 0;
        if (m_offen)
            antworten(QByteArray(1, char(0x06)));
        return m_offen;
    }
    void schliessen() override
    {
        if (std::exchange(m_offen, false) && beimSchliessen)
            beimSchliessen(++m_schliessungen);
    }
    bool istOffen() const override { return m_offen; }
    bool schreiben(const QByteArray& b) override
    {
        if (!m_offen || m_schreibvorgaenge++ >= schreibenBis)
            return false;
        if (geschrieben.isEmpty())
            antworten(antwort);
        geschrieben += b;
        return true;
    }
    qint64 wartend() const override { return m_eingang.size(); }
    QByteArray lesen(qint64 n) override
    {
        const QByteArray b = m_eingang.left(n);
        m_eingang.remove(0, b.size());
        return b;
    }
    QString letzterFehler() const override { return schreibenBis < 0 ? QStringLiteral("Permission denied") : QString(); }
    Portursache ursache() const override
    {
        Portursache u;
        if (schreibenBis < 0) {
            u.art = Portursache::Art::KeineBerechtigung;
            u.gruppe = QStringLiteral("dialout");
        }
        return u;
    }

private:
    void antworten(const QByteArray& b)
    {
        m_eingang += b;
        QMetaObject::invokeMethod(this, [this] { emit datenDa(); }, Qt::QueuedConnection);
    }
    bool m_offen = false;
    int m_schreibvorgaenge = 0;
    int m_schliessungen = 0;
    QByteArray m_eingang;
};

} // namespace

class TestCliTeile : public QObject {
    Q_OBJECT
private slots:
    void aufruf_data();
    void aufruf();
    void port_data();
    void port();
    void lesbar_data();
    void lesbar();
    void geraetebildFuelltNurGeliefertes();
    void standardtuer_data();
    void standardtuer();
    void werkzeug_data();
    void werkzeug();
    void schreibstand_data();
    void schreibstand();
    void haelt_data();
    void haelt();
    void zeile_data();
    void zeile();
    void zeilenstrom_data();
    void zeilenstrom();
};

// ---------------------------------------------------------------------------
// Command line

// One row: the arguments (and GSMBV_PORT) -> what was understood, or the
// reason the arguments are wrong ("! ...").
void TestCliTeile::aufruf_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<QString>("umgebung");  // GSMBV_PORT
    QTest::addColumn<QString>("erwartet");
    const auto zeile = [](const char* name, QStringList a, const char* erwartet, const char* umgebung = "") {
        QTest::newRow(name) << a << QString::fromUtf8(umgebung) << QString::fromUtf8(erwartet);
    };
    zeile("read", {"read", "--port", "COM1", "--output", "a.cfg"}, "read p=COM1 o=a.cfg");
    zeile("= forms, any order", {"read", "--output=b c.cfg", "--timeout=2.5", "--port=/dev/ttyUSB0"},
          "read p=/dev/ttyUSB0 o=b c.cfg t=2500");
    zeile("write, file first", {"write", "x.cfg", "--port", "com4"}, "write p=com4 x.cfg");
    zeile("file after --", {"write", "--port", "p", "--", "--seltsam.cfg"}, "write p=p --seltsam.cfg");
    zeile("log, shortest timeout", {"log", "--port", "/dev/pts/3", "--timeout", "0.001"}, "log p=/dev/pts/3 t=1");
    zeile("clock --set, longest timeout", {"clock", "--set", "--port", "COM3", "--timeout", "86400"},
          "clock p=COM3 t=86400000 set");
    zeile("show -", {"show", "-"}, "show -");
    zeile("short options", {"read", "-p", "COM1", "-o", "a.cfg", "-t", "2"}, "read p=COM1 o=a.cfg t=2000");
    zeile("values attached, -o -", {"log", "-p/dev/ttyUSB0", "-o-", "-t0.5"}, "log p=/dev/ttyUSB0 o=- t=500");
    zeile("write, every option", {"write", "--force", "--no-verify", "--no-backup", "-q", "--transcript", "m.txt",
                                  "--force-name", "--dry-run", "-p", "COM1", "f.cfg"},
          "write p=COM1 f.cfg force no-verify no-backup force-name dry-run -q m=m.txt");
    zeile("serie, one file", {"serie", "-p", "COM1", "v.cfg"},
          "! serie braucht eine Vorlage (.cfg) und eine Geräteliste (.csv)");
    zeile("serie --transcript", {"serie", "-p", "COM1", "--transcript", "m", "v.cfg", "g.csv"},
          "! --transcript gibt es bei serie nicht");
    zeile("diff -p, two files", {"diff", "-p", "COM1", "a.cfg", "b.cfg"},
          "! diff --port vergleicht das Gerät mit einer Konfigurationsdatei");
    zeile("restore, named", {"restore", "-p", "COM1", "--no-backup", "--no-verify", "b.cfg"},
          "restore p=COM1 b.cfg no-verify no-backup");
    zeile("restore two", {"restore", "-p", "COM1", "a.cfg", "b.cfg"}, "! restore nimmt höchstens eine Sicherung");
    zeile("restore --force", {"restore", "-p", "COM1", "--force"}, "! --force gibt es bei restore nicht");
    zeile("--help", {"--help"}, " help");
    zeile("read --help, wrong otherwise", {"read", "--help", "--set"}, "read help");
    zeile("unknown command --help", {"lesen", "--help"}, " help");
    zeile("--help behind --", {"show", "--", "--help"}, "show --help");
    zeile("--port wins", {"clock", "-p", "COM3"}, "clock p=COM3", "COM2");
    zeile("GSMBV_PORT not a port, --port given", {"log", "--port", "COM1"}, "log p=COM1", "COM9");
    zeile("show takes no GSMBV_PORT", {"show", "a.cfg"}, "show a.cfg", "COM1");
    zeile("GSMBV_PORT not a port", {"log"}, "! GSMBV_PORT: \"COM9\" ist kein Port: COM1 bis COM4 oder ein Gerätepfad",
          "COM9");
    zeile("unknown command", {"lesen"}, "! unbekannter Befehl \"lesen\"");
    zeile("option first", {"--port", "COM1", "read"}, "! zuerst den Befehl angeben, dann \"--port\"");
    zeile("read without port", {"read", "--output", "a.cfg"}, "! read braucht --port (oder GSMBV_PORT)");
    zeile("port without value", {"log", "--port"}, "! --port braucht einen Port");
    zeile("port empty", {"log", "--port="}, "! --port braucht einen Port");
    zeile("-p and --port", {"clock", "-p", "COM1", "--port", "COM2"}, "! --port ist mehrfach angegeben");
    zeile("set twice", {"clock", "--port", "COM1", "--set", "--set"}, "! --set ist mehrfach angegeben");
    zeile("set with a value", {"clock", "--port", "COM1", "--set=1"}, "! --set gibt es bei clock nicht");
    zeile("output with write", {"write", "--port", "COM1", "--output", "a", "f.cfg"},
          "! --output gibt es bei write nicht");
    zeile("port with show", {"show", "--port", "COM1", "f.cfg"}, "! --port gibt es bei show nicht");
    zeile("no-verify with log", {"log", "--port", "COM1", "--no-verify"}, "! --no-verify gibt es bei log nicht");
    const char* frist = "! --timeout braucht Sekunden größer als 0 und bis 86400, z. B. 5 oder 0.5";
    zeile("timeout 0.0001", {"log", "-p", "COM1", "--timeout", "0.0001"}, frist);
    zeile("timeout negative", {"log", "-p", "COM1", "--timeout", "-1"}, frist);
    zeile("timeout comma", {"log", "-p", "COM1", "--timeout", "0,5"}, frist);
    zeile("timeout too long", {"log", "-p", "COM1", "--timeout", "86401"}, frist);
    zeile("timeout missing", {"log", "-p", "COM1", "--timeout"}, frist);
    zeile("write two files", {"write", "-p", "COM1", "a.cfg", "b.cfg"}, "! write nimmt genau eine Konfigurationsdatei");
    zeile("show without file", {"show"}, "! show braucht eine Konfigurationsdatei");
    zeile("show empty name", {"show", ""}, "! show nimmt genau eine Konfigurationsdatei");
    zeile("pdf and json", {"show", "--json", "--pdf", "a.pdf", "f.cfg"}, "! --json, --pdf und --empfaenger schließen einander aus");
    zeile("pdf without name", {"show", "f.cfg", "--pdf"}, "! --pdf braucht einen Dateinamen");
    zeile("json with read", {"read", "-p", "COM1", "-o", "a", "--json"}, "! --json gibt es bei read nicht");
    zeile("pdf with diff", {"diff", "--pdf", "x.pdf", "a.cfg", "b.cfg"}, "! --pdf gibt es bei diff nicht");
    zeile("version with more", {"--version", "read"}, "! --version steht allein");
    zeile("-o without value", {"read", "-p", "COM1", "-o"}, "! --output braucht einen Dateinamen");
    zeile("unknown short option", {"log", "-p", "COM1", "-x"}, "! -x gibt es bei log nicht");
    zeile("port with ports", {"ports", "-p", "COM1"}, "! --port gibt es bei ports nicht");
    zeile("-v and -q", {"log", "-p", "COM1", "-v", "-q"}, "! -v/--verbose und -q/--quiet schließen einander aus");
    zeile("transcript without file", {"clock", "-p", "COM1", "--transcript"},
          "! --transcript braucht einen Dateinamen");
    // Values by key: after the file (set) or with --set (write); lists from CSV (set), one list as CSV (show).
    zeile("set", {"set", "a.cfg", "x.y=1", "--empfaenger", "lines[0].recipients=l.csv", "-o", "n.cfg", "name=", "--from", "w.json",
                  "--empfaenger=analog.recipients=a=b.csv"},
          "set o=n.cfg a.cfg from=w.json listen=lines[0].recipients=l.csv|analog.recipients=a=b.csv werte=x.y=1|name=");
    zeile("write --set twice", {"write", "-p", "COM1", "--set", "a=1", "f.cfg", "--set=b=c=d"}, "write p=COM1 f.cfg werte=a=1|b=c=d");
    zeile("show --empfaenger", {"show", "--empfaenger", "mains_failure.recipients", "f.cfg"}, "show f.cfg liste=mains_failure.recipients");
    zeile("set, no assignment", {"set", "a.cfg", "b.cfg"}, "! set: \"b.cfg\" ist keine Zuweisung SCHLÜSSEL=WERT");
    zeile("set, list without file", {"set", "a.cfg", "--empfaenger", "analog.recipients="},
          "! --empfaenger braucht LISTE=DATEI.csv, z. B. lines[0].recipients=nummern.csv");
    zeile("write --set without =", {"write", "-p", "COM1", "--set", "a", "f.cfg"}, "! --set: \"a\" ist keine Zuweisung SCHLÜSSEL=WERT");
    zeile("show --empfaenger, no list", {"show", "--empfaenger", "lines[8].recipients", "f.cfg"},
          "! \"lines[8].recipients\" ist keine Empfängerliste: lines[0].recipients bis lines[7].recipients, "
          "mains_failure.recipients oder analog.recipients");
    zeile("show --empfaenger twice", {"show", "--empfaenger", "analog.recipients", "--empfaenger", "analog.recipients", "f.cfg"},
          "! --empfaenger ist mehrfach angegeben");
    zeile("--from with show", {"show", "--from", "w.json", "f.cfg"}, "! --from gibt es bei show nicht");
}

void TestCliTeile::aufruf()
{
    QFETCH(QStringList, argumente);
    QFETCH(QString, umgebung);
    const Aufruf a = aufrufLesen(argumente, umgebung);
    QStringList t{a.befehl == Befehl::Keiner ? QString() : befehlsname(a.befehl)};
    const std::pair<bool, QString> teile[] = {
        {a.hilfe, "help"}, {!a.port.isEmpty(), "p=" + a.port}, {!a.ausgabe.isEmpty(), "o=" + a.ausgabe},
        {a.frist.has_value(), QStringLiteral("t=%1").arg(a.frist ? a.frist->count() : 0)}, {!a.datei.isEmpty(), a.datei},
        {!a.zweite.isEmpty(), a.zweite}, {a.stellen, "set"}, {a.json, "json"}, {a.erzwingen, "force"},
        {!a.pruefen, "no-verify"}, {!a.sichern, "no-backup"}, {a.fremd, "force-name"}, {a.probe, "dry-run"},
        {a.umfang == Aufruf::Umfang::Ausfuehrlich, "-v"}, {a.umfang == Aufruf::Umfang::Leise, "-q"},
        {!a.mitschrift.isEmpty(), "m=" + a.mitschrift}, {!a.werteDatei.isEmpty(), "from=" + a.werteDatei},
        {!a.listen.isEmpty(), "listen=" + a.listen.join('|')}, {!a.liste.isEmpty(), "liste=" + a.liste},
        {!a.zuweisungen.isEmpty(), "werte=" + a.zuweisungen.join('|')}};
    for (const auto& [ja, text] : teile)
        if (ja)
            t << text;
    QTEST(a.fehler.isEmpty() ? t.join(' ') : "! " + a.fehler, "erwartet");
}

// A port name -> its COM number or its path; "!": no port.
void TestCliTeile::port_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("erwartet");
    QTest::newRow("COM1") << "COM1" << "com=1";
    QTest::newRow("com4") << "com4" << "com=4";
    QTest::newRow("Com2") << "Com2" << "com=2";
    QTest::newRow("COM04") << "COM04" << "com=4";
    QTest::newRow("COM5") << "COM5" << "!";
    QTest::newRow("COM0") << "COM0" << "!";
    QTest::newRow("COM 1 is a path") << "COM 1" << "COM 1";
    QTest::newRow("path") << "/dev/ttyUSB0" << "/dev/ttyUSB0";
    QTest::newRow("bare name") << "ttyS0" << "ttyS0";
    QTest::newRow("empty") << "" << "!";
}

void TestCliTeile::port()
{
    QFETCH(QString, port);
    const auto p = portLesen(port);
    QString bild = !p ? QStringLiteral("!") : p->pfad;
    if (p && p->com)
        bild = QStringLiteral("com=%1%2").arg(p->com).arg(p->pfad);  // a path beside the number is a fault
    QTEST(bild, "erwartet");
}

// ---------------------------------------------------------------------------
// show

void TestCliTeile::lesbar_data()
{
    QTest::addColumn<QByteArray>("bytes");  // Windows-1252
    QTest::addColumn<QString>("erwartet");
    QTest::newRow("plain") << QByteArray("Pumpe 1") << "Pumpe 1";
    QTest::newRow("umlauts and euro") << QByteArray("\xC4rger \xFC\x62\x65r 5 \x80") << "Ärger über 5 €";
    QTest::newRow("backslash") << QByteArray("a\\b") << "a\\\\b";
    QTest::newRow("CR LF TAB") << QByteArray("a\r\n\tb") << "a\\x0D\\x0A\\x09b";
    QTest::newRow("NUL, ETX, DEL") << QByteArray("\x00\x03\x7F", 3) << "\\x00\\x03\\x7F";
    QTest::newRow("undefined code page bytes") << QByteArray("\x81\x8D\x8F\x90\x9D") << "\\x81\\x8D\\x8F\\x90\\x9D";
    QTest::newRow("erased cells") << QByteArray("\xFF\xFF") << "ÿÿ";
}

void TestCliTeile::lesbar()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, erwartet);
    QCOMPARE(blatt::lesbar(ansi::text(bytes)), erwartet);
}

// ---------------------------------------------------------------------------
// The device read's image

void TestCliTeile::geraetebildFuelltNurGeliefertes()
{
    QByteArray bytes;
    for (int i = 0; i < kGeraeteBytes; ++i)
        bytes.append(char(i * 7 % 251));
    const Konfigspeicher k = geraetebild(bytes);
    QCOMPARE(k.geraeteBytes(), bytes);
    QCOMPARE(k.byte(12, 255, 0xEE), std::uint8_t((kGeraeteBytes - 1) * 7 % 251));
    for (int s = 13; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            QVERIFY2(!k.gesetzt(s, o), qPrintable(QStringLiteral("page %1 offset %2 set").arg(s).arg(o)));

    // More than 3328 bytes go on into page 13; fewer leave the rest unset.
    const Konfigspeicher mehr = geraetebild(bytes + "\x11\x22");
    QCOMPARE(mehr.byte(13, 0, 0xEE), std::uint8_t(0x11));
    QCOMPARE(mehr.byte(13, 1, 0xEE), std::uint8_t(0x22));
    QVERIFY(!mehr.gesetzt(13, 2));
    const Konfigspeicher weniger = geraetebild(bytes.left(300));
    QCOMPARE(weniger.byte(1, 43, 0xEE), std::uint8_t(299 * 7 % 251));
    QVERIFY(!weniger.gesetzt(1, 44));
    QVERIFY(weniger.gesetzt(0, 0));
}

// ---------------------------------------------------------------------------
// The door of a program without widgets that installed none: each message on
// standard error, answered with the choice that changes nothing.

void TestCliTeile::standardtuer_data()
{
    QTest::addColumn<Door::Knoepfe>("knoepfe");
    QTest::addColumn<Door::Antwort>("antwort");
    QTest::newRow("OK") << Door::Knoepfe::Ok << Door::Antwort::Ok;
    QTest::newRow("OK/Abbrechen") << Door::Knoepfe::OkAbbrechen << Door::Antwort::Abbrechen;
    QTest::newRow("Ja/Nein") << Door::Knoepfe::JaNein << Door::Antwort::Nein;
}

void TestCliTeile::standardtuer()
{
    QFETCH(Door::Knoepfe, knoepfe);
    QFETCH(Door::Antwort, antwort);
    Datei fehler;
    std::fflush(stderr);
    const int vorher = ::dup(STDERR_FILENO);
    QVERIFY(::dup2(::fileno(fehler.f), STDERR_FILENO) >= 0);
    Door& tuer = Door::aktuell();
    const Door::Antwort a = tuer.meldung(QStringLiteral("Verbindung nicht möglich"), Door::Icon::Kritisch, knoepfe);
    std::fflush(stderr);
    ::dup2(vorher, STDERR_FILENO);
    ::close(vorher);
    QCOMPARE(a, antwort);
    QCOMPARE(inhalt(fehler.f), QByteArray("Verbindung nicht m\xC3\xB6glich\n"));
    QCOMPARE(tuer.dateiOeffnen({}), QString());
    QVERIFY(!tuer.starten(QStringLiteral("true"), {}));
    QVERIFY(!tuer.anzeigen(QStringLiteral("/tmp")));
}

// ---------------------------------------------------------------------------
// The tool's own reports

// One row: the arguments, how the scripted port behaves, at which closing of
// the port Ctrl+C comes (at an operation's end, before its report arrives),
// and whether standard error is a terminal -> exit status, standard output,
// standard error and the bytes the port took ("?": any byte). No run leaves a
// file or a backup behind.
void TestCliTeile::werkzeug_data()
{
    QTest::addColumn<QStringList>("argumente");
    QTest::addColumn<int>("schreibenBis");  // -1: the port refuses to open
    QTest::addColumn<QByteArray>("antwort");
    QTest::addColumn<int>("strgC");  // 0: none
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("aus");
    QTest::addColumn<QString>("fehler");
    QTest::addColumn<QByteArray>("geschrieben");
    const QByteArray uhr("\x09\x05\x0E\x15\x06>"), zeit("14:05:09   21.06.\n");
    // Reported at once: nobody waits 30 s for a port that cannot be opened.
    QTest::newRow("no permission names the group")
        << QStringList{"read", "-p", "/dev/ttyGSMBV9", "-o", "@/a.cfg", "-t", "30"} << -1 << uhr << 0 << false
        << int(KeineVerbindung) << QByteArray()
        << "Verbindung nicht möglich\ngsmbv: Keine Berechtigung für /dev/ttyGSMBV9 – Benutzer in die Gruppe dialout "
           "aufnehmen und neu anmelden\ngsmbv: sudo usermod -aG dialout $USER\n"
        << QByteArray();
    // The port takes "t" and "s" but no clock byte: no success reported.
    QTest::newRow("clock byte not written") << QStringList{"clock", "-p", "/dev/ttyGSMBV9", "--set", "-t", "2"} << 2
                                            << uhr << 0 << false << int(Uebertragungsfehler) << zeit
                                            << "Fehler bei Datenübertragung\ngsmbv: Uhrzeit-Byte 1 nicht gesendet\n"
                                            << QByteArray("ts");
    // On a terminal the bar is drawn, and a message that comes while it is
    // shown stands on a line of its own.
    QTest::newRow("terminal, short clock answer")
        << QStringList{"clock", "-p", "/dev/ttyGSMBV9", "-t", "2"} << 99 << QByteArray("\x09\x05\x0E>") << 0 << true
        << int(Uebertragungsfehler) << QByteArray()
        << "\rVerbindungsaufbau ... noch 2 s\nFehler bei Datenübertragung\n"
           "gsmbv: Uhrzeit unvollständig: nur 3 von 5 Bytes vor \">\"\n"
        << QByteArray("t");
    // The operation has succeeded, but Ctrl+C ended the run before its report
    // came: no file, no backup, nothing more on standard output.
    const QByteArray konfiguration = "r" + QByteArray(3328, char(0xFF));
    QTest::newRow("read, Ctrl+C before the report")
        << QStringList{"read", "-p", "/dev/ttyGSMBV9", "-o", "@/a.cfg"} << 99 << konfiguration << 1 << false
        << int(Abgebrochen) << QByteArray() << "gsmbv: abgebrochen\n" << QByteArray("r");
    QTest::newRow("log, Ctrl+C before the report")
        << QStringList{"log", "-p", "/dev/ttyGSMBV9", "-o", "@/LOG.TXT"} << 99 << QByteArray(513, char(0xFF)) << 1
        << false << int(Abgebrochen) << QByteArray() << "gsmbv: abgebrochen\n" << QByteArray("l");
    QTest::newRow("clock --set, Ctrl+C before the report of the setting")
        << QStringList{"clock", "-p", "/dev/ttyGSMBV9", "--set"} << 99 << uhr << 2 << false << int(Abgebrochen) << zeit
        << "gsmbv: abgebrochen\n" << QByteArray("ts?????\x1B");
}

void TestCliTeile::werkzeug()
{
    QFETCH(QStringList, argumente);
    QFETCH(int, schreibenBis);
    QFETCH(bool, terminal);
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));  // the backups
    argumente.replaceInStrings(QStringLiteral("@"), dir.path());
    auto port = std::make_unique<Skriptport>();
    Skriptport* p = port.get();
    p->schreibenBis = schreibenBis;
    QFETCH(QByteArray, antwort);
    p->antwort = antwort;
    QFETCH(int, strgC);
    Datei aus, fehlerdatei;
    Terminal pty;
    std::FILE* fehler = terminal ? ::fdopen(::dup(pty.seite()), "w") : fehlerdatei.f;
    QVERIFY(fehler);
    {
        CliDoor door(fehler);
        const Aufruf a = aufrufLesen(argumente);
        QCOMPARE(a.fehler, QString());
        Werkzeug w(a, door, std::move(port), aus.f, fehler);
        p->beimSchliessen = [&w, strgC](int n) {
            if (n == strgC)
                QMetaObject::invokeMethod(&w, &Werkzeug::unterbrechen, Qt::QueuedConnection);
        };
        QSignalSpy ende(&w, &Werkzeug::beendet);
        w.starten();
        QVERIFY(!ende.isEmpty() || ende.wait(5000));
        QCoreApplication::processEvents();  // a report still on its way
        QTEST(ende.at(0).at(0).toInt(), "status");
        QFETCH(QByteArray, geschrieben);
        for (qsizetype i = 0; i < std::min(geschrieben.size(), p->geschrieben.size()); ++i)
            if (geschrieben[i] == '?')
                p->geschrieben[i] = '?';
        QCOMPARE(p->geschrieben, geschrieben);
        QVERIFY(!p->istOffen());
    }
    QTEST(inhalt(aus.f), "aus");
    if (terminal)
        std::fclose(fehler);
    QTEST(QString::fromUtf8(terminal ? pty.gelesen() : inhalt(fehler)), "fehler");
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// What a write that broke off says when the device cannot be read back: as
// far as the echoes went, in the words the window's status bar uses too.
void TestCliTeile::schreibstand_data()
{
    QTest::addColumn<Schreibstand>("stand");  // confirmed pages, the page broken off, its echoes, pages not begun
    QTest::addColumn<QString>("text");
    const QString t = QStringLiteral("Zustand des Geräts nicht geprüft: ");
    const QString w = QStringLiteral(". Schreiben wiederholen.");
    QTest::newRow("inside a page") << Schreibstand{{0, 1, 2}, 3, 17, {4, 5, 6, 7, 8, 9, 10, 11, 12}}
                                   << t + "Seiten 0 bis 2 gesendet und bestätigt, von Seite 3 nur 17 der 256 Bytes, "
                                          "Seiten 4 bis 12 nicht gesendet" + w;
    QTest::newRow("first page's character") << Schreibstand{{}, 0, 0, {1, 2}}
                                            << t + "von Seite 0 kein Byte gesendet und bestätigt, Seiten 1 und 2 nicht "
                                                   "gesendet" + w;
    QTest::newRow("gaps, last byte of the last page") << Schreibstand{{0, 2, 3, 4, 9}, 11, 255, {}}
                                                      << t + "Seiten 0, 2 bis 4 und 9 gesendet und bestätigt, von Seite "
                                                             "11 nur 255 der 256 Bytes" + w;
    QTest::newRow("at w") << Schreibstand{{}, -1, 0, {0, 1, 2}} << "Gerät nicht beschrieben: keine Seite gesendet" + w;
}

void TestCliTeile::schreibstand()
{
    QFETCH(Schreibstand, stand);
    QTEST(linktext::schreibstand(stand), "text");
}

// What the device holds, read back after a write broke off, page by page
// ("D" the file's, "V" as before, "M" the file's first 17 bytes, ESC, then
// as before), with or without the backup read before; `gleich`: pages the
// file and the device had alike.
void TestCliTeile::haelt_data()
{
    QTest::addColumn<QString>("seiten");
    QTest::addColumn<QList<int>>("gleich");
    QTest::addColumn<bool>("sicherung");
    QTest::addColumn<QString>("text");
    const QString w = QStringLiteral(". Schreiben wiederholen.");
    QTest::newRow("broken inside page 3") << "DDDMVVVVVVVVV" << QList<int>{} << true
                                          << "Gerät hält: Seiten 0 bis 2 aus der Datei, Seite 3 gemischt, Seiten 4 bis "
                                             "12 wie vorher" + w;
    QTest::newRow("pages alike in file and device") << "DDDMVVVVVVVVV" << QList<int>{1, 5} << true
                                                    << "Gerät hält: Seiten 0 und 2 aus der Datei, Seite 3 gemischt, "
                                                       "Seiten 4 und 6 bis 12 wie vorher, Seiten 1 und 5 wie vorher und "
                                                       "wie in der Datei" + w;
    QTest::newRow("no backup") << "DDDMVVVVVVVVV" << QList<int>{5} << false
                               << "Gerät hält: Seiten 0 bis 2 und 5 aus der Datei, Seiten 3, 4 und 6 bis 12 abweichend"
                                      + w;
    QTest::newRow("the whole file") << "DDDDDDDDDDDDD" << QList<int>{12} << true
                                    << "Gerät hält: Seiten 0 bis 11 aus der Datei, Seite 12 wie vorher und wie in der "
                                       "Datei.";
}

void TestCliTeile::haelt()
{
    QFETCH(QString, seiten);
    QFETCH(QList<int>, gleich);
    QFETCH(bool, sicherung);
    QByteArray datei, vorher, gelesen;
    for (int p = 0; p < kGeraeteSeiten; ++p) {
        const QByteArray d(kZellen, char('a' + p)), v = gleich.contains(p) ? d : QByteArray(kZellen, char(0xFF));
        datei += d;
        vorher += v;
        gelesen += seiten[p] == 'D' ? d : seiten[p] == 'V' ? v : d.left(17) + '\x1B' + v.mid(18);
    }
    Seitenaenderung alle{};
    alle.fill(true);
    QTEST(haeltText(kit::bild(datei), alle, sicherung ? vorher : QByteArray(), gelesen), "text");
}

// ---------------------------------------------------------------------------
// The progress line

void TestCliTeile::zeile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maximum");  // 0: the countdown, `wert` seconds left
    QTest::addColumn<int>("wert");
    QTest::addColumn<int>("spalten");
    QTest::addColumn<QString>("zeile");
    const QString l = QStringLiteral("lese Konfigurationsdaten ...");
    QTest::newRow("voll") << "Bestätigungstexte ..." << 257 << 257 << 80 << "Bestätigungstexte ... [####################] 257/257";
    QTest::newRow("über dem Maximum") << "x" << 80 << 81 << 80 << "x [####################] 80/80";
    // Narrower: a shorter bar, then none, then the text cut; the last column stays free.
    QTest::newRow("50 Spalten") << l << 3328 << 1200 << 50 << "lese Konfigurationsdaten ... [##......] 1200/3328";
    QTest::newRow("40 Spalten") << l << 3328 << 1200 << 40 << "lese Konfigurationsdaten ... 1200/3328";
    QTest::newRow("12 Spalten") << l << 3328 << 1200 << 12 << "l 1200/3328";
    QTest::newRow("5 Spalten") << l << 3328 << 1200 << 5 << "1200";
    QTest::newRow("Countdown") << "Verbindungsaufbau ..." << 0 << 38 << 80 << "Verbindungsaufbau ... noch 38 s";
    QTest::newRow("Countdown, 20 Spalten") << "Verbindungsaufbau ..." << 0 << 5 << 20 << "Verbindungsaufbau .";
}

void TestCliTeile::zeile()
{
    QFETCH(QString, text);
    QFETCH(int, maximum);
    QFETCH(int, wert);
    QFETCH(int, spalten);
    QTEST(maximum ? Fortschrittszeile::zeile(text, maximum, wert, spalten)
                  : Fortschrittszeile::countdown(text, wert, spalten), "zeile");
}

void TestCliTeile::zeilenstrom_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<int>("abstandMs");
    QTest::addColumn<QByteArray>("ausgabe");
    QTest::newRow("Datei") << false << 100 << QByteArray("Verbindungsaufbau ...\nlese Konfigurationsdaten ...\nfertig\n");
    QTest::newRow("Terminal, jede Änderung")
        << true << 0
        << QByteArray("\rVerbindungsaufbau ... noch 40 s"
                      "\rlese Konfigurationsdaten ... [....................] 79/3328"
                      "\rlese Konfigurationsdaten ... [....................] 1/3328 "  // padded over the longer line
                      "\rlese Konfigurationsdaten ... [####################] 3328/3328\nfertig\n");
    // Changes within 100 ms of a draw wait; the end draws the last state.
    QTest::newRow("Terminal, 100 ms")
        << true << 100
        << QByteArray("\rVerbindungsaufbau ... noch 40 s"
                      "\rlese Konfigurationsdaten ... [....................] 1/3328"
                      "\rlese Konfigurationsdaten ... [####################] 3328/3328\nfertig\n");
}

void TestCliTeile::zeilenstrom()
{
    QFETCH(bool, terminal);
    QFETCH(int, abstandMs);
    Datei f;
    {
        Fortschrittszeile z(f.f);
        z.setTerminal(terminal);
        z.setBreite(80);
        z.setAbstand(std::chrono::milliseconds(abstandMs));
        const auto stand = [&](Schritt s, int wert, int maximum) { z.anzeigen({Vorgangsart::Lesen, s, -1, wert, maximum}); };
        stand(Schritt::Verbinden, 0, 0);
        stand(Schritt::Befehl, 79, 0);  // the countdown shows seconds: not drawn again
        stand(Schritt::Empfangen, 79, 3328);
        stand(Schritt::Empfangen, 1, 0);
        stand(Schritt::Beendet, 1, 0);
        stand(Schritt::Empfangen, 2, 0);  // over: nothing more
        z.abschliessen(QStringLiteral("fertig"));
    }
    QTEST(inhalt(f.f), "ausgabe");
}

QTEST_GUILESS_MAIN(TestCliTeile)
#include "test_cli_teile.moc"
