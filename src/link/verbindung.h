#pragma once
// The device link: the serial connection of the program (`MSComm1`), the
// connection opening `Konfig_open`, the send with echo check `Senden`, the
// answer wait `Antwort`, the receive evaluator `Auswert`, the abort sequence,
// the progress window `Daten` whose unload ends every device operation, and
// the four device operations built on them (configuration read and write,
// event-memory read, clock read and set).
//
// Everything runs on the event loop. A wait is a deadline timer plus the
// transport's data signal: the call that starts it returns at once and its
// continuation runs when the awaited byte arrives, the deadline passes or the
// wait is aborted (`Abbruch`: Daten closed, abort sequence). Outcomes are in
// the session flags as the rest of the program expects them (`AntwortOK`
// after every wait). No continuation or callback runs after the Verbindung
// is destroyed.
//
// Received bytes reach `Auswert` one at a time in arrival order. A successful
// wait discards the receive buffer up to and including the awaited byte and
// keeps whatever followed it, so a device that answers at once (echo and data
// in one burst) loses nothing.
#include "image/konfigspeicher.h"
#include "link/daten.h"
#include "link/portzuordnung.h"
#include "link/sitzung.h"
#include "link/transport.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

// How a device operation ended.
enum class Ausgang {
    Erfolg,
    KeineVerbindung,      // no ACK: "Verbindung nicht möglich" was shown
    Uebertragungsfehler,  // missing echo or answer, or the decode failed: "Fehler bei Datenübertragung"
    Abgebrochen,          // Daten closed or the abort sequence, while data was awaited
    Zeitueberschreitung,  // the optional receive limit passed without a byte
};

class Verbindung : public QObject {
    Q_OBJECT
public:
    using Weiter = std::function<void()>;
    // Gets the received bytes; false is a run-time error in the decode, which
    // ends in the receive evaluator's error trap.
    using Dekoder = std::function<bool(const QByteArray& bytes)>;
    // Called once when an operation has ended: posted, so never from inside
    // the link's own call chain; dropped when the Verbindung is gone first.
    // It may start the next operation or destroy the Verbindung.
    using Fertig = std::function<void(Ausgang)>;
    // The clock byte number i (0 seconds, 1 minutes, 2 hours, 3 day, 4 month),
    // asked for at the moment it is sent.
    using Uhrbyte = std::function<std::uint8_t(int i)>;

    static constexpr std::uint8_t ACK = 6;
    static constexpr std::uint8_t ESC = 27;
    static constexpr int kLogAnzahl = 512;
    static constexpr std::chrono::milliseconds kWartezeit{40000};

    static QString titel() { return QStringLiteral("GSM Boravilon"); }
    static QString textKeineVerbindung() { return QStringLiteral("Verbindung nicht möglich"); }
    static QString textUebertragungsfehler() { return QStringLiteral("Fehler bei Datenübertragung"); }

    // `transport`: null means the serial port. The session must outlive every
    // call; the destructor does not touch it.
    explicit Verbindung(Sitzung& sitzung, std::unique_ptr<Transport> transport = nullptr,
                        QObject* parent = nullptr);
    ~Verbindung() override;

    Sitzung& sitzung() { return m_s; }
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
    // runs, "Fehler bei Datenübertragung" is shown and the operation ends
    // with Zeitueberschreitung. For the command line, which has no close button.
    void setEmpfangsgrenze(std::chrono::milliseconds zeit) { m_empfangsgrenze = zeit; }

    bool portOffen() const { return m_transport->istOffen(); }
    // Opens the current port; false when it cannot be opened (see transport()).
    bool portOeffnen();
    // Why the last open failed, in words for the user: no such device, no
    // permission (with the group to join), or held by another program.
    QString oeffnenFehlerText() const;
    void portSchliessen() { m_transport->schliessen(); }

    // --- The link, step by step (the operations below use these). ---

    // Opens the port, shows Daten ("Verbindungsaufbau ...", countdown from 80)
    // and waits for ACK. Sets `Belegt`. Outcome in `AntwortOK`. A port that
    // cannot be opened ends like a silent device, after the wait.
    void Konfig_open(Weiter weiter);
    // Sends the text (lengthened with 0xFF to `laenge`) one byte at a time,
    // each awaiting its echo; stops at the first missing echo. Outcome in `AntwortOK`.
    void Senden(const QByteArray& text, int laenge, Weiter weiter);
    // Waits for `erwartet` anywhere in the receive buffer. On timeout or abort
    // it restores the pointer, clears the mode flags and closes Daten; no message.
    void Antwort(const QByteArray& erwartet, Weiter weiter);
    bool wartet() const { return m_warten.aktiv; }
    // Writes bytes without waiting for anything (false: port closed or refused).
    bool direkt(const QByteArray& bytes);

    // The abort sequence (toolbar "Verbindung abbrechen"): ESC to the device,
    // port closed, link flags and receive buffer cleared, Daten closed. Works
    // with and without an operation and when the port cannot be opened.
    void abbrechen();

