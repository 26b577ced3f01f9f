#pragma once
// The character and length rules of the editor's input fields, as pure
// functions: a typed key and a pasted, dropped or composed text go through the
// same rules, so the window only asks and carries out the answer.
#include "door/abweisung.h"
#include "modell/zeichen.h"

#include <QString>

// Typed character code meaning "the character has no byte in the code page".
constexpr int kKeinByte = -1;
constexpr int kBackspace = 8;

// What becomes of one typed character.
struct Tastenentscheid {
    bool zulassen = true;      // the key reaches the field
    int beeps = 0;             // beeps to give (a refused key in a full number field: 2)
    bool einheitLeeren = false; // Einheit showed "   ": empty it before the key is applied
    Abweisung grund;           // why a refused key is refused (the first rule it fails)
};

// `grenze` is the length at which a character is refused (70, 127, 15, 3, 3);
// `code` is the typed character's byte (kKeinByte when it has none).
Tastenentscheid tastePruefen(Feldart art, int grenze, const QString& text, int code);

// Pasted, dropped or composed text: the admitted characters of `eingabe` in
// order, cut so that the field holds no more than `grenze` characters once
// `ersetzt` of its current `laenge` characters are replaced. One beep when
// anything was dropped; the reason names a dropped character before the length.
struct Einfuegeentscheid {
    QString text;
    int beeps = 0;
    bool einheitLeeren = false;
    Abweisung grund;
};
Einfuegeentscheid einfuegenPruefen(Feldart art, int grenze, const QString& feldtext, int ersetzt,
                                   const QString& eingabe);
