#include "cli/aufruf.h"

#include "modell/einstellung.h"

#include <QMap>
#include <algorithm>
#include <QRegularExpression>
#include <array>
#include <cmath>

#ifndef GSMBV_VERSION
#define GSMBV_VERSION "unbekannt"
#endif

namespace cli {
namespace {

// Which options a command takes.
struct Erlaubt {
    bool port = true;
    bool ausgabe = false;
    bool ausgabePflicht = false;
    bool datei = false;  // one positional FILE.cfg
    bool stellen = false;
    bool erzwingen = false;  // --force
    bool blatt = false;      // --pdf and --json
    bool zwei = false;       // two positional files
    bool schreibschutz = false;  // --no-verify and --no-backup
    bool hoechstensEine = false; // at most one positional file
    bool streng = false;         // --strict
    bool zuweisen = false;       // write --set SCHLÜSSEL=WERT
    bool vorgaben = false;       // set: --from, SCHLÜSSEL=WERT after the file
    bool liste = false;          // --empfaenger
    bool schreiben = false;      // write: --force-name, --dry-run
    bool serie = false;          // serie: VORLAGE.cfg GERAETE.csv
};

Erlaubt erlaubt(Befehl b)
{
    switch (b) {
    case Befehl::Read: return {true, true, true, false, false, false};
    case Befehl::Write:
        return {.datei = true, .erzwingen = true, .schreibschutz = true, .streng = true, .zuweisen = true,
                .schreiben = true};
    case Befehl::Log: return {true, true, false, false, false, false};
    case Befehl::Clock: return {true, false, false, false, true, false};
    case Befehl::Show: return {.port = false, .datei = true, .erzwingen = true, .blatt = true, .liste = true};
    case Befehl::Set: return {.port = false, .ausgabe = true, .datei = true, .vorgaben = true, .liste = true};
    case Befehl::Ports: return {false, false, false, false, false, false};
    case Befehl::Diff: return {.datei = true, .zwei = true};
    case Befehl::Restore: return {.schreibschutz = true, .hoechstensEine = true};
    case Befehl::Serie: return {.serie = true};
    case Befehl::Keiner: break;
    }
    return {false, false, false, false, false, false};
}

std::optional<Befehl> befehlFuer(const QString& name)
{
    for (Befehl b : {Befehl::Read, Befehl::Write, Befehl::Log, Befehl::Clock, Befehl::Show, Befehl::Ports,
                     Befehl::Diff, Befehl::Restore, Befehl::Set, Befehl::Serie})
        if (name == befehlsname(b))
            return b;
    return std::nullopt;
}

// Seconds as a positive decimal number ("5", "0.5"), to the millisecond.
std::optional<std::chrono::milliseconds> sekunden(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,6}(\\.[0-9]{1,3})?$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const double s = text.toDouble();
    const auto ms = std::llround(s * 1000.0);
    if (ms < 1 || s > kHoechsteFrist)
        return std::nullopt;
    return std::chrono::milliseconds(ms);
}

} // namespace

QString befehlsname(Befehl b)
{
    switch (b) {
    case Befehl::Read: return QStringLiteral("read");
    case Befehl::Write: return QStringLiteral("write");
    case Befehl::Log: return QStringLiteral("log");
    case Befehl::Clock: return QStringLiteral("clock");
    case Befehl::Show: return QStringLiteral("show");
    case Befehl::Ports: return QStringLiteral("ports");
    case Befehl::Diff: return QStringLiteral("diff");
    case Befehl::Restore: return QStringLiteral("restore");
    case Befehl::Set: return QStringLiteral("set");
    case Befehl::Serie: return QStringLiteral("serie");
    case Befehl::Keiner: break;
    }
    return {};
}

