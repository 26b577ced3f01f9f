#pragma once
// Automatic backups: every configuration read from a device is kept as a
// "*.cfg" file in the user's data folder, named by its installation name and
// the time of the read, in the format the window saves. The program only ever
// adds backups: it never replaces, shortens or deletes one. Backups hold the
// recipients' phone numbers: each is the user's alone (0600), and so is each
// folder made for them (0700).
//
// Used by the window and by the command line; the file name, the listing and
// the writing are testable without either.
#include "image/konfigspeicher.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace sicherung {

// The backup folder: ~/.local/share/gsmbv/sicherungen, or
// $XDG_DATA_HOME/gsmbv/sicherungen when that is set.
QString ordner();

// The installation name as a configuration file holds it: the cells of
// Anlagenbezeichnung up to the first ETX or FF, in Windows-1252.
QString anlagenbezeichnung(const Konfigspeicher& k);

// The name shown for an installation without a name.
QString ohneBezeichnung();

// The file name of a backup: the installation name, safe for a file name
// (every character that is unsafe in a file name, a control character
// included, becomes "_"; blanks and dots at either end go; at most 70
// characters; nothing left: ohneBezeichnung()), then "_", the date and time
// as "yyyy-MM-dd_HH-mm-ss", from the second file of the same name and second
// on "_2", "_3", ... (nummer), and ".cfg".
QString dateiname(const QString& anlagenbezeichnung, const QDateTime& zeit, int nummer = 1);

// The attempt to keep a backup: the file kept, or why none could be kept.
struct Versuch {
    QString pfad;    // the backup kept; empty when none could be kept
    QString fehler;  // why not, as one German sentence with the whole path
    QString grund;   // why not, the reason alone ("keine Berechtigung", ...)
    QString ort;     // the file or folder the reason is about
    explicit operator bool() const { return !pfad.isEmpty(); }
};

// Keeps pages 0..12 of `bild` (as cfgSchreiben writes them) as a new backup
// in `ordner`, created when missing. A name that is taken gets the next
// number: an existing backup is never replaced. The file appears complete or
// not at all.
Versuch anlegen(const Konfigspeicher& bild, const QDateTime& zeit, const QString& ordner);
// The same in the user's backup folder, at the current time.
Versuch anlegen(const Konfigspeicher& bild);

struct Eintrag {
    QString anlagenbezeichnung;  // from the file's content; else from its name
    QDateTime zeit;              // from the file name; else the file's last change
    int nummer = 1;              // of the backups of one name and second: "_2" is 2
    QString pfad;
    QString fehler;              // why the file opens as no configuration; empty: it does
};

// Every non-empty "*.cfg" in `ordner`, newest first. The installation name
// comes from the file when it is a configuration file in the writer's form
// (control characters left out), else from the file name; a file whose name
// is not a backup's shows its last change as date and time. A file that is
// no configuration (unreadable, too large, not in the form) is listed with
// the reason.
QList<Eintrag> liste(const QString& ordner);

} // namespace sicherung
