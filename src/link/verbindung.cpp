#include "link/verbindung.h"

#include "door/abweisung.h"
#include "link/seriellertransport.h"

#include <QCoreApplication>

Verbindung::Verbindung(std::unique_ptr<Transport> transport, QObject* parent)
    : QObject(parent), m_transport(std::move(transport))
{
    if (!m_transport)
        m_transport = std::make_unique<SeriellerTransport>();
    connect(m_transport.get(), &Transport::datenDa, this, &Verbindung::lesenSchleife);
    // The user closed the progress window: the operation is asked to end.
    connect(&m_daten, &Daten::geschlossen, this, &Verbindung::abbruchAnfordern);

    m_frist.setSingleShot(true);
    // A coarse timer may end a 40-second wait two seconds early or late.
    m_frist.setTimerType(Qt::PreciseTimer);
    connect(&m_frist, &QTimer::timeout, this, [this] {
        if (m_warten.aktiv)
            warteEnde(Warteausgang::Zeitueberschreitung);
    });
    m_empfangsfrist.setSingleShot(true);
    connect(&m_empfangsfrist, &QTimer::timeout, this, &Verbindung::empfangsgrenzeErreicht);
    m_pause.setSingleShot(true);
    m_pause.setTimerType(Qt::PreciseTimer);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        if (auto weiter = std::move(m_nachPause))
            weiter();
    });
}

Verbindung::~Verbindung()
{
    // The owner may be half gone: nothing may call back from here on.
    blockSignals(true);
    disconnect(&m_daten, nullptr, this, nullptr);
    disconnect(m_transport.get(), nullptr, this, nullptr);
    if (m_vorgang)
        beenden(*m_vorgang, {Ausgang::Abgebrochen, {}, {}, false, {}}, false);
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
    if (!m_transport->oeffnen(geraet()))
        return false;
    emit schritt(QStringLiteral("Port %1 geöffnet").arg(geraet()));
    return true;
}

QString Verbindung::oeffnenFehlerText() const
{
    return portursache::text(m_transport->ursache(), m_port, geraet(), m_transport->letzterFehler());
}

bool Verbindung::direkt(const QByteArray& bytes)
{
    if (!m_transport->schreiben(bytes))
        return false;
    if (bytes.size() == 1 && std::uint8_t(bytes.at(0)) == ESC)
        emit schritt(QStringLiteral("ESC gesendet"));
    return true;
}

// ---------------------------------------------------------------------------
// Starting: the one preamble of every operation

bool Verbindung::starten(std::unique_ptr<Vorgang> vorgang)
{
    if (!vorgang)
        return false;
    if (m_vorgang) {
        abweisen({Abweisung::Art::Belegt});
        return false;
    }
    Vorgang* v = vorgang.release();
    v->setParent(this);
    m_vorgang = v;
    m_fortschritt = 0;
    v->vorbereiten();
    Konfig_open([this, v](Warteausgang a) {
        if (a == Warteausgang::Erhalten) {
            emit schritt(QStringLiteral("ACK empfangen"));
            v->verbunden();
            return;
        }
        QString detail = m_oeffnenFehler;
        if (detail.isEmpty())
            detail = a == Warteausgang::Abgebrochen ? QStringLiteral("Verbindungsaufbau abgebrochen")
                                                    : QStringLiteral("kein ACK innerhalb %1").arg(dauerText(m_wartezeit));
        beenden(*v, {Ausgang::KeineVerbindung, textKeineVerbindung(), detail, false, {}}, true);
    });
    return true;
}

// ---------------------------------------------------------------------------
// Receiving

void Verbindung::lesenSchleife()
{
    // A decode that runs the event loop (as a message box would) must not
    // have the next bytes evaluated inside it: they wait in the port until
    // this loop goes on.
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
    // Every byte of a download restarts the receive limit.
    if (m_empfangsfrist.isActive())
        m_empfangsfrist.start();
    Auswert(z);
    pruefeWarten();
}

void Verbindung::Auswert(std::uint8_t z)
{
    m_empfangspuffer.append(char(z));
    // Only the bytes of the transfer phase are the operation's data. Whatever
    // comes before (noise ahead of the ACK, bytes ahead of the echo) is only
    // looked at by the waits: it neither moves the bar nor starts a decode.
    if (m_vorgang && m_vorgang->phase() == Vorgang::Phase::Uebertragen)
        m_vorgang->empfangen(z);
}

// ---------------------------------------------------------------------------
// Waiting

void Verbindung::Antwort(const QByteArray& erwartet, std::function<void(Warteausgang)> weiter)
{
    Q_ASSERT(!m_warten.aktiv);
    m_warten = {true, erwartet, std::move(weiter)};
    m_frist.start(m_wartezeit);
    if (m_vorgang && m_vorgang->abbruchAngefordert()) {
        warteEnde(Warteausgang::Abgebrochen);
        return;
    }
    pruefeWarten();  // an answer already received counts
}

void Verbindung::pruefeWarten()
{
    if (m_warten.aktiv && m_empfangspuffer.contains(m_warten.erwartet))
        warteEnde(Warteausgang::Erhalten);
}

void Verbindung::warteEnde(Warteausgang a)
{
    m_frist.stop();
    const QByteArray erwartet = m_warten.erwartet;
    auto weiter = std::move(m_warten.weiter);
    m_warten = {};
    if (a == Warteausgang::Erhalten) {
        // Discard up to and including the answer; what followed it in the
        // same delivery belongs to the next stage.
        const qsizetype pos = m_empfangspuffer.indexOf(erwartet);
        m_empfangspuffer.remove(0, pos + erwartet.size());
    }
    if (weiter)
        weiter(a);
}

