#include "link/vorgang.h"

#include "link/verbindung.h"

Vorgang::Vorgang(Verbindung& v, Art art, Fertig fertig) : QObject(&v), m_v(v), m_art(art), m_fertig(std::move(fertig)) {}

Ergebnis Vorgang::abgebrochen() const
{
    const QString wie = stand();
    return {Ausgang::Abgebrochen, {}, wie.isEmpty() ? QString() : QStringLiteral("abgebrochen nach %1").arg(wie), false, {}};
}

bool Vorgang::befehlSenden(char befehl)
{
    setPhase(Phase::Befehl);
    if (!direkt(QByteArray(1, befehl)))
        return false;
    schritt(QStringLiteral("Befehl %1 gesendet").arg(QLatin1Char(befehl)));
    return true;
}

QString Vorgang::empfangenVon(int gesamt) const
{
    return QStringLiteral("%1 von %2 Bytes").arg(Empfangspuffer().size()).arg(gesamt);
}

void Vorgang::empfangBeginnen() { m_v.empfangBeginnen(); }

void Vorgang::Senden(const QByteArray& text, int laenge, std::function<void(Warteausgang, int)> weiter)
{
    m_v.Senden(text, laenge, std::move(weiter));
}

void Vorgang::Antwort(const QByteArray& erwartet, std::function<void(Warteausgang)> weiter)
{
    m_v.Antwort(erwartet, std::move(weiter));
}

void Vorgang::pause(int ms, std::function<void()> weiter) { m_v.pause(ms, std::move(weiter)); }

bool Vorgang::direkt(const QByteArray& bytes) { return m_v.direkt(bytes); }

void Vorgang::schritt(const QString& text) { emit m_v.schritt(text); }

bool Vorgang::portOffen() const { return m_v.portOffen(); }

Daten& Vorgang::daten() { return m_v.m_daten; }

const QByteArray& Vorgang::Empfangspuffer() const { return m_v.m_empfangspuffer; }

void Vorgang::pufferLeeren() { m_v.m_empfangspuffer.clear(); }

int Vorgang::Fortschritt() const { return m_v.m_fortschritt; }

void Vorgang::setFortschritt(int wert) { m_v.m_fortschritt = wert; }

std::chrono::milliseconds Vorgang::wartezeit() const { return m_v.wartezeit(); }

void Vorgang::beenden(const Ergebnis& e) { m_v.beenden(*this, e, true); }

QString dauerText(std::chrono::milliseconds ms)
{
    if (ms.count() % 1000 == 0)
        return QStringLiteral("%1 s").arg(ms.count() / 1000);
    return QStringLiteral("%1 ms").arg(ms.count());
}
