#pragma once
// A link on a pseudo-terminal with the fake door and a progress view that
// records what it was asked to show.
#include "aufzeichnung.h"
#include "fakedoor.h"
#include "link/daten.h"
#include "link/sitzung.h"
#include "link/verbindung.h"
#include "ptypartner.h"

#include <QList>
#include <QTest>
#include <chrono>
#include <memory>
#include <optional>

using namespace std::chrono_literals;

struct LinkUmgebung {
    FakeDoor door;
    Sitzung sitzung;
    PtyPartner geraet;
    std::unique_ptr<Verbindung> v;
    Aufzeichnung* ansicht = nullptr;
    std::optional<Ausgang> ausgang;
    int fertigAufrufe = 0;

    explicit LinkUmgebung(std::chrono::milliseconds wartezeit = 5s)
    {
        v = std::make_unique<Verbindung>(sitzung);
        v->zuordnung().festlegen(1, geraet.pfad());
        v->setWartezeit(wartezeit);
        auto a = std::make_unique<Aufzeichnung>();
        ansicht = a.get();
        v->daten().setAnsicht(std::move(a));
    }

    Verbindung::Fertig fertig()
    {
        return [this](Ausgang a) {
            ausgang = a;
            ++fertigAufrufe;
        };
    }

    // The device announces itself.
    void ack() { geraet.senden(QByteArray(1, char(Verbindung::ACK))); }

    // Nothing under way any more: the state every ended operation leaves.
    bool ruhend() const
    {
        return !sitzung.Belegt && !sitzung.Einlesen && !sitzung.UhrModus && !sitzung.LogModus
            && !sitzung.SchreibModus && !v->daten().sichtbar() && !v->operationLaeuft();
    }
};

// One critical box with the link's title and an OK button.
inline bool eineMeldung(const FakeDoor& d, const QString& text)
{
    return d.meldungen.size() == 1 && d.meldungen[0].text == text && d.meldungen[0].icon == Door::Icon::Kritisch
        && d.meldungen[0].knoepfe == Door::Knoepfe::Ok && d.meldungen[0].titel == QStringLiteral("GSM Boravilon");
}

inline QByteArray esc() { return QByteArray(1, char(Verbindung::ESC)); }
