// Any bytes as the 3328 bytes a device sends after "r": the read's decode on
// the editor model stores back only what the balance handlers store (page 0
// offsets 24, 40 and 56) and, as an empty field, a range number the device's
// signed computation cannot hold; it fails only on such a number, shows
// exactly what the image holds, whether it fails or not, and records nothing.
//
// Input: up to 3328 cells of pages 0..12 in serial order; cells behind the
// input stay unset, as behind a short buffer.
#include "cfgfile/dekodieren.h"
#include "modell/editormodell.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"
#include "pruefen.h"

#include <algorithm>

namespace {

QString text(const Konfigspeicher& k, Bereich b) { return ansi::text(textLesen(k, b)); }

// What the balance monitoring leaves: switched off, both numbers emptied and 0
// stored; switched on, the slider's value 1..9.
void kontoErwartet(Konfigspeicher& k, bool aus)
{
    if (aus) {
        k.setze(0, 24, ETX);
        k.setze(0, 40, ETX);
        k.setze(0, offset::Guthaben, 0);
    } else {
        k.setze(0, offset::Guthaben, std::uint8_t(std::clamp<int>(k.byte(0, offset::Guthaben), 1, 9)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    const QByteArray bytes = alsBytes(daten, std::min<std::size_t>(groesse, kGeraeteBytes));
    Konfigspeicher k;
    k.alleLeeren();
    for (int i = 0; i < bytes.size(); ++i)
        k.setze(i / kZellen, i % kZellen, std::uint8_t(bytes[i]));
    const Konfigspeicher vorher = k;

    Editormodell m;
    m.speicher() = k;
    const bool ok = dekodieren(m);
    k = m.speicher();
    const Editorwerte bisDahin = m.werte();
    PRUEFE(!m.fuellt());
    for (int i = 0; i < kMarker; ++i)
        PRUEFE(!m.marker(i));
    for (bool s : m.seiten())
        PRUEFE(!s);

    bool ueberlauf = false;
    for (int paar = 0; paar < 4; ++paar) {
        const std::uint8_t hoch = vorher.byte(11, offset::Messbereich4 + 2 * paar);
        ueberlauf = ueberlauf || (hoch >= 0x80 && hoch <= 0xFE);
    }
    PRUEFE(ok == !ueberlauf);

    // The image: the device's bytes, with only the balance cells stored back.
    // "Andere" (derived at the end of a decode that did not fail) switches the
    // monitoring off as well.
    const bool kontoAus = vorher.byte(0, offset::Guthaben) == 0
                       || (ok && Netzbetreiber_erkennen(vorher) == Netzbetreiber::Andere);
    Konfigspeicher erwartet = vorher;
    kontoErwartet(erwartet, vorher.byte(0, offset::Guthaben) == 0);
    if (kontoAus)
        kontoErwartet(erwartet, true);
    for (int paar = 0; paar < 4; ++paar) {
        const int o = offset::Messbereich4 + 2 * paar;
        const std::uint8_t hoch = vorher.byte(11, o);
        if (hoch >= 0x80 && hoch <= 0xFE) {
            erwartet.setze(11, o, 0xFF);
            erwartet.setze(11, o + 1, 0xFF);
        }
    }
    PRUEFE(k == erwartet);

    // What the editor shows is what the image holds.
    const Editorwerte& e = bisDahin;
    for (int i = 0; i < 8; ++i) {
        PRUEFE(e.oeffner[i] == bool((vorher.byte(0, 0, 0) >> i) & 1));
        PRUEFE(e.gutmeldung[i] == bool((vorher.byte(0, 1, 0) >> i) & 1));
    }
    PRUEFE(e.gutmeldung[8] == (vorher.byte(0, 2) == 0xFF));
    const std::uint8_t quit = vorher.byte(0, offset::Quittierung);
    PRUEFE(e.quittierung == (quit != 0));
    PRUEFE(e.sliderQuit == (quit != 0 ? quit : 1));
    PRUEFE(e.quit == (quit != 0 ? QString::number(quit) : QString()));
    const std::uint8_t ruf = vorher.byte(0, offset::Kontrollruf);
    using K = Editorwerte::Kontrollruf;
    PRUEFE(e.kontrollruf == (ruf < 7 ? K::Woechentlich : ruf == 7 ? K::Taeglich : K::Aus));
    PRUEFE(e.tag == (ruf < 7 ? ruf : -1));
    // The spinners follow a time in packed BCD and stay at 10:00 otherwise.
    const auto spinner = [](std::uint8_t b, int hoechstens, int sonst) {
        const int wert = (b >> 4) * 10 + (b & 0x0F);
        return ((b >> 4) <= 9 && (b & 0x0F) <= 9 && wert <= hoechstens) ? wert : sonst;
    };
    PRUEFE(e.udStunde == spinner(vorher.byte(0, offset::Stunde), 23, 10));
    PRUEFE(e.udMinute == spinner(vorher.byte(0, offset::Minute), 59, 0));
    PRUEFE(e.txtStunde == zweistellig(vorher.byte(0, offset::Stunde), 16));
    PRUEFE(e.txtMinute == zweistellig(vorher.byte(0, offset::Minute), 16));
    PRUEFE(e.txtStunde.size() == 2 && e.txtMinute.size() == 2);
    PRUEFE(e.konto == !kontoAus);
    if (e.konto) {
        PRUEFE(e.guthabenrufnummer == text(vorher, bereich::Guthabenrufnummer));
        PRUEFE(e.nummerAufladung == text(vorher, bereich::NummerAufladung));
        PRUEFE(e.sliderGuthaben == k.byte(0, offset::Guthaben));
        PRUEFE(e.guthaben == QString::number(e.sliderGuthaben));
    } else {
        PRUEFE(e.guthabenrufnummer.isEmpty() && e.nummerAufladung.isEmpty() && e.guthaben.isEmpty());
    }
    PRUEFE(e.guthabenrufnummer.size() <= 16 && e.nummerAufladung.size() <= 16);
    PRUEFE(e.anlagenbezeichnung == text(vorher, bereich::Anlagenbezeichnung));
    for (int i = 0; i < 9; ++i)
        PRUEFE(e.smsText[i] == text(vorher, bereich::SMSText(i)));
    PRUEFE(e.besttext1 == text(vorher, bereich::Besttext1));
    PRUEFE(e.besttext2 == text(vorher, bereich::Besttext2));
    // A relay's box: ticked when its text area's ETX stands behind the first cell.
    for (const auto& [b, an] : {std::pair{bereich::Besttext1, e.relaisbest1}, std::pair{bereich::Besttext2, e.relaisbest2}}) {
        const QByteArray t = textLesen(vorher, b);
        const bool etx = t.size() < b.breite;
        PRUEFE(an == (etx && !t.isEmpty()));
    }
    PRUEFE(e.einheit == ansi::text(einheitLesen(vorher)));
    PRUEFE(e.textMin == text(vorher, bereich::TextMin));
    PRUEFE(e.textMax == text(vorher, bereich::TextMax));
    const QString* felder[4] = {&e.messbereich4, &e.messbereich20, &e.grenzwertmin, &e.grenzwertmax};
    for (int paar = 0; paar < 4; ++paar) {
        const std::uint8_t hoch = vorher.byte(11, offset::Messbereich4 + 2 * paar);
        const std::uint8_t tief = vorher.byte(11, offset::Messbereich4 + 2 * paar + 1);
        const bool leer = hoch >= 0x80;  // FF: empty; 0x80..0xFE: overflow, shown empty
        PRUEFE(*felder[paar] == (leer ? QString() : QString::number(hoch * 256 + tief)));
    }
    if (ok) {
        PRUEFE(e.netz == Netzbetreiber_erkennen(vorher));
        PRUEFE(e.kontoAktivierbar == (e.netz != Netzbetreiber::Andere));
    }
    return 0;
}
