#pragma once
// One device operation (configuration read or write, event memory, clock
// read or set) as a sequence of steps. The operation talks to no port: the
// link (Verbindung) carries out one Anweisung at a time -- send with echoes,
// wait for an answer, receive data, write without an echo, end -- and hands
// the operation how it ended (Schrittende); the operation's `weiter` decides
// the next one from the step it is in. So each operation reads top to bottom
// in one function, and its report is data.
//
// The link holds at most one operation ("Belegt" is that one exists). All
// start the same way (the link's one preamble: the busy test, `Konfig_open`,
// the wait for ACK, "Verbindung nicht möglich" without one); after the ACK
// the operation gets its first `weiter`. It ends in exactly one way, the
// Anweisung `ende`, or when the link is shut down (no report then).
#include "link/vorgangsbericht.h"

#include <QByteArray>
#include <QObject>
#include <chrono>

// How a step ended.
enum class Warteausgang {
    Erhalten,             // done: the awaited byte(s) arrived, the bytes went out, the pause passed
    Zeitueberschreitung,  // the time limit passed (of a wait, or the receive limit)
    Abgebrochen,          // the operation was asked to end
    NichtGesendet,        // a byte written without an echo was refused by the port
    Getrennt,             // the line is gone (Transport::getrennt)
};

struct Schrittende {
    Warteausgang ausgang = Warteausgang::Erhalten;
    int gesendet = 0;  // send with echo: bytes echoed before it stopped (all when done)
    // Wait: the bytes received up to and including the answer. Receive: the
    // bytes collected (what came so far when it did not complete).
    QByteArray daten;
    std::chrono::milliseconds frist{0};  // the time limit that ran out
    bool erhalten() const { return ausgang == Warteausgang::Erhalten; }
};

// What the operation asks the link to do next.
struct Anweisung {
    enum class Tun { Nichts, Senden, Warten, Empfangen, Direkt, Ende };
    Tun tun = Tun::Nichts;
    QByteArray bytes;  // Senden: the bytes, Warten: the answer, Direkt: the bytes
    int zahl = 0;      // Senden: the length; Empfangen: bytes to collect; Direkt: pause (ms)
    // Progress: the transfer's total, counted from 0 from this step on (0:
    // the count goes on, nothing new shown), and the page being sent.
    int maximum = 0;
    int seite = -1;
    bool verbergen = false;  // Empfangen: the progress is over once the data are complete
    bool esc = false;        // Ende: ESC to the device first (when the port is open)
    Vorgangsbericht bericht; // Ende

    // Sends `bytes` lengthened with 0xFF to `laenge`, one at a time, each
    // awaiting its echo; stops at the first missing one.
    static Anweisung senden(const QByteArray& bytes, int laenge = 1);
    // Waits for `antwort` anywhere in what arrives.
    static Anweisung warten(const QByteArray& antwort);
    // Collects `anzahl` bytes (a command written clears what came before it).
    static Anweisung empfangen(int anzahl);
    // Writes `bytes` without awaiting anything, then waits `pauseMs`.
    static Anweisung direkt(const QByteArray& bytes, int pauseMs = 0);
    // The operation's end: the port closed, its report posted.
    static Anweisung ende(const Vorgangsbericht& b, bool esc = false);
    Anweisung& zeigen(int maximum, int seite = -1);

    Anweisung() = default;
    explicit Anweisung(Tun t, const QByteArray& b = {}, int z = 0) : tun(t), bytes(b), zahl(z) {}
};

class Vorgang : public QObject {
public:
    using Art = Vorgangsart;
    enum class Phase { Verbinden, Befehl, Uebertragen, Abschliessen, Beendet };

    Art art() const { return m_art; }
    Schritt schritt() const { return m_schritt; }
    // Verbinden, Befehl, Uebertragen (pages, data, answer, clock bytes), Abschliessen, Beendet.
    Phase phase() const;

    // After the busy test, before the connection is opened.
    virtual void vorbereiten() {}
    // The step the operation is in has ended as `s` (the first call: the
    // device's ACK came, in Verbinden). Returns what comes next.
    virtual Anweisung weiter(const Schrittende& s) = 0;
    // The link ended it (Beendet).
    void beendet() { m_schritt = Schritt::Beendet; }

protected:
    explicit Vorgang(Art art) : m_art(art) {}
    void setSchritt(Schritt s) { m_schritt = s; }
    // The report of this operation in its current step.
    Vorgangsbericht bericht(Ausgang a, Grund g = Grund::Keiner) const;
    // A step that did not end well: KeineAntwort (with the time limit),
    // Abbruch, KeineDaten, NichtGesendet or Getrennt.
    Vorgangsbericht bericht(Ausgang a, const Schrittende& s) const;

private:
    Art m_art;
    Schritt m_schritt = Schritt::Verbinden;
};
