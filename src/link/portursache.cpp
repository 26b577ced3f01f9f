#include "link/portursache.h"

#include "systemfehler/systemfehler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

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

// Where a link of /proc points ("/dev/ttyUSB0", "socket:[123]").
QByteArray linkZiel(const QString& link)
{
    char puffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(link).constData(), puffer, sizeof puffer);
    return n > 0 ? QByteArray(puffer, n) : QByteArray();
}

// The number of the pseudo-terminal whose master a descriptor of process
// `pid` is ("tty-index" in its fdinfo), or -1.
int ptyNummer(const QString& pid, const QString& fd)
{
    QFile f(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid, fd));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& zeile : f.readAll().split('\n'))
        if (zeile.startsWith("tty-index:"))
            return zeile.mid(10).trimmed().toInt();
    return -1;
}

// The first process, other than this one, that has the file `pfad` (a
// canonical path) open. With `pty` (the number of a pseudo-terminal's slave)
// a process that also holds that terminal's master does not count.
std::optional<Halter> prozessMit(const QByteArray& pfad, int pty)
{
    const QString ich = QString::number(QCoreApplication::applicationPid());
    const auto eintraege = QDir::Dirs | QDir::NoDotAndDotDot;
    const auto links = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(eintraege, QDir::Unsorted)) {
        bool zahl = false;
        const qint64 nummer = pid.toLongLong(&zahl);
        if (!zahl || pid == ich)
            continue;
        const QString fds = QStringLiteral("/proc/%1/fd/").arg(pid);
        bool offen = false;
        bool gegenseite = false;
        for (const QString& fd : QDir(fds).entryList(links, QDir::Unsorted)) {
            const QByteArray ziel = linkZiel(fds + fd);
            if (ziel == pfad)
                offen = true;
            else if (pty >= 0 && (ziel == "/dev/ptmx" || ziel == "/dev/pts/ptmx") && ptyNummer(pid, fd) == pty)
                gegenseite = true;
        }
        if (offen && !gegenseite)
            return Halter{nummer, programmVon(nummer)};
    }
    return std::nullopt;
}

// The process number in a lock file: text with blanks before it and a blank
// or a line end after it, else a binary int filling the file; 0: none. For
// Qt's lock files also the program named on the second line.
std::pair<qint64, QString> sperreLesen(const QByteArray& inhalt)
{
    qsizetype a = 0;
    while (a < inhalt.size() && (inhalt[a] == ' ' || inhalt[a] == '\t'))
        ++a;
    qsizetype e = a;
    while (e < inhalt.size() && inhalt[e] >= '0' && inhalt[e] <= '9')
        ++e;
    if (e > a && (e == inhalt.size() || QChar(QLatin1Char(inhalt[e])).isSpace())) {
        const QList<QByteArray> zeilen = inhalt.split('\n');
        const QString programm = zeilen.size() > 1 ? QFileInfo(QString::fromLocal8Bit(zeilen[1].trimmed())).fileName() : QString();
        return {inhalt.mid(a, e - a).toLongLong(), programm};
    }
    if (inhalt.size() == qsizetype(sizeof(int))) {
        int pid = 0;
        std::memcpy(&pid, inhalt.constData(), sizeof pid);
        return {pid, QString()};
    }
    return {0, QString()};
}

// The names a lock file for the device may have: "LCK..ttyUSB0" for
// /dev/ttyUSB0, "LCK..pts_3" (as Qt's serial port writes it) and "LCK..3"
// for /dev/pts/3; for a link (a stable name) also those of its device.
QStringList sperrNamen(const QString& geraet)
{
    QStringList namen;
    for (const QString& name : {geraet, QFileInfo(geraet).canonicalFilePath()}) {
        if (name.isEmpty())
            continue;
        QString rest = QDir::cleanPath(name);
        if (rest.startsWith(QLatin1String("/dev/")))
            rest = rest.mid(5);
        for (const QString& n : {QString(rest).replace(QLatin1Char('/'), QLatin1Char('_')), QFileInfo(name).fileName()})
            if (!namen.contains(QStringLiteral("LCK..") + n))
                namen << QStringLiteral("LCK..") + n;
    }
    return namen;
}

