#pragma once
// The device read's decode: the image holds the 3328 bytes the device sent
// (pages 0..12); this derives what every control shows and stores back the
// bytes that the option handlers store while the controls are set. It runs on
// the editor model in its filling mode.
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "modell/editorwerte.h"

#include <QByteArray>
#include <optional>

// The image a device read leaves: pages 0..12 from the device's bytes (bytes
// beyond page 31 are ignored), every cell the device did not send unset.
Konfigspeicher geraetebild(const QByteArray& bytes);

// The decode on `m`, whose image holds the device's bytes: the editor emptied
// (the operator option kept), then every value shown as the image holds it.
// False when the decode meets a run-time error (a 16-bit analog number whose
// first byte is 0x80..0xFE does not fit the device's signed computation):
// every other value is still shown, the failing numbers empty and held as
// empty fields (FF FF), and the operator is not derived. Marks and flags stay.
bool dekodieren(Editormodell& m);

// The same on a fresh model: the editor values, or nothing when the decode
// fails. `bisDahin`, when given, receives the values shown either way; the
// image receives what the decode left in it.
std::optional<Editorwerte> dekodieren(Konfigspeicher& k, Editorwerte* bisDahin = nullptr);
