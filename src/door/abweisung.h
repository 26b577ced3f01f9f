#pragma once
// A refusal: the program says no to a typed key, a pasted text, a value the
// focus cannot leave, a recipient list that does not fit, or a device command
// while another one runs. The beep alone is often not heard (the X bell is
// mostly switched off, Wayland has none), so a refusal also names its reason:
// `abweisen` beeps through the Door as always and announces the reason and
// the field it concerns; the main window shows the reason in its status bar
// for a few seconds and frames the field briefly. Parts of the program without
// widgets (the device link) refuse without a field.
#include <QObject>
#include <QString>

class QWidget;

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
    };

    Art art = Art::Keine;
    int a = 0;
    int b = 0;

    explicit operator bool() const { return art != Art::Keine; }
    bool operator==(const Abweisung&) const = default;

    // The reason as the status bar shows it.
    QString text() const;
};

// Beeps `beeps` times through the Door and announces the refusal (a refusal of
// kind Keine only beeps).
void abweisen(const Abweisung& a, QWidget* feld = nullptr, int beeps = 1);

// Where the program's refusals are announced.
class Abweisungen : public QObject {
    Q_OBJECT
public:
    static Abweisungen& melder();

signals:
    // `feld`: the field the refusal concerns, or null.
    void abgewiesen(const QString& grund, QWidget* feld);
};
