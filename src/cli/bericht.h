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
    TeilweiseBeschrieben,  // the write: which pages were written and which not
    NichtGeprueft,         // the read back after a write: written, not checked (always status 3)
};

struct Bericht {
    bool erfolg = false;
    bool abgebrochen = false;  // Ctrl+C ended it: "abgebrochen" comes first
    QString meldung;           // the message (the window's box); empty: none
    QStringList hinweise;      // then each as a line "gsmbv: ..."
    int status = 0;            // the exit status of a failure
};

// `unterbrochen`: Ctrl+C came before the report.
Bericht berichten(const Vorgangsbericht& e, Auswirkung auswirkung, bool unterbrochen);

} // namespace cli
