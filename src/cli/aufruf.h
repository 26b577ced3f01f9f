#pragma once
// The command line of gsmbv: which command, which port, which files, how long
// to wait; the help texts and the exit statuses. Pure: no I/O here.
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace cli {

enum class Befehl { Keiner, Read, Write, Log, Clock, Show, Ports, Diff, Restore, Set, Serie };

// Exit statuses, one per kind of failure.
enum Status : int {
    Erfolg = 0,
    KeineVerbindung = 1,      // "Verbindung nicht möglich"
    FalscheArgumente = 2,     // usage text on standard error
    Uebertragungsfehler = 3,  // "Fehler bei Datenübertragung"
    Konfigurationsdatei = 4,  // "Fehler bei Zugriff auf Konfigurationsdatei", or no configuration file,
                              // or write --strict and values the rules adjust (restore: no backup to write);
                              // set and write --set: a value refused, a file of values not readable
    Ausgabe = 5,              // the log file of --output, the sheet of --pdf, the transcript, standard
                              // output, or a line on standard error cannot be written
    Verschieden = 1,          // diff: the settings differ (as with diff(1))
    FremdeAnlage = 6,         // write: the device holds another installation (see --force-name)
    Abgebrochen = 130,        // SIGINT or SIGTERM: the transfer was aborted
};

// The longest --timeout accepted, in seconds.
constexpr int kHoechsteFrist = 86400;

struct Aufruf {
    Befehl befehl = Befehl::Keiner;
    bool hilfe = false;    // -h / --help: help of the command (general without one)
    bool version = false;  // --version
    QString port;          // -p/--port as given, else GSMBV_PORT
    QString ausgabe;       // -o/--output ("-": standard output)
    QString datei;         // the configuration file of write, show and set, the first of diff, restore's backup (may be empty)
    QString zweite;        // the second configuration file of diff; serie: the CSV of the devices
    QString pdf;           // show --pdf: the sheet's file
    bool json = false;     // show --json
    std::optional<std::chrono::milliseconds> frist;  // -t/--timeout
    bool stellen = false;  // clock --set
    QStringList zuweisungen;  // set: SCHLÜSSEL=WERT after the file; write: --set SCHLÜSSEL=WERT
    QString werteDatei;    // set --from: a JSON object of values
    QStringList listen;    // set --empfaenger: LISTE=DATEI.csv, in the order given
    QString liste;         // show --empfaenger: the key of the recipient list put out as CSV
    bool erzwingen = false;  // --force: write or show a file that fails the form check
    bool streng = false;   // write --strict: refuse a file whose values the editor's rules change
    bool pruefen = true;   // write, restore: read back and compare (off with --no-verify)
    bool sichern = true;   // write, restore: read and keep a backup first (off with --no-backup)
    bool fremd = false;    // write --force-name: also over a device that holds another installation
    bool probe = false;    // write --dry-run: everything up to the write, then the settings it would change
    QString mitschrift;    // --transcript: every byte on the line into this file
    enum class Umfang { Normal, Ausfuehrlich, Leise };
    Umfang umfang = Umfang::Normal;  // -v/--verbose: every step; -q/--quiet: errors only
    QString fehler;        // not empty: the arguments are wrong, and why
};

// Reads the arguments (without the program's name). With --help anywhere the
// result asks for help and nothing else is checked. `umgebungsport` is the
// value of GSMBV_PORT: the port of a command given no -p/--port.
Aufruf aufrufLesen(const QStringList& argumente, const QString& umgebungsport = {});

// The name of a command on the command line ("read", ...); "" for Keiner.
QString befehlsname(Befehl b);

// The port: COM1..COM4 in any case is the port number 1..4 (mapped as the
// window maps it), anything else a device path. A "COM" name with another
// number is no port.
struct Portangabe {
    int com = 0;    // 1..4, or 0 for a device path
    QString pfad;   // the device path when com is 0
};
std::optional<Portangabe> portLesen(const QString& port);

// Help on standard output: general, or of one command.
QString hilfetext(Befehl b);
// The short usage of a command (or of all), shown on standard error with a
// wrong call.
QString nutzung(Befehl b);

// The version line of --version.
QString versionstext();

} // namespace cli
