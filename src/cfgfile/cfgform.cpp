// The form check of a configuration file. Each line is held against what the
// writer can put on it, for any image (device bytes included) and for files of
// earlier versions, which wrote the same lines except in three corners: a
// recipient list whose ETX stood at offset 127 ended its line without ETX and
// without the message text; the list of page 11 without any ETX in offsets
// 0..127 got no ETX; and line 13 with a second text running to offset 255 got
// no closing ETX. Those files pass as well.
#include "cfgfile/cfgform.h"

#include "cfgfile/zeilen.h"
#include "image/felder.h"

#include <QList>
#include <algorithm>
#include <optional>

namespace {

using Ansicht = QByteArrayView;
using Grund = std::optional<QString>;  // set: the line does not fit, and why

constexpr char kEtx = char(ETX);
constexpr char kFF = char(FF);
constexpr qsizetype kText = 128;        // the widest text area of a page
constexpr qsizetype kZeileHoechstens = 2 * kText + 2;  // two texts and their end marks

// Index of the first byte that starts a well-formed UTF-8 sequence of two to
// four bytes (a character of U+0080 or above), or -1.
qsizetype utf8Stelle(Ansicht z)
{
    const auto folge = [&](qsizetype i, int n, std::uint8_t min2, std::uint8_t max2) {
        if (i + n > z.size())
            return false;
        const auto b = [&](qsizetype k) { return std::uint8_t(z[i + k]); };
        if (b(1) < min2 || b(1) > max2)
            return false;
        for (int k = 2; k < n; ++k)
            if (b(k) < 0x80 || b(k) > 0xBF)
                return false;
        return true;
    };
    for (qsizetype i = 0; i < z.size(); ++i) {
        const std::uint8_t c = std::uint8_t(z[i]);
        bool gueltig = false;
        if (c >= 0xC2 && c <= 0xDF)
            gueltig = folge(i, 2, 0x80, 0xBF);
        else if (c == 0xE0)
            gueltig = folge(i, 3, 0xA0, 0xBF);
        else if (c == 0xED)
            gueltig = folge(i, 3, 0x80, 0x9F);
        else if (c >= 0xE1 && c <= 0xEF)
            gueltig = folge(i, 3, 0x80, 0xBF);
        else if (c == 0xF0)
            gueltig = folge(i, 4, 0x90, 0xBF);
        else if (c >= 0xF1 && c <= 0xF3)
            gueltig = folge(i, 4, 0x80, 0xBF);
        else if (c == 0xF4)
            gueltig = folge(i, 4, 0x80, 0x8F);
        if (gueltig)
            return i;
    }
    return -1;
}

QString stelle(qsizetype i) { return QString::number(i + 1); }

// Decimal-or-empty: the writer's "0".."255", or nothing for 0.
Grund dezimal(Ansicht f, const QString& name)
{
    if (f.isEmpty())
        return {};
    int wert = 0;
    for (char c : f) {
        if (c < '0' || c > '9')
            return QStringLiteral("%1 ist keine Zahl").arg(name);
        wert = std::min(wert * 10 + (c - '0'), 1000);
    }
    if (wert > 255)
        return QStringLiteral("%1 ist größer als 255").arg(name);
    return {};
}

Grund hexadezimal(Ansicht f, const QString& name)
{
    bool ok = !f.isEmpty() && f.size() <= 2;
    for (char c : f)
        ok = ok && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    if (!ok)
        return QStringLiteral("%1 ist keine Hexadezimalzahl von 0 bis FF").arg(name);
    return {};
}

QString feld(int n) { return QStringLiteral("Feld %1").arg(n); }

// Line 1, page 0: fields 1..10 each closed by ";", then the installation name
// up to the ";" that ends the line (the name may hold ";" itself).
Grund zeile1(Ansicht z)
{
    Ansicht rest = z;
    for (int n = 1; n <= 10; ++n) {
        const qsizetype i = rest.indexOf(';');
        const Ansicht f = i < 0 ? rest : rest.first(i);
        Grund g;
        if (n == 6 || n == 7)
            g = hexadezimal(f, feld(n));
        else if (n == 8 || n == 9) {
            if (f.size() > 16)
                g = QStringLiteral("Feld %1 ist länger als 16 Zeichen").arg(n);
        } else
            g = dezimal(f, feld(n));
        if (g)
            return g;
        if (i < 0)
            return QStringLiteral("nach Feld %1 fehlt \";\"").arg(n);
        rest = rest.sliced(i + 1);
    }
    if (!rest.endsWith(';'))
        return QStringLiteral("nach Feld 11 fehlt \";\"");
    const Ansicht name = rest.chopped(1);
    if (name.size() > kText)
        return QStringLiteral("Feld 11 ist länger als 128 Zeichen");
    if (name != Ansicht("\x03", 1) && (name.contains(kEtx) || name.contains(kFF)))
        return QStringLiteral("Feld 11 enthält ein Endezeichen (ETX oder FF)");
    return {};
}

// Lines 2..10, pages 1..9: recipient list, ETX, message text. A list whose ETX
// stood at offset 127 was written without ETX and ended the line.
Grund zeileListeText(Ansicht z)
{
    const qsizetype etx = z.indexOf(kEtx);
    if (etx < 0)
        return z.size() < kText ? Grund() : QStringLiteral("ETX hinter der Empfängerliste fehlt");
    if (etx > kText)
        return QStringLiteral("Empfängerliste länger als 128 Zeichen");
    const Ansicht text = z.sliced(etx + 1);
    if (text.contains(kEtx))
        return QStringLiteral("mehr als ein ETX");
    if (text.size() > kText)
        return QStringLiteral("Meldungstext länger als 128 Zeichen");
    return {};
}

// Line 11, page 10: relay text 1, ETX, relay text 2, ETX; a free second text
// ends in a space, a page free throughout is a single space.
Grund zeile11(Ansicht z)
{
    if (z.isEmpty())
        return QStringLiteral("leer; eine freie Seite steht als Leerzeichen");
    if (z.count(kEtx) > 2)
        return QStringLiteral("mehr als zwei ETX");
    const qsizetype etx = z.indexOf(kEtx);
    if (etx > kText || (etx < 0 && z.size() > kText + 1))
        return QStringLiteral("Bestätigungstext 1 länger als 128 Zeichen");
    if (!z.endsWith(kEtx) && !z.endsWith(' '))
        return QStringLiteral("endet nicht mit ETX oder Leerzeichen");
    if (z.count(kEtx) == 2 && !z.endsWith(kEtx))
        return QStringLiteral("Text hinter dem zweiten ETX");
    if (etx >= 0 && z.size() - etx - 2 > kText)
        return QStringLiteral("Bestätigungstext 2 länger als 128 Zeichen");
    return {};
}

// Line 12 behind the recipient list: eight decimal fields with ";", the unit's
// three bytes, ETX, ";", then the low-battery text up to and including its ETX
// (56 bytes without ETX).
Grund zeile12Rest(Ansicht rest)
{
    for (int n = 1; n <= 8; ++n) {
        const qsizetype i = rest.indexOf(';');
        const Ansicht f = i < 0 ? rest : rest.first(std::min<qsizetype>(i, 4));
        const QString name = QStringLiteral("Feld %1 hinter der Empfängerliste").arg(n);
        if (i < 0 || i > 3)
            return dezimal(f, name).value_or(QStringLiteral("nach %1 fehlt \";\"").arg(name));
        if (Grund g = dezimal(f, name))
            return g;
        rest = rest.sliced(i + 1);
    }
    if (rest.size() < 5 || rest[3] != kEtx || rest[4] != ';')
        return QStringLiteral("hinter der Einheit fehlen ETX und \";\"");
    const Ansicht text = rest.sliced(5);
    const qsizetype etx = text.indexOf(kEtx);
    if (etx < 0 ? text.size() != 56 : etx != text.size() - 1 || etx >= 56)
        return QStringLiteral("Text der Batteriemeldung passt nicht (höchstens 56 Zeichen mit ETX)");
    return {};
}

Grund zeile12(Ansicht z)
{
    const qsizetype etx = z.indexOf(kEtx);
    const Grund hinterEtx = etx >= 0 && etx <= kText
                                ? zeile12Rest(z.sliced(etx + 1))
                                : Grund(QStringLiteral("Empfängerliste länger als 128 Zeichen oder ohne ETX"));
    if (!hinterEtx)
        return {};
    // A list with no ETX in offsets 0..127 was written without one by earlier
    // versions: the fields then follow the list directly.
    for (qsizetype k = 0; k <= kText && k <= z.size() && (etx < 0 || k <= etx); ++k)
        if (!zeile12Rest(z.sliced(k)))
            return {};
    return hinterEtx;
}

// Line 13, page 12: minimum text, ETX, maximum text, ETX (earlier versions: a
// maximum text running to offset 255 without its ETX).
Grund zeile13(Ansicht z)
{
    const qsizetype etx = z.indexOf(kEtx);
    if (etx < 0)
        return QStringLiteral("ETX fehlt");
    if (etx > kText)
        return QStringLiteral("Text des Minimumalarms länger als 128 Zeichen");
    const Ansicht rest = z.sliced(etx + 1);
    const qsizetype zweites = rest.indexOf(kEtx);
    if (zweites >= 0 && zweites != rest.size() - 1)
        return QStringLiteral("Text hinter dem zweiten ETX");
    if (rest.size() - (zweites >= 0 ? 1 : 0) > kText)
        return QStringLiteral("Text des Maximumalarms länger als 128 Zeichen");
    return {};
}

Grund zeilePruefen(int nummer, Ansicht z)
{
    if (const qsizetype u = utf8Stelle(z); u >= 0) {
        if (nummer == 1 && u == 0 && z.startsWith("\xEF\xBB\xBF"))
            return QStringLiteral("beginnt mit der UTF-8-Kennung (BOM); erwartet ist Windows-1252");
        return QStringLiteral("UTF-8-Zeichen an Stelle %1; erwartet ist Windows-1252").arg(stelle(u));
    }
    if (z.size() > kZeileHoechstens)
        return QStringLiteral("länger als eine Seite (%1 Bytes)").arg(z.size());
    // Only numbers of page 0 and the raw bytes of page 11 are written as FF.
    if (nummer != 1 && nummer != 12)
        if (const qsizetype ff = z.indexOf(kFF); ff >= 0)
            return QStringLiteral("Byte FF an Stelle %1").arg(stelle(ff));
    if (nummer == 1)
        return zeile1(z);
    if (nummer <= 10)
        return zeileListeText(z);
    if (nummer == 11)
        return zeile11(z);
    if (nummer == 12)
        return zeile12(z);
    return zeile13(z);
}

} // namespace

