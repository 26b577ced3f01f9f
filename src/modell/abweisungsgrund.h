#pragma once
// Why the program refuses something: a typed key, a pasted text, a value that
// cannot leave its field, a recipient list that does not fit, a device command
// while another one runs. The pure rules (the editor model, the character and
// analog checks, the recipient codec's callers) return this value with their
// decision; door/abweisung.h announces it (beep, reason, the field's frame).
// Setting a value by key refuses with the same reasons, and a few of its own.
// QtCore only.
#include <QString>

struct Abweisung {
    enum class Art {
        Keine,
        Zeichen,             // a character the field does not take
        Laenge,              // a full field; a = the most characters
        Nummernzeichen,      // number fields: digits, +, * and #
        Ziffern,             // analog values: digits only
        Ziffernzahl,         // analog values: a = the most digits
        Rufnummernzeichen,   // GSM and fax slots of the recipients editor: digits and +
        Wert4mA,             // the 4 mA value is no plain number 0..999
        Wert20mA,            // the 20 mA value likewise
        Unter20mA,           // the 4 mA value is not below the 20 mA value
        Ueber4mA,            // the 20 mA value is not above the 4 mA value
        UntererBereich,      // the lower threshold lies outside a..b
        ObererBereich,       // the upper threshold lies outside a..b
        UntererAbstand,      // the lower threshold is not more than 50 below the upper
        ObererAbstand,       // the upper threshold is not more than 50 above the lower
        Empfaengerliste,     // the recipients need a of b cells
        Belegt,              // a device operation is under way
        Schluessel,          // setting by key: no setting has this key
        Wahl,                // setting by key: not one of `werte`
        Bereich,             // setting by key: not a number from a to b
        Uhrzeit,             // setting by key: no time of day HH:MM
        Gesperrt,            // setting by key: its control is disabled now; a = the Sperre
        Empfaengerzahl,      // setting by key: more recipients than a
    };
    // Why a control is disabled (Art::Gesperrt).
    enum Sperre { QuittierungAus, KontoAus, KontoNetz, KontrollrufAus, NichtWoechentlich, RelaisAus };

    Art art = Art::Keine;
    int a = 0;
    int b = 0;
    QString werte = {};  // Wahl: the values taken

    explicit operator bool() const { return art != Art::Keine; }
    bool operator==(const Abweisung&) const = default;

    // The reason as the status bar shows it.
    QString text() const;
};
