#include "shell/sysinfo.h"

#include "door/door.h"

#include <QStandardPaths>

namespace sysinfo {

QStringList werkzeuge()
{
    // A dedicated information tool first, then the desktops' own system views.
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager"), QStringLiteral("lxtask")};
}

QString werkzeugSuchen(const QStringList& suchpfade)
{
    for (const QString& name : werkzeuge()) {
        const QString pfad = QStandardPaths::findExecutable(name, suchpfade);
        if (!pfad.isEmpty())
            return pfad;
    }
    return {};
}

} // namespace sysinfo

bool StartSysInfo(const QStringList& suchpfade)
{
    const QString pfad = sysinfo::werkzeugSuchen(suchpfade);
    if (!pfad.isEmpty() && Door::aktuell().starten(pfad, {}))
        return true;
    Door::aktuell().meldung(sysinfo::nichtVerfuegbar(), Door::Icon::Keins, Door::Knoepfe::Ok,
                            Door::programmTitel());
    return false;
}
