#pragma once
// One page of the editor. A tab's builder (editor/tabs.h) makes its controls,
// wires each control's handler to the model's operation and registers how
// each control shows the model's values: a text field by its model name, a
// check box by the value it stands for, anything else as a display step.
// anzeigen() then runs all of them with the controls' signals held back.
#include "modell/editormodell.h"

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class Editorkontext;
class Eingabefeld;
class Feldwaechter;
class QCheckBox;
enum class Feldart;

class Tab : public QWidget {
    Q_OBJECT
public:
    using Zustand = std::function<bool(const Editorwerte&)>;
    using Schritt = std::function<void(const Editorwerte&)>;

    Tab(const QString& name, Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

    // Sets every control from the values, no handler running; the enabled
    // states follow from the values.
    void anzeigen(const Editorwerte& w);

    Editorkontext& kontext() const { return m_k; }

    // A text, number, unit or analog field of the model: its check-and-store
    // step is the model's Validate, leaving it is watched, and it shows the
    // model's text of `f`.
    Eingabefeld* feld(const QString& name, Feld f, Feldart art, int grenze, QWidget* parent);

    // A check box that shows `an` of the values; the user's click runs
    // `operation` (the model's handler) with the new state.
    QCheckBox* kaestchen(const QString& name, const QString& text, QWidget* parent, Zustand an,
                         std::function<Folge(bool)> operation);

    // A further display step, run after the fields and check boxes; the
    // signals of `stumm` are held back while it runs.
    void beimAnzeigen(Schritt schritt, std::initializer_list<QObject*> stumm = {});

    // A handler's end: the model's answer followed (markers shown, refusals
    // announced), then what the model holds shown.
    void ausfuehren(const Folge& folge);

signals:
    // The "Nummern" button of alarm source i was clicked (Meldelinien: 0..8,
    // Analogeingänge: 0).
    void nummernGeklickt(int i);

private:
    Editorkontext& m_k;
    Feldwaechter& m_waechter;
    std::vector<std::pair<Eingabefeld*, Feld>> m_felder;
    std::vector<std::pair<QCheckBox*, Zustand>> m_kaestchen;
    std::vector<Schritt> m_schritte;
    std::vector<QObject*> m_stumm;
};
