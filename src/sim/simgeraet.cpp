#include "sim/simgeraet.h"

#include "image/felder.h"

#include <QElapsedTimer>

namespace {

QByteArray passend(const QByteArray& bytes, int groesse)
{
    QByteArray out = bytes.left(groesse);
    if (out.size() < groesse)
        out.append(QByteArray(groesse - out.size(), char(0xFF)));
    return out;
}

} // namespace

SimGeraet::SimGeraet(const QByteArray& speicher, const QByteArray& ereignisse, const QDateTime& uhr,
                     Zeitquelle jetzt)
    : m_speicher(passend(speicher, kSpeicherBytes))
    , m_ereignisse(passend(ereignisse, kEreignisBytes))
    , m_jetzt(std::move(jetzt))
{
    if (!m_jetzt) {
        auto start = std::make_shared<QElapsedTimer>();
        start->start();
        m_jetzt = [start] { return start->elapsed(); };
    }
    stelleUhr(uhr);
}

void SimGeraet::setzeSchreibmodell(Schreibmodell m)
{
    m_schreibmodell = m;
    if (m_zustand == Zustand::SeiteWaehlen || m_zustand == Zustand::SeiteEmpfangen)
        verlassen();
}

void SimGeraet::setzeEreignisse(const QByteArray& ereignisse)
{
    m_ereignisse = passend(ereignisse, kEreignisBytes);
}

void SimGeraet::setzeFehler(const SimFehler& f)
{
    if (f.rauschSaat != m_fehler.rauschSaat)
        m_rauschZustand = 0;
    m_fehler = f;
}

QDateTime SimGeraet::uhr() const
{
    const qint64 vergangen = m_jetzt() - m_uhrBasisMs;
    return m_uhrBasis.addSecs(vergangen / 1000);
}

void SimGeraet::stelleUhr(const QDateTime& zeit)
{
    // The device counts whole seconds of a wall clock: date and time are taken
    // as they stand and run on without zone or daylight-saving changes.
    const QTime t = zeit.time();
    m_uhrBasis = QDateTime(zeit.date(), QTime(t.hour(), t.minute(), t.second()), Qt::UTC);
    m_uhrBasisMs = m_jetzt();
}

QByteArray SimGeraet::verbunden()
{
    verlassen();
    m_mitschrift.ereignis(QStringLiteral("verbunden"));
    QByteArray aus;
    if (m_fehler.rauschen && !m_fehler.stumm && !m_weg) {
        const int anzahl = 3 + int(zufall() % 6);
        QByteArray rauschen;
        while (rauschen.size() < anzahl) {
            const std::uint8_t b = std::uint8_t(zufall() >> 24);
            if (b != ACK)
                rauschen.append(char(b));
        }
        senden(aus, rauschen);
    }
    senden(aus, QByteArray(1, char(ACK)));
    return aus;
}

void SimGeraet::getrennt()
{
    verlassen();
    m_mitschrift.ereignis(QStringLiteral("getrennt"));
}

void SimGeraet::verlassen()
{
    m_zustand = Zustand::Bereit;
    m_seitenPuffer.clear();
    m_neueSeiten.clear();
    m_uhrPuffer.clear();
    m_echoZaehler = 0;
}

QByteArray SimGeraet::empfangen(const QByteArray& bytes)
{
    QByteArray aus;
    for (char c : bytes) {
        m_mitschrift.empfangen(QByteArray(1, c));
        if (m_weg)
            continue;
        const qint64 jetzt = m_jetzt();
        if (m_zustand != Zustand::Bereit && jetzt - m_letztesByteMs >= kRuhezeitMs)
            verlassen();  // silent too long: the command is over, this byte starts a new one
        m_letztesByteMs = jetzt;
        byteEmpfangen(std::uint8_t(c), aus);
    }
    return aus;
}

void SimGeraet::byteEmpfangen(std::uint8_t b, QByteArray& aus)
{
    switch (m_zustand) {
    case Zustand::Bereit:
        befehl(b, aus);
        break;

    case Zustand::SeiteWaehlen:
        seiteWaehlen(b, aus);
        break;

    case Zustand::SeiteEmpfangen:
        seitenbyte(b, aus);
        break;

    case Zustand::UhrStellen:
        uhrbyte(b);
        break;
    }
}

// In a write, where a page comes next: ESC ends the write, "0" to "O" select
// a page (echoed), anything else is ignored.
void SimGeraet::seiteWaehlen(std::uint8_t b, QByteArray& aus)
{
    if (b == ESC) {
        schreibenBeenden();
    } else if (b >= 48 && b < 48 + 32) {
        echo(aus, b);
        m_seite = b - 48;
        m_seitenPuffer.clear();
        m_zustand = Zustand::SeiteEmpfangen;
    }
}

// Setting the clock: five bytes set it; an ESC leaves it as it was.
void SimGeraet::uhrbyte(std::uint8_t b)
{
    if (b == ESC) {
        verlassen();
        return;
    }
    m_uhrPuffer.append(char(b));
    if (m_uhrPuffer.size() == 5) {
        uhrSetzen();
        verlassen();
    }
}

