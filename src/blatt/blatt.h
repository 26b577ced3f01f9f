#pragma once
// The configuration sheet: every setting of the settings model on A4 pages,
// laid out by the window's tabs and group boxes, with the installation name,
// the date and where the configuration came from. Black text, black and grey
// rules and a very light grey behind group titles: it reads the same printed in
// black and white. Pages that run over are numbered "Seite 1 von 2".
#include "blatt/einstellungen.h"

#include <QDate>
#include <QList>
#include <QString>

class QIODevice;
class QPagedPaintDevice;

namespace blatt {

struct Kopf {
    QString anlage;    // the installation name
    QDate datum;       // the day the sheet is made
    QString herkunft;  // "Gerät an COM 1 (/dev/ttyUSB0)", "Datei /home/a/anlage.cfg", ...
};

// Page layout of the sheet: A4 portrait with the sheet's margins. A printer
// gets it before its dialog; the user may still choose another paper there.
void seiteEinrichten(QPagedPaintDevice& geraet);

// Paints the sheet onto a printer or a PDF writer, page after page, as its
// page layout allows. Returns the number of pages, 0 when the device cannot be
// painted on (a printer that fails, a PDF file that cannot be written).
int zeichnen(QPagedPaintDevice& geraet, const Kopf& kopf, const QList<Abschnitt>& abschnitte);

// The sheet as an A4 PDF into `ziel` (open for writing). False when it could not be written.
bool pdf(QIODevice& ziel, const Kopf& kopf, const QList<Abschnitt>& abschnitte);

} // namespace blatt
