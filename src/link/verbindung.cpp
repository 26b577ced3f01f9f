#include "link/verbindung.h"

#include "door/abweisung.h"
#include "link/seriellertransport.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

Schrittende schrittende(Warteausgang a, const QByteArray& daten = {}, int gesendet = 0)
{
    Schrittende s;
    s.ausgang = a;
    s.daten = daten;
    s.gesendet = gesendet;
    return s;
}

} // namespace

Verbindung::Verbindung(std::unique_ptr<Transport> transport, QObject* parent)
    : QObject(parent), m_transport(std::move(transport))
{
    if (!m_transport)
        m_transport = std::make_unique<SeriellerTransport>();
    connect(m_transport.get(), &Transport::datenDa, this, &Verbindung::lesenSchleife);
    connect(m_transport.get(), &Transport::getrennt, this, &Verbindung::leitungGetrennt);

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
    connect(&m_pause, &QTimer::timeout, this, [this] { schrittFertig(m_nachPause); });
}

Verbindung::~Verbindung()
{
    // The owner may be half gone: nothing may call back from here on.
    blockSignals(true);
    disconnect(m_transport.get(), nullptr, this, nullptr);
    beenden({}, false);
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
    Schrittmeldung s;
    s.geraet = geraet();
    emit schrittGetan(s);
    return true;
}

QString Verbindung::oeffnenFehlerText() const
{
    return portursache::text(m_transport->ursache(), m_port, geraet(), m_transport->letzterFehler());
}

bool Verbindung::schreiben(const QByteArray& bytes)
{
    if (!m_transport->schreiben(bytes))
        return false;
    if (bytes.size() == 1 && std::uint8_t(bytes.at(0)) == ESC)
        melden(Schrittmeldung::Was::EscGesendet);
    return true;
}

void Verbindung::melden(Schrittmeldung::Was was, int zahl, const QByteArray& bytes)
{
    Schrittmeldung s;
    s.was = was;
    s.art = m_stand.art;
    s.zahl = zahl;
    s.bytes = bytes;
    emit schrittGetan(s);
}

// ---------------------------------------------------------------------------
// Starting: the one preamble of every operation

bool Verbindung::starten(std::unique_ptr<Vorgang> vorgang, Fertig fertig)
{
    if (!vorgang)
        return false;
    if (m_vorgang) {
        abweisen({Abweisung::Art::Belegt});
        return false;
    }
    m_vorgang = vorgang.release();
    m_vorgang->setParent(this);
    m_fertig = std::move(fertig);
    m_abbruch = false;
    m_getrennt = false;
    m_fortschritt = 0;
    m_direktGesendet = 0;
    m_stand = {};
    m_stand.art = m_vorgang->art();
    m_vorgang->vorbereiten();
    Konfig_open();
    return true;
}

void Verbindung::Konfig_open()
{
    // A port that cannot be opened ends like a silent device; the cause is
    // told at once.
    const bool offen = portOffen() || portOeffnen();
    m_portfehler.reset();
    if (!offen)
        m_portfehler = Portfehler{m_transport->ursache(), m_port, geraet(), m_transport->letzterFehler()};
    m_empfangspuffer.clear();
    m_angezeigt = true;
    emit fortschritt(m_stand);
    emit portHinweis(offen ? QString() : oeffnenFehlerText());
    m_lauf = {};
    m_lauf.tun = Anweisung::Tun::Warten;
    Antwort(QByteArray(1, char(ACK)));
}

Vorgangsbericht Verbindung::keineVerbindung(const Schrittende& s) const
{
    Vorgangsbericht b;
    b.art = m_stand.art;
    b.ausgang = Ausgang::KeineVerbindung;
    b.grund = s.ausgang == Warteausgang::Abgebrochen ? Grund::Abbruch
            : s.ausgang == Warteausgang::Getrennt    ? Grund::Getrennt
                                                     : Grund::KeineAntwort;
    b.frist = s.frist;
    b.port = m_portfehler;
    return b;
}

// ---------------------------------------------------------------------------
// The operation's steps: each ends in schrittFertig, which asks the
// operation for the next one.

void Verbindung::schrittFertig(Schrittende s)
{
    Vorgang* v = m_vorgang;
    if (!v)
        return;
    m_lauf = {};
    if (v->schritt() == Schritt::Verbinden && !s.erhalten())
        return beenden(keineVerbindung(s), true);
    QPointer<Verbindung> self(this);
    m_imWeiter = true;
    Anweisung a = v->weiter(s);
    if (!self)
        return;
    m_imWeiter = false;
    if (m_vorgang == v)  // not ended meanwhile (a decode that ran the event loop)
        ausfuehren(std::move(a));
}

