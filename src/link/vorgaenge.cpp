// The five device operations: configuration read ("r") and write ("w"),
// event memory ("l"), clock read ("t") and set ("s"). Each is a Vorgang that
// goes on after the link's common preamble (the device's ACK) with its
// command, and ends through its one end.
#include "link/verbindung.h"

namespace {

using Dekoder = Verbindung::Dekoder;
using Fertig = Vorgang::Fertig;
using Phase = Vorgang::Phase;

const QByteArray kEsc(1, char(Verbindung::ESC));

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

Ergebnis erfolg() { return {Ausgang::Erfolg, {}, {}, false, {}}; }

Ergebnis uebertragungsfehler(const QString& detail, bool signalton = false)
{
    return {Ausgang::Uebertragungsfehler, Verbindung::textUebertragungsfehler(), detail, signalton, {}};
}

// Why an awaited answer did not come, e.g. "kein Echo für r innerhalb 40 s",
// "keine Antwort ">" innerhalb 40 s"; `was` with its article ("kein Echo für r").
QString ohneAntwort(Warteausgang a, const QString& was, const QString& worauf, std::chrono::milliseconds frist)
{
    if (a == Warteausgang::Abgebrochen)
        return QStringLiteral("abgebrochen beim Warten auf %1").arg(worauf);
    return QStringLiteral("%1 innerhalb %2").arg(was, dauerText(frist));
}

// ---------------------------------------------------------------------------

class Lesen final : public Vorgang {
public:
    Lesen(Verbindung& v, Dekoder dekodieren, Fertig fertig, Verbindung::Weiter vorbereiten, const QString& text)
        : Vorgang(v, Art::Lesen, std::move(fertig)), m_dekoder(std::move(dekodieren)),
          m_vorbereiten(std::move(vorbereiten)),
          m_text(text.isEmpty() ? QStringLiteral("lese Konfigurationsdaten ...") : text)
    {
    }

protected:
    void vorbereiten() override
    {
        if (m_vorbereiten)
            m_vorbereiten();
    }

    void verbunden() override
    {
        setPhase(Phase::Befehl);
        daten().Timer1().stop();
        Senden(QByteArrayLiteral("r"), 1, [this](Warteausgang a, int) {
            if (a == Warteausgang::Erhalten)
                schritt(QStringLiteral("Befehl r gesendet"));
            if (a != Warteausgang::Erhalten) {
                direkt(kEsc);
                beenden(uebertragungsfehler(
                    ohneAntwort(a, QStringLiteral("kein Echo für r"), QStringLiteral("das Echo für r"), wartezeit())));
                return;
            }
            daten().setMaximum(kGeraeteBytes);
            setFortschritt(0);
            daten().setText(m_text);
            empfangBeginnen();
        });
    }

    // Configuration data are the bytes after the echo of "r"; the 3328th
    // starts the decode.
    void empfangen(std::uint8_t) override
    {
        if (Empfangspuffer().size() < kGeraeteBytes) {
            setFortschritt(Fortschritt() + 1);
            daten().setWert(Fortschritt());
            return;
        }
        setPhase(Phase::Abschliessen);
        schritt(QStringLiteral("%1 Bytes empfangen").arg(kGeraeteBytes));
        if (!rufen(m_dekoder, Empfangspuffer())) {
            beenden(uebertragungsfehler(QStringLiteral("Konfigurationsdaten nicht lesbar")));
            return;
        }
        beenden(erfolg());
    }

    QString stand() const override { return empfangenVon(kGeraeteBytes); }

private:
    Dekoder m_dekoder;
    Verbindung::Weiter m_vorbereiten;
    QString m_text;
};

// ---------------------------------------------------------------------------

class Schreiben final : public Vorgang {
public:
    Schreiben(Verbindung& v, const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig)
        : Vorgang(v, Art::Schreiben, std::move(fertig)), m_bild(bild), m_seiten(seiten)
    {
    }

protected:
    void verbunden() override
    {
        setPhase(Phase::Befehl);
        Senden(QByteArrayLiteral("w"), 1, [this](Warteausgang a, int) {
            if (a != Warteausgang::Erhalten)
                return fehler(a, QStringLiteral("bei w"));
            schritt(QStringLiteral("Befehl w gesendet"));
            setPhase(Phase::Uebertragen);
            naechsteSeite(0);
        });
    }

