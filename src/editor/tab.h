#pragma once
// One page of the editor. A tab's builder (editor/tabs.h) makes its controls
// and registers them against the keys of the table of settings
// (modell/einstellung.h): a text field or a check box by its setting's key,
// which gives its model field, kind and limit, the value it shows and the
// model's operation its handler runs; anything else as a display step.
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
struct Einstellung;

class Tab : public QWidget {
    Q_OBJECT
public:
    using Schritt = std::function<void(const Editorwerte&)>;

    Tab(const QString& name, Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

    // Sets every control from the values, no handler running; the enabled
    // states follow from the values.
    void anzeigen(const Editorwerte& w);

    Editorkontext& kontext() const { return m_k; }

    // The text, number, unit or analog field of setting `schluessel`: its
    // check-and-store step is the model's Validate, leaving it is watched, it
    // takes the characters and length of its setting and shows its text.
    Eingabefeld* feld(const QString& name, const QString& schluessel, QWidget* parent);

    // The check box of setting `schluessel`: it shows whether the setting is
    // on; the user's click runs the setting's handler with the new state.
    QCheckBox* kaestchen(const QString& name, const QString& text, const QString& schluessel, QWidget* parent);

    // The setting of a key of the table; the key must be one.
    static const Einstellung& einstellung(const QString& schluessel);

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
    std::vector<std::pair<QCheckBox*, const Einstellung*>> m_kaestchen;
    std::vector<Schritt> m_schritte;
    std::vector<QObject*> m_stumm;
};
