#pragma once
// The progress of a device operation for the command line: the status text
// and a bar of characters on a stream (standard error). On a terminal the
// line is redrawn in place, at most about ten times a second and only when
// it changes, fitted to the terminal's width (it never wraps); while
// connecting it counts down the seconds left of the wait. Otherwise every
// new status text is written on a line of its own.
//
// When the progress is over the last line stays open, so that the tool can
// show it complete after a successful transfer (abschliessen) or end it
// before a message (zeileBeenden).
#include "link/vorgangsbericht.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdio>

class Fortschrittszeile {
public:
    explicit Fortschrittszeile(std::FILE* strom = stderr);
    ~Fortschrittszeile();

    // Whether the stream is a terminal (decided by the constructor; settable for tests).
    void setTerminal(bool terminal) { m_terminal = terminal; }
    // Columns of the terminal; 0 (the default) asks the terminal, then COLUMNS, else 80.
    void setBreite(int spalten) { m_breite = spalten; }
    // The time limit of the wait for the device: the countdown while connecting.
    void setFrist(std::chrono::milliseconds frist) { m_frist = frist; }
    // The least time between two draws (100 ms).
    void setAbstand(std::chrono::milliseconds abstand) { m_abstand = abstand; }
    // The status text while a configuration read's data come (empty: "lese
    // Konfigurationsdaten ..."), for a read with another purpose.
    void setLesetext(const QString& text) { m_lesetext = text; }

    // Shows what the link reports (Verbindung::fortschritt).
    void anzeigen(const Fortschrittsstand& s);
    // The progress is over: the last state drawn, the line left open.
    void verbergen();

    // After a successful operation: the bar drawn complete ("3328/3328"; a
    // countdown line is wiped instead), then `text` on a line of its own
    // (nothing when empty).
    void abschliessen(const QString& text);
    // Ends a line still open, before anything else is written to the terminal.
    void zeileBeenden();

    // The bar as drawn in `spalten` columns, e.g.
    // "lese Konfigurationsdaten ... [#######.............] 1200/3328".
    static QString zeile(const QString& text, int maximum, int wert, int spalten);
    // The line while connecting: "Verbindungsaufbau ... noch 38 s".
    static QString countdown(const QString& text, int sekunden, int spalten);

private:
    int spalten() const;
    QString aktuelleZeile() const;
    void aktualisieren();
    void anfordern();
    void zeichnen(const QString& z);
    void schreiben(const QByteArray& b);

    std::FILE* m_strom;
    bool m_terminal = false;
    int m_breite = 0;
    std::chrono::milliseconds m_frist{40000};
    std::chrono::milliseconds m_abstand{100};
    QString m_lesetext;

    bool m_sichtbar = false;
    bool m_verbindet = false;   // the status text is the connection's: the countdown runs
    QString m_text;
    int m_maximum = 100;
    int m_wert = 0;
    QElapsedTimer m_aufbau;     // since "Verbindungsaufbau ..." was shown
    QElapsedTimer m_gezeichnet; // since the last draw
    QTimer m_takt;              // the next draw that is due
    QString m_letzte;           // the line on the terminal ("" : none open)
    QString m_letzterText;      // not a terminal: the last text written
};