    Ergebnis abgebrochen() const override
    {
        Ergebnis e = Vorgang::abgebrochen();
        e.schreibstand = schreibstand();
        return e;
    }

private:
    void naechsteSeite(int nach)
    {
        int p = nach;
        while (p < kSeiten && !m_seiten[std::size_t(p)])
            ++p;
        if (p >= kSeiten) {
            setPhase(Phase::Abschliessen);
            direkt(kEsc);
            beenden(erfolg());
            return;
        }
        Senden(QByteArray(1, char(48 + p)), 1, [this, p](Warteausgang a, int) {
            if (a != Warteausgang::Erhalten)
                return fehler(a, QStringLiteral("beim Seitenzeichen von Seite %1").arg(p));
            daten().setMaximum(kZellen + 1);
            if (p < kGeraeteSeiten)
                daten().setText(seitenTitel(p));
            setFortschritt(0);
            m_datenGesendet = true;
            Senden(m_bild.seite(p), kZellen, [this, p](Warteausgang a, int i) {
                if (a != Warteausgang::Erhalten)
                    return fehler(a, QStringLiteral("bei Seite %1, Zeichen %2").arg(p).arg(i + 1));
                m_geschrieben.append(p);
                schritt(QStringLiteral("Seite %1 geschrieben").arg(p));
                naechsteSeite(p + 1);
            });
        });
    }

    // The rest is not sent: ESC leaves the device's write, a beep and the box follow.
    void fehler(Warteausgang a, const QString& wo)
    {
        direkt(kEsc);
        const QString was = a == Warteausgang::Abgebrochen ? QStringLiteral("abgebrochen") : QStringLiteral("Echo fehlt");
        Ergebnis e = uebertragungsfehler(was + QLatin1Char(' ') + wo, true);
        e.schreibstand = schreibstand();
        beenden(e);
    }

    // The pages complete so far, and the flagged pages not (a page being sent
    // counts as not written).
    Schreibstand schreibstand() const
    {
        Schreibstand s{m_geschrieben, {}, m_datenGesendet};
        for (int p = 0; p < kSeiten; ++p)
            if (m_seiten[std::size_t(p)] && !m_geschrieben.contains(p))
                s.offen.append(p);
        return s;
    }

    Konfigspeicher m_bild;
    Seitenaenderung m_seiten;
    QList<int> m_geschrieben;
    bool m_datenGesendet = false;
};

// ---------------------------------------------------------------------------

class Ereignisse final : public Vorgang {
public:
    Ereignisse(Verbindung& v, Dekoder umwandeln, Fertig fertig)
        : Vorgang(v, Art::Ereignisse, std::move(fertig)), m_umwandeln(std::move(umwandeln))
    {
    }

protected:
    void verbunden() override
    {
        pufferLeeren();
        befehlSenden('l');
        empfangBeginnen();
    }

    // The 513th byte completes the memory.
    void empfangen(std::uint8_t) override
    {
        if (Empfangspuffer().size() <= Verbindung::kLogAnzahl)
            return;
        setPhase(Phase::Abschliessen);
        schritt(QStringLiteral("%1 Bytes empfangen").arg(Verbindung::kLogAnzahl + 1));
        daten().verbergen();  // before the conversion, as the window has it
        // The first byte after the command is not part of the memory.
        if (!rufen(m_umwandeln, Empfangspuffer().right(Verbindung::kLogAnzahl))) {
            beenden(uebertragungsfehler(QStringLiteral("Ereignisspeicher nicht abgelegt")));
            return;
        }
        beenden(erfolg());
    }

    QString stand() const override { return empfangenVon(Verbindung::kLogAnzahl + 1); }

private:
    Dekoder m_umwandeln;
};

// ---------------------------------------------------------------------------

class UhrLesen final : public Vorgang {
public:
    UhrLesen(Verbindung& v, Dekoder dekodieren, Fertig fertig)
        : Vorgang(v, Art::UhrLesen, std::move(fertig)), m_dekoder(std::move(dekodieren))
    {
    }

protected:
    void verbunden() override
    {
        befehlSenden('t');
        setPhase(Phase::Uebertragen);
        Antwort(QByteArrayLiteral(">"), [this](Warteausgang a) {
            if (a != Warteausgang::Erhalten) {
                beenden(uebertragungsfehler(ohneAntwort(a, QStringLiteral("keine Antwort \">\""),
                                                        QStringLiteral("die Antwort \">\""), wartezeit())));
                return;
            }
            schritt(QStringLiteral("Antwort \">\" empfangen"));
            pufferLeeren();
            beenden(m_fehler.isEmpty() ? erfolg() : uebertragungsfehler(m_fehler));
        });
    }

