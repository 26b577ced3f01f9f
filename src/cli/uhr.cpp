// gsmbv clock: the device clock as read, and with --set set to the PC's
// date and time.
#include "cli/anschluss.h"
#include "cli/auftrag.h"
#include "cli/konsole.h"
#include "clock/uhr.h"

#include <QDateTime>

namespace cli {
namespace {

class Uhr final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        if (!m_t.anschluss.verbinden())
            return;
        m_t.anschluss.verbindung().uhrLesen(
            [this](const QByteArray& antwort) {
                const auto text = ::uhr::boraZeitText(antwort);
                if (!text)
                    return false;
                m_uhrzeit = *text;
                return true;
            },
            m_t.anschluss.bericht(Auswirkung::Keine, [this] { gelesen(); }));
    }

private:
    void gelesen()
    {
        m_t.konsole.abschluss({});
        if (!m_t.konsole.ergebnis(m_uhrzeit.toUtf8() + '\n'))
            return ende(Ausgabe);
        if (!m_t.aufruf.stellen)
            return ende(Erfolg);
        stellen();
    }

    // "Übernehmen": a connection of its own. The five bytes come from one
    // reading of the PC clock, taken when the first of them is sent. The
    // setting leaves the "s" command with ESC and closes the port.
    void stellen()
    {
        if (!m_t.anschluss.portOeffnen())
            return;
        m_t.anschluss.verbindung().uhrSetzen(
            [this](int i) -> std::uint8_t {
                if (m_stellbytes.isEmpty()) {
                    m_stellzeit = QDateTime::currentDateTime();
                    m_stellbytes = ::uhr::stellBytes(m_stellzeit);
                }
                return std::uint8_t(m_stellbytes.at(i));
            },
            m_t.anschluss.bericht(Auswirkung::Keine, [this] {
                m_t.konsole.abschluss({});
                ende(m_t.konsole.ergebnis(::uhr::pcZeitText(m_stellzeit).toUtf8() + '\n') ? Erfolg : Ausgabe);
            }));
    }

    QString m_uhrzeit;        // the device clock as read
    QDateTime m_stellzeit;    // the PC time the clock is set to
    QByteArray m_stellbytes;  // its five bytes
};

} // namespace

std::unique_ptr<Auftrag> auftragClock(const Teile& t)
{
    return std::make_unique<Uhr>(t);
}

} // namespace cli
