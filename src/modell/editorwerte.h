#pragma once
// What every control of the editor shows, as plain values. The editor model
// holds them beside the image: its handlers, the device read's decode and the
// opening of a configuration file change both; the window shows them with its
// handlers silent (no bytes stored, no change recorded), the settings sheet
// and the command line read them.
#include "image/konfigspeicher.h"

#include <QString>
#include <array>

struct Editorwerte {
    // Tab "Meldelinien"
    std::array<bool, 8> oeffner{};            // Chk_Oeffner(0..7)
    std::array<bool, 9> gutmeldung{};         // Chk_Gutmeldung(0..8)
    std::array<QString, 9> smsText;           // SMSText(0..8)

    // Tab "Allgemein"
    QString anlagenbezeichnung;               // Anlagenbezeichnung
    Netzbetreiber netz = Netzbetreiber::A1;   // OPT_A1 / OPT_TM / OPT_Andere

    bool quittierung = false;                 // Chk_Quittierung
    int sliderQuit = 1;                       // Slider_Quit (1..255, clamped)
    QString quit;                             // Quit (the slider's value as text, or "")

    bool konto = false;                       // Chk_Konto
    bool kontoAktivierbar = true;             // Chk_Konto enabled (false with OPT_Andere)
    QString guthabenrufnummer;                // TXT_Guthabenrufnummer
    QString nummerAufladung;                  // TXT_Nummer_Aufladung
    int sliderGuthaben = 1;                   // Slider_Guthaben (shown clamped to 1..9; 0 = off)
    QString guthaben;                         // TXT_Guthaben

    enum class Kontrollruf { Aus, Taeglich, Woechentlich };
    Kontrollruf kontrollruf = Kontrollruf::Aus; // CHK_Kontrollruf + OPT_Tag / OPT_Woche
    int tag = -1;                             // Combo_Tag: 0 "Montag" .. 6 "Sonntag", -1 = empty text
    int udStunde = 10;                        // UD_Stunde
    int udMinute = 0;                         // UD_Minute
    QString txtStunde = QStringLiteral("10"); // TXT_Stunde (may differ from the spinner after a read, e.g. "3A")
    QString txtMinute = QStringLiteral("00"); // TXT_Minute

    // Tab "Relaisausgänge"
    bool relaisbest1 = false;                 // Chk_Relaisbest1
    bool relaisbest2 = false;                 // Chk_Relaisbest2
    QString besttext1;                        // Besttext1
    QString besttext2;                        // Besttext2

    // Tab "Analogeingänge"
    QString messbereich4;                     // Messbereich4
    QString messbereich20;                    // Messbereich20
    QString grenzwertmin;                     // Grenzwertmin
    QString grenzwertmax;                     // Grenzwertmax
    QString einheit;                          // Einheit
    QString textMin;                          // Text_Min
    QString textMax;                          // Text_Max

    bool operator==(const Editorwerte&) const = default;
};
