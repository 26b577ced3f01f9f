#include "cli/anschluss.h"

#include "backup/sicherung.h"
#include "cfgfile/dekodieren.h"
#include "cli/ausgabeziel.h"
#include "cli/konsole.h"
#include "cli/lauf.h"
#include "image/felder.h"
#include "link/datentext.h"
#include "link/mitschrifttransport.h"
#include "link/seriellertransport.h"
#include "link/transport.h"
#include "systemfehler/systemfehler.h"

#include <QDate>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace cli {
namespace {

// Why the window's decode cannot take the device's bytes, with the bytes: a
// 16-bit analog number that does not fit its signed computation, e.g.
// "Konfigurationsdaten nicht lesbar: Analogeingang Messwert 4 mA (Seite 11,
// Zeichen 129 und 130): 0x80 0x00 = 32768, größer als 32767". Empty when none.
QString unlesbar(const Konfigspeicher& k)
{
    const struct {
        int offset;
        const char* name;
    } felder[] = {{offset::Messbereich4, "Messwert 4 mA"},
                  {offset::Messbereich20, "Messwert 20 mA"},
                  {offset::Grenzwertmin, "unterer Grenzwert"},
                  {offset::Grenzwertmax, "oberer Grenzwert"}};
    for (const auto& f : felder) {
        if (!zahlLesen(k, 11, f.offset).ueberlauf)
            continue;
        const std::uint8_t hoch = k.byte(11, f.offset), tief = k.byte(11, f.offset + 1);
        const auto hex = [](std::uint8_t b) {
            return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        };
        return QStringLiteral("Konfigurationsdaten nicht lesbar: Analogeingang %1 (Seite 11, Zeichen %2 und %3): %4 %5 = "
                              "%6, größer als 32767")
            .arg(QString::fromUtf8(f.name))
            .arg(f.offset + 1)
            .arg(f.offset + 2)
            .arg(hex(hoch), hex(tief))
            .arg(hoch * 256 + tief);
    }
    return {};
}

} // namespace

Anschluss::Anschluss(const Aufruf& aufruf, Konsole& konsole, Lauf& lauf, std::unique_ptr<Transport> transport)
    : m_a(aufruf), m_konsole(konsole), m_lauf(lauf), m_transport(std::move(transport))
{
}

Anschluss::~Anschluss() = default;

bool Anschluss::verbinden()
{
    const auto port = portLesen(m_a.port);
    if (!port) {  // the arguments were checked; a library caller may still pass anything
        m_lauf.beenden(FalscheArgumente);
        return false;
    }
    if (!m_a.mitschrift.isEmpty() && !mitschriftOeffnen())
        return false;
    m_v = std::make_unique<Verbindung>(std::move(m_transport));
    if (m_a.umfang == Aufruf::Umfang::Ausfuehrlich)
        QObject::connect(m_v.get(), &Verbindung::schritt, m_v.get(),
                         [this](const QString& text) { m_konsole.schritt(text); });
    if (port->com) {
        m_v->setPort(port->com);
    } else {
        m_v->zuordnung().festlegen(1, port->pfad);
        m_v->setPort(1);
    }
    // The command line has no close button: a transfer whose bytes stop
    // coming ends after the same time as a wait.
    const auto frist = m_a.frist.value_or(Verbindung::kWartezeit);
    m_v->setWartezeit(frist);
    m_v->setEmpfangsgrenze(frist);
    if (auto balken = m_konsole.balken(frist))
        m_v->daten().setAnsicht(std::move(balken));
    return portOeffnen();
}