namespace {

// One option: its long name, whether the command takes it, whether it carries
// a value (and what is said when the value is missing), and how it is stored.
// `setzen` returns why the value is wrong, or "".
struct Option {
    QLatin1String name;
    bool Erlaubt::*erlaubt;
    const char* fehlt;  // nullptr: a switch without a value; "": setzen checks the missing value
    QString (*setzen)(Aufruf& a, const QString& wert);
    bool mehrfach = false;  // may be given more than once
};

QString umfangSetzen(Aufruf& a, Aufruf::Umfang u)
{
    if (a.umfang != Aufruf::Umfang::Normal)
        return QStringLiteral("-v/--verbose und -q/--quiet schließen einander aus");
    a.umfang = u;
    return {};
}

// "SCHLÜSSEL=WERT" (the value may be empty).
QString zuweisungLesen(Aufruf& a, const QString& w, const QString& wo)
{
    if (w.indexOf(QLatin1Char('=')) <= 0)
        return QStringLiteral("%1: \"%2\" ist keine Zuweisung SCHLÜSSEL=WERT").arg(wo, w);
    a.zuweisungen.append(w);
    return {};
}

// show --empfaenger LISTE, set --empfaenger LISTE=DATEI.csv.
QString empfaengerLesen(Aufruf& a, const QString& w)
{
    if (a.befehl == Befehl::Set) {
        const qsizetype gleich = w.indexOf(QLatin1Char('='));
        if (gleich <= 0 || gleich == w.size() - 1)
            return QStringLiteral("--empfaenger braucht LISTE=DATEI.csv, z. B. lines[0].recipients=nummern.csv");
        a.listen.append(w);
        return {};
    }
    if (!a.liste.isEmpty())
        return QStringLiteral("--empfaenger ist mehrfach angegeben");
    const Einstellung* e = Einstellung::finden(w);
    if (!e || e->art != Wertart::Empfaenger)
        return QStringLiteral("\"%1\" ist keine Empfängerliste: lines[0].recipients bis lines[7].recipients, "
                              "mains_failure.recipients oder analog.recipients").arg(w);
    a.liste = w;
    return {};
}

const Option kOptionen[] = {
    {QLatin1String("--port"), &Erlaubt::port, "--port braucht einen Port",
     [](Aufruf& a, const QString& w) {
         if (!portLesen(w))
             return QStringLiteral("\"%1\" ist kein Port: COM1 bis COM4 oder ein Gerätepfad").arg(w);
         a.port = w;
         return QString();
     }},
    {QLatin1String("--output"), &Erlaubt::ausgabe, "--output braucht einen Dateinamen",
     [](Aufruf& a, const QString& w) { a.ausgabe = w; return QString(); }},
    // A missing --timeout value is refused by its own check, whose message names the limit.
    {QLatin1String("--timeout"), &Erlaubt::port, "",
     [](Aufruf& a, const QString& w) {
         a.frist = sekunden(w);
         return a.frist ? QString() : QStringLiteral("--timeout braucht Sekunden größer als 0 und bis %1, z. B. 5 oder 0.5").arg(kHoechsteFrist);
     }},
    {QLatin1String("--transcript"), &Erlaubt::port, "--transcript braucht einen Dateinamen",
     [](Aufruf& a, const QString& w) { a.mitschrift = w; return QString(); }},
    {QLatin1String("--pdf"), &Erlaubt::blatt, "--pdf braucht einen Dateinamen",
     [](Aufruf& a, const QString& w) { a.pdf = w; return QString(); }},
    {QLatin1String("--set"), &Erlaubt::stellen, nullptr, [](Aufruf& a, const QString&) { a.stellen = true; return QString(); }},
    {QLatin1String("--force"), &Erlaubt::erzwingen, nullptr, [](Aufruf& a, const QString&) { a.erzwingen = true; return QString(); }},
    {QLatin1String("--strict"), &Erlaubt::streng, nullptr, [](Aufruf& a, const QString&) { a.streng = true; return QString(); }},
    {QLatin1String("--no-verify"), &Erlaubt::schreibschutz, nullptr, [](Aufruf& a, const QString&) { a.pruefen = false; return QString(); }},
    {QLatin1String("--no-backup"), &Erlaubt::schreibschutz, nullptr, [](Aufruf& a, const QString&) { a.sichern = false; return QString(); }},
    {QLatin1String("--force-name"), &Erlaubt::schreiben, nullptr, [](Aufruf& a, const QString&) { a.fremd = true; return QString(); }},
    {QLatin1String("--dry-run"), &Erlaubt::schreiben, nullptr, [](Aufruf& a, const QString&) { a.probe = true; return QString(); }},
    {QLatin1String("--verbose"), &Erlaubt::port, nullptr, [](Aufruf& a, const QString&) { return umfangSetzen(a, Aufruf::Umfang::Ausfuehrlich); }},
    {QLatin1String("--quiet"), &Erlaubt::port, nullptr, [](Aufruf& a, const QString&) { return umfangSetzen(a, Aufruf::Umfang::Leise); }},
    {QLatin1String("--json"), &Erlaubt::blatt, nullptr, [](Aufruf& a, const QString&) { a.json = true; return QString(); }},
    {QLatin1String("--set"), &Erlaubt::zuweisen, "--set braucht SCHLÜSSEL=WERT",
     [](Aufruf& a, const QString& w) { return zuweisungLesen(a, w, QStringLiteral("--set")); }, true},
    {QLatin1String("--from"), &Erlaubt::vorgaben, "--from braucht eine JSON-Datei",
     [](Aufruf& a, const QString& w) { a.werteDatei = w; return QString(); }},
    {QLatin1String("--empfaenger"), &Erlaubt::liste, "--empfaenger braucht eine Empfängerliste", empfaengerLesen, true},
};

// The long name of an option as given: "--name=value" splits at "=", and -p,
// -o, -t, -v, -q stand for --port, --output, --timeout, --verbose, --quiet
// (the first three with their value behind them or in the next argument).
std::pair<QString, std::optional<QString>> optionLesen(const QString& arg)
{
    if (const qsizetype gl = arg.indexOf(QLatin1Char('=')); gl > 0 && arg.startsWith(QLatin1String("--")))
        return {arg.left(gl), arg.mid(gl + 1)};
    if (arg.startsWith(QLatin1String("--")))
        return {arg, std::nullopt};
    static const QMap<QChar, QString> kurz{{QLatin1Char('p'), QStringLiteral("--port")},
                                           {QLatin1Char('o'), QStringLiteral("--output")},
                                           {QLatin1Char('t'), QStringLiteral("--timeout")}};
    if (const auto lang = kurz.find(arg.at(1)); lang != kurz.end())
        return {*lang, arg.size() > 2 ? std::optional<QString>(arg.mid(2)) : std::nullopt};
    if (arg == QLatin1String("-v"))
        return {QStringLiteral("--verbose"), std::nullopt};
    if (arg == QLatin1String("-q"))
        return {QStringLiteral("--quiet"), std::nullopt};
    return {arg, std::nullopt};
}

// Help, --version and the command: the first things read. Returns true when
// the call is complete (help, version, or an error).
bool befehlLesen(const QStringList& argumente, Aufruf& a)
{
    const auto hilfe = [](const QString& s) { return s == QLatin1String("--help") || s == QLatin1String("-h"); };
    // Help wins over everything else: "gsmbv read --help" shows the help of
    // read, "gsmbv --help" and "gsmbv nonsense --help" the general one.
    for (const QString& arg : argumente) {
        if (arg == QLatin1String("--"))
            break;
        if (hilfe(arg)) {
            a.hilfe = true;
            if (!hilfe(argumente.first()))
                a.befehl = befehlFuer(argumente.first()).value_or(Befehl::Keiner);
            return true;
        }
    }
    if (argumente.isEmpty()) {
        a.fehler = QStringLiteral("kein Befehl angegeben");
        return true;
    }
    if (argumente.first() == QLatin1String("--version")) {
        a.version = argumente.size() == 1;
        if (!a.version)
            a.fehler = QStringLiteral("--version steht allein");
        return true;
    }
    const auto befehl = befehlFuer(argumente.first());
    if (!befehl) {
        a.fehler = argumente.first().startsWith(QLatin1Char('-'))
                       ? QStringLiteral("zuerst den Befehl angeben, dann \"%1\"").arg(argumente.first())
                       : QStringLiteral("unbekannter Befehl \"%1\"").arg(argumente.first());
        return true;
    }
    a.befehl = *befehl;
    return false;
}

// The files named: one for write and show, two for diff, at most one for
// restore, none otherwise.
QString positionenPruefen(const QStringList& positionen, const Erlaubt& e, const QString& name, Aufruf& a)
{
    if (e.hoechstensEine) {
        if (positionen.size() > 1 || (!positionen.isEmpty() && positionen.first().isEmpty()))
            return QStringLiteral("%1 nimmt höchstens eine Sicherung").arg(name);
        a.datei = positionen.value(0);
        // Without a backup named, the device's read chooses it.
        if (a.datei.isEmpty() && !a.sichern)
            return QStringLiteral("%1 ohne SICHERUNG liest das Gerät zuerst: --no-backup nur mit SICHERUNG").arg(name);
    } else if (e.serie) {
        if (positionen.size() != 2 || positionen.contains(QString()))
            return QStringLiteral("%1 braucht eine Vorlage (.cfg) und eine Geräteliste (.csv)").arg(name);
        a.datei = positionen[0];
        a.zweite = positionen[1];
    } else if (e.zwei) {
        // diff: two files, or the device (a port) and one.
        if (positionen.isEmpty() || positionen.size() > 2 || positionen.contains(QString()))
            return QStringLiteral("%1 braucht zwei Konfigurationsdateien, oder --port und eine").arg(name);
        a.datei = positionen[0];
        a.zweite = positionen.value(1);
    } else if (e.datei) {
        if (positionen.isEmpty())
            return QStringLiteral("%1 braucht eine Konfigurationsdatei").arg(name);
        for (qsizetype i = 1; e.vorgaben && i < positionen.size(); ++i)
            if (const QString f = zuweisungLesen(a, positionen[i], name); !f.isEmpty())
                return f;
        if ((positionen.size() > 1 && !e.vorgaben) || positionen.first().isEmpty())
            return QStringLiteral("%1 nimmt genau eine Konfigurationsdatei").arg(name);
        a.datei = positionen.first();
    } else if (!positionen.isEmpty()) {
        return QStringLiteral("unerwartetes Argument \"%1\"").arg(positionen.first());
    }
    return {};
}

} // namespace

