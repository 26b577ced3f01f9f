#pragma once
// How the program puts its files on disk: one way to replace a file whole,
// and the folders it makes for its own files. Backups and the event log hold
// the recipients' phone numbers: they are the user's alone (files 0600 in
// folders 0700), while a configuration file saved where the user chooses gets
// the usual permissions. Failures come back in the German words of
// systemfehler.
#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

namespace ablage {

// A file only its owner may read and write (0600).
inline constexpr QFileDevice::Permissions kPrivat = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Writes `inhalt` as the whole new content of the file at `pfad`: into a
// temporary file beside it, put in its place only when complete, so that a
// full disk or a lost medium leaves the old file as it was. `rechte`: the
// file's permissions afterwards (the file is never readable by others on the
// way); unset: those of the file it replaces, else what the umask leaves.
// `vorOrt`: in a folder that takes no new file, a file that may be written is
// overwritten in place instead (with the same checks). Empty when written,
// else why not.
QString dateiErsetzen(const QString& pfad, const QByteArray& inhalt,
                      std::optional<QFileDevice::Permissions> rechte = std::nullopt, bool vorOrt = false);

// Makes the folder `pfad` and every missing folder above it, each 0700 (only
// the user may look into it); a folder that exists is left as it is. Empty
// when the folder is there, else why not.
QString ordnerAnlegen(const QString& pfad);

} // namespace ablage
