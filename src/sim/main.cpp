// gsmbv-sim: the simulated device on a pseudo-terminal. Prints the device path
// as its first line and runs until SIGINT or SIGTERM, then saves its memory
// (--save-image) as it stands, also in the middle of a write.
#include "prozess/abbruchsignale.h"
#include "sim/simptyrunner.h"
#include "systemfehler/systemfehler.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>

#ifndef GSMBV_VERSION
#define GSMBV_VERSION "unbekannt"
#endif

namespace {

struct Argumente {
    bool hilfe = false;
    bool version = false;
    QString image, events, saveImage, transcript;
    QString baud = QStringLiteral("9600");
    QString writeModel = QStringLiteral("byte");
    QStringList fehlerangaben;
    QString fehler;
};

// --name WERT or --name=WERT for the options with a value; -h, --help and
// --version alone.
bool argumenteLesen(const QStringList& argumente, Argumente& a)
{
    for (qsizetype i = 0; i < argumente.size(); ++i) {
        const QString arg = argumente.at(i);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            a.hilfe = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            a.version = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            a.fehler = QStringLiteral("unerwartetes Argument \"%1\"").arg(arg);
            return false;
        }
        const qsizetype gl = arg.indexOf(QLatin1Char('='));
        const QString name = gl > 0 ? arg.left(gl) : arg;
        QString* ziel = nullptr;
        if (name == QLatin1String("--image"))
            ziel = &a.image;
        else if (name == QLatin1String("--events"))
            ziel = &a.events;
        else if (name == QLatin1String("--baud"))
            ziel = &a.baud;
        else if (name == QLatin1String("--save-image"))
            ziel = &a.saveImage;
        else if (name == QLatin1String("--transcript"))
            ziel = &a.transcript;
        else if (name == QLatin1String("--write-model"))
            ziel = &a.writeModel;
        else if (name != QLatin1String("--fault")) {
            a.fehler = QStringLiteral("unbekannte Option \"%1\"").arg(name);
            return false;
        }
        QString wert;
        if (gl > 0)
            wert = arg.mid(gl + 1);
        else if (i + 1 < argumente.size())
            wert = argumente.at(++i);
        if (wert.isEmpty()) {
            a.fehler = QStringLiteral("%1 braucht einen Wert").arg(name);
            return false;
        }
        if (ziel)
            *ziel = wert;
        else
            a.fehlerangaben.append(wert);
    }
    return true;
}

QString hilfetext()
{
    return QStringLiteral(
        "Aufruf: gsmbv-sim [OPTIONEN]\n"
        "\n"
        "Simuliertes Boravilon 3.0 an einem Pseudo-Terminal. Die erste Ausgabezeile ist\n"
        "der Gerätepfad (z. B. /dev/pts/3); gsmbv und gsmbv-konfig nehmen ihn mit --port\n"
        "an. Das Gerät läuft, bis es mit Strg+C oder SIGTERM beendet wird.\n"
        "\n"
        "Optionen:\n"
        "  --image DATEI         Konfigurationsspeicher: Datei mit genau 3328 Bytes\n"
        "  --events DATEI        Ereignisspeicher: Datei mit genau 512 Bytes\n"
        "  --baud N              Leitungsgeschwindigkeit in Bit/s, 0 = ungebremst\n"
        "                        (Standard 9600)\n"
        "  --fault FEHLER        Fehler des Geräts, wiederholbar oder durch Kommas getrennt:\n"
        "                          silent        sendet nie etwas, auch kein ACK\n"
        "                          noecho@N      beim Schreiben bleibt das N-te Echo aus\n"
        "                          stop@N        beim Lesen nur die ersten N Bytes\n"
        "                          noise[@SAAT]  drei bis acht Zufallsbytes vor jedem ACK\n"
        "                          hangup@N      verstummt nach N gesendeten Bytes\n"
        "                          nostore@N     beim Schreiben wird Seite N (0 bis 12) nicht\n"
        "                                        gespeichert, ohne dass es das Gerät meldet\n"
        "  --write-model MODELL  was ein Schreibvorgang im Speicher hinterlässt:\n"
        "                          byte      (Standard) jedes Byte einer Seite steht im\n"
        "                                    Speicher, sobald das Gerät es empfangen\n"
        "                                    hat; ein abgebrochener Schreibvorgang\n"
        "                                    hinterlässt alle bis dahin empfangenen\n"
        "                                    Bytes, auch die einer angefangenen Seite\n"
        "                          complete  erst ESC am Ende des Schreibvorgangs\n"
        "                                    speichert alle vollständig empfangenen\n"
        "                                    Seiten; ein abgebrochener Schreibvorgang\n"
        "                                    hinterlässt nichts\n"
        "  --save-image DATEI    Speicher (3328 Bytes) vom Start an in dieser Datei: sofort\n"
        "                        nach jedem Schreibvorgang, beim Schließen der Leitung und\n"
        "                        beim Beenden (auch mitten im Schreiben), während eines\n"
        "                        Schreibvorgangs spätestens 0,1 s nach jeder Änderung\n"
        "  --transcript DATEI    Mitschrift aller Bytes (hexadezimal) in diese Datei\n"
        "  -h, --help            diese Hilfe\n"
        "  --version             Version ausgeben\n"
        "\n"
        "Ein ESC unter den 256 Bytes einer Seite ist ein Datenbyte der Seite; an Stelle\n"
        "eines Seitenzeichens beendet es den Schreibvorgang. Bleibt ein Schreibvorgang\n"
        "oder das Stellen der Uhr unvollendet, ist das Gerät wieder bereit, sobald 5 s\n"
        "lang kein Zeichen kam (das nächste ist ein neuer Befehl) oder die Leitung\n"
        "geschlossen und wieder geöffnet wird (es meldet sich mit ACK). Die Uhr bleibt\n"
        "dann unverändert.\n");
}