Aufruf aufrufLesen(const QStringList& argumente, const QString& umgebungsport)
{
    Aufruf a;
    if (befehlLesen(argumente, a))
        return a;
    const Erlaubt e = erlaubt(a.befehl);
    const QString name = befehlsname(a.befehl);

    QStringList gegeben;  // the options given so far, each only once
    QStringList positionen;
    bool nurNoch = false;  // behind "--" every argument is a file name
    for (qsizetype i = 1; i < argumente.size() && a.fehler.isEmpty(); ++i) {
        const QString arg = argumente.at(i);
        if (nurNoch || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            positionen.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            nurNoch = true;
            continue;
        }
        auto [opt, wert] = optionLesen(arg);
        const Option* o = nullptr;
        for (const Option& k : kOptionen)
            if (opt == k.name && e.*k.erlaubt && (k.fehlt || !wert))
                o = &k;
        if (!o) {
            a.fehler = QStringLiteral("%1 gibt es bei %2 nicht").arg(opt, name);
        } else if (gegeben.contains(opt) && !o->mehrfach) {
            a.fehler = QStringLiteral("%1 ist mehrfach angegeben").arg(opt);
        } else {
            gegeben.append(opt);
            if (o->fehlt && !wert && i + 1 < argumente.size())
                wert = argumente.at(++i);
            if (o->fehlt && (!wert || wert->isEmpty()) && *o->fehlt)
                a.fehler = QString::fromUtf8(o->fehlt);
            else
                a.fehler = o->setzen(a, wert.value_or(QString()));
        }
    }
    if (a.fehler.isEmpty() && int(gegeben.contains(QLatin1String("--pdf"))) + int(a.json) + int(!a.liste.isEmpty()) > 1)
        a.fehler = QStringLiteral("--json, --pdf und --empfaenger schließen einander aus");
    // Each device of a series opens the port anew: one transcript would keep only the last.
    if (a.fehler.isEmpty() && e.serie && gegeben.contains(QLatin1String("--transcript")))
        a.fehler = QStringLiteral("--transcript gibt es bei serie nicht");
    if (a.fehler.isEmpty())
        a.fehler = positionenPruefen(positionen, e, name, a);
    if (!a.fehler.isEmpty())
        return a;
    const bool zweiDateien = e.zwei && !a.zweite.isEmpty();
    if (zweiDateien && gegeben.contains(QLatin1String("--port")))
        a.fehler = QStringLiteral("%1 --port vergleicht das Gerät mit einer Konfigurationsdatei").arg(name);
    else if (e.zwei && !zweiDateien && !gegeben.contains(QLatin1String("--port")) && umgebungsport.isEmpty())
        a.fehler = QStringLiteral("%1 braucht zwei Konfigurationsdateien, oder --port und eine").arg(name);
    if (a.fehler.isEmpty() && e.port && !zweiDateien && !gegeben.contains(QLatin1String("--port"))) {
        if (umgebungsport.isEmpty())
            a.fehler = QStringLiteral("%1 braucht --port (oder GSMBV_PORT)").arg(name);
        else if (!portLesen(umgebungsport))
            a.fehler = QStringLiteral("GSMBV_PORT: \"%1\" ist kein Port: COM1 bis COM4 oder ein Gerätepfad").arg(umgebungsport);
        else
            a.port = umgebungsport;
    }
    if (a.fehler.isEmpty() && e.ausgabePflicht && !gegeben.contains(QLatin1String("--output")))
        a.fehler = QStringLiteral("%1 braucht --output").arg(name);
    if (a.fehler.isEmpty() && e.vorgaben && a.zuweisungen.isEmpty() && a.werteDatei.isEmpty() && a.listen.isEmpty())
        a.fehler = QStringLiteral("set braucht Werte: SCHLÜSSEL=WERT, --from oder --empfaenger");
    return a;
}