void Verbindung::ausfuehren(Anweisung a)
{
    if (a.tun == Anweisung::Tun::Ende)
        return enden(a);
    Q_ASSERT(a.tun != Anweisung::Tun::Nichts);  // an operation always says what comes next
    if (a.tun == Anweisung::Tun::Nichts)
        return;
    // The line gone or asked to end while the operation chose this step: it
    // ends without it.
    if (m_getrennt || m_abbruch)
        return schrittFertig(
            schrittende(m_getrennt ? Warteausgang::Getrennt : Warteausgang::Abgebrochen, m_empfangspuffer));
    if (a.maximum > 0) {
        m_fortschritt = 0;
        m_stand.schritt = m_vorgang->schritt();
        m_stand.maximum = a.maximum;
        m_stand.seite = a.seite;
        emit fortschritt(m_stand);
    }
    m_lauf = {a.tun, a.bytes, 0, a.zahl, a.maximum > 0, a.verbergen};
    switch (a.tun) {
    case Anweisung::Tun::Senden:
        if (a.zahl > m_lauf.text.size())
            m_lauf.text.append(QByteArray(a.zahl - m_lauf.text.size(), char(0xFF)));
        return sendenNaechstes();
    case Anweisung::Tun::Warten: return Antwort(a.bytes);
    case Anweisung::Tun::Empfangen: return empfangBeginnen();
    case Anweisung::Tun::Direkt: return direkt(a);
    case Anweisung::Tun::Nichts:
    case Anweisung::Tun::Ende: break;
    }
}

void Verbindung::zaehlen()
{
    ++m_fortschritt;
    m_stand.schritt = m_vorgang->schritt();
    m_stand.wert = m_fortschritt;
    emit fortschritt(m_stand);
}

void Verbindung::sendenNaechstes()
{
    if (m_lauf.i >= m_lauf.text.size()) {
        if (m_vorgang->schritt() == Schritt::Befehl)
            melden(Schrittmeldung::Was::BefehlGesendet, 0, m_lauf.text.left(1));
        else if (m_vorgang->schritt() == Schritt::Seite)
            melden(Schrittmeldung::Was::SeiteGeschrieben, m_stand.seite);
        return schrittFertig(schrittende(Warteausgang::Erhalten, {}, int(m_lauf.text.size())));
    }
    zaehlen();
    const QByteArray zeichen = m_lauf.text.mid(m_lauf.i, 1);
    m_transport->schreiben(zeichen);
    m_empfangspuffer.clear();
    Antwort(zeichen);
}

void Verbindung::empfangBeginnen()
{
    if (m_empfangsgrenze.count() > 0)
        m_empfangsfrist.start(m_empfangsgrenze);
    empfangPruefen();
}

void Verbindung::empfangPruefen()
{
    if (m_empfangspuffer.size() < m_lauf.anzahl)
        return;
    m_empfangsfrist.stop();
    melden(Schrittmeldung::Was::DatenEmpfangen, m_lauf.anzahl);
    if (m_lauf.verbergen)
        fortschrittEnde();
    schrittFertig(schrittende(Warteausgang::Erhalten, m_empfangspuffer));
}

void Verbindung::direkt(const Anweisung& a)
{
    // What the device sends for a command comes after it.
    const bool befehl = m_vorgang->schritt() == Schritt::Befehl;
    if (befehl)
        m_empfangspuffer.clear();
    const bool ok = schreiben(a.bytes);
    if (ok && befehl)
        melden(Schrittmeldung::Was::BefehlGesendet, 0, a.bytes);
    else if (ok)
        m_direktGesendet += int(a.bytes.size());
    const Schrittende s = schrittende(ok ? Warteausgang::Erhalten : Warteausgang::NichtGesendet);
    if (a.zahl <= 0)
        return schrittFertig(s);
    m_nachPause = s;
    m_pause.start(a.zahl);
}

void Verbindung::enden(const Anweisung& a)
{
    if (a.bericht.ausgang == Ausgang::Erfolg && m_direktGesendet > 0)
        melden(Schrittmeldung::Was::DatenGesendet, m_direktGesendet);
    if (a.esc && portOffen())
        schreiben(QByteArray(1, char(ESC)));
    beenden(a.bericht, true);
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
    // Only the bytes of a download are the operation's data. Whatever comes
    // before (noise ahead of the ACK, bytes ahead of the echo) is only looked
    // at by the waits: it neither moves the bar nor completes a download.
    if (!m_vorgang || m_lauf.tun != Anweisung::Tun::Empfangen)
        return;
    if (m_lauf.zaehlen && m_empfangspuffer.size() < m_lauf.anzahl)
        zaehlen();
    empfangPruefen();
}

// ---------------------------------------------------------------------------
// Waiting

