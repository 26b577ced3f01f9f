// gsmbv log: the device's event memory as the event log, on standard output
// or (--output) as a file in the format of LOG.TXT.
#include "cli/anschluss.h"
#include "cli/auftrag.h"
#include "cli/ausgabedatei.h"
#include "cli/konsole.h"
#include "eventlog/ereignisspeicher.h"

namespace cli {
namespace {

QString eintraege(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 Eintrag") : QStringLiteral("%1 Einträge").arg(n);
}

class Protokoll final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        const QString& pfad = m_t.aufruf.ausgabe;
        if (!pfad.isEmpty() && !m_t.datei.vorbereiten(pfad))
            return ende(m_t.konsole.ausgabefehler(pfad, m_t.datei.fehler()));
        if (!m_t.anschluss.verbinden())
            return;
        m_t.anschluss.verbindung().ereignisspeicherLesen(
            [this](const QByteArray& speicher) {
                m_ereignisse = speicher;
                return true;
            },
            m_t.anschluss.bericht(Auswirkung::Keine, [this] { gelesen(); }));
    }

private:
    void gelesen()
    {
        m_t.konsole.abschluss({});
        const QStringList zeilen = ereignisZeilen(m_ereignisse);
        const QString gelesen = QStringLiteral("Ereignisspeicher gelesen: %1").arg(eintraege(zeilen.size()));
        const QString& pfad = m_t.aufruf.ausgabe;
        if (pfad.isEmpty()) {
            m_t.konsole.abschluss(gelesen);
            QByteArray text;
            for (const QString& z : zeilen)
                text += z.toUtf8() + '\n';
            return ende(m_t.konsole.ergebnis(text) ? Erfolg : Ausgabe);
        }
        m_t.datei.schreiben(logDatei(zeilen), [this, gelesen, pfad](bool ok) {
            const bool aus = m_t.datei.standardausgabe();
            const QString ziel = aus ? QStringLiteral("Standardausgabe") : pfad;
            if (!ok)
                return ende(m_t.konsole.ausgabefehler(ziel, m_t.datei.fehler()));
            m_t.konsole.abschluss(aus ? gelesen : gelesen + QStringLiteral(" und in %1 gespeichert").arg(pfad));
            ende(Erfolg);
        });
    }

    QByteArray m_ereignisse;  // the 512 bytes of the event memory
};

} // namespace

std::unique_ptr<Auftrag> auftragLog(const Teile& t)
{
    return std::make_unique<Protokoll>(t);
}

} // namespace cli
