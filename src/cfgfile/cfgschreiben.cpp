// Writer of the configuration file. Every page goes on a line of its own:
//
//  line 1      page 0: eleven fields, each followed by ";"
//  lines 2..10 pages 1..9: recipient list (CR as ";"), ETX, alarm text
//  line 11     page 10: relay 1 text, ETX, relay 2 text, ETX (or " ")
//  line 12     page 11: recipient list, ETX, eight range bytes, unit, ETX, ";",
//              low-battery text
//  line 13     page 12: minimum-alarm text, ETX, maximum-alarm text, ETX
//
// The first text of a two-text page always ends with exactly one ETX in the
// file, also when it fills its area up to offset 126 and its own ETX stands at
// offset 127, or when it fills offsets 0..127 without ETX (device bytes): the
// reader splits the line at its first ETX, so without it the second text would
// be read as part of the first. A second text running to offset 255 without
// ETX is closed with an ETX as well (line 11 and 13), or by the line end
// (lines 2..10). For images made by the editor these rules give the same bytes
// as a plain scan of the page.
//
// CR and LF bytes inside a text (only a device can put them there: the editor
// refuses them) are written as blanks, so that they cannot split a line and
// shift every page behind it; where CR separates recipient entries (and in the
// alarm texts of lines 2..10) it is written as ";" as before.
#include "cfgfile/cfgdatei.h"

#include "image/felder.h"

