// gsmbv: the command-line tool. Reads and writes a device's configuration,
// downloads its event memory, reads and sets its clock, and shows a
// configuration file; see `gsmbv --help` and gsmbv(1).
#include "cli/aufruf.h"
#include "cli/clidoor.h"
#include "cli/werkzeug.h"
#include "prozess/abbruchsignale.h"
#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// Names in the text as they were given. False when not all of it was taken.
bool schreiben(std::FILE* f, const QString& text)
{
    const QByteArray b = dateiname::bytes(text);
    errno = 0;
    return std::fwrite(b.constData(), 1, size_t(b.size()), f) == size_t(b.size()) && std::fflush(f) == 0;
}

// Help and version are the result of their call: when standard output does
// not take them, that is said, and the call failed.
int ergebnis(const QString& text)
{
    if (schreiben(stdout, text))
        return cli::Erfolg;
    const QString grund = systemfehler::text(errno);
    schreiben(stderr, QStringLiteral("gsmbv: Standardausgabe kann nicht geschrieben werden: %1\n").arg(grund));
    return cli::Ausgabe;
}

} // namespace

int main(int argc, char** argv)
{
    // An interrupted transfer still leaves the device with ESC.
    Abbruchsignale::blockieren();
    // A reader that went away (a pipe, a transcript's FIFO) is an output that
    // cannot be written, said as such, not the end of a transfer half done.
    std::signal(SIGPIPE, SIG_IGN);

    QStringList argumente;
    for (int i = 1; i < argc; ++i)
        argumente.append(dateiname::text(QByteArray(argv[i])));
    const cli::Aufruf aufruf = cli::aufrufLesen(argumente, qEnvironmentVariable("GSMBV_PORT"));

    // The sheet (show --pdf, each device of a series) needs fonts, and fonts need a QGuiApplication. Its platform is
    // the offscreen one unless the caller chose another: a PDF needs no
    // display, and a display that is set but not reachable would end the tool.
    // Without XDG_RUNTIME_DIR (a server, a cron job) Qt would warn in English
    // and fall back on a shared folder in /tmp: the run gets one of its own.
    std::optional<QTemporaryDir> laufzeit;
    std::unique_ptr<QCoreApplication> programm;
    const bool blatt = (aufruf.befehl == cli::Befehl::Show && !aufruf.pdf.isEmpty()) || aufruf.befehl == cli::Befehl::Serie;
    if (blatt && aufruf.fehler.isEmpty() && !aufruf.hilfe) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
            && laufzeit.emplace(QDir::tempPath() + QStringLiteral("/gsmbv-laufzeit-XXXXXX")).isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(laufzeit->path()));
        programm = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        programm = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication& app = *programm;
    QCoreApplication::setApplicationName(QStringLiteral("gsmbv"));

    if (aufruf.hilfe)
        return ergebnis(cli::hilfetext(aufruf.befehl));
    if (aufruf.version)
        return ergebnis(cli::versionstext());
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
