#pragma once
// The device for one command: the link made from the arguments (the port,
// COM n or a device path; one time limit for every wait and for a transfer
// whose bytes stop coming; the steps with -v; the progress bar on a
// terminal), the transcript of --transcript, the image of a configuration
// read and its backup, and the one way every operation's report comes back.
#include "cli/aufruf.h"
#include "cli/bericht.h"
#include "image/konfigspeicher.h"
#include "link/verbindung.h"
#include "mitschrift/mitschrift.h"

#include <QFile>
#include <functional>
#include <memory>
#include <optional>

class Transport;

namespace cli {

class Konsole;
class Lauf;

class Anschluss {
public:
    // `transport`: null means the serial port.
    Anschluss(const Aufruf& aufruf, Konsole& konsole, Lauf& lauf, std::unique_ptr<Transport> transport);
    ~Anschluss();

    // Makes the link and opens its port. False when that failed: said
    // (`folge` last when the port did not open), and the run has ended.
    bool verbinden(const QString& folge = {});
    // Opens the port for the next operation of the same command; when it
    // cannot be opened the run ends with `status`, `folge` said last.
    bool portOeffnen(int status = KeineVerbindung, const QString& folge = {});
    // The exit status of a connection that fails, instead of KeineVerbindung
    // (diff, whose 1 says the settings differ, takes Uebertragungsfehler).
    void setOhneVerbindung(int status) { m_ohneVerbindung = status; }
    // The link, once verbinden() succeeded.
    Verbindung& verbindung() { return *m_v; }

    // What a write that broke off goes on with once its failure is said
    // (see Bericht::zuruecklesen).
    using Zuruecklesen = std::function<void(const Bericht& b)>;
    // The report every operation hands back, and the only way it comes back.
    // It is dropped once the run has ended: nothing more is written or sent.
    // A failure is said (see berichten) and ends the run, or goes on with
    // `zuruecklesen` where berichten asks for it; a success goes on with
    // `weiter`, unless Ctrl+C came meanwhile.
    Verbindung::Fertig bericht(Auswirkung auswirkung, std::function<void()> weiter, Zuruecklesen zuruecklesen = {});

    // The decoder of a configuration read: the image of the bytes into
    // `bild`, decoded as the window decodes them; the bytes as they came are
    // kept for the backup.
    Verbindung::Dekoder bildDekoder(Konfigspeicher& bild);
    // Keeps a configuration read as a backup (see backup/sicherung.h): `bild`
    // and the bytes of the last read bildDekoder decoded; `vorSchreiben`: the
    // installation name of the write that follows. A failure is one line, the
    // command goes on.
    void sichern(const Konfigspeicher& bild, const std::optional<QString>& vorSchreiben = std::nullopt);
    // The *.cfg of the last backup kept; empty: none.
    const QString& sicherungspfad() const { return m_sicherung; }

    // Ctrl+C: an operation under way is aborted as with the window's abort
    // button (ESC, port closed) and ends through its report. False when none runs.
    bool abbrechen();
    // An operation is under way.
    bool laeuft() const { return m_v && m_v->operationLaeuft(); }
    // The run has ended: the transcript holds every line, the last one too.
    // False when it could not be written whole (said).
    bool abschliessen();

private:
    bool mitschriftOeffnen();

    const Aufruf& m_a;
    Konsole& m_konsole;
    Lauf& m_lauf;
    // Declared before the link, whose transport writes into it, so that it outlives it.
    QFile m_mitschriftDatei;
    Mitschrift m_mitschrift;
    std::unique_ptr<Transport> m_transport;  // until the link takes it
    std::unique_ptr<Verbindung> m_v;
    QByteArray m_gelesen;  // the bytes of the last configuration read
    int m_ohneVerbindung = KeineVerbindung;
    QString m_sicherung;
};

} // namespace cli
