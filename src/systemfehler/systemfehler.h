#pragma once
// The errors of the system and of Qt's file classes in German words, in one
// place for the command line and the window: the system's own texts (and Qt's,
// which are made of them) are English wherever the program runs in a locale
// that has none of its own. Every text here fits behind "DATEI: ".
#include <QString>

class QFileDevice;

namespace systemfehler {

// The words for a system error number (errno), e.g. ENOENT "Datei oder Ordner nicht vorhanden",
// ENOSPC "kein Platz mehr auf dem Datenträger"; an error number without words
// of its own is named by its number ("Systemfehler 71").
QString text(int fehlernummer);

// Why an operation on `datei` failed: `fehlernummer` is errno right after the
// failing call (0 when it was not set). Without a number that has words of its
// own, the file's own state tells (a folder where a file was meant), else the
// kind of Qt's error: "lässt sich nicht öffnen", "lässt sich nicht schreiben",
// "neue Datei lässt sich nicht an ihren Platz bringen", ...
QString datei(const QFileDevice& datei, int fehlernummer);

} // namespace systemfehler
