// The device read's decode, on the editor model in filling mode, setting by
// setting as the table of settings lists them. The read command has emptied
// the editor before: every box unticked, CHK_Kontrollruf off with the spinners
// at 10 and 0, both sliders at 1, all texts empty. Each setting is shown as its
// cells hold it; a handler runs only where a value changes, recording nothing
// and taking over no defaults. Most handlers store back the very byte the
// control was set from, so only those that store something else run here: the
// balance monitoring (offset 56 and, when off, the two numbers) and the
// operator rule at the end. An analog number that fails the read is stored
// back as an empty field.
#include "cfgfile/dekodieren.h"

#include "image/ansi.h"
#include "image/felder.h"
#include "modell/einstellung.h"

#include <algorithm>

namespace {

using K = Kodierung;

// A relay's box: ticked when the text area's ETX stands behind its first
// cell; an area without ETX leaves the box unticked.
bool textende(const Konfigspeicher& k, Bereich b)
{
    for (int i = 0; i < b.breite; ++i)
        if (k.byte(b.seite, b.anfang + i) == ETX)
            return i > 0;
    return false;
}

// The check call. Its time texts show the bytes' hexadecimal digits. The
// spinners follow a valid time (shown silently, nothing stored), so that the
// first click on an arrow steps from the time the installer sees and not from
// 10:00; a byte that is no time in packed BCD leaves them where they are.
// Switched off the spinners stay at 10 and 0, the values they already show.
void kontrollruf(const Einstellung& e, std::uint8_t ruf, Editorwerte& w)
{
    using Ruf = Editorwerte::Kontrollruf;
    if (e.regel == Regel::Kontrollruf)
        w.kontrollruf = ruf == 7 ? Ruf::Taeglich : ruf < 7 ? Ruf::Woechentlich : Ruf::Aus;
    else if (ruf < 7)
        w.tag = ruf;
}
void zeit(const Konfigspeicher& k, Bereich b, Editorwerte& w)
{
    const std::uint8_t stunde = k.byte(b.seite, b.anfang), minute = k.byte(b.seite, b.anfang + 1);
    w.txtStunde = zweistellig(stunde, 16);
    w.txtMinute = zweistellig(minute, 16);
    if (const int h = bcdWert(stunde, 23); h >= 0)
        w.udStunde = h;
    if (const int mi = bcdWert(minute, 59); mi >= 0)
        w.udMinute = mi;
}

// A byte whose 0 switches its group off: the acknowledgement shown as the
// image holds it (the slider takes 1..255, its whole range); the balance
// monitoring by its handlers: off stores the emptied numbers and 0, on the
// slider's value clamped to 1..9.
void schalterByte(Editormodell& m, const Einstellung& e, std::uint8_t b)
{
    Editorwerte& w = m.werte();
    if (e.regel == Regel::Chk_Konto)
        m.schalten(e, b != 0);
    else if (e.regel == Regel::Slider_Guthaben && b != 0)
        m.schieben(e, std::clamp<int>(b, e.min, e.max));
    else if (e.regel == Regel::Chk_Quittierung)
        w.quittierung = b != 0;
    else if (b != 0) {
        w.sliderQuit = b;
        w.quit = QString::number(b);
    }
}

// Shows one setting as its cells hold it. False when the cells fail the read:
// a 16-bit number the device's signed computation cannot hold. That field is
// shown empty and held as an empty field (FF FF): the image stays what the
// editor shows, so a save or a later write carries no value the user cannot see.
bool zeigen(Editormodell& m, const Einstellung& e)
{
    Konfigspeicher& k = m.speicher();
    Editorwerte& w = m.werte();
    const Bereich b = e.zellen;
    switch (e.kodierung) {
    case K::Text: Editormodell::text(w, e.feld) = ansi::text(textLesen(k, b)); break;
    case K::Einheit: Editormodell::text(w, e.feld) = ansi::text(einheitLesen(k)); break;
    case K::Zahl16: {
        const Zahlwert z = zahlLesen(k, b.seite, b.anfang);
        if (z.ueberlauf) {
            zahlSpeichern(k, b.seite, b.anfang, std::nullopt);
            return false;
        }
        Editormodell::text(w, e.feld) = z.text();
        break;
    }
    case K::Bit: Editormodell::schalter(w, e) = bitGesetzt(k, b.seite, b.anfang, e.index); break;
    case K::Schalter: Editormodell::schalter(w, e) = k.byte(b.seite, b.anfang) == 0xFF; break;
    case K::Textende: Editormodell::schalter(w, e) = textende(k, b); break;
    case K::Byte: schalterByte(m, e, k.byte(b.seite, b.anfang)); break;
    case K::Tagplan: kontrollruf(e, k.byte(b.seite, b.anfang), w); break;
    case K::BCD: zeit(k, b, w); break;
    case K::Keine:
    case K::Liste: break;
    }
    return true;
}

} // namespace

bool dekodieren(Editormodell& m)
{
    const Editormodell::Fuellen fuellen(m);
    m.leeren();
    bool ok = true;
    for (const Einstellung& e : Einstellung::alle())
        ok = zeigen(m, e) && ok;
    // A failed read does not derive the operator.
    if (ok)
        m.netzbetreiberErkennen();
    return ok;
}

std::optional<Editorwerte> dekodieren(Konfigspeicher& k, Editorwerte* bisDahin)
{
    Editormodell m;
    m.speicher() = k;
    const bool ok = dekodieren(m);
    k = m.speicher();
    if (bisDahin)
        *bisDahin = m.werte();
    if (!ok)
        return std::nullopt;
    return m.werte();
}

Konfigspeicher geraetebild(const QByteArray& bytes)
{
    Konfigspeicher k;
    k.alleLeeren();
    const qsizetype n = std::min<qsizetype>(bytes.size(), qsizetype(kSeiten) * kZellen);
    for (qsizetype i = 0; i < n; ++i)
        k.setze(int(i / kZellen), int(i % kZellen), std::uint8_t(bytes.at(i)));
    return k;
}
