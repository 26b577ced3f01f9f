#pragma once
// The one mechanism behind every input field of the editor:
//  - typed keys are filtered on KeyPress by the field's character and length
//    rules (a refused key is swallowed with its beeps);
//  - pasted (keyboard, context menu, middle button), dropped and composed
//    text goes through the same rules, refused characters dropped with one beep;
//  - the field's check-and-store step runs when the focus is about to leave
//    it; when the check refuses, the focus stays (or is put back) in the field
//    and a click that would have left it is not carried out;
//  - entering a field clears Feldgeaendert and shows its hint in the status
//    bar, leaving it clears the hint;
//  - a text set from outside (an assistive technology through the
//    accessibility interface) goes through the same rules and counts as typed;
//  - a field the focus reaches without the user (a tab page shown, the window
//    activated, the focus set by the program) is not entered by the user: left
//    before a key or a mouse button is pressed in it, it is not checked, so
//    that clicking through the tabs changes nothing. Focus by the mouse, the
//    Tab key or a shortcut enters a field;
//  - the keys of undo and redo (Ctrl+Z, Ctrl+Y and the platform's) are the
//    field's own while it has typing to take back or do again, else they
//    reach the window's commands (the editor's history).
// A menu or toolbar command that carries the editor's values takes pending
// typing over with `uebernehmen()`; one that replaces the editor's contents
// abandons the field with `verwerfen()`.
#include <QObject>
#include <QPointer>
#include <QString>

class Editorkontext;
class Eingabefeld;
class QWidget;

class Feldwaechter : public QObject {
    Q_OBJECT
public:
    Feldwaechter(Editorkontext& kontext, QObject* parent = nullptr);

    void anmelden(Eingabefeld* feld);

    // Runs the check-and-store step of the field being edited, if any. False
    // when it refuses (the focus stays in the field).
    bool uebernehmen();

    // The editor's contents are being replaced (device read, file open): the
    // field being edited is abandoned with what was typed in it; it is not
    // checked when the focus leaves it, unless the user types in it again.
    void verwerfen();

    // The field the user is editing (it has or last had the focus in its window).
    Eingabefeld* aktuellesFeld() const;

    // Inserts text at the cursor of `feld` under its rules.
    void einfuegen(Eingabefeld* feld, const QString& text);
    void zwischenablageEinfuegen(Eingabefeld* feld);

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void fokusGewechselt(QWidget* alt, QWidget* neu);
    bool verlassen(Eingabefeld* feld);
    void zurueck(Eingabefeld* feld);
    void rueckkehrAbschliessen();
    void betreten(Eingabefeld* feld);
    bool pruefenNoetig(const Eingabefeld* feld) const;
    bool tasteFiltern(Eingabefeld* feld, class QKeyEvent* e);
    enum class Verlaufstaste { Keine, Rueckgaengig, Wiederholen };
    static Verlaufstaste verlaufstaste(const class QKeyEvent* e);
    bool klickPruefen(QWidget* ziel);
    bool mausGedrueckt(QObject* obj, class QMouseEvent* e);
    void vonAussen(Eingabefeld* feld);

    Editorkontext& m_k;
    QPointer<Eingabefeld> m_feld;        // the field being edited
    QPointer<QWidget> m_abgewiesen;      // the focus was refused to it just now
    QPointer<Eingabefeld> m_geprueft;    // checked already for its current text
    QString m_geprueftText;
    bool m_zuruecksetzen = false;        // putting the focus back: ignore the change
    bool m_rueckkehr = false;            // a refused field is brought back into view
    bool m_vomBenutzer = false;          // the user entered m_feld or pressed a key or button in it
    bool m_eigen = false;                // the watcher itself changes a field's text
    QPointer<Eingabefeld> m_fremd;       // its text was set from outside, not yet taken
    Qt::FocusReason m_fokusGrund = Qt::OtherFocusReason;  // of the last focus a field received
};
