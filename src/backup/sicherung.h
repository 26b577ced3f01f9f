#pragma once
// Automatic backups: every configuration read from a device is kept in the
// backup folder as a "*.cfg" file, named by its installation name, the time
// of the read and the machine that read it, in the format the window saves;
// beside it the device's memory exactly as read ("*.speicher", the 3328 bytes
// of pages 0..12, so that a restore puts back every byte, also those no
// setting shows), and for a backup taken before a write a side record
// ("*.vorschreiben") with the installation name that write put on the device.
// The program only ever adds backups: it never replaces, shortens or deletes
// one. Backups hold the recipients' phone numbers: each file is the user's
// alone (0600), and so is each folder made for them (0700).
//
// Used by the window and by the command line; the file name, the listing and
// the writing are testable without either.
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace sicherung {

// The backup folder: $GSMBV_SICHERUNGEN when it is set (a relative path from
// the current folder), else ~/.local/share/gsmbv/sicherungen, or
// $XDG_DATA_HOME/gsmbv/sicherungen when that is set.
QString ordner();

// The installation name as a configuration file holds it: the cells of
// Anlagenbezeichnung up to the first ETX or FF, in Windows-1252.
QString anlagenbezeichnung(const Konfigspeicher& k);

// The name shown for an installation without a name.
QString ohneBezeichnung();

// The installation name as the list shows it and as the side record of a
// write holds it: without control characters, trimmed; ohneBezeichnung() when
// nothing is left.
QString listenname(const Konfigspeicher& k);

// This machine's name as a backup's file name carries it (see dateiname).
QString rechnername();

// The file name of a backup: the installation name, safe for a file name
// (every character that is unsafe in a file name, a control character
// included, becomes "_"; blanks and dots at either end go; at most 70
// characters; nothing left: ohneBezeichnung()), then "_", the date and time
// as "yyyy-MM-dd_HH-mm-ss", from the second file of the same name, second and
// machine on "_2", "_3", ... (nummer), then "@" and the machine's name (only
// letters, digits, "." and "-", others as "-", at most 63; none when empty),
// so that machines that keep their backups in one shared folder never take
// each other's names; and ".cfg".
QString dateiname(const QString& anlagenbezeichnung, const QDateTime& zeit, int nummer = 1,
                  const QString& rechner = QString());

// The memory file beside a backup: the same name with ".speicher".
QString speicherpfad(const QString& cfgPfad);

// What a backup keeps of a device read.
struct Inhalt {
    Konfigspeicher bild;  // the image as decoded: the *.cfg is written from it
    QByteArray speicher;  // pages 0..12 as the device sent them (3328 bytes; else no memory file)
    // Taken before a write: the installation name (listenname) that write
    // puts on the device. Unset: a plain read.
    std::optional<QString> vorSchreiben = std::nullopt;
};

// The attempt to keep a backup: the file kept, or why none could be kept.
struct Versuch {
    QString pfad;    // the backup's *.cfg; empty when none could be kept
    QString fehler;  // why not, as one German sentence with the whole path
    QString grund;   // why not, the reason alone ("keine Berechtigung", ...)
    QString ort;     // the file or folder the reason is about
    explicit operator bool() const { return !pfad.isEmpty(); }
};

// Keeps `inhalt` as a new backup in `ordner`, created when missing: first the
// memory file and the side record, the *.cfg last, so that a *.cfg never
// stands beside a memory file that is missing or half written. A name any of
// whose files is taken gets the next number: no existing file is ever
// replaced. The backup appears complete or not at all.
Versuch anlegen(const Inhalt& inhalt, const QString& ordner, const QDateTime& zeit, const QString& rechner);
// The same at the current time, by this machine.
Versuch anlegen(const Inhalt& inhalt, const QString& ordner = sicherung::ordner());

struct Eintrag {
    QString anlagenbezeichnung;  // from the file's content; else from its name
    QDateTime zeit;              // from the file name; else the file's last change
    int nummer = 1;              // of the backups of one name and second: "_2" is 2
    QString pfad;
    QString fehler;              // why the file opens as no configuration; empty: it does
    QString rechner;             // the machine in the file name; empty: none named
    QString speicher;            // the memory file beside it (3328 bytes); empty: none
    std::optional<QString> vorSchreiben;  // taken before a write of this installation name
};

// Every non-empty "*.cfg" in `ordner`, newest first. The installation name
// comes from the file when it is a configuration file in the writer's form
// (control characters left out), else from the file name; a file whose name
// is not a backup's shows its last change as date and time. A file that is
// no configuration (unreadable, too large, not in the form) is listed with
// the reason.
QList<Eintrag> liste(const QString& ordner);

// The newest backup of `liste` taken before a write that put the installation
// name `anlage` (listenname) on a device, whether or not it has a memory file.
std::optional<Eintrag> letzteVorSchreiben(const QList<Eintrag>& liste, const QString& anlage);

// A backup's memory as a restore writes it back.
struct Speicher {
    QByteArray bytes;  // pages 0..12, 3328 bytes
    QString pfad;      // the memory file
    QString fehler;    // why it cannot be used; empty: it can
    explicit operator bool() const { return fehler.isEmpty(); }
};
// The memory of the backup `pfad`: its *.cfg (the memory file beside it is
// read) or the memory file itself. Refused: a backup that is missing, one
// without a memory file (kept before memory files were kept, say), a memory
// file that cannot be read or does not hold exactly 3328 bytes.
Speicher speicherLesen(const QString& pfad);

} // namespace sicherung
