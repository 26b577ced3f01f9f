#include "link/vorgang.h"

#include <algorithm>

QList<int> Schreibstand::offen() const
{
    QList<int> o = nichtGesendet;
    if (seite >= 0)
        o.append(seite);
    std::sort(o.begin(), o.end());
    return o;
}

Anweisung Anweisung::senden(const QByteArray& bytes, int laenge) { return Anweisung(Tun::Senden, bytes, laenge); }

Anweisung Anweisung::warten(const QByteArray& antwort) { return Anweisung(Tun::Warten, antwort); }

Anweisung Anweisung::empfangen(int anzahl) { return Anweisung(Tun::Empfangen, {}, anzahl); }

Anweisung Anweisung::direkt(const QByteArray& bytes, int pauseMs) { return Anweisung(Tun::Direkt, bytes, pauseMs); }

Anweisung Anweisung::ende(const Vorgangsbericht& b, bool esc)
{
    Anweisung a(Tun::Ende);
    a.bericht = b;
    a.esc = esc;
    return a;
}

Anweisung& Anweisung::zeigen(int max, int s)
{
    maximum = max;
    seite = s;
    return *this;
}

Vorgang::Phase Vorgang::phase() const
{
    switch (m_schritt) {
    case Schritt::Verbinden: return Phase::Verbinden;
    case Schritt::Befehl: return Phase::Befehl;
    case Schritt::Abschliessen: return Phase::Abschliessen;
    case Schritt::Beendet: return Phase::Beendet;
    default: return Phase::Uebertragen;
    }
}

Vorgangsbericht Vorgang::bericht(Ausgang a, Grund g) const
{
    Vorgangsbericht b;
    b.art = m_art;
    b.ausgang = a;
    b.schritt = m_schritt;
    b.grund = g;
    return b;
}

Vorgangsbericht Vorgang::bericht(Ausgang a, const Schrittende& s) const
{
    Grund g = Grund::Abbruch;
    switch (s.ausgang) {
    case Warteausgang::Zeitueberschreitung:
        g = m_schritt == Schritt::Empfangen ? Grund::KeineDaten : Grund::KeineAntwort;
        break;
    case Warteausgang::NichtGesendet: g = Grund::NichtGesendet; break;
    case Warteausgang::Getrennt: g = Grund::Getrennt; break;
    case Warteausgang::Erhalten:
    case Warteausgang::Abgebrochen: break;
    }
    Vorgangsbericht b = bericht(a, g);
    b.frist = s.frist;
    return b;
}
