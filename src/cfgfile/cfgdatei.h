#pragma once
// The configuration file "*.cfg": thirteen text lines, one per device page
// (line 1 = page 0 ... line 13 = page 12), written straight from the image and
// read back into a fresh image together with what every control shows.
//
// Bytes in, bytes out: no file access here. The save command writes the result
// of cfgSchreiben with QSaveFile; the open command reads the file's bytes, calls
// cfgLesen and takes over image, page flags and editor values as they are (the
// controls are set with their handlers silent: every byte the handlers would
// store is already in the returned image).
#include "modell/editorwerte.h"
#include "image/konfigspeicher.h"

#include <QByteArray>

// Pages 0..12 of the image as the file's bytes. Lines end with CR LF; line 13
// has no line end when its second text runs to the end of the page.
QByteArray cfgSchreiben(const Konfigspeicher& k);

struct Dateiergebnis {
    Konfigspeicher image;      // default content, then pages 0..12 as loaded
    Seitenaenderung flags{};   // pages 0..12 flagged (all change markers shown)
    Editorwerte werte;         // what every control shows after the load
    int zeilen = 0;            // lines found and loaded (at most 13)
    bool vollstaendig = false; // all 13 lines present; false: the window beeps and
                               // shows "Fehler bei Zugriff auf Konfigurationsdatei"
};

// Opens a configuration file's bytes. `bisher` is the operator option the window
// shows before the load: a file with fewer than 13 lines does not derive the
// operator from page 1, so the option (and whether Chk_Konto can be ticked)
// stays as it was. A complete file sets it from the first recipient of line 2.
Dateiergebnis cfgLesen(const QByteArray& datei, Netzbetreiber bisher = Netzbetreiber::A1);
