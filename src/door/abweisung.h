#pragma once
// A refusal: the program says no to a typed key, a pasted text, a value the
// focus cannot leave, a recipient list that does not fit, or a device command
// while another one runs. The beep alone is often not heard (the X bell is
// mostly switched off, Wayland has none), so a refusal also names its reason:
// `abweisen` beeps through the Door as always and announces the reason and
// the field it concerns; the main window shows the reason in its status bar
// for a few seconds and frames the field briefly. Parts of the program without
// widgets (the device link) refuse without a field. The reason itself, a
// plain value the pure rules return, is modell/abweisungsgrund.h.
#include "modell/abweisungsgrund.h"

#include <QObject>
#include <QString>

class QWidget;

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
