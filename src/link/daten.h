#pragma once
// The progress window `Daten` ("Datenübertragung von/zu Boravilon") as state:
// the status text `Label1`, the bar `ProgressBar1` (minimum 0) and the
// countdown `Timer1`, which lowers the bar by one every 500 ms, never below 1.
// It shows what the running operation tells it. When the user closes it, the
// signal `geschlossen` asks the operation to end; the operation's end hides it.
//
// How the window is drawn is a DatenAnsicht: a small tool window in the
// program, a text bar on standard error in the command-line tool, nothing at
// all in tests. There is at most one window, created when shown and removed
// when closed.
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class Daten;

class DatenAnsicht {
public:
    virtual ~DatenAnsicht() = default;
    // The window appears. A user's close goes back through d.schliessen().
    virtual void zeigen(Daten& d) = 0;
    // Text, maximum or value changed while shown.
    virtual void aktualisieren(const Daten& d) = 0;
    // The window disappears (never calls back).
    virtual void verbergen() = 0;
};

class Daten : public QObject {
    Q_OBJECT
public:
    explicit Daten(QObject* parent = nullptr);
    ~Daten() override;

    static QString titel() { return QStringLiteral("Datenübertragung von/zu Boravilon"); }
    // Label1 while the connection is being opened (the countdown runs).
    static QString textVerbindungsaufbau() { return QStringLiteral("Verbindungsaufbau ..."); }

    void setAnsicht(std::unique_ptr<DatenAnsicht> ansicht);
    DatenAnsicht* ansicht() const { return m_ansicht.get(); }

    // Shows the window (once; a second call leaves it as it is).
    void zeigen();
    bool sichtbar() const { return m_sichtbar; }

    // Label1
    void setText(const QString& text);
    const QString& text() const { return m_text; }
    // ProgressBar1
    void setMaximum(int maximum);
    int maximum() const { return m_maximum; }
    void setWert(int wert);
    int wert() const { return m_wert; }
    // Timer1: the countdown, 500 ms, stopped until started.
    QTimer& Timer1() { return m_timer; }

    // The program hides the window: Timer1 stopped, the window removed if shown.
    void verbergen();
    // The user closes the window (its close button): hidden as by verbergen(),
    // then `geschlossen` asks the running operation to end.
    void schliessen();

signals:
    void geschlossen();

private:
    void ticken();
    void zeichnen();

    std::unique_ptr<DatenAnsicht> m_ansicht;
    QTimer m_timer;
    QString m_text;
    int m_maximum = 100;
    int m_wert = 0;
    bool m_sichtbar = false;
    bool m_schliessend = false;
};
