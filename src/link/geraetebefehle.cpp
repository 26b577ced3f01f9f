// The device operations of the link: configuration read and write, event
// memory, clock read and set. Each is a short chain of steps joined by the
// continuations of Konfig_open, Senden and Antwort.
#include "door/abweisung.h"
#include "door/door.h"
#include "link/verbindung.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
bool rufen(const Verbindung::Dekoder& d, const QByteArray& bytes)
{
    if (!d)
        return true;
    try {
        return d(bytes);
    } catch (...) {
        return false;  // a decode that throws is a run-time error like any other
    }
}
} // namespace

// ---------------------------------------------------------------------------
// Common frame

bool Verbindung::annehmen()
{
    if (m_s.Belegt || m_op != Op::Keine) {
        abweisen({Abweisung::Art::Belegt});
        return false;
    }
    return true;
}

void Verbindung::beginnen(Op op, Fertig fertig, Dekoder dekoder)
{
    m_op = op;
    m_fertig = std::move(fertig);
    m_dekoder = std::move(dekoder);
    m_endetBeiEntladen = false;
    m_ausgangBeiEntladen = Ausgang::Abgebrochen;
    m_falle = false;
    m_schreibfehler = false;
}

void Verbindung::beenden(Ausgang a)
{
    if (m_op == Op::Keine)
        return;
    m_op = Op::Keine;
    m_endetBeiEntladen = false;
    m_empfangsfrist.stop();
    m_pause.stop();
    m_dekoder = {};
    m_uhrbyte = {};
    Fertig fertig = std::move(m_fertig);
    m_fertig = {};
    // Posted to the application object, not to this one, so that the callback
    // may even destroy the Verbindung; it is dropped when that already happened.
    if (fertig)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = QPointer<Verbindung>(this), fertig = std::move(fertig), a] {
                if (self)
                    fertig(a);
            },
            Qt::QueuedConnection);
}

void Verbindung::empfangBeginnen()
{
    m_endetBeiEntladen = true;
    if (m_empfangsgrenze.count() > 0)
        m_empfangsfrist.start(m_empfangsgrenze);
}

void Verbindung::empfangsgrenzeErreicht()
{
    if (m_op == Op::Keine || !m_endetBeiEntladen)
        return;
    m_ausgangBeiEntladen = Ausgang::Zeitueberschreitung;
    abbrechen();
    meldung(textUebertragungsfehler());
}

// ---------------------------------------------------------------------------
// Configuration read ("r")

bool Verbindung::konfigurationLesen(Dekoder dekodieren, Fertig fertig, Weiter vorbereiten)
{
    if (!annehmen())
        return false;
    beginnen(Op::Lesen, std::move(fertig), std::move(dekodieren));
    m_s.modiLoeschen();
    m_s.Einlesen = true;
    if (vorbereiten)
        vorbereiten();
    m_s.Fortschritt = 0;
    Konfig_open([this] {
        if (!m_s.AntwortOK) {
            meldung(textKeineVerbindung());
            portSchliessen();
            beenden(Ausgang::KeineVerbindung);
            return;
        }
        m_s.Einlesen = true;
        m_daten.Timer1().stop();
        emit mauszeiger(true);
        Senden(QByteArrayLiteral("r"), 1, [this] {
            if (!m_s.AntwortOK) {
                meldung(textUebertragungsfehler());
                direkt(QByteArray(1, char(ESC)));
                portSchliessen();
                beenden(Ausgang::Uebertragungsfehler);
                return;
            }
            m_daten.setMaximum(kGeraeteBytes);
            m_s.Fortschritt = 0;
            m_daten.setText(QStringLiteral("lese Konfigurationsdaten ..."));
            empfangBeginnen();
        });
    });
    return true;
}

