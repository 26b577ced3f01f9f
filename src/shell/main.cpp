#include "shell/programm.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <optional>
#include <sys/resource.h>

#ifndef GSMBV_VERSION
#define GSMBV_VERSION "unbekannt"
#endif

int main(int argc, char** argv)
{
    // The usage and the version need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(aufrufText().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("gsmbv-konfig " GSMBV_VERSION "\n", stdout);
            return 0;
        }
    }
    // Nor does a wrong command line: it is told before a display is sought.
    QStringList argumente;
    for (int i = 1; i < argc; ++i)
        argumente << QString::fromLocal8Bit(argv[i]);
    if (const auto fehler = vorabFehler(argumente)) {
        aufrufFehlerMelden(*fehler);
        return 2;
    }
    // Qt's helper threads end the program without a word when they find no
    // descriptor left: a low soft limit is raised to the hard one, and a hard
    // one too low for the window and the demo's device is told here.
    constexpr rlim_t kNoetig = 16;
    if (rlimit g{}; ::getrlimit(RLIMIT_NOFILE, &g) == 0 && g.rlim_cur < kNoetig) {
        g.rlim_cur = g.rlim_max == RLIM_INFINITY ? kNoetig : std::min(g.rlim_max, kNoetig);
        ::setrlimit(RLIMIT_NOFILE, &g);
        if (g.rlim_cur < kNoetig) {
            std::fprintf(stderr, "gsmbv-konfig: nur %llu Dateien zugleich erlaubt, nötig sind %llu (ulimit -n)\n",
                         static_cast<unsigned long long>(g.rlim_cur), static_cast<unsigned long long>(kNoetig));
            return 1;
        }
    }
    programmEinrichten();
    std::optional<AnzeigeWaechter> waechter(std::in_place);
    QApplication app(argc, argv);
    waechter.reset();
    return konfigAusfuehren(app);
}
