#include "eventlog/logdatei.h"

#include "eventlog/ereignisspeicher.h"
#include "systemfehler/ablage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

bool ordnerBeschreibbar(const QString& ordner)
{
    if (ordner.isEmpty())
        return false;
    const QFileInfo fi(ordner);
    if (!fi.isDir() || !fi.isWritable())
        return false;
    // The permission bits do not tell the whole truth (read-only mounts, the
    // superuser, access lists): only a file actually created settles it.
    QTemporaryFile probe(QDir(ordner).filePath(QStringLiteral(".gsmbv-probe-XXXXXX")));
    return probe.open();
}

bool systemOrt(const QString& ordner)
{
    if (ordner.isEmpty())
        return false;
    static const char* const kWurzeln[] = {"/usr", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/opt", "/snap"};
    for (const QString& pfad : {QDir::cleanPath(QDir(ordner).absolutePath()), QFileInfo(ordner).canonicalFilePath()}) {
        if (pfad == QLatin1String("/"))
            return true;
        for (const char* w : kWurzeln) {
            const QString wurzel = QLatin1String(w);
            if (pfad == wurzel || pfad.startsWith(wurzel + QLatin1Char('/')))
                return true;
        }
    }
    return false;
}

QString logOrdner(const QString& programmOrdner, const QString& datenOrdner)
{
    if (!systemOrt(programmOrdner) && ordnerBeschreibbar(programmOrdner))
        return QDir(programmOrdner).absolutePath();
    if (datenOrdner.isEmpty())
        return {};
    if (!ablage::ordnerAnlegen(datenOrdner).isEmpty())
        return {};
    if (!ordnerBeschreibbar(datenOrdner))
        return {};
    return QDir(datenOrdner).absolutePath();
}

QString logOrdner()
{
    return logOrdner(QCoreApplication::applicationDirPath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

bool logSchreiben(const QString& pfad, const QByteArray& inhalt)
{
    return ablage::dateiErsetzen(pfad, inhalt, ablage::kPrivat).isEmpty();
}

QString logAblegen(const QByteArray& speicher512, const QString& programmOrdner,
                   const QString& datenOrdner)
{
    const QString ordner = logOrdner(programmOrdner, datenOrdner);
    if (ordner.isEmpty())
        return {};
    const QString pfad = QDir(ordner).filePath(logDateiname());
    if (!logSchreiben(pfad, logDatei(ereignisZeilen(speicher512))))
        return {};
    return pfad;
}

QString logAblegen(const QByteArray& speicher512)
{
    return logAblegen(speicher512, QCoreApplication::applicationDirPath(),
                      QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}
