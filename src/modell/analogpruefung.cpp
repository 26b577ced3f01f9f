#include "modell/analogpruefung.h"


const QString& Analogwerte::text(Analogfeld f) const
{
    switch (f) {
    case Analogfeld::Messbereich4: return messbereich4;
    case Analogfeld::Messbereich20: return messbereich20;
    case Analogfeld::Grenzwertmin: return grenzwertmin;
    case Analogfeld::Grenzwertmax: return grenzwertmax;
    }
    return messbereich4;
}

double analogZahl(const QString& text)
{
    int i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    double v = 0.0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        v = v * 10.0 + (text[i].unicode() - '0');
    return v;
}

namespace {

using A = Abweisung::Art;

Analogentscheid abgelehnt(Abweisung grund)
{
    Analogentscheid e;
    e.abgelehnt = true;
    e.grund = grund;
    return e;
}

Analogentscheid bereichPruefen(Analogfeld feld, const Analogwerte& w, bool feldgeaendert)
{
    const QString& text = w.text(feld);
    const bool vier = feld == Analogfeld::Messbereich4;
    const Abweisung keinWert{vier ? A::Wert4mA : A::Wert20mA};
    const double v = analogZahl(text);
    if (v < 0.0 || v > 999.0)
        return abgelehnt(keinWert);
    Analogentscheid e;
    if (text.isEmpty()) {
        e.speichern = true;
    } else {
        // Only the plain form of the number is taken: "007" or "05" are refused.
        if (QString::number(int(v)) != text)
            return abgelehnt(keinWert);
        // The 20 mA value must lie strictly above the 4 mA value when both are set.
        if (vier) {
            if (!w.messbereich20.isEmpty() && analogZahl(w.messbereich20) <= v)
                return abgelehnt({A::Unter20mA});
        } else {
            if (!w.messbereich4.isEmpty() && analogZahl(w.messbereich4) >= v)
                return abgelehnt({A::Ueber4mA});
        }
        e.speichern = true;
        e.wert = int(v);
    }
    if (text.isEmpty() || feldgeaendert) {
        e.vermerken = true;
        e.grenzwerteNeuPruefen = true;
    }
    return e;
}

Analogentscheid grenzwertPruefen(Analogfeld feld, const Analogwerte& w, bool feldgeaendert)
{
    Analogentscheid e;
    e.speichern = true;
    // Without a complete range a threshold means nothing: stored as empty.
    if (w.messbereich4.isEmpty() || w.messbereich20.isEmpty())
        return e;
    const double a = analogZahl(w.messbereich4);
    const double b = analogZahl(w.messbereich20);
    const QString& text = w.text(feld);
    const bool unten = feld == Analogfeld::Grenzwertmin;
    const double g = analogZahl(text);
    if (g < a || g > b)
        return abgelehnt({unten ? A::UntererBereich : A::ObererBereich, int(a), int(b)});
    // Minimum and maximum must lie more than 50 apart.
    const double mini = analogZahl(w.grenzwertmin);
    const double maxi = analogZahl(w.grenzwertmax);
    if (!w.grenzwertmin.isEmpty() && !w.grenzwertmax.isEmpty() && mini + 50.0 >= maxi)
        return abgelehnt({unten ? A::UntererAbstand : A::ObererAbstand});
    if (!text.isEmpty())
        e.wert = int(g);
    e.vermerken = text.isEmpty() || feldgeaendert;
    return e;
}

} // namespace

Analogentscheid analogPruefen(Analogfeld feld, const Analogwerte& werte, bool feldgeaendert)
{
    if (feld == Analogfeld::Messbereich4 || feld == Analogfeld::Messbereich20)
        return bereichPruefen(feld, werte, feldgeaendert);
    return grenzwertPruefen(feld, werte, feldgeaendert);
}
