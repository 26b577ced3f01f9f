#pragma once
// One run of gsmbv: the command of the command line (an Auftrag, see
// auftrag.h), carried out on the event loop with the same device operations,
// decode, file reader and writer as the window, and the pieces it calls.
// The run ends once, through `beendet` with the exit status; Ctrl+C ends it
// early.
#include "cli/anschluss.h"
#include "cli/aufruf.h"
#include "cli/auftrag.h"
#include "cli/ausgabedatei.h"
#include "cli/clidoor.h"
#include "cli/konsole.h"
#include "cli/lauf.h"
#include "link/portangaben.h"

#include <QObject>
#include <cstdio>
#include <memory>
#include <optional>

class Transport;

namespace cli {

class Werkzeug : public QObject {
    Q_OBJECT
public:
    // `transport`: null means the serial port. Results go to `aus`, messages
    // and the progress bar (when it is a terminal) to `fehler`.
    Werkzeug(const Aufruf& aufruf, CliDoor& door, std::unique_ptr<Transport> transport = nullptr,
             std::FILE* aus = stdout, std::FILE* fehler = stderr, QObject* parent = nullptr);
    ~Werkzeug() override;

    // Carries out the command; call it from the running event loop.
    void starten();
    // SIGINT, SIGTERM or SIGHUP: a running transfer is aborted as with the
    // window's abort button (ESC to the device, port closed) and its report
    // ends the run; a second one aborts the read back that may follow a
    // write broken off, a third ends at once.
    void unterbrechen();

    // `ports` looks at this tree instead of /sys and /dev, and lists the
    // ports its sysfs names (tests).
    void setPortwurzeln(const Portwurzeln& w) { m_portwurzeln = w; }

signals:
    void beendet(int status);

private:
    // The end, whatever ended the run: what Ctrl+C did said, the output file
    // not put in place, the transcript complete, the bar's line ended. A
    // transcript or a line on standard error that could not be written turns
    // a success into Ausgabe.
    void abschliessen(int status);

    Aufruf m_a;
    CliDoor& m_door;
    Lauf m_lauf;
    Konsole m_konsole;
    Ausgabedatei m_datei;
    Anschluss m_anschluss;
    std::optional<Portwurzeln> m_portwurzeln;
    std::unique_ptr<Auftrag> m_auftrag;
};

} // namespace cli
