#pragma once
// The device's end of a pseudo-terminal, for link tests: the link opens the
// slave path through its real serial transport; this side reads what the link
// writes (with arrival times) and answers as scripted.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class PtyPartner {
public:
    PtyPartner()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_pfad = QString::fromLocal8Bit(::ptsname(m_master));
        termios t{};
        ::tcgetattr(m_master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_master, TCSANOW, &t);
        // An open slave keeps the master from hanging up while the link has
        // the port closed. It never reads, so every byte goes to the link.
        m_halter = ::open(m_pfad.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        m_lesen = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_lesen.get(), &QSocketNotifier::activated, [this] { lesen(); });
        m_schreiben = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
        m_schreiben->setEnabled(false);
        QObject::connect(m_schreiben.get(), &QSocketNotifier::activated, [this] { weiterSchreiben(); });
        uhr.start();
    }
    ~PtyPartner()
    {
        m_lesen.reset();
        m_schreiben.reset();
        if (m_halter >= 0)
            ::close(m_halter);
        if (m_master >= 0)
            ::close(m_master);
    }
    PtyPartner(const PtyPartner&) = delete;
    PtyPartner& operator=(const PtyPartner&) = delete;

    bool bereit() const { return m_halter >= 0; }
    QString pfad() const { return m_pfad; }

    // Sends bytes to the link, in one write where the line takes them.
    void senden(const QByteArray& bytes)
    {
        m_ausgang += bytes;
        weiterSchreiben();
    }

    // Echo every received byte (before the scripted answer).
    bool echo = false;
    // The answer to a received byte (empty: none).
    std::function<QByteArray(std::uint8_t)> antwort;

    QByteArray empfangen;  // every byte the link wrote, in order
    QList<qint64> zeiten;  // arrival of each of them, ms since construction
    QElapsedTimer uhr;

private:
    void lesen()
    {
        char puffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, puffer, sizeof puffer);
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n; ++i) {
                const auto b = std::uint8_t(puffer[i]);
                empfangen.append(char(b));
                zeiten.append(uhr.elapsed());
                QByteArray aus;
                if (echo)
                    aus.append(char(b));
                if (antwort)
                    aus.append(antwort(b));
                if (!aus.isEmpty())
                    senden(aus);
            }
        }
    }
    void weiterSchreiben()
    {
        while (!m_ausgang.isEmpty()) {
            const ssize_t n = ::write(m_master, m_ausgang.constData(), size_t(m_ausgang.size()));
            if (n <= 0)
                break;
            m_ausgang.remove(0, n);
        }
        m_schreiben->setEnabled(!m_ausgang.isEmpty());
    }

    int m_master = -1;
    int m_halter = -1;
    QString m_pfad;
    QByteArray m_ausgang;
    std::unique_ptr<QSocketNotifier> m_lesen;
    std::unique_ptr<QSocketNotifier> m_schreiben;
};
