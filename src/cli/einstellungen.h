#pragma once
// What `gsmbv show` prints and what `gsmbv read` saves: the settings of a
// configuration as "Beschriftung: Wert" lines with the window's captions, and
// the image a device read leaves behind.
#include "image/editorwerte.h"
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cli {

// A text for one output line: control characters (and the code page's five
// undefined ones) as \xHH with the byte value, the backslash as "\\".
// Everything else, umlauts included, stays as it is.
QString lesbar(const QString& text);

// Every setting, one line each, in the order of the window's tabs:
// "Allgemein", "Meldelinien", "Relaisausgänge", "Analogeingänge". `werte` is
// what the window shows after opening the file; the recipients come from the
// image's lists, decoded by their kind.
QStringList einstellungen(const Konfigspeicher& k, const Editorwerte& werte);

} // namespace cli
