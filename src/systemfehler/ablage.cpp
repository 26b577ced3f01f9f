#include "systemfehler/ablage.h"

#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ablage {
namespace {

mode_t modus(QFileDevice::Permissions p)
{
    const auto bits = uint(p.toInt());
    return mode_t(((bits >> 12) & 7) << 6 | ((bits >> 4) & 7) << 3 | (bits & 7));
}

// Where a link points, followed to its end (a missing end is the file made).
QByteArray verweisFolgen(QByteArray name)
{
    for (int i = 0; i < 40; ++i) {
        char ziel[4096];
        const ssize_t n = ::readlink(name.constData(), ziel, sizeof ziel);
        if (n <= 0 || size_t(n) >= sizeof ziel)
            break;
        const QByteArray weiter(ziel, n);
        name = weiter.startsWith('/') ? weiter : name.left(name.lastIndexOf('/') + 1) + weiter;
    }
    return name;
}

bool allesSchreiben(int fd, const QByteArray& inhalt)
{
    for (qsizetype fertig = 0; fertig < inhalt.size();) {
        const ssize_t n = ::write(fd, inhalt.constData() + fertig, size_t(inhalt.size() - fertig));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        fertig += n;
    }
    return true;
}

// Written, on the disk, closed; false with errno set otherwise (closed all the same).
bool fertigSchreiben(int fd, const QByteArray& inhalt)
{
    const bool ok = allesSchreiben(fd, inhalt) && ::fsync(fd) == 0;
    const int nummer = errno;
    if (::close(fd) != 0 && ok)
        return false;
    errno = nummer;
    return ok;
}

} // namespace

Ersetzung::Ersetzung(const QString& pfad, std::optional<QFileDevice::Permissions> rechte, bool vorOrt)
    : m_ziel(verweisFolgen(dateiname::bytes(pfad))), m_rechte(rechte), m_vorOrt(vorOrt)
{
}

Ersetzung::~Ersetzung()
{
    verwerfen();
}

QString Ersetzung::beginnen()
{
    verwerfen();
    struct stat st {};
    const bool da = ::stat(m_ziel.constData(), &st) == 0;
    if (da && S_ISDIR(st.st_mode))
        return systemfehler::text(EISDIR);
    mode_t maske = ::umask(0);
    ::umask(maske);
    const mode_t rechte = m_rechte ? modus(*m_rechte) : da ? mode_t(st.st_mode & 07777) : mode_t(0666 & ~maske);
    // mkostemp makes the file for its owner alone; its permissions follow
    // before any byte is in it.
    QByteArray name = m_ziel + ".XXXXXX";
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd >= 0) {
        m_temporaer = name;
        if (::fchmod(m_fd, rechte) == 0)
            return {};
        const int nummer = errno;
        verwerfen();
        return systemfehler::text(nummer);
    }
    const int nummer = errno;
    if (m_vorOrt && (nummer == EACCES || nummer == EPERM) && da && S_ISREG(st.st_mode)) {
        const int fd = ::open(m_ziel.constData(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            m_direkt = true;
            return {};
        }
    }
    return systemfehler::text(nummer);
}

QString Ersetzung::abschliessen(const QByteArray& inhalt)
{
    if (m_direkt) {
        const int fd = ::open(m_ziel.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0 || (m_rechte && ::fchmod(fd, modus(*m_rechte)) != 0) || !fertigSchreiben(fd, inhalt))
            return systemfehler::text(errno);
        return {};
    }
    if (m_fd < 0)
        return systemfehler::text(EBADF);
    const int fd = std::exchange(m_fd, -1);
    if (!fertigSchreiben(fd, inhalt) || ::rename(m_temporaer.constData(), m_ziel.constData()) != 0) {
        const int nummer = errno;
        verwerfen();
        return systemfehler::text(nummer);
    }
    m_temporaer.clear();
    return {};
}

void Ersetzung::verwerfen()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporaer.isEmpty())
        ::unlink(std::exchange(m_temporaer, {}).constData());
    m_direkt = false;
}

QString dateiErsetzen(const QString& pfad, const QByteArray& inhalt, std::optional<QFileDevice::Permissions> rechte,
                      bool vorOrt)
{
    Ersetzung e(pfad, rechte, vorOrt);
    if (QString grund = e.beginnen(); !grund.isEmpty())
        return grund;
    return e.abschliessen(inhalt);
}

QString ordnerAnlegen(const QString& pfad)
{
    const QString ziel = QDir::cleanPath(QDir(pfad).absolutePath());
    // The missing folders, the uppermost first.
    QStringList fehlend;
    for (QString p = ziel; !QFileInfo::exists(p) && !QFileInfo(p).isSymLink();) {
        fehlend.prepend(p);
        const QString oben = QFileInfo(p).path();
        if (oben == p)
            break;
        p = oben;
    }
    for (const QString& o : fehlend) {
        errno = 0;
        if (::mkdir(dateiname::bytes(o).constData(), 0700) != 0 && errno != EEXIST)
            return systemfehler::text(errno);
    }
    if (!QFileInfo(ziel).isDir())
        return QStringLiteral("ist kein Ordner");
    return {};
}

} // namespace ablage
