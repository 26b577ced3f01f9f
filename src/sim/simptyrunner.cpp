#include "sim/simptyrunner.h"

#include "systemfehler/ablage.h"
#include "systemfehler/systemfehler.h"

#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace {

QString fehlerBei(const char* was)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(was), systemfehler::text(errno));
}

// Replaces the file at `pfad` by `inhalt` as a whole (a reader sees the old
// content or the new one, never a mix). "" when done, else the reason.
QString dateiErsetzen(const QString& pfad, const QByteArray& inhalt)
{
    // A device or a pipe would be replaced by a plain file, not written.
    if (const QFileInfo da(pfad); da.exists() && !da.isFile())
        return QStringLiteral("keine gewöhnliche Datei");
    return ablage::dateiErsetzen(pfad, inhalt);
}

void schliessenFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SimPtyRunner::SimPtyRunner(const SimOptionen& optionen, QObject* parent)
    : QObject(parent)
    , m_optionen(optionen)
    , m_geraet(optionen.speicher, optionen.ereignisse,
               optionen.uhr.isValid() ? optionen.uhr : QDateTime::currentDateTime())
    , m_baud(std::max(optionen.baud, 0))
{
    m_geraet.setzeFehler(optionen.fehler);
    m_geraet.setzeSchreibmodell(optionen.schreibmodell);
    // Ten bits per byte: start bit, eight data bits, stop bit.
    m_bitzeitNs = m_baud > 0 ? qint64(10'000'000'000LL / m_baud) : 0;
    if (!einrichten()) {
        delete m_lesbar;
        delete m_schreibbar;
        delete m_inotifyMeldung;
        delete m_timerMeldung;
        m_lesbar = m_schreibbar = m_inotifyMeldung = m_timerMeldung = nullptr;
        schliessenFd(m_timer);
        schliessenFd(m_inotify);
        schliessenFd(m_slave);
        schliessenFd(m_master);
    }
}

SimPtyRunner::~SimPtyRunner()
{
    delete m_lesbar;
    delete m_schreibbar;
    delete m_inotifyMeldung;
    delete m_timerMeldung;
    schliessenFd(m_timer);
    schliessenFd(m_inotify);
    schliessenFd(m_slave);
    schliessenFd(m_master);
    m_mitschrift.setzeAusgabe(nullptr);
}

bool SimPtyRunner::dateienEinrichten()
{
    if (!m_optionen.mitschriftDatei.isEmpty()) {
        m_mitschriftDatei.setFileName(m_optionen.mitschriftDatei);
        errno = 0;
        // Every byte on the line, the recipients' numbers too: a new file is the user's alone.
        if (!m_mitschriftDatei.open(QIODevice::WriteOnly | QIODevice::Truncate, ablage::kPrivat)) {
            m_fehlertext = QStringLiteral("Mitschrift %1: %2").arg(m_optionen.mitschriftDatei,
                                                                    systemfehler::datei(m_mitschriftDatei, errno));
            return false;
        }
        m_mitschriftDatei.write("# gsmbv-sim: \"<-\" vom Geraet empfangen, \"->\" vom Geraet gesendet (hex)\n");
        m_mitschriftDatei.flush();
        m_mitschrift.setzeAusgabe(&m_mitschriftDatei);
    }
    // The memory file holds the memory from the start, not what an earlier run left.
    if (!speichern(&m_fehlertext))
        return false;
    m_abbildTimer = new QTimer(this);
    m_abbildTimer->setSingleShot(true);
    connect(m_abbildTimer, &QTimer::timeout, this, [this] { abbildNachfuehren(true); });
    return true;
}

bool SimPtyRunner::einrichten()
{
    if (!dateienEinrichten())
        return false;
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        m_fehlertext = fehlerBei("posix_openpt");
        return false;
    }
    char name[128];
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || ::ptsname_r(m_master, name, sizeof name) != 0) {
        m_fehlertext = fehlerBei("grantpt/unlockpt/ptsname");
        return false;
    }
    m_pfad = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    // The runner's own slave descriptor keeps the line alive between openers.
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0) {
        m_fehlertext = fehlerBei("open slave");
        return false;
    }
    // Raw line: no echo, no line editing, no character translation by the terminal driver.
    termios t{};
    if (::tcgetattr(m_slave, &t) != 0) {
        m_fehlertext = fehlerBei("tcgetattr");
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    if (::tcsetattr(m_slave, TCSANOW, &t) != 0) {
        m_fehlertext = fehlerBei("tcsetattr");
        return false;
    }

    // Opens and closes of the slave by anyone else; the runner's own open came before the watch.
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0 || ::inotify_add_watch(m_inotify, name, IN_OPEN | IN_CLOSE) < 0) {
        m_fehlertext = fehlerBei("inotify");
        return false;
    }
    m_timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timer < 0) {
        m_fehlertext = fehlerBei("timerfd_create");
        return false;
    }
    if (m_baud > 0)
        ::prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);

    m_lesbar = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_lesbar, &QSocketNotifier::activated, this, [this] {
        inotifyLesen();
        masterLesen();
        verarbeiten();
    });
    m_schreibbar = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_schreibbar->setEnabled(false);
    connect(m_schreibbar, &QSocketNotifier::activated, this, [this] {
        inotifyLesen();
        verarbeiten();
    });
    m_inotifyMeldung = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
    connect(m_inotifyMeldung, &QSocketNotifier::activated, this, [this] {
        inotifyLesen();
        verarbeiten();
    });
    m_timerMeldung = new QSocketNotifier(m_timer, QSocketNotifier::Read, this);
    connect(m_timerMeldung, &QSocketNotifier::activated, this, [this] {
        std::uint64_t abgelaufen = 0;
        [[maybe_unused]] const auto n = ::read(m_timer, &abgelaufen, sizeof abgelaufen);
        inotifyLesen();
        verarbeiten();
    });
    return true;
}

