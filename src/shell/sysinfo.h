#pragma once
// "Systeminfo ...": starts the desktop's system-information tool.
//
// The tool is looked up by name on the search path, the first of
// sysinfo::werkzeuge() that is found is started. When none is found or it
// cannot be started, the user is told so in one message box.
#include <QString>
#include <QStringList>

namespace sysinfo {

// The names of the system-information tools, in the order they are tried.
QStringList werkzeuge();

// The full path of the first tool found; empty when none is. suchpfade empty:
// the PATH of the environment.
QString werkzeugSuchen(const QStringList& suchpfade = {});

// The message shown when no tool can be started.
inline QString nichtVerfuegbar()
{
    return QStringLiteral("Systeminformationen sind momentan nicht verfügbar");
}

} // namespace sysinfo

// Finds the tool and starts it through the door, without waiting for it. When
// none is found or the start fails: the message above, no icon, OK, the
// program's title. True when the tool was started.
bool StartSysInfo(const QStringList& suchpfade = {});
