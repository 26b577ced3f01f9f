#include "shell/programm.h"

#include "door/door.h"
#include "shell/konfig.h"

#include <QApplication>

int konfigAusfuehren(QApplication& app)
{
    deutschEinrichten();
    Konfig konfig;
    // The program ends with its main window, whatever other window is still open.
    QObject::connect(&konfig, &Konfig::wirdGeschlossen, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    konfig.show();
    return app.exec();
}
