#pragma once
// The simulated device on a pseudo-terminal, in-process and on the caller's
// event loop (no threads): the other side opens pfad() like a serial port.
//
//   SimPtyRunner sim(optionen);
//   QSerialPort port(sim.pfad());   // same event loop
//
// The runner holds a slave descriptor of its own (so the master never sees a
// hangup and never floods the loop with EIO) and learns of the other side's
// opens and closes from inotify on the slave device. Shortly after the other
// side opens the line the device announces itself (ACK). When it closes, the
// bytes it wrote before closing still reach the device, the device leaves any
// command, and everything not yet delivered in either direction is discarded,
// so a later opener never reads stale bytes. One opener at a time, as with a
// real serial port.
//
// Pacing: the wire runs at `baud` bit/s, 8N1 (ten bits per byte), in both
// directions. A byte written by the other side arrives 10/baud s after it was
// written, or after the previous byte arrived if that is later; the device's
// answer to it starts no earlier than its arrival, and every byte the device
// sends takes 10/baud s on the wire, after the previous one. (The engine is
// handed each byte as soon as it is read from the line; only the answer waits,
// which is all the other side can see.) Times are absolute on the monotonic
// clock (timerfd), so timer latency does not add up over a transfer; bytes that
// are due are sent together. baud 0: as fast as possible. For accurate pacing
// the runner lowers its thread's timer slack to one microsecond.
//
// The memory file (speicherDatei) holds the device's memory from the start on
// and follows every change: at once when a write ends, when the other side
// closes the line and when speichern() is called (the program's end); while a
// write runs, at most kAbbildAbstandMs after a byte changed the memory. A save
// costs milliseconds (the file is replaced and synced to disk as a whole), more
// than a byte takes at 9600 bit/s, hence the spacing. A read can only follow a
// write that ended or was broken off (line closed, or the device's silence
// limit of seconds), so whatever a read of the device shows, the file holds.
#include "mitschrift/mitschrift.h"
#include "sim/simfehler.h"
#include "sim/simgeraet.h"
#include "sim/simstandard.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>

class QSocketNotifier;
class QTimer;

struct SimOptionen {
    QByteArray speicher = simStandardSpeicher();      // 3328 bytes
    QByteArray ereignisse = simStandardEreignisse();  // 512 bytes
    int baud = 9600;                                  // 0 = as fast as possible
    SimFehler fehler;
    QString mitschriftDatei;   // transcript file, "" = none
    QString speicherDatei;     // memory as 3328 raw bytes, kept up to date; "" = none
    SimGeraet::Schreibmodell schreibmodell = SimGeraet::Schreibmodell::Zeichenweise;
    QDateTime uhr;             // device clock at start; invalid = the PC's local time
    int ackVerzoegerungMs = 20; // from the other side's open to the ACK
};

class SimPtyRunner : public QObject {
    Q_OBJECT
public:
    explicit SimPtyRunner(const SimOptionen& optionen = SimOptionen(), QObject* parent = nullptr);
    ~SimPtyRunner() override;

    // False when the pseudo-terminal (or the transcript file) could not be set up.
    bool ok() const { return m_fehlertext.isEmpty(); }
    QString fehlertext() const { return m_fehlertext; }
    // The device path for the other side, e.g. "/dev/pts/7".
    QString pfad() const { return m_pfad; }
    int baud() const { return m_baud; }

    // The engine: memory after a write, clock setting received, faults, ...
    SimGeraet& geraet() { return m_geraet; }
    const SimGeraet& geraet() const { return m_geraet; }

    // What went over the wire, in wire order ("<-" taken in by the device,
    // "->" delivered to the other side), with the connection events.
    const Mitschrift& mitschrift() const { return m_mitschrift; }
    QByteArray empfangeneBytes() const { return m_mitschrift.empfangeneBytes(); }
    QByteArray gesendeteBytes() const { return m_mitschrift.gesendeteBytes(); }

    // The other side holds the line open.
    bool verbunden() const { return m_verbunden; }
    // How often the other side has opened the line.
    int verbindungen() const { return m_verbindungen; }
    // Bytes of the device not yet delivered to the other side.
    bool unterwegs() const { return !m_ausgang.empty() || !m_ausstehend.isEmpty(); }

    // Writes the memory to the memory file of the options (if any) now.
    bool speichern(QString* meldung = nullptr);

    static constexpr qint64 kAbbildAbstandMs = 100;

signals:
    void geoeffnet();    // the other side opened the line
    void geschlossen();  // the other side closed it
    void geschrieben();  // a write command completed; the memory holds its pages

private:
    struct Zeitbyte {
        qint64 zeit;  // monotonic nanoseconds
        std::uint8_t byte;
    };

    bool einrichten();
    bool dateienEinrichten();
    void inotifyLesen();
    void masterLesen();
    void verarbeiten();
    void einplanen(const QByteArray& bytes, qint64 erzeugt);
    void ausgeben();
    void timerStellen();
    void oeffnen();
    void schliessen();
    void nachEmpfang();
    void abbildNachfuehren(bool sofort);
    static qint64 jetztNs();

    SimOptionen m_optionen;
    SimGeraet m_geraet;
    Mitschrift m_mitschrift;
    QFile m_mitschriftDatei;
    QString m_fehlertext;
    QString m_pfad;
    int m_baud = 9600;
    qint64 m_bitzeitNs = 0;  // one byte on the wire

    int m_master = -1;
    int m_slave = -1;
    int m_inotify = -1;
    int m_timer = -1;
    QSocketNotifier* m_lesbar = nullptr;
    QSocketNotifier* m_schreibbar = nullptr;
    QSocketNotifier* m_inotifyMeldung = nullptr;
    QSocketNotifier* m_timerMeldung = nullptr;

    int m_offen = 0;  // opens minus closes of the other side
    bool m_verbunden = false;
    int m_verbindungen = 0;
    int m_schreibstand = 0;
    qint64 m_abbildStand = -1;     // the memory's change count the file holds
    QElapsedTimer m_seitAbbild;    // since the file was last written
    QTimer* m_abbildTimer = nullptr;
    QString m_abbildFehler;        // the last failure to write it, already reported

    std::deque<Zeitbyte> m_ausgang;  // produced by the device, not yet due
    QByteArray m_ausstehend;         // due, not yet accepted by the pty
    qint64 m_letzteAnkunft = 0;
    qint64 m_letzteFaelligkeit = 0;
};
