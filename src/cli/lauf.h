#pragma once
// The end of one run of gsmbv, shared by its command and the pieces the
// command calls: reached once, with the exit status; and whether Ctrl+C
// (SIGINT, SIGTERM or SIGHUP) came.
#include <functional>
#include <utility>

namespace cli {

class Lauf {
public:
    // `abschluss` runs at the end, once, with the status.
    explicit Lauf(std::function<void(int status)> abschluss) : m_abschluss(std::move(abschluss)) {}

    // Ends the run; every call after the first changes nothing.
    void beenden(int status)
    {
        if (m_beendet)
            return;
        m_beendet = true;
        m_abschluss(status);
    }
    bool beendet() const { return m_beendet; }

    // Ctrl+C came; returns how often it has come in this run.
    int unterbrechen() { return ++m_unterbrechungen; }
    bool unterbrochen() const { return m_unterbrechungen > 0; }

private:
    std::function<void(int)> m_abschluss;
    bool m_beendet = false;
    int m_unterbrechungen = 0;
};

} // namespace cli
