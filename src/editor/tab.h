#pragma once
// What the four tabs of the editor share: the editor context they work on,
// their fields known to the context and the field watcher, showing the
// model's values, and the end of every handler.
#include "modell/editormodell.h"

#include <QWidget>

class Editorkontext;
class Eingabefeld;
class Feldwaechter;
enum class Feldart;

class Tab : public QWidget {
    Q_OBJECT
public:
    // Sets every control from the values, no handler running; the enabled
    // states follow from the values.
    virtual void anzeigen(const Editorwerte& w) = 0;

protected:
    Tab(const QString& name, Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

    // A text, number, unit or analog field of the model: its check-and-store
    // step is the model's Validate, and leaving it is watched.
    Eingabefeld* feld(const QString& name, Feld f, Feldart art, int grenze, QWidget* parent);

    // A handler's end: the model's answer followed (markers shown, refusals
    // announced), then what the model holds shown.
    void ausfuehren(const Folge& folge);

    Editorkontext& m_k;

private:
    Feldwaechter& m_waechter;
};
