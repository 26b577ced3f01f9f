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
        const auto wert = [](const std::optional<QString>& w) {
            if (!w)
                return QStringLiteral("(nicht vorhanden)");
            return w->isEmpty() ? QStringLiteral("(leer)") : blatt::lesbar(*w);
        };
        QByteArray text;
        const QList<blatt::Unterschied> u = blatt::unterschiede(*a, *b);
        for (const blatt::Unterschied& x : u)
            text += QStringLiteral("%1 (%2)\n< %3\n> %4\n")
                        .arg(x.beschriftung, x.schluessel, wert(x.a), wert(x.b))
                        .toUtf8();
        if (!m_t.konsole.ergebnis(text))
            return ende(Ausgabe);
        ende(u.isEmpty() ? Erfolg : Verschieden);
    }

private:
    // The settings of a file; none when it cannot be read (said, and the run has ended).
    std::optional<QList<blatt::Abschnitt>> einstellungen(const QString& pfad)
    {
        const Dateiladung datei = dateiLaden(pfad, false);
        if (!datei.fehler.isEmpty()) {
            ende(m_t.konsole.dateifehler(pfad, datei.fehler));
            return std::nullopt;
        }
        return blatt::einstellungen(datei.inhalt.image, datei.inhalt.werte);
    }
};

} // namespace

std::unique_ptr<Auftrag> auftragDiff(const Teile& t)
{
    return std::make_unique<Vergleichen>(t);
}

} // namespace cli
