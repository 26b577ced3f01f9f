#include "shell/programm.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <optional>

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
    programmEinrichten();
    std::optional<AnzeigeWaechter> waechter(std::in_place);
    QApplication app(argc, argv);
    waechter.reset();
    return konfigAusfuehren(app);
}
