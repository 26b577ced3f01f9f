#include "cfgfile/dateilesen.h"

#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Dateiinhalt dateiLesen(const QString& pfad)
{
    // By the name's bytes, so that a name that is no UTF-8 is this very file.
    const QByteArray name = dateiname::bytes(pfad);
    struct stat st {};
    const bool da = ::stat(name.constData(), &st) == 0;
    if (da && S_ISDIR(st.st_mode))
        return {{}, QStringLiteral("ist ein Ordner")};
    if (da && !S_ISREG(st.st_mode))
        return {{}, QStringLiteral("keine gewöhnliche Datei")};
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {{}, systemfehler::text(errno)};
    QFile datei;
    if (!datei.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {{}, systemfehler::datei(datei, 0)};
    }
    // One byte more than allowed tells a file at the limit from a larger one,
    // whatever size the file claims.
    errno = 0;
    QByteArray bytes = datei.read(kHoechsteDateigroesse + 1);
    if (datei.error() != QFileDevice::NoError)
        return {{}, systemfehler::datei(datei, errno)};
    if (bytes.size() > kHoechsteDateigroesse)
        return {{}, QStringLiteral("zu groß für eine Konfigurationsdatei")};
    return {std::move(bytes), {}};
}
