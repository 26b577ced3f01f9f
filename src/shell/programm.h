#pragma once
// The program's run: its names, the command line, German texts, the main
// window, the event loop. Ends with exit code 0 when the main window is closed.
#include <QString>
#include <QStringList>
#include <optional>

class QApplication;

// What the command line asks for.
struct Startoptionen {
    bool hilfe = false;  // --help: the usage, nothing else
    bool demo = false;   // --demo: the simulated device on COM 1
    QString port;        // --port DEVICE: COM 1 is this device
    QString datei;       // FILE.cfg: opened once the window is shown
};

// The arguments after the program's name (the toolkit's own already taken
// out): options, and at most one configuration file (after "--" any name).
// Nothing on an unknown or incomplete argument; `fehler` then says which.
std::optional<Startoptionen> startoptionenLesen(const QStringList& argumente, QString* fehler = nullptr);

// The short usage, German, lines ended by "\n".
QString aufrufText();

// What is wrong with the command line, found before the toolkit starts (and
// asks for a display): nothing when the arguments are right, and nothing when
// they hold an option of the toolkit ("-platform", "-style", ...), which only
// the started toolkit takes out; konfigAusfuehren checks them then.
std::optional<QString> vorabFehler(const QStringList& argumente);

// The wrong command line on standard error: the error, then the usage.
void aufrufFehlerMelden(const QString& fehler);

// For the start of the toolkit: instead of its English notes and an abort
// when it finds no display, one German line on standard error and the exit
// code 1. Its messages meanwhile are held back and passed on once it runs.
class AnzeigeWaechter {
public:
    AnzeigeWaechter();
    ~AnzeigeWaechter();
    AnzeigeWaechter(const AnzeigeWaechter&) = delete;
    AnzeigeWaechter& operator=(const AnzeigeWaechter&) = delete;
};

// The program's names: where its data folder is, which desktop entry it is.
void programmEinrichten();

// Reads the command line of `app` and runs the window: exit code 0 when it
// was closed, 2 on a wrong command line (usage on standard error).
int konfigAusfuehren(QApplication& app);
int konfigAusfuehren(QApplication& app, const Startoptionen& optionen);
