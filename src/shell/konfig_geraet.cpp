// The main window's device commands: configuration read and write, event
// memory, clock, COM port and abort. Each starts an operation of the link and
// returns; the operation's report shows its message through geraetEnde.
#include "shell/konfig.h"

#include "cfgfile/dekodieren.h"
#include "linkui/syszeit.h"
#include "clock/uhr.h"
#include "editor/editorkontext.h"
#include "editor/feldwaechter.h"
#include "editor/teledit.h"
#include "eventlog/logdatei.h"
#include "linkui/kommunikation.h"
#include "linktext/linktext.h"
#include "shell/vergleich.h"

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

void Konfig::geraetEnde(const Vorgangsbericht& b)
{
    if (m_geschlossen)
        return;
    // What exactly failed stays in the status bar, in the command line's
    // words; a device that did not answer gets the advice what to check, a
    // write that broke off what was sent and confirmed and what not (its
    // page flags stay, so the next write sends them all again).
    if (b.ausgang != Ausgang::Erfolg) {
        QString detail = linktext::detail(b);
        if (b.ausgang == Ausgang::KeineVerbindung && b.grund == Grund::KeineAntwort && !b.port)
            detail += QStringLiteral(" – Gerät antwortet nicht: Kabel, Stromversorgung und COM Port prüfen");
        if (b.schreibstand)
            detail += QStringLiteral(" – ") + linktext::schreibstand(*b.schreibstand);
        if (!detail.isEmpty())
            hinweisSetzen(detail);
    }
    // The link's message in the program's box for device errors; the
    // write's transfer error beeps first.
    if (linktext::signalton(b))
        Door::aktuell().beep();
    if (const QString text = linktext::meldung(b); !text.isEmpty())
        Door::aktuell().meldung(text, Door::Icon::Kritisch, Door::Knoepfe::Ok, linktext::titel());
}

// --- Configuration read --------------------------------------------------------

void Konfig::MNU_Lesen_Click()
{
    // The read replaces the editor: a field's unfinished value neither stops
    // it nor is checked later.
    if (!befehlZulassen(true, false))
        return;
    // The editor is filled by the program from the start of the read to its
    // end: nothing the handlers do meanwhile is recorded as a change.
    m_verbindung->konfigurationLesen(
        [this](const QByteArray& bytes) { return konfigurationUebernehmen(bytes); },
        [this](const Vorgangsbericht& e) {
            // What the editor shows now, read or not, has no history.
            m_modell.setFuellen(false);
            verlaufBeginnen();
            geraetEnde(e);
            // Every configuration read is kept, before anything can change it.
            if (e.ausgang == Ausgang::Erfolg)
                sichern(m_modell.speicher(), m_gelesen);
            emit geraetBeendet(e.ausgang);
        },
        [this] {
            // From here to the read's end the program fills the editor: what
            // is clicked meanwhile records nothing.
            m_modell.setFuellen(true);
            m_waechter->verwerfen();
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
            verlaufBeginnen();
        });
}

bool Konfig::konfigurationUebernehmen(const QByteArray& bytes)
{
    // Pages 0..12 from the device; the pages the device does not have stay
    // unset. A decode that fails keeps the operator option (it is derived only
    // at the end) and shows everything else.
    m_gelesen = bytes;
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
    m_verbindung->konfigurationSchreiben(m_modell.speicher(), m_modell.seiten(), [this](const Vorgangsbericht& e) {
        geraetEnde(e);
        emit geraetBeendet(e.ausgang);
    });
}

// --- Comparison with the device ---------------------------------------------------

void Konfig::MNU_Vergleichen_Click()
{
    // Compared with what a write would send: a field's pending value is
    // taken in first, and one the field refuses stops the command.
    if (!befehlZulassen(true, true))
        return;
    // The device's configuration in a model of its own, decoded as a read
    // decodes; the editor's model is not touched.
    struct Geraet {
        Konfigspeicher bild;
        QByteArray bytes;  // as they came, for the backup
        Editorwerte werte;
    };
    auto geraet = std::make_shared<Geraet>();
    m_verbindung->konfigurationLesen(
        [geraet](const QByteArray& bytes) {
            geraet->bytes = bytes;
            geraet->bild = geraetebild(bytes);
            const std::optional<Editorwerte> w = dekodieren(geraet->bild);
            if (w)
                geraet->werte = *w;
            return w.has_value();
        },
        [this, geraet](const Vorgangsbericht& e) {
            // Failures as for a read: the box and the status bar.
            geraetEnde(e);
            if (e.ausgang == Ausgang::Erfolg && !m_geschlossen) {
                sichern(geraet->bild, geraet->bytes);
                vergleichZeigen(geraet->bild, geraet->werte);
            }
            emit geraetBeendet(e.ausgang);
        });
}

