// gsmbv restore: a backup's memory back into the device, every byte of pages
// 0..12, the way gsmbv write writes a configuration file and with its report:
// the device read and kept as a backup first, the write, the read back that
// checks every page. Named: the memory file beside the backup's *.cfg (or that
// file itself). Not named: the newest backup taken before a write of the
// installation the device holds now.
#include "backup/sicherung.h"
#include "cfgfile/dekodieren.h"
#include "cli/auftrag.h"
#include "cli/konsole.h"

namespace cli {
namespace {

// A memory as the write takes it: pages 0..12 byte for byte, all flagged.
Dateiergebnis alsInhalt(const QByteArray& speicher)
{
    Dateiergebnis d;
    d.image = geraetebild(speicher);
    for (int p = 0; p < kGeraeteSeiten; ++p)
        d.flags[std::size_t(p)] = true;
    d.zeilen = kGeraeteSeiten;
    d.vollstaendig = true;
    return d;
}

class Wiederherstellen final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        Schreibquelle quelle;
        quelle.fremdErlaubt = true;
        if (m_t.aufruf.datei.isEmpty()) {
            quelle.waehlen = [this](const Konfigspeicher& geraet) { return waehlen(geraet); };
        } else {
            // Refused before the port is opened: nothing is read or written.
            const sicherung::Speicher s = sicherung::speicherLesen(m_t.aufruf.datei);
            if (!s)
                return ende(m_t.konsole.dateifehler(m_t.aufruf.datei, s.fehler));
            quelle.inhalt = alsInhalt(s.bytes);
        }
        m_schreiben = auftragWrite(m_t, std::move(quelle));
        m_schreiben->starten();
    }

private:
    // The backup for the device as read: the newest taken before a write
    // that put the name it holds now on a device. Named before anything is
    // written; none, or a device without a name: said, nothing written.
    std::optional<Dateiergebnis> waehlen(const Konfigspeicher& geraet)
    {
        if (sicherung::anlagenbezeichnung(geraet).trimmed().isEmpty())
            return nichts(QStringLiteral("das Gerät hat keine Anlagenbezeichnung: die Sicherung angeben "
                                         "(gsmbv restore -p PORT SICHERUNG)"));
        const QString anlage = sicherung::listenname(geraet), ordner = sicherung::ordner();
        const auto e = sicherung::letzteVorSchreiben(sicherung::liste(ordner), anlage);
        if (!e)
            return nichts(QStringLiteral("keine Sicherung vor einem Schreiben von „%1“ in %2").arg(anlage, ordner));
        m_t.konsole.hinweis(QStringLiteral("Sicherung vor dem letzten Schreiben von „%1“: %2").arg(anlage, e->pfad));
        const sicherung::Speicher s = sicherung::speicherLesen(e->pfad);
        if (!s) {
            m_t.konsole.dateifehler(e->pfad, s.fehler);
            return nichts({});
        }
        return alsInhalt(s.bytes);
    }

    // No backup to write: why (when not said yet), and that nothing was written.
    std::optional<Dateiergebnis> nichts(const QString& grund)
    {
        if (!grund.isEmpty())
            m_t.konsole.hinweis(grund);
        m_t.konsole.hinweis(QStringLiteral("Gerät nicht beschrieben"));
        ende(Konfigurationsdatei);
        return std::nullopt;
    }

    std::unique_ptr<Auftrag> m_schreiben;  // the write that carries it out
};

} // namespace

std::unique_ptr<Auftrag> auftragRestore(const Teile& t)
{
    return std::make_unique<Wiederherstellen>(t);
}

} // namespace cli
