#pragma once
// What gsmbv write says about the device's pages once it has read them back:
// after a write that broke off, what each page now holds; after a write, which
// pages differ from what was sent. Pure: no I/O here.
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

namespace cli {

// What the device holds, read back (`gelesen`, pages 0..12 in serial order)
// after a write of the flagged pages of `bild` broke off, against the file
// and, when a backup was read before (`vorher`, else empty), the device's
// pages from before: "Gerät hält: Seiten 0 bis 2 aus der Datei, Seite 3
// gemischt, Seiten 4 bis 12 wie vorher. Schreiben wiederholen." A page that
// is the file's and the one from before is both ("wie vorher und wie in der
// Datei"); one that is neither is "gemischt", or without a backup
// "abweichend". "Schreiben wiederholen." unless every page is the file's.
QString haeltText(const Konfigspeicher& bild, const Seitenaenderung& seiten, const QByteArray& vorher,
                  const QByteArray& gelesen);

// The device read back after a write, against what the write sent.
struct Abweichung {
    QList<int> seiten;        // flagged pages 0..12 that differ, ascending
    int seite = -1;           // the first difference: page,
    int zeichen = 0;          // character 1..256 in it,
    std::uint8_t gesendet = 0, gelesen = 0;  // and its two bytes
};
// Compares every flagged page 0..12 of `bild` (unset cells as 0xFF, as they
// were sent) with the bytes read back (pages 0..12 in serial order; a byte
// missing counts as different).
Abweichung abweichungSuchen(const Konfigspeicher& bild, const Seitenaenderung& seiten, const QByteArray& gelesen);

// "Prüfung fehlgeschlagen: Seiten 3 und 11 weichen ab" ("Seite 3 weicht ab").
QString pruefText(const Abweichung& a);
// "erste Abweichung: Seite 3, Zeichen 17: gesendet 0x41, gelesen 0xFF"
QString ersteAbweichungText(const Abweichung& a);

} // namespace cli
