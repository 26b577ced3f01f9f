#include "shell/programm.h"

#include "door/door.h"
#include "shell/konfig.h"
#include "shell/startzeit.h"

#include <QApplication>

int konfigAusfuehren(QApplication& app)
{
    deutschEinrichten();
    Konfig konfig;
    // The program ends with its main window, whatever other window is still open.
    QObject::connect(&konfig, &Konfig::wirdGeschlossen, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    startzeitMelden(konfig);  // only with GSMBV_BENCH_STARTZEIT set
    konfig.show();
    return app.exec();
}
