#pragma once
// Whether bytes have the shape of a configuration file as the writer makes it
// (and as files of earlier versions were written): thirteen lines; line 1's
// eleven fields with their numbers decimal or hexadecimal where the writer
// puts them; every text line with its end marks (ETX) where the writer puts
// them and no byte FF where the writer never writes one; and no UTF-8 text
// where Windows-1252 bytes belong (a file re-saved by a text editor).
//
// The command line refuses a file that does not fit before it writes or shows
// it; the window's open stays as lenient as the reader is. Bytes in, verdict
// out: no file access here.
#include <QByteArray>
#include <QString>

struct Formbefund {
    int zeile = 0;   // the first line that does not fit (1..13, 14: more behind line 13); 0: it fits
    QString grund;   // why, in German, e.g. "Feld 4 ist keine Zahl"
    bool passt() const { return zeile == 0; }
    // "Zeile 1 passt nicht zum Format einer Konfigurationsdatei (Feld 4 ist keine Zahl)"; "" when it fits.
    QString text() const;
};

Formbefund cfgFormPruefen(const QByteArray& datei);
