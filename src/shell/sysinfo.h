#pragma once
// "Systeminfo ...": starts the desktop's system-information tool.
//
// The tool is looked up by name on the search path, the first of
// sysinfo::werkzeuge() that is found is started. When none is found or it
// cannot be started, the user is told so in one message box.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace sysinfo {

// Registry value types that GetKeyValue turns into text.
constexpr std::uint32_t kRegSz = 1;    // REG_SZ, a string
constexpr std::uint32_t kRegDword = 4; // REG_DWORD, a 32-bit number, little-endian

// Size of the buffer a registry value is read into.
constexpr int kPuffergroesse = 1024;

// The text of a registry value, from the buffer it was read into (zero-filled
// before the read), the data length the read reported and the value's type.
// A string ends at its first zero byte (the terminating zero is dropped); a
// number becomes its decimal digits; any other type gives bisher unchanged.
// Lengths beyond the buffer are cut to it.
QString GetKeyValue(const QByteArray& puffer, std::uint32_t gemeldeteLaenge, std::uint32_t typ,
                    const QString& bisher);

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
