// The editor model's history: every committed change as one step that can be
// taken back and done again, the whole editor state at a time.
#include "modell/editormodell.h"

bool Editormodell::festhalten()
{
    if (m_fuellen)
        return false;
    Stand jetzt = stand();
    if (jetzt == m_festgehalten)
        return false;
    m_zurueck.push_back(std::move(m_festgehalten));
    if (m_zurueck.size() > std::size_t(kVerlauf))
        m_zurueck.pop_front();
    m_festgehalten = std::move(jetzt);
    m_vor.clear();
    return true;
}

// One step taken back or done again: the state shown goes onto the other
// list, and the last state of `von` is shown.
void Editormodell::umschalten(std::deque<Stand>& von, std::deque<Stand>& nach)
{
    nach.push_back(std::move(m_festgehalten));
    const Stand& s = von.back();
    m_speicher = s.speicher;
    m_seiten = s.seiten;
    m_marker = s.marker;
    m_werte = s.werte;
    m_festgehalten = s;
    von.pop_back();
}

bool Editormodell::rueckgaengig()
{
    if (m_fuellen)
        return false;
    festhalten();
    if (m_zurueck.empty())
        return false;
    umschalten(m_zurueck, m_vor);
    return true;
}

bool Editormodell::wiederholen()
{
    // A change not committed yet would be lost by the redo: it is a new
    // step, which ends what can be redone.
    if (m_fuellen || m_vor.empty() || festhalten())
        return false;
    umschalten(m_vor, m_zurueck);
    return true;
}

void Editormodell::verlaufBeginnen()
{
    m_zurueck.clear();
    m_vor.clear();
    m_festgehalten = stand();
}
