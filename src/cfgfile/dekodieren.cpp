// The device read's decode, on the editor model in filling mode. The read
// command has emptied the editor before: every box unticked, CHK_Kontrollruf
// off with the spinners at 10 and 0, both sliders at 1, all texts empty. The
// controls are then set field by field; a handler runs only where a value
// changes, recording nothing and taking over no defaults. Most handlers store
// back the very byte the control was set from, so only those that store
// something else run here: the balance monitoring (offset 56 and, when off,
// the two numbers) and the operator rule at the end. An analog number that
// fails the read is stored back as an empty field.
#include "cfgfile/dekodieren.h"

#include "image/ansi.h"
#include "image/felder.h"

#include <algorithm>

namespace {

QString text(const Konfigspeicher& k, Bereich b)
{
    return ansi::text(textLesen(k, b));
}

// A relay's confirmation text and box: ticked when the text area's ETX stands
// behind its first cell; an area without ETX leaves the box unticked.
void relais(const Konfigspeicher& k, Bereich b, QString& text, bool& an)
{
    text = ::text(k, b);
    an = false;
    for (int i = 0; i < b.breite; ++i)
        if (k.byte(b.seite, b.anfang + i) == ETX) {
            an = i > 0;
            break;
        }
}

// Check call. Switched off it leaves the spinners at 10 and 0, the values
// they already show, so their handlers store nothing.
void kontrollrufZeigen(const Konfigspeicher& k, Editorwerte& w)
{
    using K = Editorwerte::Kontrollruf;
    const std::uint8_t ruf = k.byte(0, offset::Kontrollruf);
    if (ruf == 7)
        w.kontrollruf = K::Taeglich;
    else if (ruf < 7) {
        w.kontrollruf = K::Woechentlich;
        w.tag = ruf;
    }
    // The time texts show the bytes' hexadecimal digits. The spinners follow a
    // valid time (shown silently, nothing stored), so that the first click on
    // an arrow steps from the time the installer sees and not from 10:00; a
    // byte that is no time in packed BCD leaves them where they are.
    const std::uint8_t stunde = k.byte(0, offset::Stunde);
    const std::uint8_t minute = k.byte(0, offset::Minute);
    w.txtStunde = zweistellig(stunde, 16);
    w.txtMinute = zweistellig(minute, 16);
    if (const int h = bcdWert(stunde, 23); h >= 0)
        w.udStunde = h;
    if (const int mi = bcdWert(minute, 59); mi >= 0)
        w.udMinute = mi;
}

} // namespace

bool dekodieren(Editormodell& m)
{
    const Editormodell::Fuellen fuellen(m);
    m.leeren();
    Konfigspeicher& k = m.speicher();
    Editorwerte& w = m.werte();

    // The boxes, the acknowledgement and the check call are shown as the
    // image holds them; their handlers would store back the very bytes they
    // were set from (or, in filling mode, nothing).
    for (int i = 0; i < 8; ++i) {
        w.oeffner[i] = bitGesetzt(k, 0, offset::Oeffner, i);
        w.gutmeldung[i] = bitGesetzt(k, 0, offset::Gutmeldung, i);
    }
    w.gutmeldung[8] = k.byte(0, offset::GutmeldungStrom) == 0xFF;

    // Acknowledgement: the slider takes the byte (1..255 is its whole range).
    if (const std::uint8_t q = k.byte(0, offset::Quittierung); q != 0) {
        w.quittierung = true;
        w.sliderQuit = q;
        w.quit = QString::number(q);
    }

    kontrollrufZeigen(k, w);

    w.guthabenrufnummer = text(k, bereich::Guthabenrufnummer);
    w.nummerAufladung = text(k, bereich::NummerAufladung);

    // Balance monitoring: off, Chk_Konto's handler stores the emptied numbers
    // and 0; on, the slider's handler stores its value, clamped to 1..9.
    if (const std::uint8_t g = k.byte(0, offset::Guthaben); g == 0) {
        m.Chk_Konto_Click(false);
    } else {
        m.Chk_Konto_Click(true);
        m.Slider_Guthaben_Change(std::clamp<int>(g, 1, 9));
    }

    w.anlagenbezeichnung = text(k, bereich::Anlagenbezeichnung);
    for (int i = 0; i < 9; ++i)
        w.smsText[i] = text(k, bereich::SMSText(i));
    relais(k, bereich::Besttext1, w.besttext1, w.relaisbest1);
    relais(k, bereich::Besttext2, w.besttext2, w.relaisbest2);

    // A number the device's signed computation cannot hold fails the read.
    // Everything else is still shown, and that field is shown empty and held
    // as an empty field (FF FF): the image stays what the editor shows, so a
    // save or a later write carries no value the user cannot see.
    bool ueberlauf = false;
    QString* felder[4] = {&w.messbereich4, &w.messbereich20, &w.grenzwertmin, &w.grenzwertmax};
    for (int paar = 0; paar < 4; ++paar) {
        const int o = offset::Messbereich4 + 2 * paar;
        const Zahlwert z = zahlLesen(k, 11, o);
        if (z.ueberlauf) {
            ueberlauf = true;
            zahlSpeichern(k, 11, o, std::nullopt);
            continue;
        }
        *felder[paar] = z.text();
    }
    w.einheit = ansi::text(einheitLesen(k));
    w.textMin = text(k, bereich::TextMin);
    w.textMax = text(k, bereich::TextMax);
    // A failed read does not derive the operator.
    if (ueberlauf)
        return false;
    m.netzbetreiberErkennen();
    return true;
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