void Verbindung::Antwort(const QByteArray& erwartet)
{
    Q_ASSERT(!m_warten.aktiv);
    m_warten = {true, erwartet, m_wartezeit};
    m_frist.start(m_wartezeit);
    if (m_getrennt || m_abbruch) {
        warteEnde(m_getrennt ? Warteausgang::Getrennt : Warteausgang::Abgebrochen);
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
    const Warten w = std::exchange(m_warten, {});
    Schrittende s = schrittende(a);
    if (a == Warteausgang::Zeitueberschreitung)
        s.frist = w.frist;
    if (a == Warteausgang::Erhalten) {
        // Discard up to and including the answer; what followed it in the
        // same delivery belongs to the next stage.
        const qsizetype bis = m_empfangspuffer.indexOf(w.erwartet) + w.erwartet.size();
        s.daten = m_empfangspuffer.left(bis);
        m_empfangspuffer.remove(0, bis);
    }
    if (m_lauf.tun == Anweisung::Tun::Senden) {
        if (s.erhalten()) {
            ++m_lauf.i;
            return sendenNaechstes();
        }
        s.gesendet = m_lauf.i;
        s.daten.clear();
    } else if (s.erhalten() && m_vorgang) {
        if (m_vorgang->schritt() == Schritt::Verbinden)
            melden(Schrittmeldung::Was::AckEmpfangen);
        else
            melden(Schrittmeldung::Was::AntwortEmpfangen, 0, w.erwartet);
    }
    schrittFertig(s);
}

// ---------------------------------------------------------------------------
// Ending

void Verbindung::abbrechen()
{
    if (!portOffen())
        portOeffnen();
    if (portOffen())
        schreiben(QByteArray(1, char(ESC)));
    portSchliessen();
    abbruchAnfordern();
    m_empfangspuffer.clear();
}

void Verbindung::abbruchAnfordern()
{
    if (!m_vorgang)
        return;
    m_abbruch = true;
    // A running wait hands its end to the operation, which ends as a missing
    // answer there does; a download or a pause ends now. An operation that
    // is deciding its next step meets the request there.
    if (m_warten.aktiv)
        return warteEnde(Warteausgang::Abgebrochen);
    if (m_imWeiter)
        return;
    m_pause.stop();
    m_empfangsfrist.stop();
    schrittFertig(schrittende(Warteausgang::Abgebrochen, m_empfangspuffer));
}

void Verbindung::leitungGetrennt()
{
    if (!m_vorgang || m_getrennt)
        return;
    // Nobody can answer any more: the step under way ends now, as an abort
    // request ends it, and the operation reports the line gone.
    m_getrennt = true;
    if (m_warten.aktiv)
        return warteEnde(Warteausgang::Getrennt);
    if (m_imWeiter)
        return;
    m_pause.stop();
    m_empfangsfrist.stop();
    schrittFertig(schrittende(Warteausgang::Getrennt, m_empfangspuffer));
}

void Verbindung::empfangsgrenzeErreicht()
{
    if (!m_vorgang || m_lauf.tun != Anweisung::Tun::Empfangen || m_warten.aktiv)
        return;
    // The abort sequence: the device leaves its transfer, the port is closed.
    if (portOffen())
        schreiben(QByteArray(1, char(ESC)));
    portSchliessen();
    Schrittende s = schrittende(Warteausgang::Zeitueberschreitung, m_empfangspuffer);
    s.frist = m_empfangsgrenze;
    schrittFertig(s);
}

void Verbindung::uhrSetzenBeenden()
{
    if (m_vorgang && m_vorgang->art() != Vorgang::Art::UhrSetzen)
        return;
    if (portOffen()) {
        schreiben(QByteArray(1, char(ESC)));
        portSchliessen();
    }
    abbruchAnfordern();
}

void Verbindung::stilllegen()
{
    beenden({}, false);
    portSchliessen();
    m_empfangspuffer.clear();
}

void Verbindung::fortschrittEnde()
{
    if (!std::exchange(m_angezeigt, false))
        return;
    m_stand.schritt = Schritt::Beendet;
    emit fortschritt(m_stand);
}

void Verbindung::beenden(const Vorgangsbericht& b, bool melden)
{
    Vorgang* v = m_vorgang;
    if (!v)
        return;
    m_frist.stop();
    m_empfangsfrist.stop();
    m_pause.stop();
    m_warten = {};
    m_lauf = {};
    m_imWeiter = false;
    v->beendet();
    m_vorgang = nullptr;

    if (melden && portOffen())
        this->melden(Schrittmeldung::Was::PortGeschlossen);
    portSchliessen();
    fortschrittEnde();
    m_fortschritt = 0;

    Fertig fertig = std::exchange(m_fertig, {});
    // The operation may still be on the call stack (it asked for its end).
    v->deleteLater();
    // Posted to the application object, not to this one, so that the report
    // may even destroy the Verbindung; it is dropped when that already happened.
    if (melden && fertig)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = QPointer<Verbindung>(this), fertig = std::move(fertig), b] {
                if (self)
                    fertig(b);
            },
            Qt::QueuedConnection);
}
