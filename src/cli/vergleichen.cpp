// gsmbv diff: the settings in which two configuration files differ.
#include "blatt/einstellungen.h"
#include "cli/auftrag.h"
#include "cli/konsole.h"

namespace cli {
namespace {

class Vergleichen final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        const auto a = einstellungen(m_t.aufruf.datei);
        if (!a)
            return;
        const auto b = einstellungen(m_t.aufruf.zweite);
        if (!b)
            return;
        const Unterschiede u = unterschiede(*a, *b);
        if (!m_t.konsole.ergebnis(u.text))
            return ende(Ausgabe);
        ende(u.anzahl == 0 ? Erfolg : Verschieden);
    }

private:
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
