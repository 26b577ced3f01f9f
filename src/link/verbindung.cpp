#include "link/verbindung.h"

#include "door/door.h"
#include "link/seriellertransport.h"

#include <QPointer>

Verbindung::Verbindung(Sitzung& sitzung, std::unique_ptr<Transport> transport, QObject* parent)
    : QObject(parent), m_s(sitzung), m_transport(std::move(transport))
{
    if (!m_transport)
        m_transport = std::make_unique<SeriellerTransport>();
    connect(m_transport.get(), &Transport::datenDa, this, &Verbindung::lesenSchleife);
    connect(&m_daten, &Daten::entladen, this, &Verbindung::datenEntladen);

    m_frist.setSingleShot(true);
    // A coarse timer may end a 40-second wait two seconds early or late.
    m_frist.setTimerType(Qt::PreciseTimer);
    connect(&m_frist, &QTimer::timeout, this, [this] {
        if (m_warten.aktiv)
            warteEnde(false);
    });
    m_empfangsfrist.setSingleShot(true);
    connect(&m_empfangsfrist, &QTimer::timeout, this, &Verbindung::empfangsgrenzeErreicht);
    m_pause.setSingleShot(true);
    m_pause.setTimerType(Qt::PreciseTimer);
    connect(&m_pause, &QTimer::timeout, this, &Verbindung::uhrPause);
}

Verbindung::~Verbindung()
{
    // The owner may be half gone (and the session with it): nothing may call
    // back from here on, and the session is not touched.
    m_frist.stop();
    m_empfangsfrist.stop();
    m_pause.stop();
    m_warten = {};
    m_fertig = {};
    m_dekoder = {};
    m_uhrbyte = {};
    m_op = Op::Keine;
    disconnect(&m_daten, nullptr, this, nullptr);
    disconnect(m_transport.get(), nullptr, this, nullptr);
    m_transport->schliessen();
}

bool Verbindung::setPort(int nummer)
{
    if (nummer < 1 || nummer > 4)
        return false;
    m_port = nummer;
    return true;
}

bool Verbindung::portOeffnen()
{
    if (m_transport->istOffen())
        return true;
    return m_transport->oeffnen(geraet());
}

QString Verbindung::oeffnenFehlerText() const
{
    return portursache::text(m_transport->ursache(), m_port, geraet(), m_transport->letzterFehler());
}

bool Verbindung::direkt(const QByteArray& bytes) { return m_transport->schreiben(bytes); }

void Verbindung::meldung(const QString& text)
{
    Door::aktuell().meldung(text, Door::Icon::Kritisch, Door::Knoepfe::Ok, titel());
}

// ---------------------------------------------------------------------------
// Receiving

void Verbindung::lesenSchleife()
{
    // A message box shown while a byte is evaluated runs the event loop; the
    // bytes arriving meanwhile wait in the port until this loop goes on.
    if (m_imLesen)
        return;
    QPointer<Verbindung> self(this);
    m_imLesen = true;
    while (m_transport->istOffen() && m_transport->wartend() > 0) {
        const QByteArray b = m_transport->lesen(1);
        if (b.isEmpty())
            break;
        zeichenEmpfangen(std::uint8_t(b.at(0)));
        if (!self)
            return;
    }
    m_imLesen = false;
}

void Verbindung::zeichenEmpfangen(std::uint8_t z)
{
    if (m_endetBeiEntladen && m_empfangsfrist.isActive())
        m_empfangsfrist.start();
    Auswert(z);
    pruefeWarten();
}

void Verbindung::Auswert(std::uint8_t z)
{
    m_s.Empfangspuffer.append(char(z));
    // Configuration data are the bytes after the echo of "r". Whatever comes
    // before (noise ahead of the ACK, bytes ahead of the echo) is only looked
    // at by the waits: it neither moves the bar nor starts the decode.
    if (m_s.Einlesen && m_op == Op::Lesen && m_endetBeiEntladen) {
        if (m_s.Empfangspuffer.size() < kGeraeteBytes) {
            ++m_s.Fortschritt;
            m_daten.setWert(m_s.Fortschritt);
        } else {
            stufeKonfiguration();
        }
    }
    if (m_s.UhrModus && z == '>')
        stufeUhr();
    if (m_s.LogModus && m_s.Empfangspuffer.size() > kLogAnzahl)
        stufeEreignisse();
}

void Verbindung::fehlerfalle()
{
    // The error trap of the receive evaluator. A running wait's deadline is
    // held so that it cannot strike while the message is up; the wait then
    // ends by its answer or by the abort that closing Daten sets.
    m_falle = true;
    if (m_warten.aktiv)
        m_frist.stop();
    meldung(textUebertragungsfehler());
    m_s.modiLoeschen();
    if (m_daten.sichtbar())
        m_daten.schliessen();
    emit mauszeiger(false);
}

// ---------------------------------------------------------------------------
// Waiting

