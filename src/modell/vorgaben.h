#pragma once
// Settings by key, many at once: the values a template, a value file or the
// command line gives for a configuration, applied through the editor model's
// setting by key (Editormodell::setzen) - so through every rule of the window
// - in one defined order, and all of them or none.
//
// The order is the window's, top to bottom (the table of settings): a switch
// before what it enables (an acknowledgement before its minutes, the balance
// monitoring before its numbers, the check call before its day and time, a
// relay's confirmation before its text), the operator before the balance
// monitoring's defaults and before the recipient lists it encodes. The analog
// range and thresholds go as one, the way a user would enter them: in the
// window's order, the thresholds in the order in which they do not refuse each
// other; where one end of the range stands in the way of the other (a range
// moved past its old place), the range is emptied, the thresholds entered, and
// the range entered again (4 mA, then 20 mA), which checks both thresholds
// against it and against each other.
//
// Also the values of a JSON document as `gsmbv show --json` writes it, nested
// by the parts of the keys or with whole keys ("general.operator_code").
#include "image/empfaenger.h"
#include "modell/editormodell.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One value for a setting.
struct Vorgabe {
    QString schluessel;  // the key as given: "lines[2].text", "general.operator_code"
    QString text;        // the value as `gsmbv show` prints it, or a code
    std::optional<QList<empfaenger::Eintrag>> liste;  // a recipient list given as entries
};

// A value that was refused: the setting's key and the reason in the window's words.
struct Ablehnung {
    QString schluessel;
    QString grund;
    // "analog.value_4ma: Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)"
    QString text() const { return schluessel + QStringLiteral(": ") + grund; }
    bool operator==(const Ablehnung&) const = default;
};

// Applies the values in the order above; a setting given more than once takes
// its last value. Every value is tried, and every refusal returned (a refused
// value also counts where it made another refuse: an analog range that leaves
// a threshold outside it). With a refusal the model stays exactly as it was.
QList<Ablehnung> vorgabenAnwenden(Editormodell& m, const QList<Vorgabe>& vorgaben);

// The values of a JSON object. Switches are true/false, numbers numbers, null
// an empty value; a recipient list an array of entries (empfaengerliste.h).
// Unknown keys, values of the wrong type and a choice whose text and code
// name different entries are refused.
struct Jsonvorgaben {
    QList<Vorgabe> werte;
    QList<Ablehnung> fehler;  // also the document's own faults (key empty)
};
Jsonvorgaben vorgabenAusJson(const QByteArray& json);