void SimGeraet::befehl(std::uint8_t b, QByteArray& aus)
{
    switch (b) {
    case 'r': {
        QByteArray strom(1, 'r');
        const int n = m_fehler.stopp ? std::min(*m_fehler.stopp, kSpeicherBytes) : kSpeicherBytes;
        strom.append(m_speicher.left(n));
        senden(aus, strom);
        break;
    }
    case 'w':
        m_echoZaehler = 0;
        m_neueSeiten.clear();
        echo(aus, b);
        m_zustand = Zustand::SeiteWaehlen;
        break;
    case 'l':
        senden(aus, QByteArray(1, 'l') + m_ereignisse);
        break;
    case 't': {
        const QDateTime jetzt = uhr();
        QByteArray antwort;
        antwort.append(char(jetzt.time().second()));
        antwort.append(char(jetzt.time().minute()));
        antwort.append(char(jetzt.time().hour()));
        antwort.append(char(jetzt.date().day()));
        antwort.append(char(jetzt.date().month()));
        antwort.append('>');
        senden(aus, antwort);
        break;
    }
    case 's':
        m_uhrPuffer.clear();
        m_zustand = Zustand::UhrStellen;
        break;
    default:
        break;  // not a command: ignored
    }
}

void SimGeraet::seitenbyte(std::uint8_t b, QByteArray& aus)
{
    // Taken in first, then echoed: a device that disappears with this echo
    // (hangup@N) leaves the byte where it belongs.
    const bool gespeichert = m_seite < kSpeicherBytes / 256 && !m_fehler.nichtSpeichern.contains(m_seite);
    if (gespeichert && m_schreibmodell == Schreibmodell::Zeichenweise)
        ablegen(m_seite * 256 + int(m_seitenPuffer.size()), char(b));
    m_seitenPuffer.append(char(b));
    if (m_seitenPuffer.size() == 256) {
        if (m_seite < kSpeicherBytes / 256)
            m_neueSeiten[m_seite] = m_seitenPuffer;
        m_seitenPuffer.clear();
        m_zustand = Zustand::SeiteWaehlen;
    }
    echo(aus, b);
}

void SimGeraet::ablegen(int stelle, char b)
{
    if (m_speicher.at(stelle) == b)
        return;
    m_speicher[stelle] = b;
    ++m_speicherstand;
}

void SimGeraet::echo(QByteArray& aus, std::uint8_t b)
{
    ++m_echoZaehler;
    if (m_fehler.keinEcho && *m_fehler.keinEcho == m_echoZaehler)
        return;  // this one character stays unanswered
    senden(aus, QByteArray(1, char(b)));
}

void SimGeraet::senden(QByteArray& aus, const QByteArray& bytes)
{
    if (m_fehler.stumm || m_weg)
        return;
    QByteArray teil = bytes;
    if (m_fehler.auflegen) {
        const qint64 rest = *m_fehler.auflegen - m_gesendet;
        if (rest < teil.size())
            teil.truncate(int(std::max<qint64>(rest, 0)));
    }
    aus.append(teil);
    m_gesendet += teil.size();
    m_mitschrift.gesendet(teil);
    if (m_fehler.auflegen && m_gesendet >= *m_fehler.auflegen) {
        m_weg = true;
        m_mitschrift.ereignis(QStringLiteral("Gerät aufgelegt"));
        verlassen();
    }
}

void SimGeraet::schreibenBeenden()
{
    m_letzteSeiten.clear();
    for (const auto& [seite, bytes] : m_neueSeiten) {
        if (m_fehler.nichtSpeichern.contains(seite))
            continue;  // taken in and echoed, silently not stored
        if (m_schreibmodell == Schreibmodell::Vollstaendig)
            for (int i = 0; i < 256; ++i)
                ablegen(seite * 256 + i, bytes.at(i));
        m_letzteSeiten.append(seite);
    }
    ++m_schreibvorgaenge;
    verlassen();
}

void SimGeraet::uhrSetzen()
{
    Uhreinstellung e;
    e.bytes = m_uhrPuffer;
    const auto byte = [this](int i) { return std::uint8_t(m_uhrPuffer[i]); };
    e.sekunde = bcdWert(byte(0), 59);
    e.minute = bcdWert(byte(1), 59);
    e.stunde = bcdWert(byte(2), 23);
    e.jahrRest = byte(3) >> 6;
    e.tag = bcdWert(byte(3) & 0x3F, 31);
    e.wochentag = byte(4) >> 5;
    e.monat = bcdWert(byte(4) & 0x1F, 12);

    // The device keeps the year only modulo 4; the year shown is the one
    // nearest to the clock's current year with that remainder.
    const int jahrJetzt = uhr().date().year();
    int d = ((e.jahrRest - jahrJetzt) % 4 + 4) % 4;
    const int jahr = jahrJetzt + (d <= 1 ? d : d - 4);
    const QDate datum(jahr, std::max(e.monat, 1), std::max(e.tag, 1));
    e.gueltig = e.sekunde >= 0 && e.minute >= 0 && e.stunde >= 0 && e.tag >= 1 && e.monat >= 1
             && e.wochentag <= 6 && datum.isValid() && datum.day() == e.tag;
    if (e.gueltig)
        stelleUhr(QDateTime(datum, QTime(e.stunde, e.minute, e.sekunde), Qt::UTC));
    m_uhreinstellung = e;
}

std::uint32_t SimGeraet::zufall()
{
    // xorshift32: small, deterministic for a given seed.
    if (m_rauschZustand == 0)
        m_rauschZustand = m_fehler.rauschSaat ? m_fehler.rauschSaat : 1u;
    std::uint32_t x = m_rauschZustand;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_rauschZustand = x;
    return x;
}