int abbruch(const QString& text)
{
    std::fprintf(stderr, "gsmbv-sim: %s\n", qPrintable(text));
    return 2;
}

// Reads a file that must hold exactly `groesse` bytes.
bool lesen(const QString& pfad, int groesse, QByteArray& inhalt, QString& meldung)
{
    QFile f(pfad);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        meldung = QStringLiteral("%1: %2").arg(pfad, systemfehler::datei(f, errno));
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
    // The device runs until SIGINT or SIGTERM, then saves its memory.
    Abbruchsignale::blockieren();

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gsmbv-sim"));

    Argumente a;
    if (!argumenteLesen(QCoreApplication::arguments().mid(1), a))
        return abbruch(a.fehler + QStringLiteral("\nHilfe: gsmbv-sim --help"));
    if (a.hilfe) {
        std::fputs(hilfetext().toUtf8().constData(), stdout);
        return 0;
    }
    if (a.version) {
        std::fputs("gsmbv-sim " GSMBV_VERSION "\n", stdout);
        return 0;
    }

    SimOptionen o;
    QString meldung;
    if (!a.image.isEmpty() && !lesen(a.image, SimGeraet::kSpeicherBytes, o.speicher, meldung))
        return abbruch(meldung);
    if (!a.events.isEmpty() && !lesen(a.events, SimGeraet::kEreignisBytes, o.ereignisse, meldung))
        return abbruch(meldung);
    bool zahl = false;
    o.baud = a.baud.toInt(&zahl);
    if (!zahl || o.baud < 0)
        return abbruch(QStringLiteral("--baud: \"%1\" ist keine Geschwindigkeit").arg(a.baud));
    for (const QString& angabe : a.fehlerangaben)
        if (!o.fehler.hinzufuegen(angabe, &meldung))
            return abbruch(meldung);
    if (a.writeModel == QLatin1String("byte"))
        o.schreibmodell = SimGeraet::Schreibmodell::Zeichenweise;
    else if (a.writeModel == QLatin1String("complete"))
        o.schreibmodell = SimGeraet::Schreibmodell::Vollstaendig;
    else
        return abbruch(QStringLiteral("--write-model: \"%1\" ist kein Modell (byte oder complete)").arg(a.writeModel));
    o.speicherDatei = a.saveImage;
    o.mitschriftDatei = a.transcript;

    SimPtyRunner sim(o);
    if (!sim.ok()) {
        std::fprintf(stderr, "gsmbv-sim: %s\n", qPrintable(sim.fehlertext()));
        return 1;
    }

    Abbruchsignale abbruch([] { QCoreApplication::quit(); });
    if (!abbruch.offen()) {
        std::fprintf(stderr, "gsmbv-sim: signalfd: %s\n", qPrintable(systemfehler::text(abbruch.fehler())));
        return 1;
    }

    std::printf("%s\n", qPrintable(sim.pfad()));
    std::fflush(stdout);

    const int rc = app.exec();
    if (!sim.speichern(&meldung)) {
        std::fprintf(stderr, "gsmbv-sim: %s\n", qPrintable(meldung));
        return 1;
    }
    return rc;
}
