#include "cli/anschluss.h"

#include "backup/sicherung.h"
#include "cfgfile/dekodieren.h"
#include "cli/ausgabeziel.h"
#include "cli/konsole.h"
#include "cli/lauf.h"
#include "cli/fortschrittszeile.h"
#include "link/mitschrifttransport.h"
#include "link/seriellertransport.h"
#include "link/transport.h"
#include "linktext/linktext.h"
#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <QDate>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace cli {

Anschluss::Anschluss(const Aufruf& aufruf, Konsole& konsole, Lauf& lauf, std::unique_ptr<Transport> transport)
    : m_a(aufruf), m_konsole(konsole), m_lauf(lauf), m_transport(std::move(transport))
{
}

Anschluss::~Anschluss() = default;

bool Anschluss::verbinden(const QString& folge)
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
        QObject::connect(m_v.get(), &Verbindung::schrittGetan, m_v.get(),
                         [this](const Schrittmeldung& s) { m_konsole.schritt(linktext::schritt(s)); });
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
    if (Fortschrittszeile* balken = m_konsole.balken(frist))
        QObject::connect(m_v.get(), &Verbindung::fortschritt, m_v.get(),
                         [balken](const Fortschrittsstand& s) { balken->anzeigen(s); });
    return portOeffnen(KeineVerbindung, folge);
}

bool Anschluss::mitschriftOeffnen()
{
    // Replaced from the start, written line by line; a FIFO as well. It holds
    // the recipients' numbers: a file made here is the user's alone.
    const int fd = ohneWartenOeffnen(dateiname::bytes(m_a.mitschrift), O_CREAT | O_TRUNC, 0600);
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
    const QByteArray kopf = QStringLiteral("# %1 %2, %3: \"<-\" an das Gerät, \"->\" vom Gerät (hexadezimal)\n")
                                .arg(versionstext().trimmed(), befehlsname(m_a.befehl),
                                     QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))
                                .toUtf8();
    // A transcript that takes not even its first line is no transcript: the device is not asked.
    errno = 0;
    if (m_mitschriftDatei.write(kopf) != kopf.size() || !m_mitschriftDatei.flush()) {
        m_lauf.beenden(m_konsole.ausgabefehler(m_a.mitschrift, systemfehler::datei(m_mitschriftDatei, errno)));
        return false;
    }
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
    m_konsole.meldung(linktext::textKeineVerbindung(), linktext::titel());
    // The cause in the window's words; for a missing group also the command.
    m_konsole.hinweis(m_v->oeffnenFehlerText());
    const Portursache u = m_v->transport().ursache();
    if (u.art == Portursache::Art::KeineBerechtigung)
        m_konsole.hinweis(QStringLiteral("sudo usermod -aG %1 $USER").arg(u.gruppe));
    if (!folge.isEmpty())
        m_konsole.hinweis(folge);
    m_lauf.beenden(status == KeineVerbindung ? m_ohneVerbindung : status);
    return false;
}

Verbindung::Fertig Anschluss::bericht(Auswirkung auswirkung, std::function<void()> weiter, Zuruecklesen zuruecklesen)
{
    return [this, auswirkung, weiter = std::move(weiter), zuruecklesen = std::move(zuruecklesen)](
               const Vorgangsbericht& e) {
        if (m_lauf.beendet())
            return;
        const Bericht b = berichten(e, auswirkung, m_lauf.unterbrochen());
        if (b.erfolg)
            return weiter();
        if (b.abgebrochen)
            m_konsole.abgebrochen();
        if (!b.meldung.isEmpty())
            m_konsole.meldung(b.meldung, linktext::titel());
        for (const QString& h : b.hinweise)
            m_konsole.hinweis(h);
        if (b.zuruecklesen && zuruecklesen)
            return zuruecklesen(b);
        m_lauf.beenden(b.status == KeineVerbindung ? m_ohneVerbindung : b.status);
    };
}

Verbindung::Dekoder Anschluss::bildDekoder(Konfigspeicher& bild)
{
    return [this, &bild](const QByteArray& bytes) {
        m_gelesen = bytes;
        bild = geraetebild(bytes);
        return dekodieren(bild).has_value();
    };
}

void Anschluss::sichern(const Konfigspeicher& bild, const std::optional<QString>& vorSchreiben)
{
    if (const sicherung::Versuch s = sicherung::anlegen({bild, m_gelesen, vorSchreiben}); !s)
        m_konsole.hinweis(s.fehler);
    else
        m_konsole.schritt(QStringLiteral("Sicherung angelegt: %1").arg(m_sicherung = s.pfad));
}

bool Anschluss::abbrechen()
{
    if (!m_v || !m_v->operationLaeuft())
        return false;
    m_v->abbrechen();
    return true;
}

bool Anschluss::abschliessen()
{
    if (!m_mitschriftDatei.isOpen())
        return true;
    m_mitschrift.abschliessen();
    if (m_mitschrift.ausgabeOk())
        return true;
    m_konsole.hinweis(QStringLiteral("Mitschrift %1 unvollständig: %2")
                          .arg(m_a.mitschrift, systemfehler::datei(m_mitschriftDatei, 0)));
    return false;
}

} // namespace cli
