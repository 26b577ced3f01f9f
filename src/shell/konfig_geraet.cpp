// The main window's device commands: configuration read and write, event
// memory, clock, COM port and abort. Each starts an operation of the link and
// returns; the link reports the end to geraetEnde.
#include "shell/konfig.h"

#include "cfgfile/dekodieren.h"
#include "clock/syszeit.h"
#include "clock/uhr.h"
#include "editor/editorkontext.h"
#include "editor/feldwaechter.h"
#include "editor/teledit.h"
#include "eventlog/logdatei.h"
#include "link/kommunikation.h"

#include <QDir>
#include <QFileInfo>
#include <QShowEvent>

syszeit* Konfig::uhrDialog() const
{
    return m_syszeit;
}

Kommunikation* Konfig::kommunikation() const
{
    return m_kommunikation;
}

void Konfig::showEvent(QShowEvent* e)
{
    m_geschlossen = false;
    QMainWindow::showEvent(e);
}

void Konfig::geraetEnde(Ausgang)
{
    if (m_geschlossen)
        return;
    // Some ends leave the port open (a failed decode, Daten closed by hand in
    // the middle of a download). Left open it would keep the device from
    // announcing itself to the next operation, which would then fail.
    if (!m_verbindung->operationLaeuft() && m_verbindung->portOffen())
        m_verbindung->portSchliessen();
    // Closing Daten by hand ends an operation without restoring the pointer;
    // an idle program must not look busy.
    if (!m_verbindung->operationLaeuft())
        unsetCursor();
}

// --- Configuration read --------------------------------------------------------

void Konfig::MNU_Lesen_Click()
{
    // The read replaces the editor: a field's unfinished value neither stops
    // it nor is checked later.
    if (!befehlZulassen(true, false))
        return;
    m_verbindung->konfigurationLesen(
        [this](const QByteArray& bytes) { return konfigurationUebernehmen(bytes); },
        [this](Ausgang a) {
            m_modell.setFuellen(false);
            geraetEnde(a);
            // Every configuration read is kept, before anything can change it.
            if (a == Ausgang::Erfolg)
                sichern();
            emit geraetBeendet(a);
        },
        [this] {
            // From here to the read's end the program fills the editor: what
            // is clicked meanwhile records nothing.
            m_modell.setFuellen(true);
            m_waechter->verwerfen();
            m_sitzung.Fortschritt = 0;
            // The emptied editor and the image it stands for: the start-up
            // state, with acknowledgement, check call and balance monitoring
            // switched off. A read that fails (no device, no echo, aborted,
            // stopped) leaves both so, and a save or write afterwards carries
            // what is shown.
            m_modell.leeren();
            m_modell.starten();
            m_kontext->Feldgeaendert = false;
            markierungenLoeschen();
            zeigen();
            m_teledit->bildErneuert();
            herkunftMerken(QStringLiteral("Grundeinstellung"));
        });
}

bool Konfig::konfigurationUebernehmen(const QByteArray& bytes)
{
    // Pages 0..12 from the device; the pages the device does not have stay
    // unset. A decode that fails keeps the operator option (it is derived only
    // at the end) and shows everything else.
    m_modell.speicher() = geraetebild(bytes);
    const bool ok = dekodieren(m_modell);
    m_modell.setFuellen(false);
    zeigen();
    m_teledit->bildErneuert();
    herkunftMerken(QStringLiteral("Gerät an COM %1 (%2)").arg(m_verbindung->port()).arg(m_verbindung->geraet())
                   + (ok ? QString() : QStringLiteral(", nicht vollständig gelesen")));
    return ok;
}

// --- Configuration write -------------------------------------------------------

void Konfig::MNU_Schreib_Click()
{
    if (!befehlZulassen(true, true))
        return;
    m_verbindung->konfigurationSchreiben(m_modell.speicher(), m_modell.seiten(), [this](Ausgang a) {
        geraetEnde(a);
        emit geraetBeendet(a);
    });
}

// --- Event memory ----------------------------------------------------------------

void Konfig::setLogOrdner(const QString& programmOrdner, const QString& datenOrdner)
{
    m_logOrdner = std::make_pair(programmOrdner, datenOrdner);
}

