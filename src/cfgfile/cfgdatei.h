#pragma once
// The configuration file "*.cfg": thirteen text lines, one per device page
// (line 1 = page 0 ... line 13 = page 12), written straight from the image and
// read back into the editor model: image, page flags, markers and what every
// control shows.
//
// Bytes in, bytes out: no file access here. The save command writes the result
// of cfgSchreiben with ablage::dateiErsetzen; the open command reads the file's bytes and
// loads them into the window's model with cfgLaden (the controls then show the
// model's values with their handlers silent: every byte the handlers store is
// already in the image).
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "modell/editorwerte.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Pages 0..12 of the image as the file's bytes. Lines end with CR LF; line 13
// has no line end when its second text runs to the end of the page.
QByteArray cfgSchreiben(const Konfigspeicher& k);

// A setting the rules changed while a file was opened: what the file holds and
// what was stored, both as the setting shows them. The editor's rules stay in
// force (a minimum balance of 20 is stored as 9; a balance of 0 switches the
// monitoring off, which empties its numbers); this says where they did.
struct Anpassung {
    QString schluessel;    // "general.balance.minimum_euro"
    QString beschriftung;  // "Minimalguthaben in EURO"
    QString datei;         // "20"
    QString gespeichert;   // "9"
    // "angepasst: Minimalguthaben in EURO 20 → 9"; an empty value as "(leer)".
    QString text() const;
    bool operator==(const Anpassung&) const = default;
};

struct Dateiergebnis {
    Konfigspeicher image;      // default content, then pages 0..12 as loaded
    Seitenaenderung flags{};   // pages 0..12 flagged (all change markers shown)
    Editorwerte werte;         // what every control shows after the load
    int zeilen = 0;            // lines found and loaded (at most 13)
    bool vollstaendig = false; // all 13 lines present; false: the window beeps and
                               // shows "Fehler bei Zugriff auf Konfigurationsdatei"
    QList<Anpassung> anpassungen;  // in the order of the file
};

// How much of a file was loaded.
struct Ladung {
    int zeilen = 0;            // lines found and loaded (at most 13)
    bool vollstaendig = false; // all 13 lines present
    QList<Anpassung> anpassungen;  // the settings the rules changed, in the order of the file
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
