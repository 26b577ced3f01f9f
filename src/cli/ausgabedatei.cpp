#include "cli/ausgabedatei.h"

#include "cli/konsole.h"

#include <utility>

namespace cli {

Ausgabedatei::Ausgabedatei(Konsole& konsole) : m_konsole(konsole)
{
    m_leserWarten.setSingleShot(true);
    m_leserWarten.setInterval(100);
    QObject::connect(&m_leserWarten, &QTimer::timeout, &m_leserWarten,
                     [this] { schreiben(m_inhalt, std::move(m_weiter)); });
}

bool Ausgabedatei::vorbereiten(const QString& pfad)
{
    m_pfad = pfad;
    return m_ziel.vorbereiten(pfad);
}

void Ausgabedatei::schreiben(const QByteArray& inhalt, std::function<void(bool)> weiter)
{
    switch (m_ziel.schreiben(inhalt, m_konsole.standardausgabe())) {
    case Ausgabeziel::Schreibausgang::Geschrieben: return weiter(true);
    case Ausgabeziel::Schreibausgang::Fehler: return weiter(false);
    case Ausgabeziel::Schreibausgang::KeinLeser: break;
    }
    if (!std::exchange(m_gewartet, true))
        m_konsole.information(QStringLiteral("%1: warte, bis ein anderes Programm die FIFO liest").arg(m_pfad));
    m_inhalt = inhalt;
    m_weiter = std::move(weiter);
    m_leserWarten.start();
}

void Ausgabedatei::verwerfen()
{
    m_leserWarten.stop();
    m_ziel.verwerfen();
}

} // namespace cli