std::optional<Portangabe> portLesen(const QString& port)
{
    if (port.isEmpty())
        return std::nullopt;
    static const QRegularExpression com(QStringLiteral("^com([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const auto m = com.match(port); m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        if (!ok || n < 1 || n > 4)
            return std::nullopt;
        return Portangabe{n, {}};
    }
    return Portangabe{0, port};
}

namespace {

// Each command's usage behind "gsmbv NAME": its options and files, and the
// second line of a long one.
struct Nutzung {
    Befehl befehl;
    const char* zeile;
    const char* weiter;
};

const Nutzung kNutzung[] = {
    {Befehl::Read, "-p PORT -o DATEI.cfg [-t SEKUNDEN] [GERÄTEOPTIONEN]", nullptr},
    {Befehl::Write, "-p PORT [-t SEKUNDEN] [--force] [--strict] [--no-backup] [--no-verify]",
     "[--force-name] [--dry-run] [--set SCHLÜSSEL=WERT ...] [GERÄTEOPTIONEN] DATEI.cfg"},
    {Befehl::Log, "-p PORT [-o DATEI] [-t SEKUNDEN] [GERÄTEOPTIONEN]", nullptr},
    {Befehl::Clock, "-p PORT [--set] [-t SEKUNDEN] [GERÄTEOPTIONEN]", nullptr},
    {Befehl::Show, "[--force] [--json | --pdf DATEI.pdf | --empfaenger LISTE] DATEI.cfg", nullptr},
    {Befehl::Ports, "", nullptr},
    {Befehl::Diff, "DATEI_A.cfg DATEI_B.cfg | -p PORT [-t SEKUNDEN] [GERÄTEOPTIONEN] DATEI.cfg", nullptr},
    {Befehl::Restore, "-p PORT [-t SEKUNDEN] [--no-backup] [--no-verify]", "[GERÄTEOPTIONEN] [SICHERUNG]"},
    {Befehl::Set, "[-o NEU.cfg] [--from WERTE.json] [--empfaenger LISTE=DATEI.csv ...]",
     "DATEI.cfg [SCHLÜSSEL=WERT ...]"},
    {Befehl::Serie, "-p PORT [-t SEKUNDEN] [-v | -q] VORLAGE.cfg GERAETE.csv", nullptr},
};

// `kopf` and the command's name, padded to `breite`, then its usage; a second
// line stands `einzug` columns in.
QString nutzungszeilen(const Nutzung& n, const QString& kopf, int breite, qsizetype einzug)
{
    QString t = kopf + befehlsname(n.befehl);
    if (*n.zeile)
        t = t.leftJustified(kopf.size() + breite) + QLatin1Char(' ') + QString::fromUtf8(n.zeile);
    t += QLatin1Char('\n');
    if (n.weiter)
        t += QString(einzug, QLatin1Char(' ')) + QString::fromUtf8(n.weiter) + QLatin1Char('\n');
    return t;
}

} // namespace

QString nutzung(Befehl b)
{
    const QString aufruf = QStringLiteral("Aufruf: gsmbv "), weitere = QStringLiteral("        gsmbv ");
    // One command: its second line under the blank before its options.
    for (const Nutzung& n : kNutzung)
        if (n.befehl == b)
            return nutzungszeilen(n, aufruf, 0, aufruf.size() + befehlsname(b).size());
    // All of them: the names in a column, a second line under the options.
    int breite = 0;
    for (const Nutzung& n : kNutzung)
        breite = std::max(breite, int(befehlsname(n.befehl).size()));
    QString t;
    for (const Nutzung& n : kNutzung)
        t += nutzungszeilen(n, t.isEmpty() ? aufruf : weitere, breite, weitere.size() + breite + 1);
    return t + weitere + QStringLiteral("[BEFEHL] --help\n");
}

namespace {

const char* const kPortHilfe =
    "  -p, --port PORT      Gerätepfad (z. B. /dev/ttyUSB0 oder für einen USB-Adapter\n"
    "                       besser sein fester Name unter /dev/serial/by-id/) oder\n"
    "                       COM1 bis COM4; ohne Angabe der Wert von GSMBV_PORT\n"
    "  -t, --timeout SEKUNDEN\n"
    "                       Frist für jedes Warten auf das Gerät und für eine\n"
    "                       stockende Übertragung (Standard 40, z. B. 0.5)\n";

// The options of every command that talks to the device (GERÄTEOPTIONEN).
const char* const kGeraetHilfe =
    "  -v, --verbose        jeden Schritt nennen (Port geöffnet, ACK empfangen,\n"
    "                       Befehl gesendet, Seite geschrieben, Sicherung, ...),\n"
    "                       statt des Fortschritts\n"
    "  -q, --quiet          nur Fehler ausgeben: kein Fortschritt, keine Abschlusszeile\n"
    "  --transcript DATEI   jedes Byte auf der Leitung in beiden Richtungen mit\n"
    "                       Uhrzeit in DATEI mitschreiben (für die Fehlersuche;\n"
    "                       auch bei einem Fehlschlag)\n";

// The options of a command on the device: the port's and the link's, then its own.
QString geraeteoptionen(const QString& eigene)
{
    return QStringLiteral("\nOptionen:\n") + QString::fromUtf8(kPortHilfe) + QString::fromUtf8(kGeraetHilfe) + eigene;
}

const char* const kFormHilfe =
    "Eine Datei, die nicht die Form einer Konfigurationsdatei hat (13 Zeilen wie\n"
    "beim Speichern, Texte in Windows-1252), wird mit Rückgabewert 4 abgewiesen;\n"
    "die Meldung nennt die erste Zeile, die nicht passt.\n";

const char* const kAnpassungHilfe =
    "Werte, die das Fenster beim Öffnen nach seinen Regeln anders ablegt (etwa ein\n"
    "Minimalguthaben von 20 EURO als 9), nennt je eine Zeile \"gsmbv: angepasst: ...\".\n";

const char* const kAusgabeHilfe =
    "\"-\" als DATEI ist die Standardausgabe. Ein Gerät oder eine FIFO wird direkt\n"
    "beschrieben; eine Datei wird erst ersetzt, wenn die neue vollständig ist.\n";

// A command's help after its usage: what it does, in up to three pieces (a
// shared paragraph among them), then its options; a command on the device
// gets the port's and the link's options before its own.
struct Befehlshilfe {
    Befehl befehl;
    std::array<const char*, 4> text;
    bool amGeraet;
    const char* optionen;
};

const Befehlshilfe kBefehlshilfe[] = {
    {Befehl::Read,
     {"Liest die Konfiguration des Geräts (Seiten 0 bis 12) und speichert sie als\n"
      "Konfigurationsdatei, wie das Fenster sie nach \"Konfiguration lesen\" speichert.\n"
      "Eine vorhandene Datei wird ohne Rückfrage ersetzt; schlägt das Lesen fehl,\n"
      "bleibt sie unverändert. Jede gelesene Konfiguration wird außerdem als\n"
      "Sicherung im Sicherungsordner abgelegt (siehe gsmbv restore --help).\n",
      kAusgabeHilfe},
     true,
     "  -o, --output DATEI.cfg\n"
     "                       die Konfigurationsdatei\n"},
    {Befehl::Write,
     {"Öffnet die Konfigurationsdatei wie das Fenster und schreibt alle 13 Seiten in\n"
      "das Gerät. Eine Datei mit weniger als 13 Zeilen wird abgewiesen; dann wird\n"
      "nichts geschrieben.\n",
      kFormHilfe,
      kAnpassungHilfe,
      "\n"
      "Vorher wird die Konfiguration des Geräts gelesen und als Sicherung im\n"
      "Sicherungsordner abgelegt (gsmbv restore). Scheitert dieses Lesen, wird\n"
      "nichts geschrieben (Rückgabewert wie bei read); lässt sich nur die Sicherung\n"
      "nicht ablegen, sagt eine Zeile warum, und das Schreiben geht weiter.\n"
      "Danach wird das Gerät zurückgelesen und jede geschriebene Seite mit dem\n"
      "Gesendeten verglichen; weicht eine ab, endet gsmbv mit Rückgabewert 3 und\n"
      "\"Prüfung fehlgeschlagen: Seiten 3 und 11 weichen ab\".\n"
      "Bricht das Schreiben ab (fehlendes Echo, Strg+C, SIGTERM, SIGHUP), wird das\n"
      "Gerät zurückgelesen und jede Seite benannt, z. B. \"Gerät hält: Seiten 0 bis 2\n"
      "aus der Datei, Seite 3 gemischt, Seiten 4 bis 12 wie vorher. Schreiben\n"
      "wiederholen.\" Antwortet das Gerät nicht mehr oder ist die Leitung getrennt\n"
      "(Kabel gezogen), nennt gsmbv nur, was gesendet und durch Echos bestätigt\n"
      "wurde; der Zustand des Geräts ist dann nicht geprüft.\n"
      "\n"
      "Hält das Gerät eine eingerichtete Anlage mit einer anderen Anlagenbezeichnung\n"
      "als die Datei, wird nichts geschrieben: \"Gerät enthält »Tankstelle Süd«, Datei\n"
      "ist für »Pumpwerk Nord«\", Rückgabewert 6. Ein Gerät ohne Anlagenbezeichnung\n"
      "(leer oder nie beschrieben) ist nicht eingerichtet. Dazu wird das Gerät auch\n"
      "mit --no-backup gelesen, nur nicht gesichert; erst mit --force-name nicht.\n"},
     true,
     "  --force              auch eine Datei schreiben, die nicht die Form einer\n"
     "                       Konfigurationsdatei hat (nicht bei fehlenden Zeilen)\n"
     "  --force-name         auch ein Gerät beschreiben, das eine Anlage anderen\n"
     "                       Namens hält\n"
     "  --dry-run            alles bis zum Schreiben (Datei prüfen, Gerät lesen und\n"
     "                       sichern, Anlagenbezeichnung prüfen), dann die\n"
     "                       Einstellungen ausgeben, die sich ändern würden (wie\n"
     "                       diff: \"< \" Gerät, \"> \" Datei); nichts geschrieben.\n"
     "                       Rückgabewert 0 (6 bei einer Anlage anderen Namens)\n"
     "  --strict             eine Datei, deren Werte angepasst würden, mit\n"
     "                       Rückgabewert 4 abweisen, ohne das Gerät zu fragen\n"
     "  --no-backup          vorher nicht lesen und sichern\n"
     "  --no-verify          nachher nicht zurücklesen und vergleichen\n"
     "  --set SCHLÜSSEL=WERT eine Einstellung vor dem Schreiben ändern, wie set es\n"
     "                       tut (die Datei bleibt, wie sie ist); mehrfach möglich.\n"
     "                       Ein abgewiesener Wert: nichts geschrieben, Rückgabewert 4\n"},
    {Befehl::Log,
     {"Lädt den Ereignisspeicher des Geräts herunter und gibt das Ereignisprotokoll\n"
      "aus, eine Zeile je Ereignis (UTF-8). Mit --output wird die Datei im Format von\n"
      "LOG.TXT geschrieben (Windows-1252, Zeilenende CR LF) und ersetzt.\n",
      kAusgabeHilfe},
     true,
     "  -o, --output DATEI   die Protokolldatei statt der Standardausgabe\n"},
    {Befehl::Clock,
     {"Liest die Uhr des Geräts und gibt sie aus, z. B. \"14:05:09   21.06.\".\n"
      "Mit --set wird die Uhr danach auf Datum und Uhrzeit des PCs gestellt und die\n"
      "gestellte Zeit in einer zweiten Zeile ausgegeben.\n"},
     true,
     "  --set                die Geräteuhr auf die Zeit des PCs stellen\n"},
    {Befehl::Show,
     {"Gibt jede Einstellung der Konfigurationsdatei aus, eine je Zeile als\n"
      "\"Beschriftung: Wert\" mit den Beschriftungen des Fensters (UTF-8).\n"
      "Steuerzeichen in Texten erscheinen als \\xHH, ein \\ als \\\\.\n",
      kFormHilfe, kAnpassungHilfe},
     false,
     "  --force          auch eine Datei zeigen, die nicht die Form einer\n"
     "                   Konfigurationsdatei hat (nicht bei fehlenden Zeilen)\n"
     "  --json           jede Einstellung als ein JSON-Objekt (UTF-8) mit festen\n"
     "                   englischen Schlüsseln, nach ihren Teilen geschachtelt:\n"
     "                   \"lines[2].text\" ist der Meldungstext der Meldelinie 3.\n"
     "                   Schalter sind true/false, Zahlenfelder Zahlen (leer: null),\n"
     "                   ein Empfänger ist {\"number\": ..., \"type\": \"GSM\"|\"Fax\"|\"email\"}.\n"
     "  --pdf DATEI.pdf  statt der Ausgabe das Konfigurationsblatt als PDF (A4)\n"
     "                   schreiben: jede Einstellung nach den Registerkarten des\n"
     "                   Fensters, mit Anlagenbezeichnung, Datum und Herkunft.\n"
     "                   Eine vorhandene Datei wird ersetzt.\n"
     "  --empfaenger LISTE\n"
     "                   nur die Empfängerliste LISTE (lines[0].recipients bis\n"
     "                   lines[7].recipients, mains_failure.recipients,\n"
     "                   analog.recipients) als CSV: Kopfzeile \"Art;Nummer\",\n"
     "                   dann je Empfänger eine Zeile wie \"Fax;0316123456\"\n"},
    {Befehl::Ports,
     {"Zeigt COM1 bis COM4 mit dem Gerät, für das sie stehen, dem festen Namen unter\n"
      "/dev/serial/by-id/ (wo es einen gibt), dem Treiber und Adapter und ob dieser\n"
      "Benutzer die Schnittstelle zum Lesen und Schreiben öffnen darf.\n"},
     false,
     nullptr},
    {Befehl::Diff,
     {"Vergleicht die Einstellungen zweier Konfigurationsdateien, wie das Fenster sie\n"
      "zeigt, und gibt jede abweichende aus: Beschriftung und Schlüssel (wie bei\n"
      "show --json), dann \"< \" mit dem Wert in DATEI_A und \"> \" mit dem in DATEI_B.\n"
      "Ein leerer Wert erscheint als (leer), ein Empfänger, den nur eine Datei hat,\n"
      "in der anderen als (nicht vorhanden).\n"
      "\n"
      "Mit --port wird das Gerät mit DATEI.cfg verglichen: \"< \" ist der Wert im\n"
      "Gerät, \"> \" der in der Datei. Das Gerät wird gelesen wie bei read und als\n"
      "Sicherung abgelegt.\n"
      "\n"
      "Rückgabewerte:\n"
      "  0    keine Einstellung verschieden\n"
      "  1    Einstellungen verschieden\n"
      "  2    falsche Argumente\n"
      "  3    das Gerät nicht gelesen (keine Verbindung, Fehler bei Datenübertragung)\n"
      "  4    Fehler bei Zugriff auf Konfigurationsdatei\n"
      "  5    Ausgabe nicht schreibbar\n"
      "  130  abgebrochen\n"},
     true,
     ""},
    {Befehl::Restore,
     {"Schreibt eine Sicherung Byte für Byte in das Gerät zurück: alle 13 Seiten, wie\n"
      "das Gerät sie beim Sichern hielt, auch was keine Einstellung zeigt. SICHERUNG\n"
      "ist die .cfg-Datei einer Sicherung (geschrieben wird ihr Speicherabbild, die\n"
      ".speicher-Datei daneben) oder die .speicher-Datei selbst. Eine Sicherung ohne\n"
      "Speicherabbild wird mit Rückgabewert 4 abgewiesen; ihre Einstellungen schreibt\n"
      "gsmbv write zurück.\n"
      "\n"
      "Ohne SICHERUNG liest gsmbv zuerst das Gerät und nimmt die neueste Sicherung,\n"
      "die vor einem Schreiben abgelegt wurde, das dem Gerät seine jetzige\n"
      "Anlagenbezeichnung gab: so wird das letzte Schreiben zurückgenommen. Sie wird\n"
      "genannt, bevor etwas geschrieben wird; gibt es keine (oder hat das Gerät keine\n"
      "Anlagenbezeichnung), endet gsmbv mit Rückgabewert 4 und schreibt nichts.\n",
      "\n"
      "Wie bei write wird vorher die Konfiguration des Geräts als Sicherung abgelegt\n"
      "und nachher jede Seite zurückgelesen und Byte für Byte verglichen, mit\n"
      "denselben Meldungen und Rückgabewerten.\n",
      "\n"
      "Der Sicherungsordner ist GSMBV_SICHERUNGEN, sonst ~/.local/share/gsmbv/\n"
      "sicherungen/ ($XDG_DATA_HOME/gsmbv/sicherungen/). Eine Sicherung ist NAME.cfg\n"
      "(die Einstellungen), NAME.speicher (die 3328 Bytes, wie gelesen) und, vor\n"
      "einem Schreiben abgelegt, NAME.vorschreiben (die Anlagenbezeichnung, die das\n"
      "Schreiben dem Gerät gab). NAME endet auf @RECHNER, so dass mehrere Rechner\n"
      "einen Ordner teilen können.\n"},
     true,
     "  --no-backup          vorher nicht lesen und sichern (nur mit SICHERUNG)\n"
     "  --no-verify          nachher nicht zurücklesen und vergleichen\n"},
    {Befehl::Set,
     {"Ändert Einstellungen der Konfigurationsdatei nach den Schlüsseln von\n"
      "show --json, mit den Regeln des Fensters: die Zeichen und Längen der Felder,\n"
      "die Bereiche, die Prüfung der Analogwerte, der Platz für die Empfänger; ein\n"
      "Feld, das im Fenster gesperrt ist, nimmt keinen Wert. Werte stehen, wie show\n"
      "sie ausgibt: ein Schalter mit seinem Wort (ja/nein oder aktiv/aus) oder als\n"
      "true/false, eine Auswahl als Text oder Code (täglich oder daily), die Uhrzeit\n"
      "als hh:mm, eine Empfängerliste als \"GSM 0664...; Fax 0316...; email a@b.at\";\n"
      "ein leerer Wert leert das Feld. Die Werte gelten in der Reihenfolge des\n"
      "Fensters: ein Schalter vor dem, was er freigibt, der Netzbetreiber vor den\n"
      "Nummern.\n",
      "\n"
      "Wird ein Wert abgewiesen, nennt gsmbv Schlüssel und Grund in den Worten des\n"
      "Fensters und ändert nichts (Rückgabewert 4). Sonst ersetzt das Ergebnis\n"
      "DATEI.cfg; ändert kein Wert etwas, bleibt sie Byte für Byte, wie sie ist.\n"
      "Was die Regeln beim Öffnen anpassen, nennt gsmbv wie bei write (\"angepasst:\n"
      "...\"), außer ein angegebener Wert ersetzt es. Eine Datei, die nicht die Form\n"
      "einer Konfigurationsdatei hat, wird abgewiesen.\n",
      "\n"
      "Rückgabewerte:\n"
      "  0    übernommen\n"
      "  2    falsche Argumente\n"
      "  4    ein Wert abgewiesen, oder eine Datei nicht lesbar\n"},
     false,
     "  -o, --output NEU.cfg das Ergebnis in NEU.cfg (\"-\": Standardausgabe)\n"
     "  --from WERTE.json    die Werte eines JSON-Objekts wie von show --json, ganz\n"
     "                       oder in Teilen\n"
     "  --empfaenger LISTE=DATEI.csv\n"
     "                       die Empfängerliste LISTE (lines[0].recipients, ...,\n"
     "                       analog.recipients) aus einer CSV-Datei wie von\n"
     "                       show --empfaenger: je Zeile Art und Nummer; jede\n"
     "                       abgewiesene Zeile wird mit Nummer und Grund genannt.\n"
     "                       Mehrfach möglich.\n"
     "Erst gelten die Werte von --from, dann die Listen, dann SCHLÜSSEL=WERT; ist\n"
     "eine Einstellung mehrmals angegeben, gilt die letzte Angabe.\n"},
    {Befehl::Serie,
     {"Schreibt VORLAGE.cfg in eine Reihe von Geräten, je Zeile von GERAETE.csv eines.\n"
      "Die Kopfzeile nennt Schlüssel wie show --json (general.installation_name,\n"
      "lines[0].text, ...), getrennt durch \";\" oder \",\"; jede Zeile darunter die Werte\n"
      "eines Geräts, wie set sie nimmt (ein leeres Feld lässt den Wert der Vorlage).\n"
      "Eine Spalte \"fremd\" mit \"ja\" erlaubt, ein Gerät zu beschreiben, das eine\n"
      "Anlage anderen Namens hält (wie write --force-name). Alle Zeilen werden\n"
      "geprüft, bevor nach dem ersten Gerät gefragt wird: ein abgewiesener Wert\n"
      "nennt Zeile, Schlüssel und Grund, und nichts wird geschrieben (Rückgabewert 4).\n",
      "\n"
      "Für jede Zeile fragt gsmbv: \"Gerät 3 von 12: »Pumpwerk Süd« anschließen, Enter\n"
      "– s überspringt, q beendet\" und liest die Antwort von der Standardeingabe\n"
      "(aus einer Pipe je Gerät eine Zeile; endet die Eingabe, endet die Serie wie\n"
      "mit q). Dann wie write: lesen und sichern, Anlagenbezeichnung prüfen (ein\n"
      "Gerät einer anderen Anlage wird mit einem Hinweis übersprungen), schreiben,\n"
      "zurücklesen und prüfen; danach das Konfigurationsblatt als PDF in den Ordner\n"
      "GERAETE-blaetter neben der CSV-Datei.\n",
      "\n"
      "Jedes Gerät bekommt eine Zeile im Journal GERAETE.journal.csv neben der\n"
      "CSV-Datei (Zeit;Zeile;Anlage;Ergebnis;Sicherung;Blatt), sofort geschrieben.\n"
      "Ein zweiter Lauf überspringt jede Zeile, die das Journal als geschrieben\n"
      "nennt. Strg+C beendet das Schreiben wie bei write, trägt das Gerät ins\n"
      "Journal ein und beendet die Serie.\n",
      "\n"
      "Rückgabewerte: 0 jedes gefragte Gerät geschrieben; sonst der des ersten\n"
      "Geräts, das nicht geschrieben wurde (wie bei write, 6 für eine fremde Anlage);\n"
      "4 Vorlage, Geräteliste oder Journal nicht lesbar oder ein Wert abgewiesen;\n"
      "130 abgebrochen.\n"},
     false,
     "  -p, --port PORT      der Port, wie bei write\n"
     "  -t, --timeout SEKUNDEN\n"
     "                       Frist für jedes Warten auf das Gerät, wie bei write\n"
     "  -v, --verbose        jeden Schritt nennen\n"
     "  -q, --quiet          nur Fragen und Fehler ausgeben\n"},
};

} // namespace

QString hilfetext(Befehl b)
{
    for (const Befehlshilfe& h : kBefehlshilfe) {
        if (h.befehl != b)
            continue;
        QString text = nutzung(b) + QLatin1Char('\n');
        for (const char* teil : h.text)
            text += QString::fromUtf8(teil);  // a null piece adds nothing
        if (h.optionen && h.amGeraet)
            text += geraeteoptionen(QString::fromUtf8(h.optionen));
        else if (h.optionen)
            text += QStringLiteral("\nOptionen:\n") + QString::fromUtf8(h.optionen);
        return text;
    }
    return nutzung(b) + QStringLiteral(
        "\n"
        "Konfiguriert das GSM-Alarmwählgerät Boravilon 3.0 über die serielle Schnittstelle.\n"
        "\n"
        "Befehle:\n"
        "  read    Konfiguration des Geräts lesen und als Datei speichern\n"
        "  write   Konfigurationsdatei in das Gerät schreiben\n"
        "  log     Ereignisspeicher des Geräts lesen\n"
        "  clock   Uhr des Geräts lesen, mit --set stellen\n"
        "  show    Einstellungen einer Konfigurationsdatei ausgeben (Text, JSON, PDF)\n"
        "  ports   serielle Schnittstellen und ihre Geräte zeigen\n"
        "  diff    abweichende Einstellungen zweier Konfigurationsdateien (oder des\n"
        "          Geräts und einer Datei) ausgeben\n"
        "  restore eine Sicherung Byte für Byte in das Gerät zurückschreiben\n"
        "  set     Einstellungen einer Konfigurationsdatei ändern (Werte, JSON, CSV)\n"
        "  serie   eine Vorlage mit Werten je Gerät in eine Reihe von Geräten schreiben\n"
        "\n"
        "Optionen:\n")
        + QString::fromUtf8(kPortHilfe)
        + QStringLiteral(
            "  -o, --output DATEI   Ausgabedatei von read, log und set; \"-\" ist die\n"
            "                       Standardausgabe\n"
            "  --force              write und show: auch eine Datei, die nicht die Form\n"
            "                       einer Konfigurationsdatei hat\n"
            "  --strict             write: keine Datei, deren Werte angepasst würden\n"
            "  --no-backup          write, restore: vorher nicht lesen und sichern\n"
            "  --force-name         write: auch über eine Anlage anderen Namens\n"
            "  --dry-run            write: nur zeigen, was sich ändern würde\n"
            "  --no-verify          write, restore: nachher nicht zurücklesen und vergleichen\n"
            "  -h, --help           Hilfe; gsmbv BEFEHL --help: Hilfe zum Befehl\n"
            "  --version            Version ausgeben\n"
            "\n"
            "GERÄTEOPTIONEN von read, write, log, clock, restore, serie und diff --port\n"
            "(--transcript nicht bei serie):\n")
        + QString::fromUtf8(kGeraetHilfe)
        + QStringLiteral(
            "\n"
            "Umgebung:\n"
            "  GSMBV_PORT           der Port, wenn -p/--port fehlt\n"
            "  GSMBV_SICHERUNGEN    der Sicherungsordner (sonst\n"
            "                       ~/.local/share/gsmbv/sicherungen/)\n"
            "\n"
            "Ist die Standardfehlerausgabe ein Terminal, zeigt gsmbv den Fortschritt und\n"
            "danach eine Zeile, was getan wurde (nicht mit -q). Ein Fehler steht dort als\n"
            "Meldung, darunter \"gsmbv: ...\" mit Einzelheiten, z. B. \"kein ACK innerhalb 3 s\".\n"
            "\n"
            "Rückgabewerte:\n"
            "  0    Erfolg\n"
            "  1    Verbindung nicht möglich; bei diff: Einstellungen verschieden\n"
            "       (diff --port ohne Verbindung: 3)\n"
            "  2    falsche Argumente\n"
            "  3    Fehler bei Datenübertragung; bei write auch: Prüfung fehlgeschlagen,\n"
            "       oder das Gerät wurde beschrieben und ließ sich danach nicht prüfen\n"
            "  4    Fehler bei Zugriff auf Konfigurationsdatei, oder keine Konfigurationsdatei;\n"
            "       bei restore auch: keine Sicherung zum Zurückschreiben;\n"
            "       bei write --strict auch: Werte würden angepasst;\n"
            "       bei set und write --set auch: ein Wert abgewiesen\n"
            "  5    Ausgabe nicht schreibbar (Protokolldatei, PDF, Mitschrift,\n"
            "       Standardausgabe oder Meldungen auf der Standardfehlerausgabe)\n"
            "  6    write, serie: das Gerät hält eine Anlage anderen Namens (--force-name)\n"
            "  130  abgebrochen (Strg+C, SIGTERM, SIGHUP)\n");
}

QString versionstext()
{
    return QStringLiteral("gsmbv " GSMBV_VERSION "\n");
}

} // namespace cli
