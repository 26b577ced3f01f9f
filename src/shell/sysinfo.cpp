#include "shell/sysinfo.h"

#include "door/door.h"
#include "image/ansi.h"

#include <QStandardPaths>
#include <algorithm>

namespace sysinfo {

QString GetKeyValue(const QByteArray& puffer, std::uint32_t gemeldeteLaenge, std::uint32_t typ,
                    const QString& bisher)
{
    // The buffer was filled with zero bytes before the read: whatever the read
    // did not deliver is zero.
    const int n = int(std::min<std::uint32_t>(gemeldeteLaenge, kPuffergroesse));
    QByteArray daten = puffer.left(n);
    daten.resize(n, '\0');

    switch (typ) {
    case kRegSz: {
        const int ende = daten.indexOf('\0');
        return ansi::text(ende < 0 ? daten : daten.left(ende));
    }
    case kRegDword: {
        daten.resize(4, '\0');
        std::uint32_t wert = 0;
        for (int i = 3; i >= 0; --i)
            wert = (wert << 8) | std::uint8_t(daten.at(i));
        return QString::number(wert);
    }
    default:
        return bisher;
    }
}

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
