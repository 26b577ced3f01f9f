// How much CPU the program burns while it waits for the device: the link
// opens a pseudo-terminal whose other end stays silent and waits 10 s for the
// ACK. Prints the CPU seconds (user + system) the process used meanwhile.
#include "link/verbindung.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {
double cpuSekunden()
{
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::fprintf(stderr, "kein Pseudo-Terminal\n");
        return 1;
    }
    termios t{};
    ::tcgetattr(master, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master, TCSANOW, &t);

    Verbindung v;
    v.zuordnung().festlegen(1, QString::fromLocal8Bit(::ptsname(master)));
    v.setWartezeit(std::chrono::seconds(10));

    QElapsedTimer uhr;
    double cpuEnde = 0;
    qint64 dauer = 0;
    const double cpuStart = cpuSekunden();
    uhr.start();
    Ausgang ausgang = Ausgang::Abgebrochen;
    v.ereignisspeicherLesen({}, [&](const Vorgangsbericht& e) {
        cpuEnde = cpuSekunden();
        dauer = uhr.elapsed();
        ausgang = e.ausgang;
        QCoreApplication::quit();
    });
    app.exec();
    ::close(master);

    std::printf("CPU-Zeit beim Warten auf ACK (%.1f s, %s): %.3f s\n", double(dauer) / 1000.0,
                ausgang == Ausgang::KeineVerbindung ? "kein ACK" : "ACK erhalten", cpuEnde - cpuStart);
    return 0;
}
