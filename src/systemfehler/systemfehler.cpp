#include "systemfehler/systemfehler.h"

#include <QFileDevice>
#include <QFileInfo>
#include <cerrno>

namespace systemfehler {

QString text(int fehlernummer)
{
    switch (fehlernummer) {
    case ENOENT: return QStringLiteral("Datei oder Ordner nicht vorhanden");
    case EACCES:
    case EPERM: return QStringLiteral("keine Berechtigung");
    case EROFS: return QStringLiteral("Dateisystem nur lesbar");
    case ENOSPC: return QStringLiteral("kein Platz mehr auf dem Datenträger");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("Speicherplatz des Benutzers erschöpft");
#endif
    case EISDIR: return QStringLiteral("ist ein Ordner");
    case ENOTDIR: return QStringLiteral("ein Teil des Pfads ist kein Ordner");
    case EFBIG: return QStringLiteral("Datei zu groß");
    case ENAMETOOLONG: return QStringLiteral("Name zu lang");
    case ELOOP: return QStringLiteral("zu viele symbolische Verknüpfungen");
    case EEXIST: return QStringLiteral("schon vorhanden");
    case EIO: return QStringLiteral("Ein-/Ausgabefehler");
    case EBUSY: return QStringLiteral("belegt");
    case ENXIO: return QStringLiteral("Gerät nicht erreichbar");
    case ENODEV: return QStringLiteral("kein solches Gerät");
    case EPIPE: return QStringLiteral("der Empfänger hat die Verbindung geschlossen");
    case EXDEV: return QStringLiteral("nicht über Dateisystemgrenzen hinweg möglich");
    case ETXTBSY: return QStringLiteral("Programmdatei in Gebrauch");
    case EMFILE:
    case ENFILE: return QStringLiteral("zu viele offene Dateien");
    case ENOMEM: return QStringLiteral("kein Speicher mehr frei");
    case EAGAIN: return QStringLiteral("vorübergehend nicht verfügbar");
    case EINTR: return QStringLiteral("unterbrochen");
    case EBADF:
    case EINVAL: return QStringLiteral("ungültiger Zugriff");
    default: break;
    }
    return QStringLiteral("Systemfehler %1").arg(fehlernummer);
}

QString datei(const QFileDevice& datei, int fehlernummer)
{
    if (fehlernummer > 0 && !text(fehlernummer).startsWith(QLatin1String("Systemfehler")))
        return text(fehlernummer);
    // Qt refuses a folder itself, without an error number of the system.
    if (!datei.fileName().isEmpty() && QFileInfo(datei.fileName()).isDir())
        return text(EISDIR);
    switch (datei.error()) {
    case QFileDevice::NoError: break;
    case QFileDevice::ReadError: return QStringLiteral("lässt sich nicht lesen");
    case QFileDevice::WriteError: return QStringLiteral("lässt sich nicht schreiben");
    case QFileDevice::FatalError: return QStringLiteral("schwerer Fehler beim Zugriff");
    // Qt's kind of a write that found the disk full.
    case QFileDevice::ResourceError: return text(ENOSPC);
    case QFileDevice::OpenError: return QStringLiteral("lässt sich nicht öffnen");
    case QFileDevice::AbortError: return QStringLiteral("abgebrochen");
    case QFileDevice::TimeOutError: return QStringLiteral("Zeitüberschreitung");
    case QFileDevice::UnspecifiedError: break;
    case QFileDevice::RemoveError: return QStringLiteral("lässt sich nicht löschen");
    case QFileDevice::RenameError: return QStringLiteral("neue Datei lässt sich nicht an ihren Platz bringen");
    case QFileDevice::PositionError: return QStringLiteral("Position in der Datei nicht erreichbar");
    case QFileDevice::ResizeError: return QStringLiteral("Größe lässt sich nicht ändern");
    case QFileDevice::PermissionsError: return QStringLiteral("keine Berechtigung");
    case QFileDevice::CopyError: return QStringLiteral("lässt sich nicht kopieren");
    }
    if (fehlernummer > 0)
        return text(fehlernummer);
    return QStringLiteral("Zugriff fehlgeschlagen");
}

} // namespace systemfehler
