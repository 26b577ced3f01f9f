#include "link/seriellertransport.h"

#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif
#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {
// Asks the driver to hand over received bytes at once instead of collecting
// them for a few milliseconds. A refusal only costs latency.
bool niedrigeLatenzSetzen([[maybe_unused]] int fd)
{
#ifdef Q_OS_LINUX
    serial_struct ss{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &ss) != 0)
        return false;
    ss.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &ss) == 0;
#else
    return false;
#endif
}

// True when the other end of the line has hung up (a USB adapter pulled, the
// pseudo-terminal's master closed).
bool aufgelegt([[maybe_unused]] int fd)
{
#ifdef Q_OS_UNIX
    pollfd p{fd, POLLIN, 0};
    return fd >= 0 && ::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
}
} // namespace

SeriellerTransport::SeriellerTransport(QObject* parent) : Transport(parent)
{
    m_port.setReadBufferSize(1024);
    connect(&m_port, &QSerialPort::readyRead, this, &Transport::datenDa);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SeriellerTransport::portFehler);
}

SeriellerTransport::~SeriellerTransport()
{
    disconnect(&m_port, nullptr, this, nullptr);
    schliessen();
}

bool SeriellerTransport::oeffnen(const QString& geraet)
{
    if (m_port.isOpen())
        return true;
    m_fehler.clear();
    m_ursache = {};
    m_niedrigeLatenz = false;
    // A stable name (/dev/serial/by-id/...) or any other link is opened as the
    // device it points to, so that the port's lock is the same under every name.
    // (A bare name without "/" stands for the device of that name in /dev.)
    const QString echt = geraet.contains(QLatin1Char('/')) ? QFileInfo(geraet).canonicalFilePath() : QString();
    m_port.setPortName(echt.isEmpty() ? geraet : echt);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // A port locked or held open by another program stays his. The serial
    // port itself takes a lock file without its program's name for stale, and
    // does not see a program without a lock: it would open the port anyway,
    // and two programs would then read from one line.
    if (const auto halter = portursache::halter(geraet, m_sperrOrdner)) {
        m_ursache.art = Portursache::Art::Belegt;
        m_ursache.programm = halter->programm;
        m_ursache.pid = halter->pid;
        m_fehler = QStringLiteral("belegt");
        return false;
    }
    errno = 0;
    if (!m_port.open(QIODevice::ReadWrite)) {
        const int nummer = errno;
        m_fehler = portursache::fehlertext(m_port.error(), nummer);
        m_ursache = portursache::ermitteln(geraet, m_port.error(), m_sperrOrdner);
        m_port.clearError();
        return false;
    }
    // A pseudo-terminal has no modem lines and refuses DTR; the line works all the same.
    if (!m_port.setDataTerminalReady(true))
        m_port.clearError();
    m_niedrigeLatenz = niedrigeLatenzSetzen(int(m_port.handle()));
    return true;
}

void SeriellerTransport::schliessen()
{
    if (!m_port.isOpen())
        return;
    // Hand pending bytes (an ESC written just before) to the driver first:
    // closing drops what is still in the port's own buffer.
    m_port.flush();
    m_port.close();
    m_port.clearError();
}

void SeriellerTransport::portFehler(QSerialPort::SerialPortError fehler)
{
    // A line whose other end has gone keeps the port reporting read errors at
    // every pass of the event loop, which would then never rest. It is closed
    // instead (after the port's own handling of the error has returned), and
    // the link hears at once that the line is gone.
    if (fehler != QSerialPort::ReadError && fehler != QSerialPort::ResourceError)
        return;
    if (!aufgelegt(int(m_port.handle())))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_port.isOpen() || !aufgelegt(int(m_port.handle())))
                return;
            schliessen();
            m_fehler = QStringLiteral("Gegenstelle getrennt");
            emit getrennt();
        },
        Qt::QueuedConnection);
}

bool SeriellerTransport::istOffen() const { return m_port.isOpen(); }

bool SeriellerTransport::schreiben(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return false;
    // Straight to the driver while the port holds nothing unwritten. Going
    // through the port's own buffer arms and disarms its write notifier for
    // every call: two more passes of the event loop for every echoed
    // character. Only what the driver does not take now goes that way.
    qsizetype geschrieben = 0;
    if (m_port.bytesToWrite() == 0) {
        while (geschrieben < bytes.size()) {
            const ssize_t n = ::write(int(m_port.handle()), bytes.constData() + geschrieben,
                                      size_t(bytes.size() - geschrieben));
            if (n > 0)
                geschrieben += n;
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;  // full for now, or an error: the port's own path deals with it
        }
        if (geschrieben == bytes.size())
            return true;
    }
    const QByteArray rest = geschrieben > 0 ? bytes.mid(geschrieben) : bytes;
    errno = 0;
    if (m_port.write(rest) != rest.size()) {
        m_fehler = portursache::fehlertext(m_port.error(), errno);
        return false;
    }
    m_port.flush();
    return true;
}

qint64 SeriellerTransport::wartend() const { return m_port.isOpen() ? m_port.bytesAvailable() : 0; }

QByteArray SeriellerTransport::lesen(qint64 hoechstens)
{
    if (!m_port.isOpen())
        return {};
    return m_port.read(hoechstens);
}

QString SeriellerTransport::letzterFehler() const { return m_fehler; }
