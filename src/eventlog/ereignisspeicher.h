#pragma once
// The device's event memory: a ring of 64 records of 8 bytes (512 bytes in
// all), turned into the lines of "LOG.TXT".
//
// Record: seconds, minutes, hours, day, month, event code, "K"/"G", "A"/"S"/"F".
// The first byte 255 marks the ring's write position: the slot there is empty,
// the slots after it hold the oldest records, those from the start up to it the
// newest. A byte 255 where a record would begin ends a stretch.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace ereignis {

// The size of the event memory in bytes.
constexpr int kSpeichergroesse = 512;

// The event name for an event code. Codes the device does not define give
// "unbekanntes Ereignis (Code n)" with n the code in decimal.
QString name(std::uint8_t code);

// One record (8 bytes) as its line, without line end, e.g.
// "21.06, 14:05:09, Meldelinie 3 - kommt : gesendet".
QString zeile(const QByteArray& satz);

} // namespace ereignis

// The lines of the event log, oldest record first. Only the first 512 bytes
// are looked at; a record that would reach past the memory's end (possible
// only when a byte 255 stands inside a record) is not read.
QStringList ereignisZeilen(const QByteArray& speicher512);

// The bytes of "LOG.TXT": every line in Windows-1252, each ended by CR LF.
QByteArray logDatei(const QStringList& zeilen);
