#include "link/portursache.h"

#include "systemfehler/systemfehler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace portursache {
namespace {

bool laeuft(qint64 pid)
{
    if (pid <= 0 || pid == QCoreApplication::applicationPid())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString programmVon(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(f.readAll()).trimmed();
}

// The names a lock file for the device may have: "LCK..ttyUSB0" for
// /dev/ttyUSB0, "LCK..pts_3" (as Qt's serial port writes it) and "LCK..3"
// for /dev/pts/3.
QStringList sperrNamen(const QString& geraet)
{
    QString rest = QDir::cleanPath(geraet);
    if (rest.startsWith(QLatin1String("/dev/")))
        rest = rest.mid(5);
    QStringList namen{QStringLiteral("LCK..") + QString(rest).replace(QLatin1Char('/'), QLatin1Char('_'))};
    const QString basis = QFileInfo(geraet).fileName();
    if (!namen.contains(QStringLiteral("LCK..") + basis))
        namen << QStringLiteral("LCK..") + basis;
    return namen;
}

} // namespace

QStringList sperrOrdner()
{
    return {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"), QStringLiteral("/etc/locks"), QStringLiteral("/tmp")};
}

std::optional<Halter> sperrHalter(const QString& geraet, const QStringList& ordner)
{
    for (const QString& o : ordner) {
        for (const QString& name : sperrNamen(geraet)) {
            QFile f(QDir(o).filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            bool zahl = false;
            const qint64 pid = f.readLine(64).trimmed().toLongLong(&zahl);
            if (!zahl || !laeuft(pid))
                continue;
            // Qt's lock files name the program on the second line: another
            // program under a reused number does not hold the port.
            const QString programm = programmVon(pid);
            const QString eigner = QFileInfo(QString::fromLocal8Bit(f.readLine(4096).trimmed())).fileName();
            if (!eigner.isEmpty() && !programm.isEmpty() && eigner.left(15) != programm)
                continue;
            return Halter{pid, programm};
        }
    }
    return std::nullopt;
}

std::optional<Halter> offenBei(const QString& geraet)
{
    const QString ziel = QFileInfo(geraet).canonicalFilePath();
    if (ziel.isEmpty())
        return std::nullopt;
    const QDir proc(QStringLiteral("/proc"));
    const QStringList eintraege = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : eintraege) {
        bool zahl = false;
        const qint64 pid = e.toLongLong(&zahl);
        if (!zahl || pid == QCoreApplication::applicationPid())
            continue;
        const QDir fds(proc.filePath(e + QStringLiteral("/fd")));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == ziel)
                return Halter{pid, programmVon(pid)};
        }
    }
    return std::nullopt;
}

QString gruppe(const QString& geraet)
{
    const QFileInfo fi(geraet);
    const QString g = fi.exists() ? fi.group() : QString();
    if (g.isEmpty() || g == QLatin1String("root"))
        return QStringLiteral("dialout");
    return g;
}

Portursache ermitteln(const QString& geraet, QSerialPort::SerialPortError fehler, const QStringList& ordner)
{
    Portursache u;
    const QByteArray pfad = QFile::encodeName(geraet);
    if (fehler == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(geraet)) {
        u.art = Portursache::Art::NichtVorhanden;
        return u;
    }
    if (const auto h = sperrHalter(geraet, ordner)) {
        u.art = Portursache::Art::Belegt;
        u.pid = h->pid;
        u.programm = h->programm;
        return u;
    }
    if (fehler != QSerialPort::PermissionError)
        return u;
    // The port's permission error stands for three causes: the device's
    // permissions, a lock file of another program, and a device opened for
    // exclusive use (busy). Only the first is helped by a group.
    if (::access(pfad.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM)) {
        u.art = Portursache::Art::KeineBerechtigung;
        u.gruppe = gruppe(geraet);
        return u;
    }
    u.art = Portursache::Art::Belegt;
    if (const auto h = offenBei(geraet)) {
        u.pid = h->pid;
        u.programm = h->programm;
    }
    return u;
}

QString fehlertext(QSerialPort::SerialPortError fehler, int fehlernummer)
{
    if (fehlernummer > 0 && !systemfehler::text(fehlernummer).startsWith(QLatin1String("Systemfehler")))
        return systemfehler::text(fehlernummer);
    switch (fehler) {
    case QSerialPort::NoError: break;
    case QSerialPort::DeviceNotFoundError: return QStringLiteral("Gerät nicht vorhanden");
    case QSerialPort::PermissionError: return QStringLiteral("keine Berechtigung oder belegt");
    case QSerialPort::OpenError: return QStringLiteral("schon geöffnet");
    case QSerialPort::NotOpenError: return QStringLiteral("nicht geöffnet");
    case QSerialPort::WriteError: return QStringLiteral("Schreiben fehlgeschlagen");
    case QSerialPort::ReadError: return QStringLiteral("Lesen fehlgeschlagen");
    case QSerialPort::ResourceError: return QStringLiteral("Gerät nicht mehr verfügbar");
    case QSerialPort::UnsupportedOperationError: return QStringLiteral("vom Treiber nicht unterstützt");
    case QSerialPort::TimeoutError: return QStringLiteral("Zeitüberschreitung");
    case QSerialPort::UnknownError: break;
    }
    if (fehlernummer > 0)
        return systemfehler::text(fehlernummer);
    return QStringLiteral("unbekannter Fehler");
}

QString text(const Portursache& u, int com, const QString& geraet, const QString& fehlertext)
{
    const QString port = QStringLiteral("COM %1 (%2)").arg(com).arg(geraet);
    switch (u.art) {
    case Portursache::Art::NichtVorhanden:
        return QStringLiteral("Gerät %1 nicht vorhanden").arg(geraet);
    case Portursache::Art::KeineBerechtigung:
        return QStringLiteral("Keine Berechtigung für %1 – Benutzer in die Gruppe %2 aufnehmen und neu anmelden")
            .arg(geraet, u.gruppe);
    case Portursache::Art::Belegt:
        if (u.pid > 0)
            return QStringLiteral("%1 ist belegt von Programm %2 (PID %3)")
                .arg(port, u.programm.isEmpty() ? QStringLiteral("?") : u.programm)
                .arg(u.pid);
        return QStringLiteral("%1 ist belegt von einem anderen Programm").arg(port);
    case Portursache::Art::Unbekannt:
        break;
    }
    if (fehlertext.isEmpty())
        return QStringLiteral("%1 lässt sich nicht öffnen").arg(port);
    return QStringLiteral("%1 lässt sich nicht öffnen: %2").arg(port, fehlertext);
}

} // namespace portursache
