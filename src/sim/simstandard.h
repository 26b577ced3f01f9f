#pragma once
// What a simulated device holds when it is given nothing else: the
// configuration of a small pumping station and an event ring that has wrapped
// around. Tests of every layer compare against these.
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QDateTime>

// The default configuration as an image (pages 0..12 set, 13..31 as after
// Grundeinstellung).
Konfigspeicher simStandardKonfig();
// Its pages 0..12 as the device sends them: 3328 bytes.
QByteArray simStandardSpeicher();
// The default event ring: 512 bytes, 64 slots of 8 bytes, the write position
// (0xFF) at slot kStandardMarkerSlot, 63 records around it.
QByteArray simStandardEreignisse();
constexpr int kStandardMarkerSlot = 30;  // byte position 240 (241 counted from 1)