bool Konfig::logAblegenIn(const QByteArray& speicher512)
{
    m_logPfad = m_logOrdner ? logAblegen(speicher512, m_logOrdner->first, m_logOrdner->second)
                            : logAblegen(speicher512);
    return !m_logPfad.isEmpty();
}

void Konfig::MNU_log_Click()
{
    if (!befehlZulassen(true, false))
        return;
    m_verbindung->ereignisspeicherLesen(
        [this](const QByteArray& speicher) { return logAblegenIn(speicher); },
        [this](Ausgang a) {
            geraetEnde(a);
            if (a == Ausgang::Erfolg && !m_geschlossen && !Door::aktuell().anzeigen(m_logPfad)) {
                Door::aktuell().meldung(
                    QStringLiteral("Ereignisspeicher gespeichert in:\n%1\n\nKein Programm zum Anzeigen gefunden.")
                        .arg(QDir::toNativeSeparators(m_logPfad)),
                    Door::Icon::Information, Door::Knoepfe::Ok, Verbindung::titel());
            }
            emit geraetBeendet(a);
        });
}

// --- Clock -----------------------------------------------------------------------

void Konfig::MNU_Uhr_Click()
{
    if (!befehlZulassen(true, false))
        return;
    m_boraZeit.reset();
    m_uhrOperation = m_verbindung->uhrLesen(
        [this](const QByteArray& antwort) {
            m_boraZeit = uhr::boraZeitText(antwort);
            return m_boraZeit.has_value();
        },
        [this](Ausgang a) {
            m_uhrOperation = false;
            geraetEnde(a);
            if (a != Ausgang::KeineVerbindung && !m_geschlossen)
                uhrDialogZeigen();
            emit geraetBeendet(a);
        });
}

void Konfig::uhrDialogZeigen()
{
    if (!m_syszeit) {
        m_syszeit = new syszeit(this);
        connect(m_syszeit, &syszeit::uebernehmen, this, &Konfig::uhrUebernehmen);
        connect(m_syszeit, &syszeit::entladen, this, &Konfig::uhrDialogEntladen);
    }
    if (m_boraZeit)
        m_syszeit->setBoraZeit(*m_boraZeit);
    m_syszeit->show();
    m_syszeit->raise();
    m_syszeit->activateWindow();
}

void Konfig::uhrUebernehmen()
{
    // One reading of the PC's clock for all five bytes, taken when the first
    // byte goes out (after the connection and the pause of the command).
    auto stand = std::make_shared<QByteArray>();
    const bool gestartet = m_verbindung->uhrSetzen(
        [stand](int i) {
            if (stand->isEmpty())
                *stand = uhr::stellBytes(QDateTime::currentDateTime());
            return std::uint8_t(stand->at(i));
        },
        [this](Ausgang a) {
            // The dialog's unload ends the setting on the wire (ESC, port closed).
            m_uhrOperation = false;
            if (m_syszeit)
                m_syszeit->close();
            geraetEnde(a);
            emit geraetBeendet(a);
        });
    if (gestartet)
        m_uhrOperation = true;
}

void Konfig::uhrDialogEntladen()
{
    // The dialog ends the clock's own operation (and an open port behind it).
    // Another operation that runs meanwhile keeps its port.
    if (!m_verbindung->operationLaeuft() || m_uhrOperation)
        m_verbindung->uhrDialogEntladen();
    else
        m_sitzung.UhrModus = false;
}

// --- COM port, abort ---------------------------------------------------------------

void Konfig::MNU_COM_Click()
{
    // Modal for the whole program, without an event loop of its own.
    if (!m_kommunikation) {
        m_kommunikation = new Kommunikation(*m_verbindung, this);
        m_kommunikation->setWindowModality(Qt::ApplicationModal);
        connect(m_kommunikation, &QDialog::finished, m_kommunikation, &QObject::deleteLater);
    }
    m_kommunikation->show();
    m_kommunikation->raise();
    m_kommunikation->activateWindow();
}

void Konfig::Verbindung_abbrechen()
{
    // Never refused: neither by a running operation nor by a field's value.
    m_verbindung->abbrechen();
}
