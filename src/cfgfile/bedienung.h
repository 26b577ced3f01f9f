#pragma once
// What the option handlers store when the device read or the file open sets
// the controls (both run them as "filling the editor": no change recorded, no
// operator defaults taken over). Shared by the decode and the file reader.
#include "modell/editorwerte.h"
#include "image/konfigspeicher.h"

namespace bedienung {

// The image at start-up: the default content with the bytes the start-up's
// handlers store for acknowledgement, check call and balance monitoring
// switched off (page 0: offset 3 = 0; offsets 4..6 = FF 10 00, ETX at 7, FF at
// 8..23; ETX at 24 and 40; offset 56 = 0). What an emptied editor stands for.
void startbild(Konfigspeicher& k);

// Chk_Konto unticked: both numbers emptied and stored (0x03 at page 0 offsets
// 24 and 40), Slider_Guthaben back to 1, TXT_Guthaben empty, offset 56 := 0.
void kontoAus(Konfigspeicher& k, Editorwerte& w);

// Netzbetreiber_erkennen at the end of a read or a load: the option follows the
// first recipient of page 1. A1 and T Mobile enable Chk_Konto and keep the
// numbers and the minimum balance just loaded; "Andere" unticks and disables
// Chk_Konto, whose handler empties the numbers and stores 0 at offset 56.
void netzbetreiberUebernehmen(Konfigspeicher& k, Editorwerte& w);

// The two-digit form a spinner's text field shows (7 -> "07").
QString zweistellig(int wert);

} // namespace bedienung
