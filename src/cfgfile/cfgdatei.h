#pragma once
// The configuration file "*.cfg": thirteen text lines, one per device page
// (line 1 = page 0 ... line 13 = page 12), written straight from the image and
// read back into the editor model: image, page flags, markers and what every
// control shows.
//
// Bytes in, bytes out: no file access here. The save command writes the result
// of cfgSchreiben with QSaveFile; the open command reads the file's bytes and
// loads them into the window's model with cfgLaden (the controls then show the
// model's values with their handlers silent: every byte the handlers store is
// already in the image).
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "modell/editorwerte.h"

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

// How much of a file was loaded.
struct Ladung {
    int zeilen = 0;            // lines found and loaded (at most 13)
    bool vollstaendig = false; // all 13 lines present
};

// Loads a configuration file's bytes into the editor model, in its filling
// mode: the editor emptied (the operator option kept), every marker shown and
// pages 0..12 flagged, the default content, the lines; a file with fewer than
// 13 lines keeps the operator option (and whether Chk_Konto can be ticked), a
// complete file sets it from the first recipient of line 2.
Ladung cfgLaden(Editormodell& m, const QByteArray& datei);

// The same on a fresh model whose operator option is `bisher` (what the
// window shows before the load).
Dateiergebnis cfgLesen(const QByteArray& datei, Netzbetreiber bisher = Netzbetreiber::A1);
