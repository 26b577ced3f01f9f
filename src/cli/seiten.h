#pragma once
// What gsmbv write says about pages: which were written when a write ended
// early, and which differ when the device is read back. Pure: no I/O here.
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

namespace cli {

// Page numbers in words, ascending: "3", "3 und 11", "0 bis 5",
// "0, 3 bis 5 und 11" (three or more in a row as "von bis").
QString seitenliste(QList<int> seiten);

// After a write that ended early, from the pages written and those not (a
// page partly sent is among those not written): "Gerät nur teilweise
// beschrieben: Seiten 0 bis 5 geschrieben, 6 bis 12 nicht. Schreiben
// wiederholen.", or, when no byte of page data went out (`datenGesendet`
// false), "Gerät nicht beschrieben: keine Seite gesendet. Schreiben wiederholen."
QString teilweiseText(const QList<int>& geschrieben, const QList<int>& offen, bool datenGesendet);

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
