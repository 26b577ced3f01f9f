#pragma once
// The progress window `Daten` of the device operations: a small fixed-size
// tool window with the caption "Datenübertragung von/zu Boravilon", the
// status text `Label1`, the bar `ProgressBar1` and the title bar's close
// button, which the user may press at any time (the operation under way is
// then asked to end). The hourglass pointer shows over it while it is open.
//
// It shows what its link reports (Verbindung::fortschritt): it appears when
// an operation begins, with "Verbindungsaufbau ..." and the countdown
// `Timer1`, which lowers the bar from 80 by one every 500 ms, never below 1;
// it follows the transfer's captions and counts and goes when the progress
// is over. There is at most one window, created when shown and removed when
// it goes.
#include "link/verbindung.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;
class DatenWidget;

class DatenFenster : public QObject {
    Q_OBJECT
public:
    // `eltern`: the main window the tool window stays on top of (may be null).
    DatenFenster(Verbindung& verbindung, QWidget* eltern = nullptr);
    ~DatenFenster() override;

    static QString titel() { return QStringLiteral("Datenübertragung von/zu Boravilon"); }

    void anzeigen(const Fortschrittsstand& s);

    // What it shows: Label1, ProgressBar1's maximum and value.
    bool sichtbar() const;
    const QString& text() const { return m_text; }
    int maximum() const { return m_maximum; }
    int wert() const { return m_wert; }
    // Timer1: the countdown, 500 ms.
    QTimer& Timer1() { return m_timer; }
    // The window while shown (objectName "Daten"), else null.
    QWidget* fenster() const;

signals:
    // The user closed the window.
    void geschlossen();

private:
    void zeichnen();
    void verbergen();
    void vomBenutzerGeschlossen();

    QPointer<QWidget> m_eltern;
    QPointer<DatenWidget> m_fenster;
    QTimer m_timer;
    QString m_text;
    int m_maximum = 100;
    int m_wert = 0;
};
