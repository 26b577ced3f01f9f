// A pseudo-terminal in raw mode (bytes as written: no CR added before LF)
// for a program's standard error, and what reached it.
#pragma once

#include <QByteArray>

#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

class Terminal {
public:
    // spalten 0: the terminal tells no width.
    explicit Terminal(int spalten = 0)
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_seite = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(m_seite, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_seite, TCSANOW, &t);
        winsize ws{};
        ws.ws_col = static_cast<unsigned short>(spalten);
        ::ioctl(m_seite, TIOCSWINSZ, &ws);
    }
    ~Terminal()
    {
        ::close(m_seite);
        ::close(m_master);
    }

    // The program's side; -1 if no terminal could be had.
    int seite() const { return m_seite; }

    // Closes the program's side and returns everything written to it.
    QByteArray gelesen()
    {
        ::close(m_seite);
        m_seite = -1;
        QByteArray b;
        ::fcntl(m_master, F_SETFL, O_NONBLOCK);
        char puffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, puffer, sizeof puffer)) > 0)
            b.append(puffer, n);
        return b;
    }

private:
    int m_master = -1;
    int m_seite = -1;
};
