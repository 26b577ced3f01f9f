#pragma once
// What the fault campaign checks after one run of gsmbv write: every
// statement the run made about the device (its exit status and its lines on
// standard error), read as a user reads them, against the memory the
// simulated device held at its end. Written from the words alone: nothing of
// the program's own reasoning is used.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct Laufergebnis {
    bool beendet = false;  // ended by itself (not killed, not hung)
    int status = -1;
    QString fehler;        // standard error
    QByteArray datei;      // the file's pages 0..12 as the write sends them
    QByteArray vorher;     // the device's memory at the start
    QByteArray geraet;     // and at the end
    bool bytemodell = true;   // each byte stored as echoed, else only a write completed by ESC
    bool sicherung = true;    // the backup read ran first
    QList<int> nichtGespeichert;  // pages the device takes in and drops (nostore@N)
    int signale = 0;          // signals sent to gsmbv
};

struct Aussage {
    QString art;   // the kind of statement, for the counts
    QString text;  // as gsmbv said it
    QString falsch;  // why it is false; empty: true
};

// Every statement of the run, each with its verdict. A run that says nothing
// about the device where it must, or says it twice, is a false statement too.
QList<Aussage> pruefen(const Laufergebnis& l);
