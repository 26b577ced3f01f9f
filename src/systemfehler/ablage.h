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

// A file replaced whole, in two steps: begun (a temporary file is made
// beside the old one, so that a target that cannot be written is known before
// its content exists), then completed with the whole content: written,
// flushed to the disk and checked, then put in the old file's place. What is
// not completed leaves the old file as it was, a full disk or a lost medium
// too. A link is followed: the file it points to is replaced.
//
// `rechte`: the file's permissions afterwards (the temporary file is the
// owner's alone until then); unset: those of the file it replaces, else what
// the umask leaves. `vorOrt`: in a folder that takes no new file, a file that
// may be written is overwritten in place instead, once the content is there.
// Names are taken as the system gives them (see dateiname.h).
class Ersetzung {
public:
    explicit Ersetzung(const QString& pfad, std::optional<QFileDevice::Permissions> rechte = std::nullopt,
                       bool vorOrt = false);
    ~Ersetzung();
    Ersetzung(const Ersetzung&) = delete;
    Ersetzung& operator=(const Ersetzung&) = delete;

    // Empty when the file can be replaced, else why not.
    QString beginnen();
    // Empty when `inhalt` is the whole file now, else why not (the old file
    // is then as it was, except in place, where it may be cut short).
    QString abschliessen(const QByteArray& inhalt);
    // Nothing replaces the old file; the temporary one goes.
    void verwerfen();

private:
    QByteArray m_ziel;        // the file replaced (a link followed)
    QByteArray m_temporaer;   // the temporary file beside it
    int m_fd = -1;
    std::optional<QFileDevice::Permissions> m_rechte;
    bool m_vorOrt;
    bool m_direkt = false;    // written in place
};

// Writes `inhalt` as the whole new content of the file at `pfad` (an
// Ersetzung begun and completed). Empty when written, else why not.
QString dateiErsetzen(const QString& pfad, const QByteArray& inhalt,
                      std::optional<QFileDevice::Permissions> rechte = std::nullopt, bool vorOrt = false);

// Makes the folder `pfad` and every missing folder above it, each 0700 (only
// the user may look into it); a folder that exists is left as it is. Empty
// when the folder is there, else why not.
QString ordnerAnlegen(const QString& pfad);

} // namespace ablage
