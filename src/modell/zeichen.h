#pragma once
// What a text, number, unit or analog field admits, character by character:
// the typing rules of the window's fields, which setting a value by key
// applies as well. Pure functions.
#include "modell/abweisungsgrund.h"

// Free-text fields: every code is admitted except 34 ("), 35 (#), 91..96
// ([ \ ] ^ _ `) and every code above 122 ({ | } ~, DEL and all of 128..255,
// umlauts and ß included). Control codes (Backspace 8, Enter 13, 0) pass.
bool Zeichencheck(int zeichen);

enum class Feldart {
    Freitext,  // Anlagenbezeichnung, SMSText, Besttext, Text_Min, Text_Max
    Einheit,   // Einheit: free text of three characters; "   " is emptied by the first key
    Nummer,    // TXT_Guthabenrufnummer, TXT_Nummer_Aufladung: digits + * #
    Analog,    // Messbereich4/20, Grenzwertmin/max: digits only
};

// Whether a byte may stand in a field of this kind (text put in as a whole,
// where control codes are never admitted).
bool zeichenErlaubt(Feldart art, int code);

// Why a field refuses a character it does not take.
Abweisung zeichenGrund(Feldart art);
// Why a full field refuses one more character (`grenze`: the most it holds).
Abweisung laengeGrund(Feldart art, int grenze);
