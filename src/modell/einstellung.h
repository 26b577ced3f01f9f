#pragma once
// The table of settings: every setting of a configuration once, with its
// stable English key (the keys of `gsmbv show --json`), its captions, the tab
// and group box that show it, its cells and their encoding, its limits and the
// editor rule that stores it. The device read's decode, the settings list of
// `gsmbv show`, its JSON, `gsmbv diff` and the sheet, setting a value by key
// (Editormodell::setzen) and the tabs' controls all go by it. A family (the
// nine alarm sources, the two relays) is one row of the table with an index;
// Einstellung::alle() holds every member of it.
//
// A new setting: one row in einstellung.cpp (key, captions, tab and group,
// cells, encoding, limits, rule), its encoding and rule where they are new,
// and its control in its tab, registered by the key.
#include "image/felder.h"
#include "modell/editormodell.h"
#include "modell/zeichen.h"

#include <QString>
#include <QStringList>

// The kinds of recipient (empfaenger::Art) as the recipients editor names
// them ("GSM", "Fax", "email") and as codes ("gsm", "fax", "email").
const QStringList& empfaengerArten();
const QStringList& empfaengerCodes();

enum class Reiter { Allgemein, Meldelinien, Relais, Analog };
// The tab's title: "Allgemein", "Meldelinien", "Relaisausgänge", "Analogeingänge".
QString reiterTitel(Reiter r);

// How the cells hold a value.
enum class Kodierung {
    Keine,     // no cell: the operator follows the first recipient of line 1
    Text,      // text area (felder.h); a 16-cell number also ends at 0xFF
    Einheit,   // three cells blank-padded, 0x03 behind
    Zahl16,    // two cells high byte first; 0xFF first: empty
    Bit,       // bit `index` of one cell
    Schalter,  // 0xFF on, anything else off (written 0x00)
    Byte,      // one cell; 0 switches the setting's group off
    Tagplan,   // 0..6 weekly on that day, 7 daily, more: off
    BCD,       // hour and minute, packed BCD
    Textende,  // a relay: on when its text area's 0x03 stands behind the first cell
    Liste,     // a recipient list
};

// How a value is written as text (`gsmbv show`, setting by key).
enum class Wertart {
    Text,        // as typed; "" empty
    Zahl,        // a decimal number; "" empty or switched off
    Aktiv,       // "aktiv" / "aus"
    JaNein,      // "ja" / "nein"
    Auswahl,     // one of `wahl`, or its stable code (JSON: "<key>_code")
    Uhrzeit,     // "hh:mm"; "" while the check call is off
    Empfaenger,  // the recipients, one entry each ("GSM 0664...")
};

// The editor rule that stores a value: the model's operation of that name.
enum class Regel {
    Validate,        // Validate(feld, text, ...): text, number, unit and analog fields
    Chk_Oeffner,     // index: the line 0..7
    Chk_Gutmeldung,  // index: the source 0..8
    Chk_Relaisbest,  // index: the relay 1, 2
    Chk_Quittierung,
    Slider_Quit,
    Chk_Konto,
    Slider_Guthaben,
    Netzbetreiber,   // OPT_A1, OPT_TM, OPT_Andere
    Kontrollruf,     // CHK_Kontrollruf, OPT_Tag, OPT_Woche
    Combo_Tag,
    UD_Zeit,         // UD_Stunde, UD_Minute
    Nummern,         // the recipients editor's store (index: the page)
};

struct Einstellung {
    QString schluessel;    // "lines[2].text"
    QString beschriftung;  // "Meldelinie 3 Meldungstext": `gsmbv show`, `gsmbv diff`
    QString kurz;          // "Meldungstext": the row within its group on the sheet
    Reiter reiter = Reiter::Allgemein;
    QString gruppe;        // the group box: "Meldelinie 3"
    Bereich zellen{-1, 0, 0};
    Kodierung kodierung = Kodierung::Keine;
    Wertart art = Wertart::Text;
    Regel regel = Regel::Validate;
    int index = 0;
    int marker = -1;       // the change marker Aenderung(i) its rule shows
    Feld feld = Feld::Anlagenbezeichnung;  // Regel::Validate
    Feldart zeichen = Feldart::Freitext;   // Regel::Validate: the characters it takes
    int min = 0;           // Zahl: the range; Validate: `max` is the most characters
    int max = 0;
    QStringList wahl;      // Auswahl: the texts, in the order of their values
    QStringList codes;     // Auswahl: the same as stable codes ("daily")

    // Every setting, in the order of the window's tabs and groups.
    static const QList<Einstellung>& alle();
    // The setting of a key, or of a field; null when there is none.
    static const Einstellung* finden(QStringView schluessel);
    static const Einstellung* finden(Feld f);

    // The value as the window shows it ("aktiv", "Mittwoch", "10:30"); empty
    // for a recipient list.
    QString wert(const Editorwerte& w) const;
    // A choice's code for its text, null for an empty or unknown text.
    QString code(const QString& wert) const;
};
