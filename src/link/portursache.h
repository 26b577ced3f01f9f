#pragma once
// Why a serial port could not be opened, told apart once for both front ends:
// no such device, no serial port at all, no permission (the user is missing
// from the device's group, or the device is its owner's alone), or the port
// held by another program - named when a lock file or the process table shows
// who it is.
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <optional>

struct Portursache {
    enum class Art { Unbekannt, NichtVorhanden, KeinPort, KeineBerechtigung, NurEigentuemer, Belegt };
    Art art = Art::Unbekannt;
    QString gruppe;       // KeineBerechtigung: the group to join; NurEigentuemer: the device's group
    QString programm;     // Belegt: the program holding the port, when known
    qint64 pid = 0;       // Belegt: its process number, when known
    QString eigentuemer;  // NurEigentuemer: the device's owner
    QString rechte;       // NurEigentuemer: its mode as "ls -l" shows it ("crw-------")
};

namespace portursache {

// A process that holds a port.
struct Halter {
    qint64 pid = 0;
    QString programm;
};

// The folders where serial-port lock files ("LCK..ttyUSB0") are kept.
QStringList sperrOrdner();

// The running process, other than this one, that a lock file in `ordner`
// names for `geraet`. Lock files hold the process number as text, padded or
// not and maybe followed by words ("      4711", "     15008 minicom root"),
// as Qt writes it (number, program, host on three lines) or as a binary int;
// an empty one belongs to the process that holds it open (flock). A file
// whose process has ended is stale.
std::optional<Halter> sperrHalter(const QString& geraet, const QStringList& ordner = sperrOrdner());

// A process, other than this one, that has `geraet` open (only processes the
// user may look into are seen). A process that holds the other side of a
// pseudo-terminal (its master, as a simulated device does) does not count.
std::optional<Halter> offenBei(const QString& geraet);

// Who holds the character device `geraet` before it is opened: the owner of
// its lock file, else a process that has it open. Nothing for what is no
// character device (the open then tells what it is).
std::optional<Halter> halter(const QString& geraet, const QStringList& ordner = sperrOrdner());

// The group that may open `geraet`: the device's own group, or "dialout",
// where serial ports live on Debian, when it has none of use ("root").
QString gruppe(const QString& geraet);

// The cause of a failed open of `geraet`, from the port's error and a look at
// the device, its permissions, the lock files and the processes. The group is
// advised only when it may read and write the device (and is not root's).
Portursache ermitteln(const QString& geraet, QSerialPort::SerialPortError fehler,
                      const QStringList& ordner = sperrOrdner());

// The serial port's error in German words, for the line of a port whose
// cause is unknown and for a write the port refused: the system's error number
// (errno right after the failing call, 0 when not set) where it has words of
// its own, else the port's kind of error.
QString fehlertext(QSerialPort::SerialPortError fehler, int fehlernummer);

// The cause in words for the status bar and the command line, e.g.
// "COM 1 (/dev/ttyUSB0) ist belegt von Programm minicom (PID 4711)".
// `fehlertext` is the port's own words, used when the cause is unknown.
QString text(const Portursache& u, int com, const QString& geraet, const QString& fehlertext);

} // namespace portursache