    // The five clock bytes are the ones right before the ">"; the wait for
    // the ">" ends right after this.
    void empfangen(std::uint8_t z) override
    {
        if (z != '>')
            return;
        setPhase(Phase::Abschliessen);
        const QByteArray& p = Empfangspuffer();
        if (p.size() < 6)
            m_fehler = QStringLiteral("Uhrzeit unvollständig: nur %1 von 5 Bytes vor \">\"").arg(p.size() - 1);
        else if (!rufen(m_dekoder, p.right(6)))
            m_fehler = QStringLiteral("Uhrzeit nicht lesbar: %1")
                           .arg(QString::fromLatin1(p.right(6).left(5).toHex(' ').toUpper()));
    }

private:
    Dekoder m_dekoder;
    QString m_fehler;
};

// ---------------------------------------------------------------------------

class UhrSetzen final : public Vorgang {
public:
    UhrSetzen(Verbindung& v, Verbindung::Uhrbyte byteFuer, Fertig fertig)
        : Vorgang(v, Art::UhrSetzen, std::move(fertig)), m_uhrbyte(std::move(byteFuer))
    {
    }

protected:
    void verbunden() override
    {
        if (!befehlSenden('s'))
            m_fehler = QStringLiteral("Befehl s nicht gesendet");
        pause(500, [this] { naechstesByte(); });
    }

    // The setting ends as the clock dialog's unload ends it: ESC to the device.
    void vorDemEnde() override
    {
        if (phase() != Phase::Verbinden && portOffen())
            direkt(kEsc);
    }

    Ergebnis abgebrochen() const override
    {
        return {Ausgang::Abgebrochen, {}, QStringLiteral("abgebrochen nach %1 von 5 Uhrzeit-Bytes").arg(m_schritt), false, {}};
    }

private:
    void naechstesByte()
    {
        setPhase(Phase::Uebertragen);
        if (m_schritt < 5) {
            const std::uint8_t b = m_uhrbyte ? m_uhrbyte(m_schritt) : 0;
            if (!direkt(QByteArray(1, char(b))) && m_fehler.isEmpty())
                m_fehler = QStringLiteral("Uhrzeit-Byte %1 nicht gesendet").arg(m_schritt + 1);
            ++m_schritt;
            pause(200, [this] { naechstesByte(); });
            return;
        }
        setPhase(Phase::Abschliessen);
        if (m_fehler.isEmpty())
            schritt(QStringLiteral("5 Uhrzeit-Bytes gesendet"));
        // Nothing is awaited; a byte the port refused (it was closed under
        // the setting) is a transfer error the user is told of, not a setting.
        beenden(m_fehler.isEmpty() ? erfolg() : uebertragungsfehler(m_fehler));
    }

    Verbindung::Uhrbyte m_uhrbyte;
    int m_schritt = 0;
    QString m_fehler;
};

} // namespace

// ---------------------------------------------------------------------------

bool Verbindung::konfigurationLesen(Dekoder dekodieren, Fertig fertig, Weiter vorbereiten, const QString& text)
{
    return starten(
        std::make_unique<Lesen>(*this, std::move(dekodieren), std::move(fertig), std::move(vorbereiten), text));
}

bool Verbindung::konfigurationSchreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig)
{
    return starten(std::make_unique<Schreiben>(*this, bild, seiten, std::move(fertig)));
}

bool Verbindung::ereignisspeicherLesen(Dekoder umwandeln, Fertig fertig)
{
    return starten(std::make_unique<Ereignisse>(*this, std::move(umwandeln), std::move(fertig)));
}

bool Verbindung::uhrLesen(Dekoder dekodieren, Fertig fertig)
{
    return starten(std::make_unique<UhrLesen>(*this, std::move(dekodieren), std::move(fertig)));
}

bool Verbindung::uhrSetzen(Uhrbyte byteFuer, Fertig fertig)
{
    return starten(std::make_unique<UhrSetzen>(*this, std::move(byteFuer), std::move(fertig)));
}
