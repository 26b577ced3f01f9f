#pragma once
// The checks of the analog input's four value fields, as pure functions: the
// value range (the values shown at 4 mA and at 20 mA) and the two alarm
// thresholds inside it. The editor model's Validate carries out the decision.
#include "modell/abweisungsgrund.h"

#include <QString>
#include <optional>

enum class Analogfeld { Messbereich4, Messbereich20, Grenzwertmin, Grenzwertmax };

// The texts of the four fields as they stand.
struct Analogwerte {
    QString messbereich4;
    QString messbereich20;
    QString grenzwertmin;
    QString grenzwertmax;

    const QString& text(Analogfeld f) const;
};

// The number a field holds: its leading decimal digits (leading blanks
// skipped); an empty text is 0.
double analogZahl(const QString& text);

// What leaving a field does.
struct Analogentscheid {
    bool abgelehnt = false;            // beep, the focus stays, nothing stored
    bool speichern = false;            // write the two cells
    std::optional<int> wert;           // nothing: empty field, stored as 0xFF 0xFF
    bool vermerken = false;            // flag page 11, show the analog marker
    bool grenzwerteNeuPruefen = false; // range changed: check both thresholds again
    Abweisung grund;                   // why a value is refused
    bool operator==(const Analogentscheid&) const = default;
};

// The check-and-store decision for one field. `feldgeaendert`: the field was
// typed in since it got the focus.
Analogentscheid analogPruefen(Analogfeld feld, const Analogwerte& werte, bool feldgeaendert);

