#include "modell/zeichen.h"

namespace {
bool ziffer(int code) { return code >= '0' && code <= '9'; }
} // namespace

bool Zeichencheck(int zeichen)
{
    if (zeichen == 34 || zeichen == 35)
        return false;
    if (zeichen >= 91 && zeichen <= 96)
        return false;
    return zeichen <= 122;
}

bool zeichenErlaubt(Feldart art, int code)
{
    if (code < 32)
        return false;
    switch (art) {
    case Feldart::Freitext:
    case Feldart::Einheit:
        return Zeichencheck(code);
    case Feldart::Nummer:
        return ziffer(code) || code == '+' || code == '*' || code == '#';
    case Feldart::Analog:
        return ziffer(code);
    }
    return false;
}

Abweisung zeichenGrund(Feldart art)
{
    using A = Abweisung::Art;
    switch (art) {
    case Feldart::Nummer: return {A::Nummernzeichen};
    case Feldart::Analog: return {A::Ziffern};
    case Feldart::Freitext:
    case Feldart::Einheit: break;
    }
    return {A::Zeichen};
}

Abweisung laengeGrund(Feldart art, int grenze)
{
    return {art == Feldart::Analog ? Abweisung::Art::Ziffernzahl : Abweisung::Art::Laenge, grenze};
}
