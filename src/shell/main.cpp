#include "shell/programm.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

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
    programmEinrichten();
    QApplication app(argc, argv);
    return konfigAusfuehren(app);
}
