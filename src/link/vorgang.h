#pragma once
// One running device operation (configuration read or write, event memory,
// clock read or set): its kind, its phase, a request to end it early, and
// the data only it needs. The link (Verbindung) holds at most one; "Belegt"
// is that one exists.
//
// Every operation starts the same way (the link's one preamble): the busy
// test, `Konfig_open`, "Verbindung nicht möglich" when the device does not
// announce itself. Then `verbunden()` sends its command and the operation
// goes through its phases, each step handing its result on as a value. It
// ends in exactly one way, `beenden`: the link closes the port, hides Daten,
// restores the pointer and reports the outcome once -- whatever ended it
// (success, an error, the abort button, Daten closed by the user, the
// receive limit, the link shut down, in which case nothing is reported).
#include "link/daten.h"
#include "link/ergebnis.h"

#include <QByteArray>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>

class Verbindung;

// How a wait for an answer ended.
enum class Warteausgang {
    Erhalten,             // the awaited byte(s) arrived
    Zeitueberschreitung,  // the time limit passed
    Abgebrochen,          // the operation was asked to end
};

class Vorgang : public QObject {
public:
    enum class Art { Lesen, Schreiben, Ereignisse, UhrLesen, UhrSetzen };
    enum class Phase {
        Verbinden,     // waiting for the device's ACK
        Befehl,        // the command byte goes out (and its echo or pause)
        Uebertragen,   // data on the way: received, sent page by page, or the clock bytes
        Abschliessen,  // the data complete: decode, conversion, the final ESC
        Beendet,
    };
    // Called once when the operation has ended: posted, so never from inside
    // the link's own call chain; dropped when the link is gone first. It may
    // start the next operation or destroy the link.
    using Fertig = std::function<void(const Ergebnis&)>;

    Art art() const { return m_art; }
    Phase phase() const { return m_phase; }
    // Asked to end early (abort sequence, Daten closed, clock dialog closed).
    bool abbruchAngefordert() const { return m_abbruch; }

protected:
    Vorgang(Verbindung& v, Art art, Fertig fertig);

    // --- What the link calls. ---

    // After the busy test, before the connection is opened.
    virtual void vorbereiten() {}
    // The device has announced itself: send the command.
    virtual void verbunden() = 0;
    // A byte of the transfer phase, already appended to the receive buffer
    // (the operation's share of `Auswert`).
    virtual void empfangen(std::uint8_t /*zeichen*/) {}
    // Asked to end while no answer is awaited (downloads, pauses): how it ends;
    // by default "abgebrochen nach" how far it came (stand()), when it says.
    virtual Ergebnis abgebrochen() const;
    // The receive limit passed during the transfer: how far it came, e.g.
    // "100 von 3328 Bytes".
    virtual QString stand() const { return {}; }
    // Right before the port is closed at the end (not when the link is shut down).
    virtual void vorDemEnde() {}

    // --- The steps, through the link. ---

    void setPhase(Phase p) { m_phase = p; }
    // Phase Befehl: the command byte sent without an echo awaited (l, t, s),
    // and the step named; false when the port refused it.
    bool befehlSenden(char befehl);
    // How far a download came: "n von gesamt Bytes" of the receive buffer.
    QString empfangenVon(int gesamt) const;
    // Data are awaited without a wait of their own: phase Uebertragen, the
    // receive limit runs (when set), and asking to end ends at once.
    void empfangBeginnen();
    // Sends `text` (lengthened with 0xFF to `laenge`) one byte at a time, each
    // awaiting its echo; stops at the first missing one and hands on how the
    // last wait ended and the index of that byte (the length when all came).
    void Senden(const QByteArray& text, int laenge, std::function<void(Warteausgang, int)> weiter);
    // Waits for `erwartet` anywhere in the receive buffer.
    void Antwort(const QByteArray& erwartet, std::function<void(Warteausgang)> weiter);
    // Waits `ms` without awaiting anything.
    void pause(int ms, std::function<void()> weiter);
    // Writes bytes without waiting (false: port closed or refused).
    bool direkt(const QByteArray& bytes);
    // A step done, in words for a user who wants to follow it ("Seite 3 geschrieben").
    void schritt(const QString& text);
    bool portOffen() const;
    Daten& daten();
    const QByteArray& Empfangspuffer() const;
    void pufferLeeren();
    int Fortschritt() const;
    void setFortschritt(int wert);
    std::chrono::milliseconds wartezeit() const;

    // The one end of the operation (a second call does nothing).
    void beenden(const Ergebnis& e);

private:
    friend class Verbindung;

    Verbindung& m_v;
    Art m_art;
    Phase m_phase = Phase::Verbinden;
    bool m_abbruch = false;
    Fertig m_fertig;
};

// "3 s", "250 ms": a time limit as the details name it.
QString dauerText(std::chrono::milliseconds ms);
