#include "cfgfile/dateilesen.h"

#include "systemfehler/ablage.h"

Dateiinhalt dateiLesen(const QString& pfad)
{
    ablage::Inhalt d = ablage::einlesen(pfad, kHoechsteDateigroesse);
    if (d.zuGross)
        d.fehler = QStringLiteral("zu groß für eine Konfigurationsdatei");
    return {std::move(d.bytes), d.fehler};
}
