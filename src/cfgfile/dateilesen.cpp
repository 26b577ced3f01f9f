#include "cfgfile/dateilesen.h"

#include <QFile>
#include <QFileInfo>

Dateiinhalt dateiLesen(const QString& pfad)
{
    const QFileInfo fi(pfad);
    if (fi.isDir())
        return {{}, QStringLiteral("ist ein Ordner")};
    if (fi.exists() && !fi.isFile())
        return {{}, QStringLiteral("keine gewöhnliche Datei")};
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return {{}, datei.errorString()};
    // One byte more than allowed tells a file at the limit from a larger one,
    // whatever size the file claims.
    QByteArray bytes = datei.read(kHoechsteDateigroesse + 1);
    if (datei.error() != QFileDevice::NoError)
        return {{}, datei.errorString()};
    if (bytes.size() > kHoechsteDateigroesse)
        return {{}, QStringLiteral("zu groß für eine Konfigurationsdatei")};
    return {std::move(bytes), {}};
}
