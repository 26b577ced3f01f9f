#pragma once
// What a device operation reports, as data: how it ended (Vorgangsbericht),
// how far it has come while it runs (Fortschrittsstand) and the steps it
// takes for a user who follows them (Schrittmeldung). The link holds no
// user text: the window and the command line make their words of these
// (linktext/linktext.h).
#include "link/portursache.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>
#include <optional>

enum class Vorgangsart { Lesen, Schreiben, Ereignisse, UhrLesen, UhrSetzen };

// Where an operation stands. Each operation goes through some of them, in
// this order.
enum class Schritt {
    Verbinden,      // waiting for the device's ACK
    Befehl,         // the command byte: its echo (r, w), or written (l, t; s with its 500 ms pause)
    Seitenzeichen,  // write: the page character 48+p and its echo
    Seite,          // write: the page's 256 bytes, each echoed
    Empfangen,      // read, event memory: the data coming
    Antwort,        // clock read: waiting for ">"
    Uhrbyte,        // clock setting: one clock byte and its 200 ms pause
    Abschliessen,   // the data complete: decode, conversion
    Beendet,
};

enum class Ausgang {
    Erfolg,
    KeineVerbindung,      // no ACK: "Verbindung nicht möglich"
    Uebertragungsfehler,  // missing echo or answer, a byte not sent, the decode failed
    Abgebrochen,          // the abort sequence, the progress window or the clock dialog closed
    Zeitueberschreitung,  // the optional receive limit passed without a byte
};

// Why an operation did not succeed.
enum class Grund {
    Keiner,
    KeineAntwort,    // a wait's time limit (`frist`) ran out: no ACK, echo or answer
    Abbruch,         // asked to end
    KeineDaten,      // the receive limit (`frist`) passed without a byte
    NichtGesendet,   // the port refused a byte
    Unvollstaendig,  // the clock answer: fewer than five bytes (`bytes`) before ">"
    Unlesbar,        // the decode or conversion refused the data (`daten`)
    Getrennt,        // the line is gone: the other end hung up, the adapter was pulled
};

// The port would not open.
struct Portfehler {
    Portursache ursache;
    int com = 1;
    QString geraet;
    QString text;  // the port's own words for its error
};

// How far a configuration write came, as the echoes showed it: what the
// device stored of it only a read can tell.
struct Schreibstand {
    QList<int> bestaetigt;     // flagged pages whose character and every byte were echoed, ascending
    int seite = -1;            // the page broken off (its character or its bytes under way), else -1
    int echos = 0;             // bytes of that page echoed
    QList<int> nichtGesendet;  // flagged pages not begun
    // The flagged pages not confirmed: the one broken off and those not begun.
    QList<int> offen() const;
    // A page character went out: from there on the device may hold part of
    // the write (the ESC that ends it may even land among a page's bytes).
    bool begonnen() const { return seite >= 0 || !bestaetigt.isEmpty(); }
    bool operator==(const Schreibstand&) const = default;
};

struct Vorgangsbericht {
    Vorgangsart art = Vorgangsart::Lesen;
    Ausgang ausgang = Ausgang::Erfolg;
    Schritt schritt = Schritt::Verbinden;  // the step it ended in
    Grund grund = Grund::Keiner;
    std::chrono::milliseconds frist{0};    // the time limit that ran out
    std::optional<Portfehler> port;        // the port did not open
    // How far a transfer came: bytes received of `gesamt` (read, event
    // memory), clock bytes sent of 5, bytes before ">" of 5.
    int bytes = 0;
    int gesamt = 0;
    std::optional<Schreibstand> schreibstand;  // a write that did not succeed
    QByteArray daten;                          // what the decode refused
};

// The progress of the operation under way.
struct Fortschrittsstand {
    Vorgangsart art = Vorgangsart::Lesen;
    // Verbinden: the connection is being opened (the operation has begun);
    // Beendet: the transfer is over, nothing more to show.
    Schritt schritt = Schritt::Verbinden;
    int seite = -1;   // write: the page being sent
    int wert = 0;     // bytes sent or received in the transfer, as last counted
    int maximum = 0;  // the transfer's total; 0: none of its own (connecting, the command)
};

// A step done, for a user who wants to follow them (gsmbv -v).
struct Schrittmeldung {
    enum class Was {
        PortGeoeffnet,     // `geraet`
        AckEmpfangen,
        BefehlGesendet,    // `bytes`: the command
        SeiteGeschrieben,  // `zahl`: the page
        DatenEmpfangen,    // `zahl` bytes
        AntwortEmpfangen,  // `bytes`: the answer
        DatenGesendet,     // `zahl` bytes written without an echo (the clock's)
        EscGesendet,
        PortGeschlossen,
    };
    Was was = Was::PortGeoeffnet;
    Vorgangsart art = Vorgangsart::Lesen;
    int zahl = 0;
    QByteArray bytes;
    QString geraet;
};
