// gsmbv read: the device's configuration into a configuration file, and as
// a backup.
#include "cfgfile/cfgdatei.h"
#include "cli/anschluss.h"
#include "cli/auftrag.h"
#include "cli/ausgabedatei.h"
#include "cli/konsole.h"

namespace cli {
namespace {

class Lesen final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        // The file is prepared before the device is asked, so that a file
        // that cannot be written costs no transfer; it replaces the old one
        // only when it is complete.
        const QString& pfad = m_t.aufruf.ausgabe;
        if (!m_t.datei.vorbereiten(pfad))
            return ende(m_t.konsole.dateifehler(pfad, m_t.datei.fehler()));
        if (!m_t.anschluss.verbinden())
            return;
        m_t.anschluss.verbindung().konfigurationLesen(m_t.anschluss.bildDekoder(m_bild),
                                                     m_t.anschluss.bericht(Auswirkung::Keine, [this] { gelesen(); }),
                                                     [this] { Grundeinstellung(m_bild); });
    }

private:
    void gelesen()
    {
        // The backup first: it is kept even when --output cannot be written.
        m_t.anschluss.sichern(m_bild);
        m_t.konsole.abschluss({});
        m_t.datei.schreiben(cfgSchreiben(m_bild), [this](bool ok) { gespeichert(ok); });
    }

    void gespeichert(bool ok)
    {
        const QString& pfad = m_t.aufruf.ausgabe;
        const bool aus = m_t.datei.standardausgabe();
        if (!ok) {
            if (aus)
                return ende(m_t.konsole.ausgabefehler(QStringLiteral("Standardausgabe"), m_t.datei.fehler()));
            return ende(m_t.konsole.dateifehler(pfad, m_t.datei.fehler()));
        }
        m_t.konsole.abschluss(aus ? QStringLiteral("Konfiguration gelesen und auf die Standardausgabe geschrieben")
                                  : QStringLiteral("Konfiguration gelesen und in %1 gespeichert").arg(pfad));
        ende(Erfolg);
    }

    Konfigspeicher m_bild;  // the device read's image
};

} // namespace

std::unique_ptr<Auftrag> auftragRead(const Teile& t)
{
    return std::make_unique<Lesen>(t);
}

} // namespace cli
