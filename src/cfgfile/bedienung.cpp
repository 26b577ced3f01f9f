#include "cfgfile/bedienung.h"

#include "image/felder.h"

namespace bedienung {

void startbild(Konfigspeicher& k)
{
    Grundeinstellung(k);
    k.setze(0, offset::Quittierung, 0);
    k.setze(0, offset::Kontrollruf, 0xFF);
    k.setze(0, offset::Stunde, 0x10);
    k.setze(0, offset::Minute, 0x00);
    k.setze(0, 7, ETX);
    for (int o = 8; o <= 23; ++o)
        k.setze(0, o, FF);
    Editorwerte w;
    kontoAus(k, w);
}

void kontoAus(Konfigspeicher& k, Editorwerte& w)
{
    w.konto = false;
    w.guthabenrufnummer.clear();
    w.nummerAufladung.clear();
    w.sliderGuthaben = 1;
    w.guthaben.clear();
    textSpeichern(k, bereich::Guthabenrufnummer, QByteArray());
    textSpeichern(k, bereich::NummerAufladung, QByteArray());
    k.setze(0, offset::Guthaben, 0);
}

void netzbetreiberUebernehmen(Konfigspeicher& k, Editorwerte& w)
{
    w.netz = Netzbetreiber_erkennen(k);
    w.kontoAktivierbar = w.netz != Netzbetreiber::Andere;
    // A ticked Chk_Konto keeps what was just loaded; an unticked one already
    // holds the bytes of the switched-off state, so only "Andere" stores.
    if (w.netz == Netzbetreiber::Andere)
        kontoAus(k, w);
}

QString zweistellig(int wert)
{
    return QStringLiteral("%1").arg(wert, 2, 10, QLatin1Char('0'));
}

} // namespace bedienung