void Verbindung::Antwort(const QByteArray& erwartet, Weiter weiter)
{
    Q_ASSERT(!m_warten.aktiv);
    m_s.AntwortOK = false;
    m_warten = {true, erwartet, std::move(weiter), ++m_wartenummer};
    m_frist.start(m_wartezeit);
    if (m_s.Abbruch)
        abbruchSetzen();
    pruefeWarten();  // an answer already received counts
}

void Verbindung::pruefeWarten()
{
    if (m_warten.aktiv && m_s.Empfangspuffer.contains(m_warten.erwartet))
        warteEnde(true);
}

void Verbindung::warteEnde(bool gefunden)
{
    m_frist.stop();
    const QByteArray erwartet = m_warten.erwartet;
    Weiter weiter = std::move(m_warten.weiter);
    m_warten = {};
    if (gefunden) {
        m_s.AntwortOK = true;
        // Discard up to and including the answer; what followed it in the
        // same delivery belongs to the next stage.
        const qsizetype pos = m_s.Empfangspuffer.indexOf(erwartet);
        m_s.Empfangspuffer.remove(0, pos + erwartet.size());
    } else {
        emit mauszeiger(false);
        m_s.modiLoeschen();
        m_daten.Timer1().stop();
        m_daten.schliessen();
    }
    if (weiter)
        weiter();
}

void Verbindung::abbruchSetzen()
{
    // A running wait ends at its next pass, after what is being received now.
    m_s.Abbruch = true;
    if (!m_warten.aktiv)
        return;
    const quint64 nummer = m_warten.nummer;
    QMetaObject::invokeMethod(
        this,
        [this, nummer] {
            if (m_warten.aktiv && m_warten.nummer == nummer && m_s.Abbruch)
                warteEnde(false);
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Opening, sending, ending

void Verbindung::Konfig_open(Weiter weiter)
{
    m_s.Abbruch = false;
    m_s.Belegt = true;
    // A port that cannot be opened ends like a silent device; the cause is
    // told at once.
    const bool offen = portOffen() || portOeffnen();
    emit portHinweis(offen ? QString() : oeffnenFehlerText());
    m_s.Empfangspuffer.clear();
    m_s.AntwortOK = false;
    emit mauszeiger(true);
    m_daten.setText(Daten::textVerbindungsaufbau());
    m_daten.setMaximum(80);
    m_daten.setWert(80);
    m_daten.zeigen();
    m_daten.Timer1().start();
    Antwort(QByteArray(1, char(ACK)), std::move(weiter));
}

void Verbindung::Senden(const QByteArray& text, int laenge, Weiter weiter)
{
    QByteArray t = text;
    if (laenge > t.size())
        t.append(QByteArray(laenge - t.size(), char(0xFF)));
    sendenAb(std::move(t), 0, std::move(weiter));
}

void Verbindung::sendenAb(QByteArray text, int i, Weiter weiter)
{
    if (i >= text.size()) {
        if (weiter)
            weiter();
        return;
    }
    ++m_s.Fortschritt;
    m_daten.setWert(m_s.Fortschritt);
    const QByteArray zeichen = text.mid(i, 1);
    m_transport->schreiben(zeichen);
    m_s.Empfangspuffer.clear();
    m_s.AntwortOK = false;
    Antwort(zeichen, [this, text = std::move(text), i, weiter = std::move(weiter)]() mutable {
        if (!m_s.AntwortOK) {
            if (weiter)
                weiter();
            return;
        }
        sendenAb(std::move(text), i + 1, std::move(weiter));
    });
}

void Verbindung::abbrechen()
{
    if (!portOffen())
        portOeffnen();
    abbruchSetzen();
    if (portOffen())
        m_transport->schreiben(QByteArray(1, char(ESC)));
    portSchliessen();
    emit mauszeiger(false);
    m_s.AntwortOK = false;
    m_s.modiLoeschen();
    m_s.Empfangspuffer.clear();
    // Closing Daten also when it is not shown leaves the program idle
    // (`Belegt` cleared) whatever state it was in.
    m_daten.schliessen();
}

void Verbindung::datenEntladen()
{
    // The end-of-operation reset: however Daten was closed.
    abbruchSetzen();
    m_s.AntwortOK = false;
    m_s.modiLoeschen();
    m_s.Belegt = false;
    if (m_op != Op::Keine && m_endetBeiEntladen) {
        m_endetBeiEntladen = false;
        beenden(m_ausgangBeiEntladen);
    }
}

void Verbindung::stilllegen()
{
    m_frist.stop();
    m_empfangsfrist.stop();
    m_pause.stop();
    m_warten = {};
    m_fertig = {};
    m_dekoder = {};
    m_uhrbyte = {};
    m_op = Op::Keine;
    m_endetBeiEntladen = false;
    portSchliessen();
    // The end-of-operation reset: mode flags and Belegt cleared, Daten gone.
    m_daten.schliessen();
    m_s.Empfangspuffer.clear();
    m_s.Fortschritt = 0;
    emit mauszeiger(false);
}
