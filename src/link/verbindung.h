#pragma once
// The device link: the serial connection of the program (`MSComm1`) with its
// receive buffer `Empfangspuffer` and progress counter `Fortschritt`, the
// steps every device operation is made of -- the connection opening
// `Konfig_open`, the send with echo check `Senden`, the answer wait
// `Antwort`, the receive evaluator `Auswert` -- the abort sequence, and the
// five device operations (configuration read and write, event-memory read,
// clock read and set), each one Vorgang (link/vorgang.h) that says step by
// step what the link is to do.
//
// Everything runs on the event loop. A wait is a deadline timer plus the
// transport's data signal: the call that starts it returns at once, and the
// operation hears how it ended when the awaited byte arrives, the deadline
// passes or the operation is asked to end; a line that is gone (the other
// end hung up, the adapter was pulled: Transport::getrennt) ends it at once,
// while a device that only keeps silent gets the full time. The link shows
// nothing and holds no user text: it reports the operation's end
// (Vorgangsbericht), its progress (Fortschrittsstand) and its steps
// (Schrittmeldung) as data, and the window and the command line show them.
// No report runs after the Verbindung is destroyed.
//
// Received bytes reach `Auswert` one at a time in arrival order. A successful
// wait discards the receive buffer up to and including the awaited byte and
// keeps whatever followed it, so a device that answers at once (echo and data
// in one burst) loses nothing.
#include "image/konfigspeicher.h"
#include "link/portzuordnung.h"
#include "link/transport.h"
#include "link/vorgang.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class Verbindung : public QObject {
    Q_OBJECT
public:
    using Weiter = std::function<void()>;
    // Gets the received bytes; false is a run-time error in the decode: the
    // operation ends with a transfer error (Grund::Unlesbar).
    using Dekoder = std::function<bool(const QByteArray& bytes)>;
    // Called once when the operation has ended: posted, so never from inside
    // the link's own call chain; dropped when the link is gone first. It may
    // start the next operation or destroy the link.
    using Fertig = std::function<void(const Vorgangsbericht&)>;
    // The clock byte number i (0 seconds, 1 minutes, 2 hours, 3 day, 4 month),
    // asked for at the moment it is sent.
    using Uhrbyte = std::function<std::uint8_t(int i)>;

    static constexpr std::uint8_t ACK = 6;
    static constexpr std::uint8_t ESC = 27;
    static constexpr int kLogAnzahl = 512;
    static constexpr std::chrono::milliseconds kWartezeit{40000};

    // `transport`: null means the serial port.
    explicit Verbindung(std::unique_ptr<Transport> transport = nullptr, QObject* parent = nullptr);
    ~Verbindung() override;

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
    // until it is asked to end). When it passes, the abort sequence runs (ESC,
    // port closed) and the operation ends with Zeitueberschreitung. For the
    // command line, which has no close button.
    void setEmpfangsgrenze(std::chrono::milliseconds zeit) { m_empfangsgrenze = zeit; }

    bool portOffen() const { return m_transport->istOffen(); }
    // Opens the current port; false when it cannot be opened (see transport()).
    bool portOeffnen();
    // Why the last open failed, in words for the user: no such device, no
    // permission (with the group to join), or held by another program.
    QString oeffnenFehlerText() const;
    void portSchliessen() { m_transport->schliessen(); }

    // Received bytes in arrival order (see above), and the counter of the
    // bytes sent or received in the transfer under way.
    const QByteArray& Empfangspuffer() const { return m_empfangspuffer; }
    int Fortschritt() const { return m_fortschritt; }

    // --- The device operations. Each refuses with the busy rule's beep (and
    // returns false) while an operation is under way; otherwise it starts and
    // reports its end through `fertig`. ---

    // Starts an operation: the busy test, then its preparation, `Konfig_open`
    // (progress Verbinden) and the wait for ACK. A port that cannot be opened
    // ends like a silent device, after the wait; the cause is told at once
    // (portHinweis). Without ACK the operation ends with KeineVerbindung,
    // else it goes on with its steps.
    bool starten(std::unique_ptr<Vorgang> vorgang, Fertig fertig);

    // "r": reads the 3328 bytes of pages 0..12. `vorbereiten` runs after the
    // busy test (the caller empties the editor and resets the image there);
    // `dekodieren` gets exactly 3328 bytes.
    bool konfigurationLesen(Dekoder dekodieren, Fertig fertig, Weiter vorbereiten = {});
    // "w": for every flagged page p in ascending order the page character
    // 48+p and the page's 256 cells (unset cells as 0xFF), every byte echoed;
    // then ESC. The image and flags are taken as they are at the start; the
    // write changes neither. A missing echo ends with ESC and a transfer
    // error that says how far the write came (Schreibstand).
    bool konfigurationSchreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig);
    // "l": the event memory. `umwandeln` gets the last 512 of the first 513
    // bytes received, after the progress is over (it writes the log file;
    // false when it cannot); the caller opens the viewer on Erfolg.
    bool ereignisspeicherLesen(Dekoder umwandeln, Fertig fertig);
    // "t", then the wait for ">". `dekodieren` gets the five clock bytes and
    // the ">" (fewer than five bytes before ">" is a transfer error without
    // calling it).
    bool uhrLesen(Dekoder dekodieren, Fertig fertig);
    // "s", 500 ms, then the five bytes, each followed by 200 ms. No answer is
    // awaited. The setting ends with ESC, then the port is closed.
    bool uhrSetzen(Uhrbyte byteFuer, Fertig fertig);
    // The clock setting is to end (its dialog closes): a setting under way
    // ends there (ESC, port closed; Abgebrochen, or KeineVerbindung while
    // connecting). Any other operation goes on. Idle with the port open: ESC,
    // port closed.
    void uhrSetzenBeenden();

    // The abort sequence (toolbar "Verbindung abbrechen"): ESC to the device,
    // port closed, receive buffer cleared, and the operation under way asked
    // to end. Works with and without an operation and when the port cannot
    // be opened.
    void abbrechen();
    // The operation under way is asked to end (the user closed the progress
    // window): a running wait ends aborted at once and the operation ends as
    // a missing answer there would; a download or a pause ends at once.
    void abbruchAnfordern();

    // The owner goes away (the main window closes): whatever is under way
    // ends at once, without its report; the port is closed and the progress
    // over. The link can be used again afterwards.
    void stilllegen();

    bool operationLaeuft() const { return m_vorgang != nullptr; }
    // The operation under way, else null.
    const Vorgang* vorgang() const { return m_vorgang; }
    // A wait for an answer is running.
    bool wartet() const { return m_warten.aktiv; }

