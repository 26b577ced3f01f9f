#pragma once
// What every part of the editor's widgets works on: the editor model (image,
// page flags, change markers, shown values and every rule with a byte effect),
// the red "*" labels that show the model's markers, the form-wide
// Feldgeaendert and the fields by their model names. The main window owns one
// and hands it to its tabs.
#include "modell/editormodell.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <map>
#include <utility>

class Eingabefeld;
class QLineEdit;
class QLabel;
class QWidget;

class Editorkontext : public QObject {
    Q_OBJECT
public:
    explicit Editorkontext(Editormodell& modell, QObject* parent = nullptr);

    Editormodell& modell() const { return m_modell; }

    // True from the first key pressed in the focused field until the next
    // field receives the focus.
    bool Feldgeaendert = false;

    // Creates the red "*" label of marker `i` (hidden) for a tab to place.
    QLabel* markerErzeugen(int i, QWidget* parent);
    QLabel* marker(int i) const { return m_marker[std::size_t(i)]; }
    bool markerSichtbar(int marker) const;
    // The labels show the model's markers.
    void markerZeigen();
    // The controls marker `i` stands for: while it shows, their description
    // (what a screen reader says after the name) ends in "geändert".
    void markerGruppe(int i, const QList<QWidget*>& steuerelemente);

    // A text, number, unit or analog field of the model: its check-and-store
    // step becomes the model's Validate with the field's text.
    void feldAnmelden(Feld f, Eingabefeld* e);
    Eingabefeld* feld(Feld f) const;
    // The field holds the text the model shows for it (typing since undone).
    bool zeigtModell(const Eingabefeld* e) const;

    // After an operation of the model: the markers shown, every refusal
    // announced with its field (one beep each), a change taken committed as
    // a step of the history (unless a Schritt is open). Returns whether the
    // value was taken.
    bool folgen(const Folge& w);

    // The changes of several operations as one step of the history (the
    // recipients editor's "Kopieren": the list stored, then copied): the
    // step is committed when the last Schritt ends.
    class Schritt {
    public:
        explicit Schritt(Editorkontext& k) : m_k(k) { ++m_k.m_schritte; }
        ~Schritt()
        {
            if (--m_k.m_schritte == 0)
                m_k.festhalten();
        }
        Schritt(const Schritt&) = delete;
        Schritt& operator=(const Schritt&) = delete;

    private:
        Editorkontext& m_k;
    };

    // The status bar's hint panel.
    void hinweisSetzen(const QString& text) { emit hinweis(text); }

signals:
    void hinweis(const QString& text);
    // A step was committed to the model's history.
    void verlaufGeaendert();

private:
    void festhalten();

    int m_schritte = 0;
    Editormodell& m_modell;
    std::array<QLabel*, kMarker> m_marker{};
    // Per marker its controls with their own description.
    std::array<QList<std::pair<QWidget*, QString>>, kMarker> m_gruppe{};
    std::map<Feld, Eingabefeld*> m_felder;
};

// Shows a field's text when it differs from what the field holds (setting the
// same text again would move the cursor and drop the field's undo steps).
void textZeigen(QLineEdit* feld, const QString& text);
