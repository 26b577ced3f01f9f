#pragma once
// The simulated device as a pure protocol engine: bytes in, bytes out, no I/O.
// It holds its own configuration memory (pages 0..12, 3328 bytes), its event
// ring (512 bytes) and its clock, and answers the commands of the serial
// protocol:
//
//   on connection  ACK (0x06)
//   "r"            echo 'r', then the 3328 bytes of the configuration memory
//   "w"            echo 'w'; then per page a page-select character (48 + page,
//                  pages 0..31), echoed, and the page's 256 bytes, each echoed;
//                  ESC (27) in place of a page-select character ends the write.
//                  Inside a page's 256 bytes every value is data, ESC included:
//                  a device that takes pages of 256 bytes cannot tell it apart.
//                  Pages 13..31 are echoed and dropped.
//   "l"            one leading byte (the echo 'l'), then the 512 event bytes
//   "t"            no echo; five clock bytes (seconds, minutes, hours, day,
//                  month as plain binary values) and ">"
//   "s"            no echo; the next five bytes set the clock: seconds, minutes,
//                  hours as two-digit BCD, day (bits 7-6 year mod 4, bits 5-0 BCD
//                  day), month (bits 7-5 weekday 0 = Monday .. 6 = Sunday, bits
//                  4-0 BCD month)
//   ESC            leaves a write (between pages) or a clock setting
//
// What a write stores depends on the write model:
//   Zeichenweise   (the default) every byte of pages 0..12 is in the memory the
//                  moment it is echoed; a read right after the write sees it. A
//                  write broken off, inside a page or between pages, leaves the
//                  memory with every byte received up to then.
//   Vollstaendig   nothing is stored until ESC ends the write; then every
//                  complete page 0..12 received is. A write broken off is
//                  dropped as a whole, a page left unfinished as well.
//
// When the device is ready for a command again: a write or clock setting under
// way is left when no byte comes for kRuhezeitMs (the next byte is then read
// as a command), when the line is opened again (the device announces itself
// with ACK) and when it is closed. A clock setting left unfinished sets nothing.
//
// Bytes outside a command that are no command letter are ignored and not
// echoed; so are bytes in a write that are neither a page-select character nor
// ESC.
#include "mitschrift/mitschrift.h"
#include "sim/simfehler.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

class SimGeraet {
public:
    static constexpr int kSpeicherBytes = 3328;
    static constexpr int kEreignisBytes = 512;
    static constexpr std::uint8_t ACK = 0x06;
    static constexpr std::uint8_t ESC = 0x1B;
    // Silence after which a command under way is left.
    static constexpr qint64 kRuhezeitMs = 5000;

    enum class Schreibmodell { Zeichenweise, Vollstaendig };

    // Monotonic milliseconds; the clock runs on from its setting by this source.
    using Zeitquelle = std::function<qint64()>;

    // Memory and ring of other sizes are cut or filled up with 0xFF. The clock
    // starts at `uhr` (a time without a zone is taken as it stands).
    explicit SimGeraet(const QByteArray& speicher, const QByteArray& ereignisse,
                       const QDateTime& uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)),
                       Zeitquelle jetzt = {});

    // The other side opened the line: what the device sends to announce itself
    // (the ACK, noise before it, or nothing when silent or gone). Any command
    // still under way is left first.
    QByteArray verbunden();
    // Bytes from the other side, in order; returns the bytes to send in answer.
    QByteArray empfangen(const QByteArray& bytes);
    // The other side closed the line: any command is left (what a write left
    // in the memory stays there, as the write model has it).
    void getrennt();

    // Applies from the next byte on; a write under way is left.
    Schreibmodell schreibmodell() const { return m_schreibmodell; }
    void setzeSchreibmodell(Schreibmodell m);

    // Configuration memory, pages 0..12 in serial order.
    const QByteArray& speicher() const { return m_speicher; }
    // Counts the changes of the memory: it moves whenever a byte of it changes.
    qint64 speicherstand() const { return m_speicherstand; }
    const QByteArray& ereignisse() const { return m_ereignisse; }
    void setzeEreignisse(const QByteArray& ereignisse);

    // The device clock now (seconds resolution), and setting it directly.
    QDateTime uhr() const;
    void stelleUhr(const QDateTime& zeit);

    // The last clock setting received with "s".
    struct Uhreinstellung {
        QByteArray bytes;         // the five bytes as received
        bool gueltig = false;     // all fields valid BCD and a real date: the clock was set
        int sekunde = -1, minute = -1, stunde = -1, tag = -1, monat = -1;
        int jahrRest = -1;        // year mod 4 (day bits 7-6)
        int wochentag = -1;       // 0 = Monday .. 6 = Sunday (month bits 7-5)
    };
    std::optional<Uhreinstellung> letzteUhreinstellung() const { return m_uhreinstellung; }

    // Completed writes (ended by ESC) since the start, and the pages 0..12 the
    // last of them took in whole, ascending (without those of nostore@N). A
    // write broken off counts as none and leaves both as they were.
    int schreibvorgaenge() const { return m_schreibvorgaenge; }
    QList<int> letzteSeiten() const { return m_letzteSeiten; }

    const SimFehler& fehler() const { return m_fehler; }
    // New faults apply from the next byte on; a new noise seed restarts its sequence.
    void setzeFehler(const SimFehler& f);

    // Bytes sent since the start (over all connections).
    qint64 gesendet() const { return m_gesendet; }
    // The device has disappeared (hangup@N reached).
    bool weg() const { return m_weg; }

    // Every byte in and out, in the order the engine handled them.
    const Mitschrift& mitschrift() const { return m_mitschrift; }
    Mitschrift& mitschrift() { return m_mitschrift; }

private:
    enum class Zustand { Bereit, SeiteWaehlen, SeiteEmpfangen, UhrStellen };

    void byteEmpfangen(std::uint8_t b, QByteArray& aus);
    void befehl(std::uint8_t b, QByteArray& aus);
    void seiteWaehlen(std::uint8_t b, QByteArray& aus);
    void seitenbyte(std::uint8_t b, QByteArray& aus);
    void uhrbyte(std::uint8_t b);
    void ablegen(int stelle, char b);
    void senden(QByteArray& aus, const QByteArray& bytes);
    void echo(QByteArray& aus, std::uint8_t b);
    void schreibenBeenden();
    void uhrSetzen();
    void verlassen();
    std::uint32_t zufall();

    QByteArray m_speicher;
    QByteArray m_ereignisse;

    QDateTime m_uhrBasis;
    qint64 m_uhrBasisMs = 0;
    Zeitquelle m_jetzt;
    std::optional<Uhreinstellung> m_uhreinstellung;

    Zustand m_zustand = Zustand::Bereit;
    int m_echoZaehler = 0;                   // echoed characters of the running write
    int m_seite = 0;                         // page being received
    QByteArray m_seitenPuffer;
    std::map<int, QByteArray> m_neueSeiten;  // complete pages 0..12 of the running write
    Schreibmodell m_schreibmodell = Schreibmodell::Zeichenweise;
    qint64 m_letztesByteMs = 0;              // when the last byte came in
    qint64 m_speicherstand = 0;
    QByteArray m_uhrPuffer;

    int m_schreibvorgaenge = 0;
    QList<int> m_letzteSeiten;

    SimFehler m_fehler;
    std::uint32_t m_rauschZustand = 0;
    qint64 m_gesendet = 0;
    bool m_weg = false;

    Mitschrift m_mitschrift;
};
