// gsmbv-sim: the simulated device on a pseudo-terminal. Prints the device path
// as its first line and runs until SIGINT or SIGTERM.
#include "sim/simptyrunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

int abbruch(const QString& text)
{
    std::fprintf(stderr, "gsmbv-sim: %s\n", qPrintable(text));
    return 2;
}

// Reads a file that must hold exactly `groesse` bytes.
bool lesen(const QString& pfad, int groesse, QByteArray& inhalt, QString& meldung)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        meldung = QStringLiteral("%1: %2").arg(pfad, f.errorString());
        return false;
    }
    inhalt = f.read(groesse + 1);
    if (inhalt.size() != groesse) {
        meldung = QStringLiteral("%1: die Datei muss genau %2 Bytes haben").arg(pfad).arg(groesse);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // SIGINT and SIGTERM are taken from a signalfd on the event loop; they must
    // be blocked before any thread exists so that no thread receives them.
    sigset_t signale;
    sigemptyset(&signale);
    sigaddset(&signale, SIGINT);
    sigaddset(&signale, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signale, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gsmbv-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simuliertes Boravilon-Geraet an einem Pseudo-Terminal. Die erste Ausgabezeile ist der Geraetepfad."));
    parser.addHelpOption();
    const QCommandLineOption image(QStringLiteral("image"),
                                   QStringLiteral("Konfigurationsspeicher: Datei mit genau 3328 Bytes."),
                                   QStringLiteral("DATEI"));
    const QCommandLineOption events(QStringLiteral("events"),
                                    QStringLiteral("Ereignisspeicher: Datei mit genau 512 Bytes."),
                                    QStringLiteral("DATEI"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Leitungsgeschwindigkeit in Bit/s, 0 = ungebremst (Standard 9600)."),
                                  QStringLiteral("N"), QStringLiteral("9600"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Fehler: silent, noecho@N, stop@N, noise[@SAAT], hangup@N "
                                                  "(wiederholbar)."),
                                   QStringLiteral("FEHLER"));
    const QCommandLineOption saveImage(QStringLiteral("save-image"),
                                       QStringLiteral("Speicher nach jedem Schreibvorgang und am Ende hierhin."),
                                       QStringLiteral("DATEI"));
    const QCommandLineOption transcript(QStringLiteral("transcript"),
                                        QStringLiteral("Mitschrift aller Bytes (hex)."), QStringLiteral("DATEI"));
    parser.addOptions({image, events, baud, fault, saveImage, transcript});
    if (!parser.parse(QCoreApplication::arguments()))
        return abbruch(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        return abbruch(QStringLiteral("unerwartetes Argument \"%1\"").arg(parser.positionalArguments().first()));

    SimOptionen o;
    QString meldung;
    if (parser.isSet(image) && !lesen(parser.value(image), SimGeraet::kSpeicherBytes, o.speicher, meldung))
        return abbruch(meldung);
    if (parser.isSet(events) && !lesen(parser.value(events), SimGeraet::kEreignisBytes, o.ereignisse, meldung))
        return abbruch(meldung);
    bool zahl = false;
    o.baud = parser.value(baud).toInt(&zahl);
    if (!zahl || o.baud < 0)
        return abbruch(QStringLiteral("--baud: \"%1\" ist keine Geschwindigkeit").arg(parser.value(baud)));
    for (const QString& angabe : parser.values(fault))
        if (!o.fehler.hinzufuegen(angabe, &meldung))
            return abbruch(meldung);
    o.speicherDatei = parser.value(saveImage);
    o.mitschriftDatei = parser.value(transcript);

    SimPtyRunner sim(o);
    if (!sim.ok()) {
        std::fprintf(stderr, "gsmbv-sim: %s\n", qPrintable(sim.fehlertext()));
        return 1;
    }

    const int sfd = signalfd(-1, &signale, SFD_NONBLOCK | SFD_CLOEXEC);
    if (sfd < 0) {
        std::perror("gsmbv-sim: signalfd");
        return 1;
    }
    QSocketNotifier signalMeldung(sfd, QSocketNotifier::Read);
    QObject::connect(&signalMeldung, &QSocketNotifier::activated, &app, [sfd] {
        signalfd_siginfo info{};
        while (::read(sfd, &info, sizeof info) == ssize_t(sizeof info)) {
        }
        QCoreApplication::quit();
    });

    std::printf("%s\n", qPrintable(sim.pfad()));
    std::fflush(stdout);

    const int rc = app.exec();
    signalMeldung.setEnabled(false);
    ::close(sfd);
    if (!sim.speichern(&meldung)) {
        std::fprintf(stderr, "gsmbv-sim: %s\n", qPrintable(meldung));
        return 1;
    }
    return rc;
}
