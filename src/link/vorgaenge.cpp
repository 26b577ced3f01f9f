// The five device operations: configuration read ("r") and write ("w"),
// event memory ("l"), clock read ("t") and set ("s"). Each goes on after the
// link's common preamble (the device's ACK) with its steps, one `weiter` that
// reads top to bottom, and ends through its one Anweisung `ende`.
#include "link/verbindung.h"

namespace {

using Dekoder = Verbindung::Dekoder;
using Art = Vorgang::Art;

bool rufen(const Dekoder& d, const QByteArray& bytes)
{
    if (!d)
        return true;
    try {
        return d(bytes);
    } catch (...) {
        return false;  // a decode that throws is a run-time error like any other
    }
}

// The steps the downloads and the clock read share.
class Schritte : public Vorgang {
protected:
    using Vorgang::Vorgang;

    // A wait that did not end well: a transfer error, ESC first where the
    // device may still be in its command.
    Anweisung fehlschlag(const Schrittende& s, bool esc = false) const
    {
        return Anweisung::ende(bericht(Ausgang::Uebertragungsfehler, s), esc);
    }
    // A download asked to end, the receive limit passed (the link has
    // already left the device's transfer) or the line gone: how far it came.
    Anweisung unvollstaendig(const Schrittende& s, int gesamt) const
    {
        const Ausgang a = s.ausgang == Warteausgang::Zeitueberschreitung ? Ausgang::Zeitueberschreitung
                        : s.ausgang == Warteausgang::Getrennt            ? Ausgang::Uebertragungsfehler
                                                                         : Ausgang::Abgebrochen;
        Vorgangsbericht b = bericht(a, s);
        b.bytes = int(s.daten.size());
        b.gesamt = gesamt;
        return Anweisung::ende(b);
    }
    // The data complete: decoded (or converted) in Abschliessen.
    Anweisung dekodiert(const Dekoder& d, const QByteArray& daten)
    {
        setSchritt(Schritt::Abschliessen);
        if (rufen(d, daten))
            return Anweisung::ende(bericht(Ausgang::Erfolg));
        Vorgangsbericht b = bericht(Ausgang::Uebertragungsfehler, Grund::Unlesbar);
        b.daten = daten;
        return Anweisung::ende(b);
    }
};

// ---------------------------------------------------------------------------

class Lesen final : public Schritte {
public:
    Lesen(Dekoder dekodieren, Verbindung::Weiter vorbereiten)
        : Schritte(Art::Lesen), m_dekoder(std::move(dekodieren)), m_vorbereiten(std::move(vorbereiten))
    {
    }

    void vorbereiten() override
    {
        if (m_vorbereiten)
            m_vorbereiten();
    }

    Anweisung weiter(const Schrittende& s) override
    {
        switch (schritt()) {
        case Schritt::Verbinden:
            setSchritt(Schritt::Befehl);
            return Anweisung::senden("r");
        case Schritt::Befehl:  // configuration data are the bytes after the echo of "r"
            if (!s.erhalten())
                return fehlschlag(s, true);
            setSchritt(Schritt::Empfangen);
            return Anweisung::empfangen(kGeraeteBytes).zeigen(kGeraeteBytes);
        case Schritt::Empfangen:
            if (!s.erhalten())
                return unvollstaendig(s, kGeraeteBytes);
            return dekodiert(m_dekoder, s.daten);
        default:
            return {};
        }
    }

private:
    Dekoder m_dekoder;
    Verbindung::Weiter m_vorbereiten;
};

// ---------------------------------------------------------------------------

class Schreiben final : public Vorgang {
public:
    Schreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten)
        : Vorgang(Art::Schreiben), m_bild(bild), m_seiten(seiten)
    {
    }

    Anweisung weiter(const Schrittende& s) override
    {
        if (!s.erhalten())
            return fehlschlag(s);
        switch (schritt()) {
        case Schritt::Verbinden:
            setSchritt(Schritt::Befehl);
            return Anweisung::senden("w");
        case Schritt::Seite:
            m_stand.bestaetigt.append(m_stand.seite);
            [[fallthrough]];
        case Schritt::Befehl:
            m_stand.seite = naechsteSeite(m_stand.seite + 1);
            if (m_stand.seite < 0) {
                setSchritt(Schritt::Abschliessen);
                return Anweisung::ende(bericht(Ausgang::Erfolg), true);
            }
            setSchritt(Schritt::Seitenzeichen);
            return Anweisung::senden(QByteArray(1, char(48 + m_stand.seite)));
        case Schritt::Seitenzeichen:
            setSchritt(Schritt::Seite);
            return Anweisung::senden(m_bild.seite(m_stand.seite), kZellen).zeigen(kZellen + 1, m_stand.seite);
        default:
            return {};
        }
    }

private:
    // The first flagged page from `ab`, else -1.
    int naechsteSeite(int ab) const
    {
        for (int p = ab; p < kSeiten; ++p)
            if (m_seiten[std::size_t(p)])
                return p;
        return -1;
    }

    // The rest is not sent: ESC leaves the device's write; the report says
    // how far it came.
    Anweisung fehlschlag(const Schrittende& s) const
    {
        Vorgangsbericht b = bericht(Ausgang::Uebertragungsfehler, s);
        Schreibstand stand = m_stand;
        if (schritt() == Schritt::Seite)
            stand.echos = s.gesendet;
        for (int p = stand.seite + 1; p < kSeiten; ++p)  // from page 0 while still at "w"
            if (m_seiten[std::size_t(p)])
                stand.nichtGesendet.append(p);
        b.schreibstand = stand;
        return Anweisung::ende(b, true);
    }

