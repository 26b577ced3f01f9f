#pragma once
// Where "LOG.TXT" goes and how it is written.
//
// The log belongs beside the program. An installed program lives in a folder
// its users cannot write to (/usr/bin), and a download that fails there fails
// for every user, every time. So the program's folder is used when it can be
// written to, otherwise the user's data folder for this program. A program
// installed in a system location (/usr/bin, /opt/...) never writes there, not
// even when run by the superuser, who could.
#include <QByteArray>
#include <QString>

// The file name of the event log.
inline QString logDateiname() { return QStringLiteral("LOG.TXT"); }

// True when a file can be created in the folder: the folder exists, says it is
// writable, and a probe file can actually be created there (and is removed).
bool ordnerBeschreibbar(const QString& ordner);

// True for a folder of the system's own: below /usr, /bin, /sbin, /lib*,
// /opt or /snap (as given or with its links resolved), or the root itself.
bool systemOrt(const QString& ordner);

// The folder for "LOG.TXT": programmOrdner when it is no system location and
// can be written to, else datenOrdner, created when missing (with every
// missing folder above it, for the user alone: 0700). Empty when neither can
// be used.
QString logOrdner(const QString& programmOrdner, const QString& datenOrdner);

// The same with the real folders: the program's own folder, else the user's
// data folder for this program (QStandardPaths::AppLocalDataLocation).
QString logOrdner();

// Writes the file anew (an existing file is replaced), for the user alone
// (0600): the events name the installation's alarms. The file either holds
// all of inhalt afterwards or is left as it was (ablage::dateiErsetzen). False
// when it failed.
bool logSchreiben(const QString& pfad, const QByteArray& inhalt);

// The whole end of a download: converts the 512 bytes of the event memory,
// writes "LOG.TXT" into the folder chosen as above and returns its full path,
// ready for the viewer. Empty when the file could not be written (the caller
// reports "Fehler bei Datenübertragung"; a later download tries again).
QString logAblegen(const QByteArray& speicher512, const QString& programmOrdner,
                   const QString& datenOrdner);
QString logAblegen(const QByteArray& speicher512);
