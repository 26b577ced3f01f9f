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

Auftrag Auftrag::senden(const QByteArray& bytes, int laenge) { return Auftrag(Tun::Senden, bytes, laenge); }

Auftrag Auftrag::warten(const QByteArray& antwort) { return Auftrag(Tun::Warten, antwort); }

Auftrag Auftrag::empfangen(int anzahl) { return Auftrag(Tun::Empfangen, {}, anzahl); }

Auftrag Auftrag::direkt(const QByteArray& bytes, int pauseMs) { return Auftrag(Tun::Direkt, bytes, pauseMs); }

Auftrag Auftrag::ende(const Vorgangsbericht& b, bool esc)
{
    Auftrag a(Tun::Ende);
    a.bericht = b;
    a.esc = esc;
    return a;
}

Auftrag& Auftrag::zeigen(int max, int s)
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
    case Warteausgang::Erhalten:
    case Warteausgang::Abgebrochen: break;
    }
    Vorgangsbericht b = bericht(a, g);
    b.frist = s.frist;
    return b;
}
