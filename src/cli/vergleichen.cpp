// gsmbv diff: the settings in which two configuration files differ, or
// (with a port) the device's configuration and a file: the device read as
// `read` reads it, kept as a backup, and saved as `read` would save it.
#include "blatt/einstellungen.h"
#include "cfgfile/cfgdatei.h"
#include "cli/anschluss.h"
#include "cli/auftrag.h"
#include "cli/konsole.h"

namespace cli {
namespace {

class Vergleichen final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        if (m_t.aufruf.zweite.isEmpty())
            return geraetLesen();
        const auto a = einstellungen(m_t.aufruf.datei);
        if (!a)
            return;
        if (const auto b = einstellungen(m_t.aufruf.zweite))
            ausgeben(*a, *b);
    }

private:
    // The file first, so that one that cannot be read costs no transfer.
    void geraetLesen()
    {
        const auto datei = einstellungen(m_t.aufruf.datei);
        if (!datei)
            return;
        m_datei = *datei;
        m_t.anschluss.setOhneVerbindung(Uebertragungsfehler);
        if (!m_t.anschluss.verbinden())
            return;
        m_t.anschluss.verbindung().konfigurationLesen(m_t.anschluss.bildDekoder(m_bild),
                                                     m_t.anschluss.bericht(Auswirkung::Keine, [this] {
                                                         m_t.anschluss.sichern(m_bild);
                                                         m_t.konsole.abschluss({});
                                                         ausgeben(cfgLesen(cfgSchreiben(m_bild)), m_datei);
                                                     }),
                                                     [this] { Grundeinstellung(m_bild); });
    }

    void ausgeben(const Dateiergebnis& a, const Dateiergebnis& b)
    {
        const Unterschiede u = unterschiede(a, b);
        if (!m_t.konsole.ergebnis(u.text))
            return ende(Ausgabe);
        ende(u.anzahl == 0 ? Erfolg : Verschieden);
    }

    // A file; none when it cannot be read (said, and the run has ended).
    std::optional<Dateiergebnis> einstellungen(const QString& pfad)
    {
        const Dateiladung datei = dateiLaden(pfad, false);
        if (!datei.fehler.isEmpty()) {
            ende(m_t.konsole.dateifehler(pfad, datei.fehler));
            return std::nullopt;
        }
        return datei.inhalt;
    }

    Dateiergebnis m_datei;  // diff -p: the file
    Konfigspeicher m_bild;  // diff -p: the device read's image
};

} // namespace

Unterschiede unterschiede(const Dateiergebnis& a, const Dateiergebnis& b)
{
    const auto wert = [](const std::optional<QString>& w) {
        if (!w)
            return QStringLiteral("(nicht vorhanden)");
        return w->isEmpty() ? QStringLiteral("(leer)") : blatt::lesbar(*w);
    };
    Unterschiede u;
    const QList<blatt::Unterschied> liste =
        blatt::unterschiede(blatt::einstellungen(a.image, a.werte), blatt::einstellungen(b.image, b.werte));
    for (const blatt::Unterschied& x : liste)
        u.text += QStringLiteral("%1 (%2)\n< %3\n> %4\n").arg(x.beschriftung, x.schluessel, wert(x.a), wert(x.b)).toUtf8();
    u.anzahl = liste.size();
    return u;
}

std::unique_ptr<Auftrag> auftragDiff(const Teile& t)
{
    return std::make_unique<Vergleichen>(t);
}

} // namespace cli
