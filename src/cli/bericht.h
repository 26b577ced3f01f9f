#pragma once
// What the command line makes of a device operation's report: the lines it
// prints and the exit status. The only place in the command line that reads
// the link's report (Vorgangsbericht), in the words linktext gives it. Pure:
// no I/O here.
#include "link/vorgangsbericht.h"

#include <QString>
#include <QStringList>

namespace cli {

// What a failed operation means for the device, said after the failure.
enum class Auswirkung {
    Keine,                 // read, log, clock: the device is as it was
    NichtBeschrieben,      // the backup read before a write: nothing was written
    TeilweiseBeschrieben,  // the write: read back, or as far as its echoes tell
    NichtGeprueft,         // the read back after a write: sent, not checked (always status 3)
};

struct Bericht {
    bool erfolg = false;
    bool abgebrochen = false;  // Ctrl+C ended it: "abgebrochen" comes first
    QString meldung;           // the message (the window's box); empty: none
    QStringList hinweise;      // then each as a line "gsmbv: ..."
    int status = 0;            // the exit status of a failure
    // A write broke off after a page character went out, and the line is
    // still there: what the device holds is to be read back, and said; the
    // run then ends with `status`. When the read fails, `ungeprueft` is said:
    // what the echoes confirmed.
    bool zuruecklesen = false;
    QString ungeprueft;
};

// `unterbrochen`: Ctrl+C came before the report. A success that came with it
// (Ctrl+C between the operation's end and its report) ends the run all the
// same, saying what it means for the device.
Bericht berichten(const Vorgangsbericht& e, Auswirkung auswirkung, bool unterbrochen);

// "Konfiguration gesendet, aber nicht geprüft": every byte of a write was
// echoed, and no read showed what the device made of it.
QString textNichtGeprueft();

} // namespace cli
