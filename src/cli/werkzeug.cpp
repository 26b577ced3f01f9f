#include "cli/werkzeug.h"

#include "link/transport.h"

namespace cli {

Werkzeug::Werkzeug(const Aufruf& aufruf, CliDoor& door, std::unique_ptr<Transport> transport, std::FILE* aus,
                   std::FILE* fehler, QObject* parent)
    : QObject(parent),
      m_a(aufruf),
      m_door(door),
      m_lauf([this](int status) { abschliessen(status); }),
      m_konsole(aus, fehler, m_a.umfang),
      m_datei(m_konsole),
      m_anschluss(m_a, m_konsole, m_lauf, std::move(transport))
{
    // A message ends the progress bar's line first, so it stands on a line of its own.
    m_door.setVorMeldung([this] { m_konsole.vorMeldung(); });
}

Werkzeug::~Werkzeug()
{
    m_door.setVorMeldung({});
}

void Werkzeug::starten()
{
    const Teile t{m_a, m_lauf, m_konsole, m_datei, m_anschluss, m_portwurzeln};
    switch (m_a.befehl) {
    case Befehl::Show: m_auftrag = auftragShow(t); break;
    case Befehl::Diff: m_auftrag = auftragDiff(t); break;
    case Befehl::Read: m_auftrag = auftragRead(t); break;
    case Befehl::Write: m_auftrag = auftragWrite(t); break;
    case Befehl::Log: m_auftrag = auftragLog(t); break;
    case Befehl::Clock: m_auftrag = auftragClock(t); break;
    case Befehl::Ports: m_auftrag = auftragPorts(t); break;
    case Befehl::Restore: m_auftrag = auftragRestore(t); break;
    case Befehl::Set: m_auftrag = auftragSet(t); break;
    case Befehl::Serie: m_auftrag = auftragSerie(t); break;
    case Befehl::Keiner: return m_lauf.beenden(FalscheArgumente);
    }
    m_auftrag->starten();
}

void Werkzeug::unterbrechen()
{
    if (m_lauf.beendet())
        return;
    const int mal = m_lauf.unterbrechen();
    if (mal == 1)
        m_door.stumm();
    if (mal > 2)
        return m_lauf.beenden(Abgebrochen);
    if (m_auftrag && m_auftrag->unterbrechen())
        return;
    // A running operation ends through its report, which ends the run (the
    // read back of a write that broke off is one more, and a second Ctrl+C
    // ends it the same way).
    if (m_anschluss.abbrechen())
        return;
    // None runs: a report already on its way says what it meant first; the
    // run ends after it, unless it began the read back.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_lauf.beendet() && !m_anschluss.laeuft())
                m_lauf.beenden(Abgebrochen);
        },
        Qt::QueuedConnection);
}

void Werkzeug::abschliessen(int status)
{
    if (m_lauf.unterbrochen() && status == Abgebrochen)
        m_konsole.abgebrochen();
    m_datei.verwerfen();
    const bool mitschrift = m_anschluss.abschliessen();
    m_konsole.zeileBeenden();
    // Output that was lost makes a success none; a failure keeps its own status.
    if (status == Erfolg && (!mitschrift || !m_konsole.allesGesagt()))
        status = Ausgabe;
    emit beendet(status);
}

} // namespace cli