    Konfigspeicher m_bild;
    Seitenaenderung m_seiten;
    Schreibstand m_stand;
};

// ---------------------------------------------------------------------------

class Ereignisse final : public Schritte {
public:
    explicit Ereignisse(Dekoder umwandeln) : Schritte(Art::Ereignisse), m_umwandeln(std::move(umwandeln)) {}

    Anweisung weiter(const Schrittende& s) override
    {
        switch (schritt()) {
        case Schritt::Verbinden:
            setSchritt(Schritt::Befehl);
            return Anweisung::direkt("l");
        case Schritt::Befehl: {  // the memory comes whether or not the port took the command
            setSchritt(Schritt::Empfangen);
            Anweisung a = Anweisung::empfangen(Verbindung::kLogAnzahl + 1);
            a.verbergen = true;  // the progress goes before the conversion
            return a;
        }
        case Schritt::Empfangen:
            if (!s.erhalten())
                return unvollstaendig(s, Verbindung::kLogAnzahl + 1);
            // The first byte after the command is not part of the memory.
            return dekodiert(m_umwandeln, s.daten.right(Verbindung::kLogAnzahl));
        default:
            return {};
        }
    }

private:
    Dekoder m_umwandeln;
};

// ---------------------------------------------------------------------------

class UhrLesen final : public Schritte {
public:
    explicit UhrLesen(Dekoder dekodieren) : Schritte(Art::UhrLesen), m_dekoder(std::move(dekodieren)) {}

    Anweisung weiter(const Schrittende& s) override
    {
        switch (schritt()) {
        case Schritt::Verbinden:
            setSchritt(Schritt::Befehl);
            return Anweisung::direkt("t");
        case Schritt::Befehl:
            setSchritt(Schritt::Antwort);
            return Anweisung::warten(">");
        case Schritt::Antwort: {
            if (!s.erhalten())
                return fehlschlag(s);
            // The five clock bytes are the ones right before the ">".
            if (s.daten.size() < 6) {
                Vorgangsbericht b = bericht(Ausgang::Uebertragungsfehler, Grund::Unvollstaendig);
                b.bytes = int(s.daten.size()) - 1;
                b.gesamt = 5;
                return Anweisung::ende(b);
            }
            return dekodiert(m_dekoder, s.daten.right(6));
        }
        default:
            return {};
        }
    }

private:
    Dekoder m_dekoder;
};

// ---------------------------------------------------------------------------

class UhrSetzen final : public Vorgang {
public:
    explicit UhrSetzen(Verbindung::Uhrbyte byteFuer) : Vorgang(Art::UhrSetzen), m_uhrbyte(std::move(byteFuer)) {}

    // Nothing is awaited. A byte the port refused (it was closed under the
    // setting) is a transfer error the user is told of at the end; the
    // setting ends as its dialog's unload ends it, with ESC.
    Anweisung weiter(const Schrittende& s) override
    {
        if (s.ausgang == Warteausgang::NichtGesendet && !m_fehler) {
            m_fehler = bericht(Ausgang::Uebertragungsfehler, s);
            m_fehler->bytes = m_gesendet;
        }
        if (s.ausgang == Warteausgang::Abgebrochen || s.ausgang == Warteausgang::Getrennt) {
            const bool weg = s.ausgang == Warteausgang::Getrennt;
            Vorgangsbericht b = bericht(weg ? Ausgang::Uebertragungsfehler : Ausgang::Abgebrochen, s);
            b.bytes = m_gesendet;
            b.gesamt = 5;
            return Anweisung::ende(b, true);
        }
        switch (schritt()) {
        case Schritt::Verbinden:
            setSchritt(Schritt::Befehl);
            return Anweisung::direkt("s", 500);
        case Schritt::Befehl:
        case Schritt::Uhrbyte:
            if (m_gesendet < 5) {
                setSchritt(Schritt::Uhrbyte);
                const std::uint8_t b = m_uhrbyte ? m_uhrbyte(m_gesendet) : 0;
                ++m_gesendet;
                return Anweisung::direkt(QByteArray(1, char(b)), 200);
            }
            setSchritt(Schritt::Abschliessen);
            return Anweisung::ende(m_fehler.value_or(bericht(Ausgang::Erfolg)), true);
        default:
            return {};
        }
    }

private:
    Verbindung::Uhrbyte m_uhrbyte;
    int m_gesendet = 0;
    std::optional<Vorgangsbericht> m_fehler;
};

} // namespace

// ---------------------------------------------------------------------------

bool Verbindung::konfigurationLesen(Dekoder dekodieren, Fertig fertig, Weiter vorbereiten)
{
    return starten(std::make_unique<Lesen>(std::move(dekodieren), std::move(vorbereiten)), std::move(fertig));
}

bool Verbindung::konfigurationSchreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig)
{
    return starten(std::make_unique<Schreiben>(bild, seiten), std::move(fertig));
}

bool Verbindung::ereignisspeicherLesen(Dekoder umwandeln, Fertig fertig)
{
    return starten(std::make_unique<Ereignisse>(std::move(umwandeln)), std::move(fertig));
}

bool Verbindung::uhrLesen(Dekoder dekodieren, Fertig fertig)
{
    return starten(std::make_unique<UhrLesen>(std::move(dekodieren)), std::move(fertig));
}

bool Verbindung::uhrSetzen(Uhrbyte byteFuer, Fertig fertig)
{
    return starten(std::make_unique<UhrSetzen>(std::move(byteFuer)), std::move(fertig));
}