qint64 SimPtyRunner::jetztNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

void SimPtyRunner::inotifyLesen()
{
    if (m_inotify < 0)
        return;
    alignas(inotify_event) char puffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_inotify, puffer, sizeof puffer);
        if (n <= 0)
            return;  // EAGAIN: nothing more
        for (ssize_t i = 0; i + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(puffer + i);
            if (e->mask & IN_OPEN) {
                if (++m_offen == 1)
                    oeffnen();
            }
            if (e->mask & IN_CLOSE) {
                if (m_offen > 0 && --m_offen == 0)
                    schliessen();
            }
            i += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
}

void SimPtyRunner::masterLesen()
{
    std::uint8_t puffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, puffer, sizeof puffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        if (!m_verbunden)
            continue;  // nobody is there to have sent it
        const qint64 jetzt = jetztNs();
        for (ssize_t i = 0; i < n; ++i) {
            // The byte is on the wire from now (or from the end of the one before)
            // for one byte time. The engine may see it at once: its answer is
            // timed from the byte's arrival, which is all the other side can see.
            m_letzteAnkunft = std::max(jetzt, m_letzteAnkunft) + m_bitzeitNs;
            const QByteArray b(1, char(puffer[i]));
            m_mitschrift.empfangen(b);
            einplanen(m_geraet.empfangen(b), m_letzteAnkunft);
        }
        // Before any answer to these bytes goes out.
        nachEmpfang();
    }
}

void SimPtyRunner::oeffnen()
{
    m_verbunden = true;
    ++m_verbindungen;
    m_letzteAnkunft = m_letzteFaelligkeit = 0;
    m_mitschrift.ereignis(QStringLiteral("verbunden"));
    einplanen(m_geraet.verbunden(), jetztNs() + qint64(std::max(m_optionen.ackVerzoegerungMs, 0)) * 1'000'000);
    emit geoeffnet();
}

