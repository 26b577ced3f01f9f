#pragma once
// The device read's decode: the image holds the 3328 bytes the device sent
// (pages 0..12); this derives what every control shows and stores back the
// bytes that the option handlers store while the controls are set.
#include "modell/editorwerte.h"
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <optional>

// The image a device read leaves: pages 0..12 from the device's bytes (bytes
// beyond page 31 are ignored), every cell the device did not send unset.
Konfigspeicher geraetebild(const QByteArray& bytes);

// Returns the editor values, or nothing when the decode meets a run-time error
// (a 16-bit analog number whose first byte is 0x80..0xFE does not fit the
// device's signed computation). On failure `bisDahin`, when given, receives
// every other value as a successful decode shows it (the operator is not
// derived), the failing numbers empty; the image keeps the device's bytes
// except that those numbers are stored as empty fields (FF FF), so that it
// holds what the editor shows.
std::optional<Editorwerte> dekodieren(Konfigspeicher& k, Editorwerte* bisDahin = nullptr);
