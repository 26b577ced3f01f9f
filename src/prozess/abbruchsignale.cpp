#include "prozess/abbruchsignale.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t abbruchmenge()
{
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGINT);
    sigaddset(&s, SIGTERM);
    sigaddset(&s, SIGHUP);
    return s;
}

} // namespace

void Abbruchsignale::blockieren()
{
    const sigset_t s = abbruchmenge();
    pthread_sigmask(SIG_BLOCK, &s, nullptr);
}

Abbruchsignale::Abbruchsignale(std::function<void()> gemeldet, QObject* parent) : QObject(parent)
{
    const sigset_t s = abbruchmenge();
    m_fd = signalfd(-1, &s, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0) {
        m_fehler = errno;
        pthread_sigmask(SIG_UNBLOCK, &s, nullptr);
        return;
    }
    m_meldung = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_meldung.get(), &QSocketNotifier::activated, this, [this, gemeldet = std::move(gemeldet)] {
        signalfd_siginfo info{};
        while (::read(m_fd, &info, sizeof info) == ssize_t(sizeof info))
            gemeldet();
    });
}

Abbruchsignale::~Abbruchsignale()
{
    m_meldung.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}
