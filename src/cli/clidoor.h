#pragma once
// The door of the command-line tool: a message box becomes its text on
// standard error, one line, and is remembered in order. Beeps are dropped;
// there are no dialogs and nothing is started. Installed for its lifetime.
#include "door/door.h"

#include <QStringList>
#include <cstdio>
#include <functional>

class CliDoor : public Door {
public:
    explicit CliDoor(std::FILE* fehler = stderr);
    ~CliDoor() override;

    Antwort meldung(const QString& text, Icon icon, Knoepfe knoepfe, const QString& titel) override;
    void beep() override {}
    QString dateiSpeichern(const Dateidialog&) override { return {}; }
    QString dateiOeffnen(const Dateidialog&) override { return {}; }
    bool starten(const QString&, const QStringList&) override { return false; }
    bool anzeigen(const QString&) override { return false; }

    // The texts shown so far, in order.
    const QStringList& meldungen() const { return m_meldungen; }
    // Remembered but not printed from now on (after an interrupt the only
    // thing to say is that the command was aborted).
    void stumm() { m_stumm = true; }
    // `f` runs before a text is printed (the tool ends a progress bar's line
    // there); an empty function: nothing runs.
    void setVorMeldung(std::function<void()> f) { m_vorMeldung = std::move(f); }

private:
    std::function<void()> m_vorMeldung;
    std::FILE* m_fehler;
    QStringList m_meldungen;
    bool m_stumm = false;
};
