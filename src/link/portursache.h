#pragma once
// Why a serial port could not be opened, told apart once for both front ends:
// no such device, no permission (the user is missing from the device's group),
// or the port held by another program - named when a lock file or the
// process table shows who it is.
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <optional>

struct Portursache {
    enum class Art { Unbekannt, NichtVorhanden, KeineBerechtigung, Belegt };
    Art art = Art::Unbekannt;
    QString gruppe;    // KeineBerechtigung: the group that may open the device
    QString programm;  // Belegt: the program holding the port, when known
    qint64 pid = 0;    // Belegt: its process number, when known
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
// names for `geraet`. Lock files hold the process number as text on their
// first line ("      4711", "4711"); a file whose process has ended is stale.
std::optional<Halter> sperrHalter(const QString& geraet, const QStringList& ordner = sperrOrdner());

// A process, other than this one, that has `geraet` open (only processes the
// user may look into are seen).
std::optional<Halter> offenBei(const QString& geraet);

// The group that may open `geraet`: the device's own group, or "dialout",
// where serial ports live on Debian, when it has none of use ("root").
QString gruppe(const QString& geraet);

// The cause of a failed open of `geraet`, from the port's error and a look at
// the device, its permissions, the lock files and the processes.
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
