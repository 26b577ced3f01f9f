#pragma once
// Reading a configuration file from disk: the one reader of the window, the
// list of backups and the command line. A configuration file has a few
// kilobytes; anything far larger is no configuration file and is not read
// into memory, and what is no plain file (a folder, a device, a pipe that
// would wait for a writer) is not opened.
#include <QByteArray>
#include <QString>

// The largest file taken for a configuration file: 1 MiB.
constexpr qint64 kHoechsteDateigroesse = 1 << 20;

struct Dateiinhalt {
    QByteArray bytes;
    QString fehler;  // why the file could not be read; empty: it was read
    explicit operator bool() const { return fehler.isEmpty(); }
};

// The bytes of the file at `pfad`, or why not: "ist ein Ordner", "keine
// gewöhnliche Datei", the system's reason in German words when it is missing
// or cannot be opened or read ("Datei oder Ordner nicht vorhanden", ...), "zu
// groß für eine Konfigurationsdatei" past 1 MiB.
Dateiinhalt dateiLesen(const QString& pfad);
