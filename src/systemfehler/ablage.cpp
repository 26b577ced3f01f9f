#include "systemfehler/ablage.h"

#include "systemfehler/systemfehler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>

namespace ablage {
namespace {

// While it lives, files are created for their owner alone (when asked to).
class NurEigentuemer {
public:
    explicit NurEigentuemer(bool aktiv) : m_aktiv(aktiv)
    {
        if (m_aktiv)
            m_vorher = ::umask(077);
    }
    ~NurEigentuemer()
    {
        if (m_aktiv)
            ::umask(m_vorher);
    }
    NurEigentuemer(const NurEigentuemer&) = delete;
    NurEigentuemer& operator=(const NurEigentuemer&) = delete;

private:
    bool m_aktiv;
    mode_t m_vorher = 0;
};

} // namespace

QString dateiErsetzen(const QString& pfad, const QByteArray& inhalt, std::optional<QFileDevice::Permissions> rechte,
                      bool vorOrt)
{
    QSaveFile datei(pfad);
    datei.setDirectWriteFallback(vorOrt);
    errno = 0;
    bool offen = false;
    {
        // The temporary file is created for the owner alone, so that no one
        // else can open it before its permissions are set.
        const NurEigentuemer maske(rechte.has_value());
        offen = datei.open(QIODevice::WriteOnly);
    }
    // The flush is checked on its own: commit() does not notice a buffer that
    // failed to reach the disk and would put a short file in place.
    if (offen && (!rechte || datei.setPermissions(*rechte)) && datei.write(inhalt) == inhalt.size() && datei.flush()
        && datei.commit())
        return {};
    const QString grund = systemfehler::datei(datei, errno);
    datei.cancelWriting();
    return grund;
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
        if (::mkdir(QFile::encodeName(o).constData(), 0700) != 0 && errno != EEXIST)
            return systemfehler::text(errno);
    }
    if (!QFileInfo(ziel).isDir())
        return QStringLiteral("ist kein Ordner");
    return {};
}

} // namespace ablage