    // --- The device operations. Each refuses with a beep (and returns false)
    // while `Belegt` is set or another operation is under way; otherwise it
    // starts and reports its end through `fertig`. ---

    // "r": reads the 3328 bytes of pages 0..12. `vorbereiten` runs after the
    // busy test with `Einlesen` set (the caller empties the editor and resets
    // the image there); `dekodieren` gets exactly 3328 bytes. On success the
    // port is closed and Daten unloaded after the decode.
    bool konfigurationLesen(Dekoder dekodieren, Fertig fertig, Weiter vorbereiten = {});
    // "w": for every flagged page p in ascending order the page character
    // 48+p and the page's 256 cells (unset cells as 0xFF), every byte echoed;
    // then ESC. The image and flags are taken as they are at the start; the
    // write changes neither.
    bool konfigurationSchreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig);
    // "l": the event memory. `umwandeln` gets the last 512 of the first 513
    // bytes received (it writes the log file; false when it cannot); the
    // caller opens the viewer on Erfolg.
    bool ereignisspeicherLesen(Dekoder umwandeln, Fertig fertig);
    // The clock command with the dialog's read: "t", then the wait for ">".
    // `dekodieren` gets the five clock bytes and the ">" (fewer than five
    // bytes before ">" is a transfer error without calling it). Ends with the
    // port closed and Daten unloaded. The dialog is shown for every outcome
    // except KeineVerbindung.
    bool uhrLesen(Dekoder dekodieren, Fertig fertig);
    // "Übernehmen": "s", 500 ms, then the five bytes, each followed by 200 ms.
    // No answer is awaited. The port stays open: the caller closes the clock
    // dialog on every outcome, and the dialog's unload calls uhrDialogEntladen().
    bool uhrSetzen(Uhrbyte byteFuer, Fertig fertig);
    // The clock dialog's unload: `UhrModus` cleared; with the port open, ESC
    // and the port closed. A clock setting still under way ends there.
    void uhrDialogEntladen();

    // The owner goes away (the main window closes): whatever is under way
    // ends at once, without a message, a beep or its `fertig` callback; the
    // port is closed, Daten removed and the session left idle. The link can
    // be used again afterwards.
    void stilllegen();

    bool operationLaeuft() const { return m_op != Op::Keine; }

signals:
    // The hourglass over the main window on (true) or off.
    void mauszeiger(bool sanduhr);
    // Emitted by every connection opening: why the port could not be opened
    // (oeffnenFehlerText), or empty when it is open. The wait for the device
    // goes on either way.
    void portHinweis(const QString& text);

private:
    enum class Op { Keine, Lesen, Schreiben, Ereignisse, UhrLesen, UhrSetzen };
    struct Warten {
        bool aktiv = false;
        QByteArray erwartet;
        Weiter weiter;
        quint64 nummer = 0;
    };

    // link
    void lesenSchleife();
    void zeichenEmpfangen(std::uint8_t z);
    void Auswert(std::uint8_t z);
    void pruefeWarten();
    void warteEnde(bool gefunden);
    void abbruchSetzen();
    void datenEntladen();
    void sendenAb(QByteArray text, int i, Weiter weiter);
    void fehlerfalle();
    void meldung(const QString& text);

    // operations
    bool annehmen();
    void beginnen(Op op, Fertig fertig, Dekoder dekoder = {});
    void beenden(Ausgang a);
    void empfangBeginnen();
    void empfangsgrenzeErreicht();
    void stufeKonfiguration();
    void stufeUhr();
    void stufeEreignisse();
    void naechsteSeite(int nach);
    void schreibFehler();
    void schreibenEnde(Ausgang a);
    void uhrBefehlEnde(Ausgang a);
    void uhrPause();
    void uhrSetzenEnde(Ausgang a);

    Sitzung& m_s;
    std::unique_ptr<Transport> m_transport;
    Daten m_daten;
    Portzuordnung m_zuordnung;
    int m_port = 1;

    std::chrono::milliseconds m_wartezeit = kWartezeit;
    std::chrono::milliseconds m_empfangsgrenze{0};
    QTimer m_frist;          // deadline of the running wait
    QTimer m_empfangsfrist;  // optional receive limit
    QTimer m_pause;          // pauses of the clock setting
    Warten m_warten;
    quint64 m_wartenummer = 0;
    bool m_imLesen = false;

    Op m_op = Op::Keine;
    Fertig m_fertig;
    Dekoder m_dekoder;
    bool m_endetBeiEntladen = false;  // Daten's unload ends the operation (data or pauses awaited)
    Ausgang m_ausgangBeiEntladen = Ausgang::Abgebrochen;
    bool m_falle = false;             // the error trap struck during the operation
    bool m_schreibfehler = false;

    Konfigspeicher m_bild;
    Seitenaenderung m_seiten{};
    int m_seite = -1;
    Uhrbyte m_uhrbyte;
    int m_uhrSchritt = 0;
};
