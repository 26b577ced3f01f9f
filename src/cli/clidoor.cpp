#include "cli/clidoor.h"

#include "systemfehler/dateiname.h"

CliDoor::CliDoor(std::FILE* fehler) : m_fehler(fehler)
{
    Door::setzen(this);
}

CliDoor::~CliDoor()
{
    Door::setzen(nullptr);
}

Door::Antwort CliDoor::meldung(const QString& text, Icon, Knoepfe knoepfe, const QString&)
{
    m_meldungen.append(text);
    if (!m_stumm && m_fehler) {
        if (m_vorMeldung)
            m_vorMeldung();
        const QByteArray zeile = dateiname::bytes(text) + '\n';
        std::fwrite(zeile.constData(), 1, size_t(zeile.size()), m_fehler);
        std::fflush(m_fehler);
    }
    // Nobody can answer: a question is declined, a box is acknowledged.
    switch (knoepfe) {
    case Knoepfe::JaNein: return Antwort::Nein;
    case Knoepfe::OkAbbrechen: return Antwort::Abbrechen;
    case Knoepfe::Ok: break;
    }
    return Antwort::Ok;
}
