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

void Editormodell::herstellen(const Stand& s)
{
    m_speicher = s.speicher;
    m_seiten = s.seiten;
    m_marker = s.marker;
    m_werte = s.werte;
    m_festgehalten = s;
}

bool Editormodell::rueckgaengig()
{
    if (m_fuellen)
        return false;
    festhalten();
    if (m_zurueck.empty())
        return false;
    m_vor.push_back(std::move(m_festgehalten));
    herstellen(m_zurueck.back());
    m_zurueck.pop_back();
    return true;
}

bool Editormodell::wiederholen()
{
    if (m_fuellen || m_vor.empty())
        return false;
    // A change not committed yet would be lost by the redo: it is a new
    // step, which ends what can be redone.
    if (festhalten())
        return false;
    m_zurueck.push_back(std::move(m_festgehalten));
    herstellen(m_vor.back());
    m_vor.pop_back();
    return true;
}

void Editormodell::verlaufBeginnen()
{
    m_zurueck.clear();
    m_vor.clear();
    m_festgehalten = stand();
}