signals:
    // The progress of the operation under way: Verbinden when it begins,
    // then at every byte counted and every transfer with a total of its own,
    // Beendet when there is nothing more to show.
    void fortschritt(const Fortschrittsstand& stand);
    // A step of the link or of the operation under way: the port opened and
    // closed, ACK received, the command sent, a page written, the data
    // received, ESC sent. For a user who wants to follow them (gsmbv -v).
    void schrittGetan(const Schrittmeldung& s);
    // Emitted by every connection opening: why the port could not be opened
    // (oeffnenFehlerText), or empty when it is open. The wait for the device
    // goes on either way.
    void portHinweis(const QString& text);

private:
    struct Warten {
        bool aktiv = false;
        QByteArray erwartet;
        std::chrono::milliseconds frist{0};
    };
    // The Anweisung being carried out.
    struct Lauf {
        Anweisung::Tun tun = Anweisung::Tun::Nichts;
        QByteArray text;  // Senden: the lengthened bytes
        int i = 0;        // Senden: the byte awaiting its echo
        int anzahl = 0;   // Empfangen: bytes to collect
        bool zaehlen = false;
        bool verbergen = false;
    };

    // Carrying out the operation's steps.
    void ausfuehren(Anweisung a);
    void schrittFertig(Schrittende s);
    void enden(const Anweisung& a);
    void Konfig_open();
    void sendenNaechstes();
    void Antwort(const QByteArray& erwartet);
    void empfangBeginnen();
    void empfangPruefen();
    void direkt(const Anweisung& a);
    bool schreiben(const QByteArray& bytes);
    void zaehlen();
    void melden(Schrittmeldung::Was was, int zahl = 0, const QByteArray& bytes = {});
    Vorgangsbericht keineVerbindung(const Schrittende& s) const;

    // Receiving.
    void lesenSchleife();
    void zeichenEmpfangen(std::uint8_t z);
    void Auswert(std::uint8_t z);
    void pruefeWarten();
    void warteEnde(Warteausgang a);

    // Ending.
    void empfangsgrenzeErreicht();
    void leitungGetrennt();
    void fortschrittEnde();
    void beenden(const Vorgangsbericht& b, bool melden);

    std::unique_ptr<Transport> m_transport;
    Portzuordnung m_zuordnung;
    int m_port = 1;
    QByteArray m_empfangspuffer;
    int m_fortschritt = 0;
    Fortschrittsstand m_stand;
    bool m_angezeigt = false;  // progress begun and not yet over
    std::optional<Portfehler> m_portfehler;  // the last Konfig_open found the port closed

    std::chrono::milliseconds m_wartezeit = kWartezeit;
    std::chrono::milliseconds m_empfangsgrenze{0};
    QTimer m_frist;          // deadline of the running wait
    QTimer m_empfangsfrist;  // optional receive limit
    QTimer m_pause;          // the pause after a byte written without an echo
    Schrittende m_nachPause;
    Warten m_warten;
    Lauf m_lauf;
    bool m_imLesen = false;

    Vorgang* m_vorgang = nullptr;  // a child of this; removed (later) at its end
    Fertig m_fertig;
    bool m_abbruch = false;      // the operation is asked to end
    bool m_getrennt = false;     // the line went while the operation ran
    bool m_imWeiter = false;     // the operation decides its next step
    int m_direktGesendet = 0;    // data bytes written without an echo
};
