#include "image/felder.h"

void textSpeichern(Konfigspeicher& k, Bereich b, const QByteArray& text)
{
    if (text.isEmpty()) {
        k.setze(b.seite, b.anfang, ETX);
        return;
    }
    bool endeGeschrieben = false;
    for (int i = 0; i < b.breite; ++i) {
        if (i < text.size())
            k.setze(b.seite, b.anfang + i, std::uint8_t(text[i]));
        else if (!endeGeschrieben) {
            k.setze(b.seite, b.anfang + i, ETX);
            endeGeschrieben = true;
        } else
            k.setze(b.seite, b.anfang + i, FF);
    }
}

QByteArray textLesen(const Konfigspeicher& k, Bereich b, bool auchFF)
{
    QByteArray out;
    for (int i = 0; i < b.breite; ++i) {
        const std::uint8_t c = k.byte(b.seite, b.anfang + i);
        if (c == ETX || (auchFF && c == FF))
            break;
        out.append(char(c));
    }
    return out;
}

QByteArray textLesen(const Konfigspeicher& k, Bereich b)
{
    return textLesen(k, b, b.breite == 16);
}

void einheitSpeichern(Konfigspeicher& k, const QByteArray& einheit)
{
    for (int i = 0; i < 3; ++i)
        k.setze(11, offset::Einheit + i, i < einheit.size() ? std::uint8_t(einheit[i]) : std::uint8_t(' '));
    k.setze(11, offset::EinheitEnde, ETX);
}

QByteArray einheitLesen(const Konfigspeicher& k)
{
    QByteArray out;
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t c = k.byte(11, offset::Einheit + i);
        if (c != FF)
            out.append(char(c));
    }
    return out;
}

void bitSetzen(Konfigspeicher& k, int seite, int off, int bit, bool an)
{
    std::uint8_t v = k.byte(seite, off, 0x00);
    const std::uint8_t maske = std::uint8_t(1u << bit);
    v = an ? std::uint8_t(v | maske) : std::uint8_t(v & (0xFF - maske));
    k.setze(seite, off, v);
}

bool bitGesetzt(const Konfigspeicher& k, int seite, int off, int bit)
{
    return (k.byte(seite, off, 0x00) >> bit) & 1;
}

std::uint8_t bcd(int wert)
{
    return std::uint8_t((wert / 10) * 16 + (wert % 10));
}

int bcdWert(std::uint8_t byte, int hoechstens)
{
    const int zehner = byte >> 4, einer = byte & 0x0F;
    if (zehner > 9 || einer > 9)
        return -1;
    const int wert = zehner * 10 + einer;
    return wert <= hoechstens ? wert : -1;
}

QString zweistellig(int wert, int basis)
{
    return QString::number(wert, basis).toUpper().rightJustified(2, QLatin1Char('0'));
}

void zahlSpeichern(Konfigspeicher& k, int seite, int off, std::optional<int> wert)
{
    if (!wert) {
        k.setze(seite, off, FF);
        k.setze(seite, off + 1, FF);
        return;
    }
    const int hoch = *wert / 256;
    k.setze(seite, off, std::uint8_t(hoch));
    k.setze(seite, off + 1, std::uint8_t(*wert - 256 * hoch));
}

Zahlwert zahlLesen(const Konfigspeicher& k, int seite, int off)
{
    Zahlwert z;
    const int hoch = k.byte(seite, off);
    const int tief = k.byte(seite, off + 1);
    if (hoch == 0xFF)
        return z;
    if (hoch >= 0x80) {  // hoch * 256 leaves the 16-bit signed range
        z.ueberlauf = true;
        return z;
    }
    z.wert = hoch * 256 + tief;
    return z;
}

std::optional<QByteArray> listeRahmen(const QList<QByteArray>& eintraege)
{
    QByteArray out;
    for (const QByteArray& e : eintraege) {
        out.append(e);
        out.append(char(CR));
    }
    out.append(char(ETX));
    if (out.size() > 128)
        return std::nullopt;
    out.append(QByteArray(128 - out.size(), char(FF)));
    return out;
}

void listeSpeichern(Konfigspeicher& k, int seite, const QByteArray& gerahmt)
{
    for (int i = 0; i < 128 && i < gerahmt.size(); ++i)
        k.setze(seite, i, std::uint8_t(gerahmt[i]));
}

QList<QByteArray> listeLesen(const Konfigspeicher& k, int seite)
{
    QList<QByteArray> out;
    QByteArray aktuell;
    bool offen = false;
    for (int o = 0; o < 128; ++o) {
        const std::uint8_t c = k.byte(seite, o);
        if (c == ETX || c == FF)
            break;
        if (c == CR) {
            out.append(aktuell);
            aktuell.clear();
            offen = false;
            continue;
        }
        aktuell.append(char(c));
        offen = true;
    }
    if (offen)
        out.append(aktuell);
    return out;
}