Vergleich* Konfig::vergleich() const
{
    return m_vergleich;
}

void Konfig::vergleichZeigen(const Konfigspeicher& bild, const Editorwerte& werte)
{
    if (!m_vergleich) {
        m_vergleich = new Vergleich(this);
        connect(m_vergleich, &QDialog::finished, m_vergleich, &QObject::deleteLater);
    }
    const QString kopf = QStringLiteral("%1, Gerät an COM %2 (%3)")
                             .arg(m_uhr().time().toString(QStringLiteral("HH:mm:ss")))
                             .arg(m_verbindung->port())
                             .arg(m_verbindung->geraet());
    m_vergleich->zeigen(kopf, blatt::unterschiede(blatt::einstellungen(bild, werte), einstellungen()), m_modell.seiten());
    m_vergleich->show();
    m_vergleich->raise();
    m_vergleich->activateWindow();
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
        [this](const Vorgangsbericht& e) {
            geraetEnde(e);
            if (e.ausgang == Ausgang::Erfolg && !m_geschlossen && !Door::aktuell().anzeigen(m_logPfad)) {
                Door::aktuell().meldung(
                    QStringLiteral("Ereignisspeicher gespeichert in:\n%1\n\nKein Programm zum Anzeigen gefunden.")
                        .arg(QDir::toNativeSeparators(m_logPfad)),
                    Door::Icon::Information, Door::Knoepfe::Ok, linktext::titel());
            }
            emit geraetBeendet(e.ausgang);
        });
}

// --- Clock -----------------------------------------------------------------------

void Konfig::MNU_Uhr_Click()
{
    if (!befehlZulassen(true, false))
        return;
    // The device's time, from the decode to the dialog.
    auto boraZeit = std::make_shared<std::optional<QString>>();
    m_verbindung->uhrLesen(
        [boraZeit](const QByteArray& antwort) {
            *boraZeit = uhr::boraZeitText(antwort);
            return boraZeit->has_value();
        },
        [this, boraZeit](const Vorgangsbericht& e) {
            geraetEnde(e);
            if (e.ausgang != Ausgang::KeineVerbindung && !m_geschlossen)
                uhrDialogZeigen(*boraZeit);
            emit geraetBeendet(e.ausgang);
        });
}

void Konfig::uhrDialogZeigen(const std::optional<QString>& boraZeit)
{
    if (!m_syszeit) {
        m_syszeit = new syszeit(this);
        connect(m_syszeit, &syszeit::uebernehmen, this, &Konfig::uhrUebernehmen);
        connect(m_syszeit, &syszeit::entladen, this, &Konfig::uhrDialogEntladen);
    }
    if (boraZeit)
        m_syszeit->setBoraZeit(*boraZeit);
    m_syszeit->show();
    m_syszeit->raise();
    m_syszeit->activateWindow();
}

void Konfig::uhrUebernehmen()
{
    // One reading of the PC's clock for all five bytes, taken when the first
    // byte goes out (after the connection and the pause of the command).
    auto stand = std::make_shared<QByteArray>();
    m_verbindung->uhrSetzen(
        [stand](int i) {
            if (stand->isEmpty())
                *stand = uhr::stellBytes(QDateTime::currentDateTime());
            return std::uint8_t(stand->at(i));
        },
        [this](const Vorgangsbericht& e) {
            // The message first, then the dialog closes, whatever the outcome.
            geraetEnde(e);
            if (m_syszeit)
                m_syszeit->close();
            emit geraetBeendet(e.ausgang);
        });
}

void Konfig::uhrDialogEntladen()
{
    // The dialog ends a clock setting under way (ESC, port closed); another
    // operation that runs meanwhile goes on.
    m_verbindung->uhrSetzenBeenden();
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
