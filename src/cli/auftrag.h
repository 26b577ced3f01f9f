#pragma once
// A command of gsmbv, carried out on the event loop: one class per command,
// each in its own file, reading top to bottom from starten() to the end of
// the run. The pieces a command calls belong to the run (Werkzeug), which
// tidies them up when it ends, whatever ended it.
//
// A new command: a file with its class and its make function, declared
// below; its entry in Werkzeug::starten; its name, options, usage and help in
// aufruf.cpp.
#include "cfgfile/cfgdatei.h"
#include "cli/aufruf.h"
#include "link/portangaben.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace cli {

class Anschluss;
class Ausgabedatei;
class Konsole;
class Lauf;

// What a command works with.
struct Teile {
    const Aufruf& aufruf;
    Lauf& lauf;               // the end of the run, with its exit status
    Konsole& konsole;         // standard output and standard error
    Ausgabedatei& datei;      // the file of --output or --pdf
    Anschluss& anschluss;     // the device
    const std::optional<Portwurzeln>& portwurzeln;  // ports: a tree of its own instead of /sys and /dev
};

class Auftrag {
public:
    explicit Auftrag(const Teile& teile) : m_t(teile) {}
    virtual ~Auftrag() = default;
    // Call it from the running event loop; the run ends through Lauf.
    virtual void starten() = 0;
    // Ctrl+C (the first two): true when the command ends what runs itself.
    virtual bool unterbrechen() { return false; }

protected:
    void ende(int status);  // the run's end (Lauf::beenden)

    Teile m_t;
};

// The command of each Befehl.
std::unique_ptr<Auftrag> auftragShow(const Teile& t);
std::unique_ptr<Auftrag> auftragDiff(const Teile& t);
std::unique_ptr<Auftrag> auftragRead(const Teile& t);
std::unique_ptr<Auftrag> auftragLog(const Teile& t);
std::unique_ptr<Auftrag> auftragClock(const Teile& t);
std::unique_ptr<Auftrag> auftragPorts(const Teile& t);
std::unique_ptr<Auftrag> auftragSet(const Teile& t);
std::unique_ptr<Auftrag> auftragRestore(const Teile& t);
std::unique_ptr<Auftrag> auftragSerie(const Teile& t);

// What a write puts into the device when it is not the configuration file
// named (restore writes a backup's memory the same way): the content and its
// pages given at the start, or chosen by `waehlen` once the device's
// configuration has been read, before its backup is kept (`waehlen` gets that
// image; nothing: it has said why and ended the run). `fremdErlaubt`: the
// content may go onto a device that holds another installation (a backup
// goes back whatever name the device holds now), as with --force-name.
struct Schreibquelle {
    std::optional<Dateiergebnis> inhalt;
    std::function<std::optional<Dateiergebnis>(const Konfigspeicher& geraet)> waehlen;
    bool fremdErlaubt = false;
};
std::unique_ptr<Auftrag> auftragWrite(const Teile& t, Schreibquelle quelle = {});

// The guard against the wrong device: when the device read as `geraet` holds
// a configured installation whose name (control characters left out, blanks
// trimmed) differs from that of `inhalt`, what is said ("Gerät enthält
// »Tankstelle Süd«, Datei ist für »Pumpwerk Nord«"); else empty. A device
// whose name is empty, or never written (its cells 0xFF), is not configured.
QString fremdeAnlage(const Konfigspeicher& geraet, const Konfigspeicher& inhalt);

// A configuration file as write, show and diff take it. A file of another
// kind (LOG.TXT, a file re-saved as UTF-8, ...) is refused unless `erzwingen`;
// a file with missing lines always, so that no device is written half from a
// file and half from the default content.
struct Dateiladung {
    QByteArray bytes;  // the file as it is on disk
    Dateiergebnis inhalt;
    QString fehler;  // why it was refused, in words; empty: taken
};
Dateiladung dateiLaden(const QString& pfad, bool erzwingen);

// The settings in which two configurations differ, as `gsmbv diff` puts
// them out: per setting "Beschriftung (schlüssel)", "< " its value in `a`,
// "> " in `b`.
struct Unterschiede {
    QByteArray text;
    qsizetype anzahl = 0;  // settings that differ
};
Unterschiede unterschiede(const Dateiergebnis& a, const Dateiergebnis& b);

// Each setting the editor's rules stored otherwise than the file has it, one
// line on standard error ("angepasst: Minimalguthaben in EURO 20 → 9").
void anpassungenNennen(Konsole& konsole, const Dateiergebnis& datei);

// The values the command line gives for a configuration - set: --from,
// --empfaenger and SCHLÜSSEL=WERT in this order; write: --set - applied to
// the loaded file through the editor's rules, all or none. False when a value
// was refused or a file of values could not be read: each said on standard
// error, `datei` as it was.
bool werteSetzen(const Aufruf& a, Konsole& konsole, Dateiergebnis& datei);
// SCHLÜSSEL=WERT texts applied to `datei` in the same way, all or none: the
// refusals ("lines[0].text: Zeichen nicht zulässig"); none: applied.
QStringList zuweisungenAnwenden(const QStringList& zuweisungen, Dateiergebnis& datei);

} // namespace cli
