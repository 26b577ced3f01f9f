#pragma once
// One run of gsmbv: the command of the command line, carried out on the event
// loop with the same device operations, decode, file reader and writer as the
// window. The end comes through `beendet` with the exit status.
#include "cfgfile/cfgdatei.h"
#include "cli/aufruf.h"
#include "cli/ausgabeziel.h"
#include "cli/clidoor.h"
#include "image/konfigspeicher.h"
#include "link/portangaben.h"
#include "link/verbindung.h"
#include "mitschrift/mitschrift.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <optional>
#include <memory>

class Fortschrittszeile;
class Transport;

namespace cli {

class Werkzeug : public QObject {
    Q_OBJECT
public:
    // `transport`: null means the serial port. Results go to `aus`, messages
    // and the progress bar (when it is a terminal) to `fehler`.
    Werkzeug(const Aufruf& aufruf, CliDoor& door, std::unique_ptr<Transport> transport = nullptr,
             std::FILE* aus = stdout, std::FILE* fehler = stderr, QObject* parent = nullptr);
    ~Werkzeug() override;

    // Carries out the command; call it from the running event loop.
    void starten();
    // SIGINT or SIGTERM: a running transfer is aborted as with the window's
    // abort button (ESC to the device, port closed); a second one ends at once.
    void unterbrechen();

    bool istBeendet() const { return m_beendet; }

    // `ports` looks at this tree instead of /sys and /dev, and lists the
    // ports its sysfs names (tests).
    void setPortwurzeln(const Portwurzeln& w);

signals:
    void beendet(int status);

private:
    void zeigen();
    void unterschiede();
    void lesen();
    void schreiben();
    void protokoll();
    void uhr();
    void uhrStellen();
    void ports();
    // The three steps of write: the backup read, the write, the read back.
    void vorSchreibenSichern();
    void schreibenStarten();
    void zuruecklesen();

    // Keeps the configuration read as a backup (see backup/sicherung.h); a
    // failure is one "gsmbv: ..." line on standard error, the command goes on.
    void sichern(const Konfigspeicher& bild);
    // The dekoder of a configuration read: the image of the bytes, decoded as
    // the window decodes them.
    Verbindung::Dekoder bildDekoder();

    bool verbinden();
    bool mitschriftOeffnen();
    // Opens the port for the next operation; when it cannot be opened the
    // command ends with `status`, `folge` (when given) said last.
    bool portOeffnen(int status = KeineVerbindung, const QString& folge = {});
    bool dateiLesen(const QString& pfad);
    bool ausgeben(const QByteArray& bytes);
    void zielSchreiben(const QByteArray& inhalt, std::function<void(bool)> weiter);
    void zeileBeenden();
    // An operation of several has succeeded: its bar complete.
    void zwischenstand();
    void abschluss(const QString& text);
    // A line "gsmbv: ..." on standard error: always (errors and warnings),
    // not with --quiet (information), only with --verbose (steps).
    void hinweis(const QString& text);
    void information(const QString& text);
    void schritt(const QString& text);
    void meldung(const QString& text, const QString& titel, Door::Icon icon);
    void dateifehler(const QString& pfad, const QString& grund);
    void ausgabefehler(const QString& ziel, const QString& grund);
    // The operation's message, its detail line, then `folge` (what the failure
    // means for the device); the command ends with `status`, or by the outcome
    // (KeineVerbindung or Uebertragungsfehler) when none is given.
    void fehlschlag(const Vorgangsbericht& e, const QString& folge = {}, std::optional<int> status = std::nullopt);
    // The output file: prepared before the transfer (false: it cannot be
    // written), written and put in place after it.
    void ende(int status);

    Aufruf m_a;
    CliDoor& m_door;
    // The transcript (--transcript); declared before the link, whose transport
    // writes into it, so that it outlives it.
    QFile m_mitschriftDatei;
    Mitschrift m_mitschrift;
    std::unique_ptr<Transport> m_transport;  // until the link takes it
    std::FILE* m_aus;
    std::FILE* m_fehler;

    std::unique_ptr<Verbindung> m_v;
    std::unique_ptr<Fortschrittszeile> m_balken;  // the progress bar on a terminal
    Ausgabeziel m_ziel;
    QTimer m_leserWarten;           // a FIFO without reader: the next try
    bool m_aufLeserGewartet = false;
    std::optional<Portwurzeln> m_portwurzeln;

    Konfigspeicher m_bild;       // the device read's image
    Dateiergebnis m_datei;       // the opened configuration file
    QByteArray m_ereignisse;     // the 512 bytes of the event memory
    QString m_uhrzeit;           // the device clock as read
    QDateTime m_stellzeit;       // the PC time the clock is set to
    QByteArray m_stellbytes;
    QByteArray m_zurueck;        // write: the device's bytes read back

    bool m_unterbrochen = false;
    bool m_abbruchGemeldet = false;
    bool m_beendet = false;
};

} // namespace cli