void SimPtyRunner::schliessen()
{
    // What the other side wrote before closing is on the wire and reaches the
    // device; what the device would answer has nobody to go to.
    masterLesen();
    m_geraet.getrennt();
    abbildNachfuehren(true);
    m_ausgang.clear();
    m_ausstehend.clear();
    m_letzteAnkunft = m_letzteFaelligkeit = 0;
    // Bytes already in the terminal's buffers would reach the next opener.
    ::tcflush(m_slave, TCIOFLUSH);
    ::tcflush(m_master, TCIOFLUSH);
    m_verbunden = false;
    m_mitschrift.ereignis(QStringLiteral("getrennt"));
    emit geschlossen();
}

void SimPtyRunner::einplanen(const QByteArray& bytes, qint64 erzeugt)
{
    for (char c : bytes) {
        m_letzteFaelligkeit = std::max(erzeugt, m_letzteFaelligkeit) + m_bitzeitNs;
        m_ausgang.push_back({m_letzteFaelligkeit, std::uint8_t(c)});
    }
}

void SimPtyRunner::verarbeiten()
{
    if (m_verbunden) {
        const qint64 jetzt = jetztNs();
        while (!m_ausgang.empty() && m_ausgang.front().zeit <= jetzt) {
            m_ausstehend.append(char(m_ausgang.front().byte));
            m_ausgang.pop_front();
        }
        ausgeben();
    }
    timerStellen();
}

void SimPtyRunner::ausgeben()
{
    while (!m_ausstehend.isEmpty()) {
        const ssize_t n = ::write(m_master, m_ausstehend.constData(), size_t(m_ausstehend.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // the terminal's buffer is full: wait until it takes more
        m_mitschrift.gesendet(m_ausstehend.left(n));
        m_ausstehend.remove(0, n);
    }
    m_schreibbar->setEnabled(!m_ausstehend.isEmpty());
}

void SimPtyRunner::timerStellen()
{
    const qint64 naechste = m_verbunden && !m_ausgang.empty() ? m_ausgang.front().zeit : 0;
    itimerspec its{};
    if (naechste > 0) {
        its.it_value.tv_sec = naechste / 1'000'000'000LL;
        its.it_value.tv_nsec = naechste % 1'000'000'000LL;
    }
    // An absolute time in the past fires at once; all zero disarms.
    ::timerfd_settime(m_timer, TFD_TIMER_ABSTIME, &its, nullptr);
}

void SimPtyRunner::nachEmpfang()
{
    const bool beendet = m_geraet.schreibvorgaenge() != m_schreibstand;
    abbildNachfuehren(beendet);
    if (beendet) {
        m_schreibstand = m_geraet.schreibvorgaenge();
        emit geschrieben();
    }
}

void SimPtyRunner::abbildNachfuehren(bool sofort)
{
    if (m_optionen.speicherDatei.isEmpty() || m_geraet.speicherstand() == m_abbildStand)
        return;
    const qint64 seit = m_seitAbbild.isValid() ? m_seitAbbild.elapsed() : kAbbildAbstandMs;
    if (sofort || seit >= kAbbildAbstandMs)
        speichern();
    else if (!m_abbildTimer->isActive())
        m_abbildTimer->start(int(kAbbildAbstandMs - seit));
}

bool SimPtyRunner::speichern(QString* meldung)
{
    if (m_optionen.speicherDatei.isEmpty())
        return true;
    if (m_abbildTimer)
        m_abbildTimer->stop();
    m_seitAbbild.start();
    const qint64 stand = m_geraet.speicherstand();
    const QString grund = dateiErsetzen(m_optionen.speicherDatei, m_geraet.speicher());
    if (grund.isEmpty()) {
        m_abbildStand = stand;
        m_abbildFehler.clear();
        return true;
    }
    const QString text = QStringLiteral("Speicherabbild %1: %2").arg(m_optionen.speicherDatei, grund);
    if (meldung)
        *meldung = text;
    else if (std::exchange(m_abbildFehler, text) != text)
        qWarning("%s", qPrintable(text));  // once, not at every byte the device takes
    return false;
}
