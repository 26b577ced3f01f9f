#include "door/door.h"

#include <cstdio>

namespace {

// The door of a program that set none: each message on standard error, the
// answer that changes nothing; no beep, no dialogs, nothing started.
class Fehlerausgabe : public Door {
public:
    Antwort meldung(const QString& text, Icon, Knoepfe knoepfe, const QString&) override
    {
        std::fputs(text.toLocal8Bit().append('\n').constData(), stderr);
        switch (knoepfe) {
        case Knoepfe::JaNein: return Antwort::Nein;
        case Knoepfe::OkAbbrechen: return Antwort::Abbrechen;
        case Knoepfe::Ok: break;
        }
        return Antwort::Ok;
    }
    void beep() override {}
    QString dateiSpeichern(const Dateidialog&) override { return {}; }
    QString dateiOeffnen(const Dateidialog&) override { return {}; }
    bool starten(const QString&, const QStringList&) override { return false; }
    bool anzeigen(const QString&) override { return false; }
};

Door* g_tuer = nullptr;
Door* g_standard = nullptr;

} // namespace

Door& Door::aktuell()
{
    if (g_tuer)
        return *g_tuer;
    if (g_standard)
        return *g_standard;
    static Fehlerausgabe ausgabe;
    return ausgabe;
}

void Door::setzen(Door* door)
{
    g_tuer = door;
}

void Door::standardSetzen(Door* door)
{
    g_standard = door;
}
