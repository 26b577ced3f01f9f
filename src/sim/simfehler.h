#pragma once
// The faults a simulated device can be given, alone or combined. Written on the
// command line of gsmbv-sim as --fault FEHLER (repeatable, or comma-separated):
//
//   silent       the device never sends anything: no ACK, no echo, no data.
//   noecho@N     in every write command the N-th echoed character ('w' is 1,
//                then each page-select character and each data byte) is not
//                echoed; the device takes the byte in as usual and echoes the
//                following ones again.
//   stop@N       every configuration read sends its echo 'r' and only the first
//                N of the 3328 configuration bytes.
//   noise        three to eight pseudo-random bytes (never 0x06) before every
//                ACK; noise@SEED chooses the seed of the sequence.
//   hangup@N     the device disappears once it has sent N bytes in total, counted
//                from its start over all connections (noise, ACKs, echoes, data):
//                the N-th byte is the last it sends; afterwards it takes no byte
//                in, answers nothing and never announces itself again. The line
//                itself stays open, as when a device loses its power supply.
//   nostore@N    a write takes page N (0..12) in and echoes it as usual but
//                does not store it: the page keeps what it held. Repeatable
//                for several pages (nostore@3,nostore@11).
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

struct SimFehler {
    bool stumm = false;                   // silent
    std::optional<int> keinEcho;          // noecho@N, N >= 1
    std::optional<int> stopp;             // stop@N, N >= 0
    bool rauschen = false;                // noise
    std::uint32_t rauschSaat = 0x2545F491u; // noise@SEED (never 0)
    std::optional<qint64> auflegen;       // hangup@N, N >= 0
    QList<int> nichtSpeichern;            // nostore@N, pages 0..12, ascending

    // Adds the faults of one fault description (several may be separated by commas). On an
    // unknown or malformed description nothing is changed, the result is false and
    // `meldung` says why.
    bool hinzufuegen(const QString& angabe, QString* meldung = nullptr);

    bool operator==(const SimFehler&) const = default;
};
