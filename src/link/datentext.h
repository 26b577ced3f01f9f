#pragma once
// The progress window for the command line: the status text and a bar of
// characters on a stream (standard error). On a terminal the bar is redrawn in
// place; otherwise every new status text is written on a line of its own.
#include "link/daten.h"

#include <cstdio>

class DatenText : public DatenAnsicht {
public:
    explicit DatenText(std::FILE* strom = stderr);
    // Whether the stream is a terminal (decided by the constructor; settable for tests).
    void setTerminal(bool terminal) { m_terminal = terminal; }

    void zeigen(Daten& d) override;
    void aktualisieren(const Daten& d) override;
    void verbergen() override;

    // The line as drawn for the given state, e.g.
    // "lese Konfigurationsdaten ... [#######.............] 1200/3328".
    static QByteArray zeile(const Daten& d);

private:
    std::FILE* m_strom;
    bool m_terminal = false;
    bool m_offen = false;
    QByteArray m_letzte;
    QString m_letzterText;
};
