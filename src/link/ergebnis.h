#pragma once
// How a device operation ended, as the link reports it once at its end: the
// outcome, the message for the user (in the system's words) and one line of
// what exactly failed. The link shows nothing itself: the window puts the
// message into its box, the command line prints it.
#include <QList>
#include <QString>
#include <optional>

enum class Ausgang {
    Erfolg,
    KeineVerbindung,      // no ACK: "Verbindung nicht möglich"
    Uebertragungsfehler,  // missing echo or answer, or the decode failed: "Fehler bei Datenübertragung"
    Abgebrochen,          // the abort sequence, Daten closed or the clock dialog closed, no message
    Zeitueberschreitung,  // the optional receive limit passed without a byte: "Fehler bei Datenübertragung"
};

// How far a configuration write came that ended before its end: the flagged
// pages whose every byte was echoed, and the flagged pages not sent or only
// partly sent (the device may hold some of their bytes). `datenGesendet`: at
// least one byte of page data went out, so the device may hold a mix.
struct Schreibstand {
    QList<int> geschrieben;
    QList<int> offen;
    bool datenGesendet = false;
    bool operator==(const Schreibstand&) const = default;
};

struct Ergebnis {
    Ausgang ausgang = Ausgang::Erfolg;
    // The text of the box (a critical box titled "GSM Boravilon" with OK);
    // empty: nothing is said.
    QString meldung;
    // What exactly failed, one German line, e.g. "kein ACK innerhalb 40 s",
    // "nach 100 von 3328 Bytes keine Daten mehr", "Echo fehlt bei Seite 11,
    // Zeichen 100". Empty where there is nothing to add.
    QString detail;
    // A beep comes before the box (the write's transfer error).
    bool signalton = false;
    // A configuration write that failed or was aborted: how far it came.
    std::optional<Schreibstand> schreibstand;
};