// True when the character device `nummer` is a terminal, as the kernel's
// list of terminal drivers says (name, node, major, minors, kind per line);
// also when that list cannot be read.
bool terminal(dev_t nummer)
{
    QFile f(QStringLiteral("/proc/tty/drivers"));
    if (!f.open(QIODevice::ReadOnly))
        return true;
    const unsigned haupt = major(nummer), neben = minor(nummer);
    for (const QByteArray& zeile : f.readAll().split('\n')) {
        const QList<QByteArray> teile = zeile.simplified().split(' ');
        if (teile.size() < 4 || teile[2].toUInt() != haupt)
            continue;
        const QList<QByteArray> bereich = teile[3].split('-');
        if (neben >= bereich.first().toUInt() && neben <= bereich.last().toUInt())
            return true;
    }
    return false;
}

// A mode as "ls -l" shows it: "crw-rw----".
QString modusText(mode_t m)
{
    QString t = S_ISCHR(m) ? QStringLiteral("c") : QStringLiteral("-");
    const char* zeichen = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        t += (m & (1u << bit)) ? QLatin1Char(zeichen[(8 - bit) % 3]) : QLatin1Char('-');
    return t;
}

// No permission for a device: the group to join when it may read and write
// the device (and is not root's), else the device's owner, group and mode.
Portursache ohneBerechtigung(const struct stat& st)
{
    Portursache u;
    const group* g = ::getgrgid(st.st_gid);
    u.gruppe = g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && st.st_gid != 0) {
        u.art = Portursache::Art::KeineBerechtigung;
        return u;
    }
    const passwd* p = ::getpwuid(st.st_uid);
    u.art = Portursache::Art::NurEigentuemer;
    u.eigentuemer = p ? QString::fromLocal8Bit(p->pw_name) : QString::number(st.st_uid);
    u.rechte = modusText(st.st_mode);
    return u;
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
            const QByteArray inhalt = f.read(4096);
            // An empty lock file is held by whoever keeps it open (and locked).
            if (inhalt.trimmed().isEmpty()) {
                if (const auto h = prozessMit(QFile::encodeName(QFileInfo(f.fileName()).canonicalFilePath()), -1))
                    return h;
                continue;
            }
            const auto [pid, eigner] = sperreLesen(inhalt);
            if (!laeuft(pid))
                continue;
            // Qt's lock files name the program on the second line: another
            // program under a reused number does not hold the port.
            const QString programm = programmVon(pid);
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
    bool pty = false;
    const int nummer = ziel.startsWith(QLatin1String("/dev/pts/")) ? ziel.mid(9).toInt(&pty) : -1;
    return prozessMit(QFile::encodeName(ziel), pty ? nummer : -1);
}

std::optional<Halter> halter(const QString& geraet, const QStringList& ordner)
{
    struct stat st {};
    if (::stat(QFile::encodeName(geraet).constData(), &st) != 0 || !S_ISCHR(st.st_mode) || !terminal(st.st_rdev))
        return std::nullopt;
    if (auto h = sperrHalter(geraet, ordner))
        return h;
    return offenBei(geraet);
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
    struct stat st {};
    if (::stat(pfad.constData(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            u.art = Portursache::Art::NichtVorhanden;
        return u;
    }
    // A file, a folder, a pipe, a device that is no terminal (/dev/null): no
    // serial port, whatever the port's error.
    if (!S_ISCHR(st.st_mode) || !terminal(st.st_rdev)) {
        u.art = Portursache::Art::KeinPort;
        return u;
    }
    if (const auto h = halter(geraet, ordner)) {
        u.art = Portursache::Art::Belegt;
        u.pid = h->pid;
        u.programm = h->programm;
        return u;
    }
    if (fehler == QSerialPort::DeviceNotFoundError)
        u.art = Portursache::Art::NichtVorhanden;
    // Also one the list of terminals does not know refuses the line settings.
    if (fehler == QSerialPort::UnsupportedOperationError)
        u.art = Portursache::Art::KeinPort;
    if (fehler != QSerialPort::PermissionError)
        return u;
    // The port's permission error stands for three causes: the device's
    // permissions, a lock file of another program, and a device opened for
    // exclusive use (busy) by a process that is not found here.
    if (::access(pfad.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
        return ohneBerechtigung(st);
    u.art = Portursache::Art::Belegt;
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
    case Portursache::Art::KeinPort:
        return QStringLiteral("%1 ist keine serielle Schnittstelle").arg(geraet);
    case Portursache::Art::KeineBerechtigung:
        return QStringLiteral("Keine Berechtigung für %1 – Benutzer in die Gruppe %2 aufnehmen und neu anmelden")
            .arg(geraet, u.gruppe);
    case Portursache::Art::NurEigentuemer:
        return QStringLiteral("Keine Berechtigung für %1 (Eigentümer %2, Gruppe %3, Rechte %4)")
            .arg(geraet, u.eigentuemer, u.gruppe, u.rechte);
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
