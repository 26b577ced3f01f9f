#pragma once
// The session state shared by the device operations and the editor: the link
// flags, the mode flags, the receive buffer and the progress counter. One
// instance lives in the main window for the whole run.
#include <QByteArray>
#include <QtGlobal>

struct Sitzung {
    bool Belegt = false;       // a device operation is under way
    bool Abbruch = false;      // ends a running wait
    bool AntwortOK = false;    // the awaited answer arrived
    bool Einlesen = false;     // configuration read, or the program fills the editor
    bool UhrModus = false;     // clock read
    bool LogModus = false;     // event-memory read
    bool SchreibModus = false; // configuration write
    QByteArray Empfangspuffer; // received bytes in arrival order
    qint16 Fortschritt = 0;    // progress counter shown in Daten

    void modiLoeschen() { Einlesen = UhrModus = LogModus = SchreibModus = false; }
};
