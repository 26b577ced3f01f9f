#pragma once
// The device operations in the program's words, in one place for the window
// and the command line: the box of an operation's end and its beep, the one
// line of what exactly failed (the window's status bar and the command
// line's "gsmbv: ..." line say the same), the progress window's captions and
// the steps gsmbv -v lists. The link reports all of these as data.
#include "link/vorgangsbericht.h"

#include <QList>
#include <QString>
#include <chrono>

namespace linktext {

// The title of the link's boxes and its two messages.
QString titel();                    // "GSM Boravilon"
QString textKeineVerbindung();      // "Verbindung nicht möglich"
QString textUebertragungsfehler();  // "Fehler bei Datenübertragung"

// The text of the box (critical, OK) an operation's end shows; empty: none
// (success, aborted).
QString meldung(const Vorgangsbericht& b);
// A beep comes before the box (the write's transfer error).
bool signalton(const Vorgangsbericht& b);
// What exactly failed, one line: e.g. "kein ACK innerhalb 40 s", "Echo fehlt
// bei Seite 11, Zeichen 100", "nach 100 von 3328 Bytes keine Daten mehr",
// the port's cause, or why the decode refused the data. Empty on success and
// where there is nothing to add.
QString detail(const Vorgangsbericht& b);

// Page numbers in words, ascending: "3", "3 und 11", "0 bis 5",
// "0, 3 bis 5 und 11" (three or more in a row as "von bis").
QString seitenliste(QList<int> seiten);
// "Seite 3", "Seiten 3 und 11".
QString seitenMitNomen(const QList<int>& seiten);

// What a write that broke off leaves, as far as its echoes tell; the
// window's status bar and gsmbv say the same. No page character went out:
// "Gerät nicht beschrieben: keine Seite gesendet. Schreiben wiederholen.";
// else what was sent and confirmed and what not, e.g. "Zustand des Geräts
// nicht geprüft: Seiten 0 bis 2 gesendet und bestätigt, von Seite 3 nur 17
// der 256 Bytes, Seiten 4 bis 12 nicht gesendet. Schreiben wiederholen."
QString schreibstand(const Schreibstand& s);

// The progress window's status text for `s`: "Verbindungsaufbau ...",
// "lese Konfigurationsdaten ...", a page's caption ("Allgemeine Daten ...").
// Empty: the text stays as it is.
QString beschriftung(const Fortschrittsstand& s);
// A step in words: "Port /dev/ttyUSB0 geöffnet", "Seite 3 geschrieben".
QString schritt(const Schrittmeldung& s);

// "3 s", "250 ms": a time limit as the details name it.
QString dauer(std::chrono::milliseconds ms);

} // namespace linktext