void Verbindung::stufeKonfiguration()
{
    if (m_op != Op::Lesen)
        return;
    m_endetBeiEntladen = false;
    m_empfangsfrist.stop();
    if (!rufen(m_dekoder, m_s.Empfangspuffer)) {
        fehlerfalle();
        beenden(Ausgang::Uebertragungsfehler);
        return;
    }
    portSchliessen();
    emit mauszeiger(false);
    m_s.Fortschritt = 0;
    m_daten.schliessen();  // clears Einlesen: the decode runs once
    beenden(Ausgang::Erfolg);
}

// ---------------------------------------------------------------------------
// Configuration write ("w")

bool Verbindung::konfigurationSchreiben(const Konfigspeicher& bild, const Seitenaenderung& seiten, Fertig fertig)
{
    if (!annehmen())
        return false;
    beginnen(Op::Schreiben, std::move(fertig));
    m_bild = bild;
    m_seiten = seiten;
    m_s.modiLoeschen();
    m_s.Fortschritt = 0;
    Konfig_open([this] {
        if (!m_s.AntwortOK) {
            meldung(textKeineVerbindung());
            portSchliessen();
            schreibenEnde(Ausgang::KeineVerbindung);
            return;
        }
        m_s.SchreibModus = true;
        Senden(QByteArrayLiteral("w"), 1, [this] {
            if (!m_s.AntwortOK)
                return schreibFehler();
            naechsteSeite(0);
        });
    });
    return true;
}

void Verbindung::naechsteSeite(int nach)
{
    int p = nach;
    while (p < kSeiten && !m_seiten[std::size_t(p)])
        ++p;
    if (p >= kSeiten) {
        direkt(QByteArray(1, char(ESC)));
        schreibenEnde(Ausgang::Erfolg);
        return;
    }
    m_seite = p;
    Senden(QByteArray(1, char(48 + p)), 1, [this] {
        if (!m_s.AntwortOK)
            return schreibFehler();
        m_daten.setMaximum(kZellen + 1);
        if (m_seite < kGeraeteSeiten)
            m_daten.setText(seitenTitel(m_seite));
        m_s.Fortschritt = 0;
        Senden(m_bild.seite(m_seite), kZellen, [this] {
            if (!m_s.AntwortOK)
                return schreibFehler();
            naechsteSeite(m_seite + 1);
        });
    });
}

void Verbindung::schreibFehler()
{
    Door::aktuell().beep();
    meldung(textUebertragungsfehler());
    direkt(QByteArray(1, char(ESC)));
    portSchliessen();
    schreibenEnde(Ausgang::Uebertragungsfehler);
}

void Verbindung::schreibenEnde(Ausgang a)
{
    portSchliessen();
    m_daten.schliessen();
    m_s.SchreibModus = false;
    emit mauszeiger(false);
    beenden(a);
}

// ---------------------------------------------------------------------------
// Event memory ("l")

bool Verbindung::ereignisspeicherLesen(Dekoder umwandeln, Fertig fertig)
{
    if (!annehmen())
        return false;
    beginnen(Op::Ereignisse, std::move(fertig), std::move(umwandeln));
    m_s.modiLoeschen();
    Konfig_open([this] {
        if (!m_s.AntwortOK) {
            meldung(textKeineVerbindung());
            portSchliessen();
            beenden(Ausgang::KeineVerbindung);
            return;
        }
        m_s.LogModus = true;
        m_s.Empfangspuffer.clear();
        m_s.AntwortOK = false;
        emit mauszeiger(true);
        direkt(QByteArrayLiteral("l"));
        empfangBeginnen();
    });
    return true;
}

void Verbindung::stufeEreignisse()
{
    if (m_op != Op::Ereignisse)
        return;
    m_endetBeiEntladen = false;
    m_empfangsfrist.stop();
    m_daten.schliessen();
    // The first byte after the command is not part of the memory.
    m_s.Empfangspuffer = m_s.Empfangspuffer.right(kLogAnzahl);
    if (!rufen(m_dekoder, m_s.Empfangspuffer)) {
        fehlerfalle();
        beenden(Ausgang::Uebertragungsfehler);
        return;
    }
    portSchliessen();
    emit mauszeiger(false);
    m_s.LogModus = false;
    beenden(Ausgang::Erfolg);
}

