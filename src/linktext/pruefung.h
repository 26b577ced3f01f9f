#pragma once
// A whole configuration memory written back (a restore) and read again,
// compared byte for byte, in the words gsmbv says after its write's read
// back: "Prüfung fehlgeschlagen: Seiten 3 und 11 weichen ab", then "erste
// Abweichung: Seite 3, Zeichen 17: gesendet 0x41, gelesen 0xFF".
#include <QByteArray>
#include <QString>

namespace linktext {

struct Pruefbefund {
    QString meldung;  // the box's text; empty: every byte as sent
    QString detail;   // the first difference, for the status bar
    explicit operator bool() const { return meldung.isEmpty(); }
};

// `gesendet` and `gelesen`: pages 0..12 in serial order; a byte missing from
// `gelesen` counts as different.
Pruefbefund pruefen(const QByteArray& gesendet, const QByteArray& gelesen);

} // namespace linktext