bool Anschluss::mitschriftOeffnen()
{
    // Replaced from the start, written line by line; a FIFO as well.
    const int fd = ohneWartenOeffnen(QFile::encodeName(m_a.mitschrift), O_CREAT | O_TRUNC);
    if (fd < 0) {
        const int nummer = errno;
        const QString grund =
            nummer == ENXIO ? QStringLiteral("kein Programm liest die FIFO") : systemfehler::text(nummer);
        m_lauf.beenden(m_konsole.ausgabefehler(m_a.mitschrift, grund));
        return false;
    }
    if (!m_mitschriftDatei.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_lauf.beenden(m_konsole.ausgabefehler(m_a.mitschrift, systemfehler::datei(m_mitschriftDatei, errno)));
        return false;
    }
    m_mitschriftDatei.write(QStringLiteral("# %1 %2, %3: \"<-\" an das Gerät, \"->\" vom Gerät (hexadezimal)\n")
                                .arg(versionstext().trimmed(), befehlsname(m_a.befehl),
                                     QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))
                                .toUtf8());
    m_mitschriftDatei.flush();
    m_mitschrift.setzeUhr([] { return QTime::currentTime(); });
    m_mitschrift.setzeAusgabe(&m_mitschriftDatei);
    auto innen = m_transport ? std::move(m_transport) : std::make_unique<SeriellerTransport>();
    m_transport = std::make_unique<MitschriftTransport>(std::move(innen), m_mitschrift);
    return true;
}

bool Anschluss::portOeffnen(int status, const QString& folge)
{
    // A port that cannot be opened will not answer: the tool says so at once
    // instead of waiting out the time limit. The operation is started right
    // after, with nothing received in between, so the device's ACK is not lost.
    if (m_v->portOeffnen())
        return true;
    m_konsole.meldung(Verbindung::textKeineVerbindung(), Verbindung::titel());
    // The cause in the window's words; for a missing group also the command.
    m_konsole.hinweis(m_v->oeffnenFehlerText());
    const Portursache u = m_v->transport().ursache();
    if (u.art == Portursache::Art::KeineBerechtigung)
        m_konsole.hinweis(QStringLiteral("sudo usermod -aG %1 $USER").arg(u.gruppe));
    if (!folge.isEmpty())
        m_konsole.hinweis(folge);
    m_lauf.beenden(status);
    return false;
}

Verbindung::Fertig Anschluss::bericht(Auswirkung auswirkung, std::function<void()> weiter)
{
    return [this, auswirkung, weiter = std::move(weiter)](const Ergebnis& e) {
        if (m_lauf.beendet())
            return;
        const Bericht b = berichten(e, auswirkung, m_lauf.unterbrochen(), std::exchange(m_lesefehler, {}));
        if (b.erfolg)
            return weiter();
        if (b.abgebrochen)
            m_konsole.abgebrochen();
        if (!b.meldung.isEmpty())
            m_konsole.meldung(b.meldung, Verbindung::titel());
        for (const QString& h : b.hinweise)
            m_konsole.hinweis(h);
        m_lauf.beenden(b.status);
    };
}

Verbindung::Dekoder Anschluss::bildDekoder(Konfigspeicher& bild)
{
    return [this, &bild](const QByteArray& bytes) {
        bild = geraetebild(bytes);
        if (dekodieren(bild))
            return true;
        m_lesefehler = unlesbar(geraetebild(bytes));
        return false;
    };
}

void Anschluss::sichern(const Konfigspeicher& bild)
{
    if (const sicherung::Ergebnis s = sicherung::anlegen(bild); !s)
        m_konsole.hinweis(s.fehler);
    else
        m_konsole.schritt(QStringLiteral("Sicherung angelegt: %1").arg(s.pfad));
}

bool Anschluss::abbrechen()
{
    if (!m_v || !m_v->operationLaeuft())
        return false;
    m_v->abbrechen();
    return true;
}

void Anschluss::abschliessen()
{
    if (!m_mitschriftDatei.isOpen())
        return;
    m_mitschrift.abschliessen();
    if (!m_mitschrift.ausgabeOk())
        m_konsole.hinweis(QStringLiteral("Mitschrift %1 unvollständig: %2")
                              .arg(m_a.mitschrift, systemfehler::datei(m_mitschriftDatei, 0)));
}

} // namespace cli
