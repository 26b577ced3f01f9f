#include "editor/zeichenregeln.h"

#include "image/ansi.h"

namespace {
bool ziffer(int code) { return code >= '0' && code <= '9'; }
bool einheitLeer(Feldart art, const QString& text) { return art == Feldart::Einheit && text == QLatin1String("   "); }
} // namespace

Tastenentscheid tastePruefen(Feldart art, int grenze, const QString& text, int code)
{
    Tastenentscheid e;
    QString t = text;
    if (einheitLeer(art, t)) {
        e.einheitLeeren = true;
        t.clear();
    }
    const bool voll = t.size() >= grenze && code != kBackspace;
    switch (art) {
    case Feldart::Freitext:
    case Feldart::Einheit:
        // A key refused for the length is gone (code 0) and passes the
        // character test: one beep either way.
        if (voll || code == kKeinByte || !Zeichencheck(code)) {
            e.zulassen = false;
            e.beeps = 1;
            e.grund = voll ? laengeGrund(art, grenze) : zeichenGrund(art);
        }
        break;
    case Feldart::Nummer: {
        // Both rules are tried, each beeps: a wrong character in a full field beeps twice.
        const bool erlaubt = ziffer(code) || code == kBackspace || code == '+' || code == '*' || code == '#';
        if (!erlaubt) {
            e.zulassen = false;
            ++e.beeps;
            e.grund = zeichenGrund(art);
        }
        if (voll) {
            e.zulassen = false;
            ++e.beeps;
            if (!e.grund)
                e.grund = laengeGrund(art, grenze);
        }
        break;
    }
    case Feldart::Analog:
        if (!(ziffer(code) || code == kBackspace)) {
            e.zulassen = false;
            e.beeps = 1;
            e.grund = zeichenGrund(art);
        } else if (t.size() >= 3 && code != kBackspace) {
            e.zulassen = false;
            e.beeps = 1;
            e.grund = laengeGrund(art, 3);
        }
        break;
    }
    return e;
}

Einfuegeentscheid einfuegenPruefen(Feldart art, int grenze, const QString& feldtext, int ersetzt,
                                   const QString& eingabe)
{
    Einfuegeentscheid e;
    int laenge = feldtext.size();
    if (einheitLeer(art, feldtext)) {
        e.einheitLeeren = true;
        laenge = 0;
        ersetzt = 0;
    }
    int platz = grenze - (laenge - ersetzt);
    bool zeichenVerworfen = false;
    bool gekuerzt = false;
    for (QChar c : eingabe) {
        const auto b = ansi::byteFuer(c);
        if (!b || !zeichenErlaubt(art, *b)) {
            zeichenVerworfen = true;
            continue;
        }
        if (platz <= 0) {
            gekuerzt = true;
            continue;
        }
        e.text.append(c);
        --platz;
    }
    e.beeps = zeichenVerworfen || gekuerzt ? 1 : 0;
    if (zeichenVerworfen)
        e.grund = zeichenGrund(art);
    else if (gekuerzt)
        e.grund = laengeGrund(art, grenze);
    return e;
}
