// gsmbv: the command-line tool. Reads and writes a device's configuration,
// downloads its event memory, reads and sets its clock, and shows a
// configuration file; see `gsmbv --help` and gsmbv(1).
#include "cli/aufruf.h"
#include "cli/clidoor.h"
#include "cli/werkzeug.h"
#include "prozess/abbruchsignale.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

void schreiben(std::FILE* f, const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

} // namespace

int main(int argc, char** argv)
{
    // An interrupted transfer still leaves the device with ESC.
    Abbruchsignale::blockieren();

    QStringList argumente;
    for (int i = 1; i < argc; ++i)
        argumente.append(QString::fromLocal8Bit(argv[i]));
    const cli::Aufruf aufruf = cli::aufrufLesen(argumente, qEnvironmentVariable("GSMBV_PORT"));

    // The sheet needs fonts, and fonts need a QGuiApplication. Its platform is
    // the offscreen one unless the caller chose another: a PDF needs no
    // display, and a display that is set but not reachable would end the tool.
    std::unique_ptr<QCoreApplication> programm;
    if (aufruf.befehl == cli::Befehl::Show && !aufruf.pdf.isEmpty() && aufruf.fehler.isEmpty() && !aufruf.hilfe) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        programm = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        programm = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication& app = *programm;
    QCoreApplication::setApplicationName(QStringLiteral("gsmbv"));

    if (aufruf.hilfe) {
        schreiben(stdout, cli::hilfetext(aufruf.befehl));
        return cli::Erfolg;
    }
    if (aufruf.version) {
        schreiben(stdout, cli::versionstext());
        return cli::Erfolg;
    }
    if (!aufruf.fehler.isEmpty()) {
        const QString weiter = aufruf.befehl == cli::Befehl::Keiner
                                   ? QStringLiteral("Hilfe: gsmbv --help\n")
                                   : QStringLiteral("Hilfe: gsmbv %1 --help\n").arg(cli::befehlsname(aufruf.befehl));
        schreiben(stderr, QStringLiteral("gsmbv: %1\n").arg(aufruf.fehler) + cli::nutzung(aufruf.befehl) + weiter);
        return cli::FalscheArgumente;
    }

    CliDoor door;
    cli::Werkzeug werkzeug(aufruf, door);
    // `ports` on a tree of its own instead of /sys and /dev (for tests).
    if (qEnvironmentVariableIsSet("GSMBV_SYS") || qEnvironmentVariableIsSet("GSMBV_DEV")) {
        Portwurzeln w;
        if (qEnvironmentVariableIsSet("GSMBV_SYS"))
            w.sys = qEnvironmentVariable("GSMBV_SYS");
        if (qEnvironmentVariableIsSet("GSMBV_DEV"))
            w.dev = qEnvironmentVariable("GSMBV_DEV");
        werkzeug.setPortwurzeln(w);
    }
    QObject::connect(&werkzeug, &cli::Werkzeug::beendet, &app, [](int status) { QCoreApplication::exit(status); },
                     Qt::QueuedConnection);

    Abbruchsignale abbruch([&werkzeug] { werkzeug.unterbrechen(); });

    QMetaObject::invokeMethod(&werkzeug, &cli::Werkzeug::starten, Qt::QueuedConnection);
    return app.exec();
}
