#pragma once
// The device clock on the wire.
//
// Reading ("t"): the device answers with five bytes — seconds, minutes, hours,
// day, month — and then ">". Each byte is shown as the decimal digits of its
// plain value, at least two of them; the answer is not BCD.
//
// Setting ("s"): five bytes in the same order, each packed BCD by BCDUm; the
// day carries the year modulo 4 in bits 7-6, the month the weekday
// (0 = Monday .. 6 = Sunday) in bits 7-5.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace uhr {

// The end mark of the clock answer.
constexpr char kEnde = '>';

// Zeit: the shown forms of the five clock bytes (seconds, minutes, hours, day,
// month), read from the five bytes immediately before the closing ">".
// antwort is the receive buffer as it stands when the ">" arrived, the ">"
// included. Nothing when it does not end in ">" or fewer than five bytes
// precede it (a byte missing is a failed transfer, not a clock value).
std::optional<std::array<QString, 5>> Zeit(const QByteArray& antwort);

// The text of BoraZeit: "hh:mm:ss   DD.MM." (three spaces), e.g. the bytes
// 9, 5, 14, 21, 6 before ">" give "14:05:09   21.06.". Nothing as for Zeit.
std::optional<QString> boraZeitText(const QByteArray& antwort);

enum class BcdModus { Normal = 0, Tag = 1, Monat = 2 };

// One clock value 0..99 as a setting byte: two-digit packed BCD (45 -> 0x45).
// Tag adds 64 x (jahr mod 4); Monat adds 32 x (wochentag - 1), with wochentag
// counted Monday = 1 .. Sunday = 7 as QDate::dayOfWeek does.
std::uint8_t BCDUm(int wert, BcdModus modus = BcdModus::Normal, int jahr = 0, int wochentag = 1);

// The five setting bytes (seconds, minutes, hours, day, month) from ONE
// reading of the PC's clock. Reading the clock anew for every byte, with the
// pauses between the bytes, lets a second, minute, hour or day tick over
// midway and sets the device a minute, an hour or a day wrong (read 12:59:59
// for the seconds, 13:00:00 for the minutes and hours: 13:00:59 is sent).
QByteArray stellBytes(const QDateTime& jetzt);

// The text of PCZeit: "hh:mm:ss   dd.mm." in 24-hour form, e.g. "14:05:09   21.06.".
QString pcZeitText(const QDateTime& jetzt);

} // namespace uhr
