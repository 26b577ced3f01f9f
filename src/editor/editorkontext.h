#pragma once
// What every part of the editor works on: the one image, its page flags, the
// filling gate (Einlesen), the change markers Aenderung(0..22) and the
// form-wide Feldgeaendert. The main window owns one and hands it to its tabs.
#include "image/konfigspeicher.h"

#include <QObject>
#include <QString>
#include <array>

class QLabel;
class QWidget;

class Editorkontext : public QObject {
    Q_OBJECT
public:
    Editorkontext(Konfigspeicher& speicher, Seitenaenderung& seiten, QObject* parent = nullptr);

    Konfigspeicher& speicher;
    Seitenaenderung& seiten;

    // The program fills the editor (at start-up, and from the start of a
    // configuration read to its end): the handlers record no change and take
    // no operator defaults. Set by the main window.
    bool Einlesen = false;

    // True from the first key pressed in the focused field until the next
    // field receives the focus.
    bool Feldgeaendert = false;

    // While true the window sets its controls by program (showing values,
    // emptying the editor): no handler stores or records anything.
    bool still = false;

    // Shows marker `marker` and flags `seite`, whatever the session state.
    void markieren(int marker, int seite);
    // The same, but only while Einlesen is False: what the handlers call.
    void vermerken(int marker, int seite);
    // Hides every marker.
    void markerVerbergen();
    void markerZeigen();
    bool markerSichtbar(int marker) const;

    // Creates the red "*" label of marker `i` (hidden) for a tab to place.
    QLabel* markerErzeugen(int i, QWidget* parent);
    QLabel* marker(int i) const { return m_marker[std::size_t(i)]; }

    // The status bar's hint panel.
    void hinweisSetzen(const QString& text) { emit hinweis(text); }

signals:
    void hinweis(const QString& text);

private:
    std::array<QLabel*, kMarker> m_marker{};
};

// Sets `still` for its lifetime (restoring the previous state).
class Stille {
public:
    explicit Stille(Editorkontext& k) : m_k(k), m_vorher(k.still) { k.still = true; }
    ~Stille() { m_k.still = m_vorher; }
    Stille(const Stille&) = delete;
    Stille& operator=(const Stille&) = delete;

private:
    Editorkontext& m_k;
    bool m_vorher;
};
