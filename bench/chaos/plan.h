#pragma once
// One run of the fault campaign, chosen at random: the configuration, the
// device's memory before, its write model, the faults, the signals and
// their moments.
#include "konfiguration.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct Plan {
    QString art;                // the fault kind it is counted under (a signal by its name)
    QString zweiter;            // a second fault kind with it, if any
    QStringList fehler;         // gsmbv-sim --fault
    QList<int> nichtGespeichert;
    bool bytemodell = true;
    bool sicherung = true;
    int fristMs = 500;
    int baud = 0;
    int signal = 0, signal2 = 0;  // to gsmbv, after `nachMs`, the second `nach2Ms` later
    int nachMs = 0, nach2Ms = 0;
    bool simBeenden = false;      // the simulated device ended after `nachMs`
    QByteArray datei, vorher;     // the *.cfg, the device's memory at the start

    // The longest the line may stay silent in a run: one time limit (a wait
    // that runs out) and a little for the machine. Every wait ends within it,
    // also one whose line is gone.
    int stilleGrenzeMs() const { return fristMs + 500; }
    // How long a run may take at all before it counts as hanging: each of the
    // three operations (backup read, write, read back) ends after one wait
    // run out at most, plus the bytes on the line, plus a generous margin.
    int grenzeMs() const;
};

Plan planen(Zufall& z);
