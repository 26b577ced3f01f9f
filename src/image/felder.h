#pragma once
// Where every setting lives in the image and how it is encoded.
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// A contiguous area of cells on one page.
struct Bereich {
    int seite;
    int anfang;
    int breite;
    bool operator==(const Bereich&) const = default;
};

namespace bereich {
constexpr Bereich Anlagenbezeichnung{0, 128, 128};
constexpr Bereich Guthabenrufnummer{0, 24, 16};
constexpr Bereich NummerAufladung{0, 40, 16};
constexpr Bereich Besttext1{10, 0, 128};
constexpr Bereich Besttext2{10, 128, 128};
constexpr Bereich TextMin{12, 0, 128};
constexpr Bereich TextMax{12, 128, 128};
constexpr Bereich SMSText(int i) { return Bereich{i + 1, 128, 128}; }      // i = 0..8
constexpr Bereich Empfaenger(int seite) { return Bereich{seite, 0, 128}; } // pages 1..9, 11
} // namespace bereich

// Page 0 and page 11 offsets of the single-byte and two-byte settings.
namespace offset {
constexpr int Oeffner = 0;          // page 0, bit field
constexpr int Gutmeldung = 1;       // page 0, bit field
constexpr int GutmeldungStrom = 2;  // page 0, 0xFF on / 0x00 off
constexpr int Quittierung = 3;      // page 0, minutes, 0 = off
constexpr int Kontrollruf = 4;      // page 0, 0..6 weekly, 7 daily, >7 off
constexpr int Stunde = 5;           // page 0, packed BCD
constexpr int Minute = 6;           // page 0, packed BCD
constexpr int Guthaben = 56;        // page 0, euro, 0 = off
constexpr int Messbereich4 = 128;   // page 11, 16-bit
constexpr int Messbereich20 = 130;  // page 11, 16-bit
constexpr int Grenzwertmin = 132;   // page 11, 16-bit
constexpr int Grenzwertmax = 134;   // page 11, 16-bit
constexpr int Einheit = 136;        // page 11, three cells
constexpr int EinheitEnde = 139;    // page 11, 0x03
} // namespace offset

constexpr std::uint8_t ETX = 0x03;
constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t FF = 0xFF;

// Text area store: text, 0x03, 0xFF fill; a text as long as the area fills it
// without 0x03 (longer texts are cut at the area's end); an empty text only
// writes 0x03 into the first cell.
void textSpeichern(Konfigspeicher& k, Bereich b, const QByteArray& text);
// Text area read: up to (not including) the first 0x03; with `auchFF` also up to
// the first 0xFF. Default: the 16-cell number fields stop at 0xFF, the 128-cell
// areas do not.
QByteArray textLesen(const Konfigspeicher& k, Bereich b);
QByteArray textLesen(const Konfigspeicher& k, Bereich b, bool auchFF);

// Unit: three cells blank-padded (longer texts are cut), 0x03 at offset 139.
void einheitSpeichern(Konfigspeicher& k, const QByteArray& einheit);
// Every one of the three cells that is not 0xFF.
QByteArray einheitLesen(const Konfigspeicher& k);

// Bit field of page 0 offsets 0 and 1; an unset cell counts as 0x00.
void bitSetzen(Konfigspeicher& k, int seite, int offset, int bit, bool an);
bool bitGesetzt(const Konfigspeicher& k, int seite, int offset, int bit);

// Packed BCD: 23 -> 0x23.
std::uint8_t bcd(int wert);
// A packed BCD byte's value (0x23 -> 23) when both digits are decimal and the
// value is at most `hoechstens`; -1 otherwise (0x3A, or 0x24 for an hour).
int bcdWert(std::uint8_t byte, int hoechstens);

// A number's digits in base 10 or 16 (upper case), at least two of them: "0"
// in front of a single digit (7 -> "07", 135 -> "135", 0x0A in base 16 -> "0A").
// The one form of the times, dates and bytes the program shows.
QString zweistellig(int wert, int basis = 10);

// 16-bit number, high byte first; nothing = empty field (0xFF 0xFF).
void zahlSpeichern(Konfigspeicher& k, int seite, int offset, std::optional<int> wert);
// Reading a 16-bit number: empty when the first cell is 0xFF. The device's
// decode computes first*256+second in 16-bit signed arithmetic; a first byte
// 0x80..0xFE does not fit and is reported as `ueberlauf`.
struct Zahlwert {
    bool ueberlauf = false;
    std::optional<int> wert;  // nothing = empty
    QString text() const { return wert ? QString::number(*wert) : QString(); }
};
Zahlwert zahlLesen(const Konfigspeicher& k, int seite, int offset);

// Recipient list framing: each entry followed by 0x0D, then 0x03, then 0xFF up
// to offset 127. Nothing when the framed entries do not fit into 128 cells.
std::optional<QByteArray> listeRahmen(const QList<QByteArray>& eintraege);
// Stores a framed list (exactly 128 bytes) into offsets 0..127 of the page.
void listeSpeichern(Konfigspeicher& k, int seite, const QByteArray& gerahmt);
// The entries of a stored list: scan offsets 0..127; 0x03 or 0xFF ends, 0x0D
// separates. A trailing entry without 0x0D is returned as well; empty entries
// between separators are kept so that callers see the list as stored.
QList<QByteArray> listeLesen(const Konfigspeicher& k, int seite);
