#include "cfgfile/dateilesen.h"

#include "systemfehler/systemfehler.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

Dateiinhalt dateiLesen(const QString& pfad)
{
    const QFileInfo fi(pfad);
    if (fi.isDir())
        return {{}, QStringLiteral("ist ein Ordner")};
    if (fi.exists() && !fi.isFile())
        return {{}, QStringLiteral("keine gewöhnliche Datei")};
    QFile datei(pfad);
    errno = 0;
    if (!datei.open(QIODevice::ReadOnly))
        return {{}, systemfehler::datei(datei, errno)};
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