namespace {

constexpr char kEtx = char(ETX);
const QByteArray kZeilenende("\r\n");

std::uint8_t zelle(const Konfigspeicher& k, int seite, int o)
{
    return k.byte(seite, o);
}

constexpr std::uint8_t LF = 0x0A;

// A byte of a text as written: CR and LF as a blank.
char textbyte(std::uint8_t c)
{
    return c == CR || c == LF ? ' ' : char(c);
}

void dezimalOderLeer(QByteArray& out, std::uint8_t b)
{
    if (b != 0)
        out.append(QByteArray::number(b));
    out.append(';');
}

// Raw bytes of an area up to, not including, the first ETX (or FF with `auchFF`).
void roh(QByteArray& out, const Konfigspeicher& k, int seite, int von, int bis, bool auchFF)
{
    for (int o = von; o <= bis; ++o) {
        const std::uint8_t c = zelle(k, seite, o);
        if (c == ETX || (auchFF && c == FF))
            return;
        out.append(textbyte(c));
    }
}

void zeile1(QByteArray& out, const Konfigspeicher& k)
{
    for (int o = 0; o <= 3; ++o)
        dezimalOderLeer(out, zelle(k, 0, o));
    out.append(QByteArray::number(zelle(k, 0, offset::Kontrollruf)));
    out.append(';');
    out.append(QByteArray::number(zelle(k, 0, offset::Stunde), 16).toUpper());
    out.append(';');
    out.append(QByteArray::number(zelle(k, 0, offset::Minute), 16).toUpper());
    out.append(';');
    roh(out, k, 0, 24, 39, false);  // FF cells inside a number are written as bytes 255
    out.append(';');
    roh(out, k, 0, 40, 55, false);
    out.append(';');
    dezimalOderLeer(out, zelle(k, 0, offset::Guthaben));
    if (zelle(k, 0, 128) == FF)
        out.append(kEtx);  // a free installation name
    else
        roh(out, k, 0, 128, 255, true);
    out.append(';');
    out.append(kZeilenende);
}

// The text of the 128 cells from `von` up to its ETX, FF cells skipped; with
// `crAlsSemikolon` a CR becomes ";".
void text(QByteArray& out, const Konfigspeicher& k, int seite, int von, bool crAlsSemikolon)
{
    for (int o = von; o < von + 128; ++o) {
        const std::uint8_t c = zelle(k, seite, o);
        if (c == ETX)
            return;
        if (c != FF)
            out.append(crAlsSemikolon && c == CR ? ';' : textbyte(c));
    }
}

// First text of pages 1..9, 11 and 12 (offsets 0..127), always closed by one
// ETX. FF at offset 0 is a free text (the bytes behind it are not part of any
// text); FF elsewhere writes nothing; CR becomes ";" where it separates
// recipient entries.
void ersterText(QByteArray& out, const Konfigspeicher& k, int seite, bool crAlsSemikolon)
{
    if (zelle(k, seite, 0) != FF)
        text(out, k, seite, 0, crAlsSemikolon);
    out.append(kEtx);
}

// Lines 2..10: the alarm text from offset 128 up to its ETX; FF at offset 128
// is a free text. The line ends after the text in every case.
void zeileListeText(QByteArray& out, const Konfigspeicher& k, int seite)
{
    ersterText(out, k, seite, true);
    if (zelle(k, seite, 128) != FF)
        text(out, k, seite, 128, true);
    out.append(kZeilenende);
}

// True when offsets 128..255 hold a byte that the second-text scan writes
// (anything but FF before the first ETX).
bool zweiterTextVorhanden(const Konfigspeicher& k, int seite)
{
    for (int o = 128; o < 256; ++o) {
        const std::uint8_t c = zelle(k, seite, o);
        if (c == ETX)
            return false;
        if (c != FF)
            return true;
    }
    return false;
}

// The second text of page 10 or 12 (offsets 128..255) raw, FF cells skipped.
// At its ETX the ETX and the line end are written and the text is closed.
struct Zweittext {
    bool abgeschlossen = false;
    bool geschrieben = false;  // a byte of the text was written
};
Zweittext zweiterText(QByteArray& out, const Konfigspeicher& k, int seite)
{
    Zweittext z;
    for (int o = 128; o < 256 && !z.abgeschlossen; ++o) {
        const std::uint8_t c = zelle(k, seite, o);
        if (c == ETX) {
            out.append(kEtx);
            out.append(kZeilenende);
            z.abgeschlossen = true;
        } else if (c != FF) {
            out.append(textbyte(c));
            z.geschrieben = true;
        }
    }
    return z;
}

// Line 11: both relay texts raw (CR and LF as blanks), FF cells skipped. A first text
// that is free (FF at offset 0) is written as nothing, so when relay 2 has a
// text an ETX goes in front of it; otherwise that text would open as relay 1.
// A page free throughout gives a single space.
void zeile11(QByteArray& out, const Konfigspeicher& k)
{
    bool ersterGeschrieben = false;
    bool ersterZu = false;
    for (int o = 0; o < 128; ++o) {
        const std::uint8_t c = zelle(k, 10, o);
        if (c == ETX) {
            ersterZu = true;
            break;
        }
        if (c == FF)
            continue;
        out.append(textbyte(c));
        ersterGeschrieben = true;
    }
    if (ersterZu || ersterGeschrieben || zweiterTextVorhanden(k, 10))
        out.append(kEtx);
    const Zweittext zweiter = zweiterText(out, k, 10);
    if (zweiter.abgeschlossen)
        return;
    out.append(zweiter.geschrieben ? kEtx : ' ');
    out.append(kZeilenende);
}

void zeile12(QByteArray& out, const Konfigspeicher& k)
{
    ersterText(out, k, 11, true);
    for (int o = offset::Messbereich4; o < offset::Einheit; ++o)
        dezimalOderLeer(out, zelle(k, 11, o));
    for (int o = offset::Einheit; o < offset::EinheitEnde; ++o)
        out.append(textbyte(zelle(k, 11, o)));
    out.append(kEtx);
    out.append(';');
    for (int o = 200; o < 256; ++o) {
        const std::uint8_t c = zelle(k, 11, o);
        out.append(textbyte(c));
        if (c == ETX)
            break;
    }
    out.append(kZeilenende);
}

// Line 13: the two alarm texts raw. A free maximum text (FF at offset 128)
// gives an ETX and ends the file without line end; so does a text running to
// offset 255, which gets its closing ETX.
void zeile13(QByteArray& out, const Konfigspeicher& k)
{
    ersterText(out, k, 12, false);
    if (zelle(k, 12, 128) == FF) {
        out.append(kEtx);
        return;
    }
    if (!zweiterText(out, k, 12).abgeschlossen)
        out.append(kEtx);
}

} // namespace

QByteArray cfgSchreiben(const Konfigspeicher& k)
{
    QByteArray out;
    out.reserve(13 * 300);
    zeile1(out, k);
    for (int seite = 1; seite <= 9; ++seite)
        zeileListeText(out, k, seite);
    zeile11(out, k);
    zeile12(out, k);
    zeile13(out, k);
    return out;
}
