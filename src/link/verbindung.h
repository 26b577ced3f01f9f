#pragma once
// The device link: the serial connection of the program (`MSComm1`) with its
// receive buffer `Empfangspuffer` and progress counter `Fortschritt`, the
// progress window `Daten` as state, the steps every device operation is made
// of -- the connection opening `Konfig_open`, the send with echo check
// `Senden`, the answer wait `Antwort`, the receive evaluator `Auswert` -- the
// abort sequence, and the five device operations (configuration read and
// write, event-memory read, clock read and set), each one Vorgang object
// (link/vorgang.h) with its phase and its one end.
//
// Everything runs on the event loop. A wait is a deadline timer plus the
// transport's data signal: the call that starts it returns at once and its
// continuation gets the result (Warteausgang) when the awaited byte arrives,
// the deadline passes or the operation is asked to end. The link shows no
// message box: an operation reports an Ergebnis, and the caller shows or
// prints its message. No continuation or report runs after the Verbindung
// is destroyed.
//
// Received bytes reach `Auswert` one at a time in arrival order. A successful
// wait discards the receive buffer up to and including the awaited byte and
// keeps whatever followed it, so a device that answers at once (echo and data
// in one burst) loses nothing.
#include "image/konfigspeicher.h"
#include "link/daten.h"
#include "link/ergebnis.h"
#include "link/portzuordnung.h"
#include "link/transport.h"
#include "link/vorgang.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class Verbindung : public QObject {
    Q_OBJECT
public:
    using Weiter = std::function<void()>;
    // Gets the received bytes; false is a run-time error in the decode: the
    // operation ends with "Fehler bei Datenübertragung".
    using Dekoder = std::function<bool(const QByteArray& bytes)>;
    using Fertig = Vorgang::Fertig;
    // The clock byte number i (0 seconds, 1 minutes, 2 hours, 3 day, 4 month),
    // asked for at the moment it is sent.
    using Uhrbyte = std::function<std::uint8_t(int i)>;

    static constexpr std::uint8_t ACK = 6;
    static constexpr std::uint8_t ESC = 27;
    static constexpr int kLogAnzahl = 512;
    static constexpr std::chrono::milliseconds kWartezeit{40000};

    // The title of the link's boxes and its two messages.
    static QString titel() { return QStringLiteral("GSM Boravilon"); }
    static QString textKeineVerbindung() { return QStringLiteral("Verbindung nicht möglich"); }
    static QString textUebertragungsfehler() { return QStringLiteral("Fehler bei Datenübertragung"); }

    // `transport`: null means the serial port.
    explicit Verbindung(std::unique_ptr<Transport> transport = nullptr, QObject* parent = nullptr);
    ~Verbindung() override;

    Daten& daten() { return m_daten; }
    Transport& transport() { return *m_transport; }
    Portzuordnung& zuordnung() { return m_zuordnung; }

    // The port number of the serial control: 1..4, COM 1 at start. It takes
    // effect at the next opening. False (nothing changed) outside 1..4.
    int port() const { return m_port; }
    bool setPort(int nummer);
    // The device path the current port stands for.
    QString geraet() const { return m_zuordnung.geraet(m_port); }

    // Time limit of every wait (default 40 s).
    void setWartezeit(std::chrono::milliseconds zeit) { m_wartezeit = zeit; }
    std::chrono::milliseconds wartezeit() const { return m_wartezeit; }
    // Optional limit for a configuration or event-memory download whose bytes
    // stop coming (off = 0, the default: the operation then stays under way
    // until Daten is closed or aborted). When it passes, the abort sequence
    // runs and the operation ends with Zeitueberschreitung and "Fehler bei
    // Datenübertragung". For the command line, which has no close button.
    void setEmpfangsgrenze(std::chrono::milliseconds zeit) { m_empfangsgrenze = zeit; }

    bool portOffen() const { return m_transport->istOffen(); }
    // Opens the current port; false when it cannot be opened (see transport()).
    bool portOeffnen();
    // Why the last open failed, in words for the user: no such device, no
    // permission (with the group to join), or held by another program.
    QString oeffnenFehlerText() const;
    void portSchliessen() { m_transport->schliessen(); }

    // Received bytes in arrival order (see above), and the counter the
    // progress bar shows while a page or the configuration is transferred.
    const QByteArray& Empfangspuffer() const { return m_empfangspuffer; }
    int Fortschritt() const { return m_fortschritt; }

    // --- The device operations. Each refuses with the busy rule's beep (and
    // returns false) while an operation is under way; otherwise it starts and
    // reports its end through `fertig`. ---

    // Starts an operation: the busy test, then `vorbereiten`, `Konfig_open`
    // ("Verbindungsaufbau ...", countdown from 80) and the wait for ACK. A
    // port that cannot be opened ends like a silent device, after the wait;
    // the cause is told at once (portHinweis). Without ACK the operation ends
    // with KeineVerbindung, else it goes on with its command.
    bool starten(std::unique_ptr<Vorgang> vorgang);

    // "r": reads the 3328 bytes of pages 0..12. `vorbereiten` runs after the
    // busy test (the caller empties the editor and resets the image there);
    // `dekodieren` gets exactly 3328 bytes. `text`: Label1 while the bytes
    // come (empty: "lese Konfigurationsdaten ..."), for a read with another
    // purpose (the command line's backup before a write, its check after it).
    bool konfigurationLesen(Dekoder dekodieren, Fertig fertig, Weiter vorbereiten = {}, const QString& text = {});
    // "w": for every flagged page p in ascending order the page character
    // 48+p and the page's 256 cells (unset cells as 0xFF), every byte echoed;
    // then ESC. The image and flags are taken as they are at the start; the
    // write changes neither. A missing echo ends with ESC, a beep and
    // "Fehler bei Datenübertragung".
    bool konfigurationSchreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig);
    // "l": the event memory. `umwandeln` gets the last 512 of the first 513
    // bytes received, after Daten is hidden (it writes the log file; false
    // when it cannot); the caller opens the viewer on Erfolg.
    bool ereignisspeicherLesen(Dekoder umwandeln, Fertig fertig);
    // The clock command with the dialog's read: "t", then the wait for ">".
    // `dekodieren` gets the five clock bytes and the ">" (fewer than five
    // bytes before ">" is a transfer error without calling it).
    bool uhrLesen(Dekoder dekodieren, Fertig fertig);
    // "Übernehmen": "s", 500 ms, then the five bytes, each followed by 200 ms.
    // No answer is awaited. The setting ends with ESC (the clock dialog's
    // unload), then the port is closed.
    bool uhrSetzen(Uhrbyte byteFuer, Fertig fertig);
    // The clock dialog's unload: a clock setting under way ends there (ESC,
    // port closed; Abgebrochen, or KeineVerbindung while connecting). Any
    // other operation goes on. Idle with the port open: ESC, port closed.
    void uhrDialogEntladen();

    // The abort sequence (toolbar "Verbindung abbrechen"): ESC to the device,
    // port closed, receive buffer cleared, and the operation under way asked
    // to end (a running wait ends aborted at once). Works with and without an
    // operation and when the port cannot be opened.
    void abbrechen();

    // The owner goes away (the main window closes): whatever is under way
    // ends at once, without a message, a beep or its report; the port is
    // closed and Daten hidden. The link can be used again afterwards.
    void stilllegen();

    bool operationLaeuft() const { return m_vorgang != nullptr; }
    // The operation under way, else null.
    const Vorgang* vorgang() const { return m_vorgang; }
    // A wait for an answer is running.
    bool wartet() const { return m_warten.aktiv; }

