// gsmbv show: every setting of a configuration file, as lines, as JSON, or
// as the configuration sheet in a PDF.
#include "blatt/blatt.h"
#include "blatt/einstellungen.h"
#include "cli/auftrag.h"
#include "cli/ausgabedatei.h"
#include "cli/konsole.h"
#include "systemfehler/dateiname.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>

namespace cli {
namespace {

class Zeigen final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        const Aufruf& a = m_t.aufruf;
        const Dateiladung datei = dateiLaden(a.datei, a.erzwingen);
        if (!datei.fehler.isEmpty())
            return ende(m_t.konsole.dateifehler(a.datei, datei.fehler));
        anpassungenNennen(m_t.konsole, datei.inhalt);
        const QList<blatt::Abschnitt> einstellungen = blatt::einstellungen(datei.inhalt.image, datei.inhalt.werte);
        if (!a.pdf.isEmpty())
            return blattSchreiben(datei.inhalt, einstellungen);
        QByteArray text;
        if (a.json) {
            text = blatt::json(einstellungen);
        } else {
            for (const QString& zeile : blatt::zeilen(einstellungen))
                text += zeile.toUtf8() + '\n';
        }
        ende(m_t.konsole.ergebnis(text) ? Erfolg : Ausgabe);
    }

private:
    // The sheet goes where --output would go: a file replaced only when it is
    // complete, a device or FIFO as it is, "-" standard output.
    void blattSchreiben(const Dateiergebnis& datei, const QList<blatt::Abschnitt>& einstellungen)
    {
        const QString& pdf = m_t.aufruf.pdf;
        if (!m_t.datei.vorbereiten(pdf))
            return ende(m_t.konsole.ausgabefehler(pdf, m_t.datei.fehler()));
        const QString herkunft = dateiname::lesbar(QFileInfo(m_t.aufruf.datei).absoluteFilePath());
        const blatt::Kopf kopf{datei.werte.anlagenbezeichnung, QDate::currentDate(),
                               QStringLiteral("Datei %1").arg(herkunft)};
        QBuffer puffer;
        puffer.open(QIODevice::WriteOnly);
        if (!blatt::pdf(puffer, kopf, einstellungen))
            return ende(m_t.konsole.ausgabefehler(pdf, QStringLiteral("das Blatt lässt sich nicht zeichnen")));
        m_t.datei.schreiben(puffer.data(), [this, pdf](bool ok) {
            ende(ok ? Erfolg : m_t.konsole.ausgabefehler(pdf, m_t.datei.fehler()));
        });
    }
};

} // namespace

std::unique_ptr<Auftrag> auftragShow(const Teile& t)
{
    return std::make_unique<Zeigen>(t);
}

} // namespace cli