// ---------------------------------------------------------------------------
// Clock read ("t") and set ("s")

bool Verbindung::uhrLesen(Dekoder dekodieren, Fertig fertig)
{
    if (!annehmen())
        return false;
    beginnen(Op::UhrLesen, std::move(fertig), std::move(dekodieren));
    m_s.modiLoeschen();
    Konfig_open([this] {
        if (!m_s.AntwortOK) {
            meldung(textKeineVerbindung());
            portSchliessen();
            uhrBefehlEnde(Ausgang::KeineVerbindung);
            return;
        }
        m_s.UhrModus = true;
        // The dialog's load: the read itself.
        m_s.AntwortOK = false;
        direkt(QByteArrayLiteral("t"));
        Antwort(QByteArrayLiteral(">"), [this] {
            Ausgang a = m_falle ? Ausgang::Uebertragungsfehler : Ausgang::Erfolg;
            if (!m_s.AntwortOK) {
                meldung(textUebertragungsfehler());
                a = Ausgang::Uebertragungsfehler;
            } else {
                m_s.Empfangspuffer.clear();
            }
            portSchliessen();
            uhrBefehlEnde(a);
        });
    });
    return true;
}

void Verbindung::stufeUhr()
{
    if (m_op != Op::UhrLesen)
        return;
    // The five clock bytes are the ones right before the ">".
    const QByteArray& p = m_s.Empfangspuffer;
    if (p.size() < 6 || !rufen(m_dekoder, p.right(6)))
        fehlerfalle();
}

void Verbindung::uhrBefehlEnde(Ausgang a)
{
    emit mauszeiger(false);
    m_daten.Timer1().stop();
    m_daten.schliessen();
    beenden(a);
}

bool Verbindung::uhrSetzen(Uhrbyte byteFuer, Fertig fertig)
{
    if (!annehmen())
        return false;
    beginnen(Op::UhrSetzen, std::move(fertig));
    m_uhrbyte = std::move(byteFuer);
    m_s.AntwortOK = false;
    Konfig_open([this] {
        if (!m_s.AntwortOK) {
            meldung(textKeineVerbindung());
            portSchliessen();
            uhrSetzenEnde(Ausgang::KeineVerbindung);
            return;
        }
        if (!direkt(QByteArrayLiteral("s")))
            m_schreibfehler = true;
        m_uhrSchritt = 0;
        m_endetBeiEntladen = true;  // closing Daten or the abort ends the setting
        m_pause.start(500);
    });
    return true;
}

void Verbindung::uhrPause()
{
    if (m_op != Op::UhrSetzen)
        return;
    if (m_uhrSchritt < 5) {
        const std::uint8_t b = m_uhrbyte ? m_uhrbyte(m_uhrSchritt) : 0;
        if (!direkt(QByteArray(1, char(b))))
            m_schreibfehler = true;
        ++m_uhrSchritt;
        m_pause.start(200);
        return;
    }
    m_endetBeiEntladen = false;
    uhrSetzenEnde(m_schreibfehler ? Ausgang::Uebertragungsfehler : Ausgang::Erfolg);
}

void Verbindung::uhrSetzenEnde(Ausgang a)
{
    emit mauszeiger(false);
    m_daten.schliessen();
    beenden(a);
}

void Verbindung::uhrDialogEntladen()
{
    // The dialog went away in the middle of a setting: closing Daten ends it
    // (during its pauses at once, while connecting through the aborted wait).
    if (m_op == Op::UhrSetzen) {
        emit mauszeiger(false);
        m_daten.schliessen();
    }
    m_s.UhrModus = false;
    if (portOffen()) {
        direkt(QByteArray(1, char(ESC)));
        portSchliessen();
    }
}