signals:
    // The hourglass over the main window on (true) or off.
    void mauszeiger(bool sanduhr);
    // A step of the link or of the operation under way, in words: the port
    // opened and closed, ACK received, the command sent, a page written, the
    // data received, ESC sent. For a user who wants to follow them (gsmbv -v).
    void schritt(const QString& text);
    // Emitted by every connection opening: why the port could not be opened
    // (oeffnenFehlerText), or empty when it is open. The wait for the device
    // goes on either way.
    void portHinweis(const QString& text);

private:
    friend class Vorgang;

    struct Warten {
        bool aktiv = false;
        QByteArray erwartet;
        std::function<void(Warteausgang)> weiter;
    };

    // The steps.
    void Konfig_open(std::function<void(Warteausgang)> weiter);
    void Senden(const QByteArray& text, int laenge, std::function<void(Warteausgang, int)> weiter);
    void sendenAb(QByteArray text, int i, std::function<void(Warteausgang, int)> weiter);
    void Antwort(const QByteArray& erwartet, std::function<void(Warteausgang)> weiter);
    void pause(int ms, std::function<void()> weiter);
    bool direkt(const QByteArray& bytes);
    void empfangBeginnen();

    // Receiving.
    void lesenSchleife();
    void zeichenEmpfangen(std::uint8_t z);
    void Auswert(std::uint8_t z);
    void pruefeWarten();
    void warteEnde(Warteausgang a);

    // Ending.
    void abbruchAnfordern();
    void empfangsgrenzeErreicht();
    void beenden(Vorgang& v, const Ergebnis& e, bool melden);

    std::unique_ptr<Transport> m_transport;
    Daten m_daten;
    Portzuordnung m_zuordnung;
    int m_port = 1;
    QByteArray m_empfangspuffer;
    int m_fortschritt = 0;
    QString m_oeffnenFehler;  // why the last Konfig_open found the port closed

    std::chrono::milliseconds m_wartezeit = kWartezeit;
    std::chrono::milliseconds m_empfangsgrenze{0};
    QTimer m_frist;          // deadline of the running wait
    QTimer m_empfangsfrist;  // optional receive limit
    QTimer m_pause;          // a pause without a wait (the clock setting)
    std::function<void()> m_nachPause;
    Warten m_warten;
    bool m_imLesen = false;

    Vorgang* m_vorgang = nullptr;  // a child of this; removed (later) at its end
};