void Verbindung::pause(int ms, std::function<void()> weiter)
{
    m_nachPause = std::move(weiter);
    m_pause.start(ms);
}

// ---------------------------------------------------------------------------
// Opening, sending, receiving data

void Verbindung::Konfig_open(std::function<void(Warteausgang)> weiter)
{
    // A port that cannot be opened ends like a silent device; the cause is
    // told at once.
    const bool offen = portOffen() || portOeffnen();
    m_oeffnenFehler = offen ? QString() : oeffnenFehlerText();
    emit portHinweis(m_oeffnenFehler);
    m_empfangspuffer.clear();
    emit mauszeiger(true);
    m_daten.setText(Daten::textVerbindungsaufbau());
    m_daten.setMaximum(80);
    m_daten.setWert(80);
    m_daten.zeigen();
    m_daten.Timer1().start();
    Antwort(QByteArray(1, char(ACK)), std::move(weiter));
}

void Verbindung::Senden(const QByteArray& text, int laenge, std::function<void(Warteausgang, int)> weiter)
{
    QByteArray t = text;
    if (laenge > t.size())
        t.append(QByteArray(laenge - t.size(), char(0xFF)));
    sendenAb(std::move(t), 0, std::move(weiter));
}

void Verbindung::sendenAb(QByteArray text, int i, std::function<void(Warteausgang, int)> weiter)
{
    if (i >= text.size()) {
        if (weiter)
            weiter(Warteausgang::Erhalten, i);
        return;
    }
    ++m_fortschritt;
    m_daten.setWert(m_fortschritt);
    const QByteArray zeichen = text.mid(i, 1);
    m_transport->schreiben(zeichen);
    m_empfangspuffer.clear();
    Antwort(zeichen, [this, text = std::move(text), i, weiter = std::move(weiter)](Warteausgang a) mutable {
        if (a != Warteausgang::Erhalten) {
            if (weiter)
                weiter(a, i);
            return;
        }
        sendenAb(std::move(text), i + 1, std::move(weiter));
    });
}

void Verbindung::empfangBeginnen()
{
    m_vorgang->setPhase(Vorgang::Phase::Uebertragen);
    if (m_empfangsgrenze.count() > 0)
        m_empfangsfrist.start(m_empfangsgrenze);
}

// ---------------------------------------------------------------------------
// Ending

void Verbindung::abbrechen()
{
    if (!portOffen())
        portOeffnen();
    if (portOffen())
        direkt(QByteArray(1, char(ESC)));
    portSchliessen();
    abbruchAnfordern();
    m_empfangspuffer.clear();
}

void Verbindung::abbruchAnfordern()
{
    if (!m_vorgang)
        return;
    m_vorgang->m_abbruch = true;
    // A running wait hands its end to its continuation, which ends the
    // operation as a missing answer there does; without a wait it ends now.
    if (m_warten.aktiv)
        warteEnde(Warteausgang::Abgebrochen);
    else
        beenden(*m_vorgang, m_vorgang->abgebrochen(), true);
}

void Verbindung::empfangsgrenzeErreicht()
{
    if (!m_vorgang || m_vorgang->phase() != Vorgang::Phase::Uebertragen || m_warten.aktiv)
        return;
    const QString stand = m_vorgang->stand();
    // The abort sequence: the device leaves its transfer, the port is closed.
    if (portOffen())
        direkt(QByteArray(1, char(ESC)));
    portSchliessen();
    beenden(*m_vorgang,
            {Ausgang::Zeitueberschreitung, textUebertragungsfehler(),
             QStringLiteral("nach %1 keine Daten mehr").arg(stand), false, {}},
            true);
}

void Verbindung::uhrDialogEntladen()
{
    if (m_vorgang && m_vorgang->art() != Vorgang::Art::UhrSetzen)
        return;
    if (portOffen()) {
        direkt(QByteArray(1, char(ESC)));
        portSchliessen();
    }
    abbruchAnfordern();
}

void Verbindung::stilllegen()
{
    if (m_vorgang)
        beenden(*m_vorgang, {Ausgang::Abgebrochen, {}, {}, false, {}}, false);
    portSchliessen();
    m_empfangspuffer.clear();
}

void Verbindung::beenden(Vorgang& v, const Ergebnis& e, bool melden)
{
    if (m_vorgang != &v || v.m_phase == Vorgang::Phase::Beendet)
        return;
    m_frist.stop();
    m_empfangsfrist.stop();
    m_pause.stop();
    m_nachPause = {};
    m_warten = {};
    if (melden)
        v.vorDemEnde();
    v.m_phase = Vorgang::Phase::Beendet;
    m_vorgang = nullptr;

    if (melden && portOffen())
        emit schritt(QStringLiteral("Port geschlossen"));
    portSchliessen();
    m_daten.verbergen();
    m_fortschritt = 0;
    emit mauszeiger(false);

    Vorgang::Fertig fertig = std::move(v.m_fertig);
    v.m_fertig = {};
    // The operation may still be on the call stack (its continuation ended it).
    v.deleteLater();
    // Posted to the application object, not to this one, so that the report
    // may even destroy the Verbindung; it is dropped when that already happened.
    if (melden && fertig)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = QPointer<Verbindung>(this), fertig = std::move(fertig), e] {
                if (self)
                    fertig(e);
            },
            Qt::QueuedConnection);
}
