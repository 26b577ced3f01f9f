#pragma once
// A link on a pseudo-terminal with the fake door and a progress view that
// records what it was asked to show.
#include "aufzeichnung.h"
#include "fakedoor.h"
#include "link/daten.h"
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
    PtyPartner geraet;
    std::unique_ptr<Verbindung> v;
    Aufzeichnung* ansicht = nullptr;
    std::optional<Ausgang> ausgang;
    std::optional<Ergebnis> ergebnis;
    int fertigAufrufe = 0;

    explicit LinkUmgebung(std::chrono::milliseconds wartezeit = 5s)
    {
        v = std::make_unique<Verbindung>();
        v->zuordnung().festlegen(1, geraet.pfad());
        v->setWartezeit(wartezeit);
        auto a = std::make_unique<Aufzeichnung>();
        ansicht = a.get();
        v->daten().setAnsicht(std::move(a));
    }

    Verbindung::Fertig fertig()
    {
        return [this](const Ergebnis& e) {
            ausgang = e.ausgang;
            ergebnis = e;
            ++fertigAufrufe;
        };
    }

    // The device announces itself.
    void ack() { geraet.senden(QByteArray(1, char(Verbindung::ACK))); }

    // Nothing under way any more: the state every ended operation leaves.
    bool ruhend() const { return !v->operationLaeuft() && !v->daten().sichtbar() && !v->wartet(); }

    // The beeps the user hears: refusals, and the one the report asks for.
    int beeps() const { return door.beeps + (ergebnis && ergebnis->signalton ? 1 : 0); }
    // No box from the link, and nothing for the caller to show.
    bool keineMeldung() const { return door.meldungen.isEmpty() && (!ergebnis || ergebnis->meldung.isEmpty()); }
};

// One message: the report's text, the link itself showing no box.
inline bool eineMeldung(const LinkUmgebung& u, const QString& text)
{
    return u.door.meldungen.isEmpty() && u.ergebnis && u.ergebnis->meldung == text;
}

inline QByteArray esc() { return QByteArray(1, char(Verbindung::ESC)); }
