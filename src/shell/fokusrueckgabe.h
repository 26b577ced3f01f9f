#pragma once
// When a dialog, a message box or the progress window of the main window
// closes, the keyboard goes back to the window it came from, and there to the
// control that had the focus. A window manager mostly does that; without one
// (a kiosk, a bare X server) and on some platforms no window is active then,
// and the keyboard reaches nothing until the user clicks.
#include <QObject>

class QWidget;

class Fokusrueckgabe : public QObject {
    Q_OBJECT
public:
    // Watches the windows of `hauptfenster` and their dialogs.
    explicit Fokusrueckgabe(QWidget* hauptfenster);

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QWidget* m_hauptfenster;
};