QString Formbefund::text() const
{
    if (passt())
        return {};
    return QStringLiteral("Zeile %1 passt nicht zum Format einer Konfigurationsdatei (%2)").arg(zeile).arg(grund);
}

Formbefund cfgFormPruefen(const QByteArray& datei)
{
    const QList<Ansicht> zeilen = cfgZeilen(datei, kGeraeteSeiten + 1);
    for (int i = 0; i < kGeraeteSeiten; ++i) {
        if (i >= zeilen.size()) {
            const QString grund = zeilen.isEmpty()
                                      ? QStringLiteral("fehlt: die Datei ist leer")
                                      : QStringLiteral("fehlt: die Datei hat nur %1 von 13 Zeilen").arg(zeilen.size());
            return {i + 1, grund};
        }
        if (const Grund g = zeilePruefen(i + 1, zeilen[i]))
            return {i + 1, *g};
    }
    // Behind line 13 at most empty lines (a line end an editor added).
    if (zeilen.size() > kGeraeteSeiten) {
        const qsizetype ende = zeilen[kGeraeteSeiten].data() - datei.constData();
        for (qsizetype i = ende; i < datei.size(); ++i)
            if (datei[i] != '\r' && datei[i] != '\n')
                return {kGeraeteSeiten + 1, QStringLiteral("eine Konfigurationsdatei endet mit Zeile 13")};
    }
    return {};
}
