#include "shell/programm.h"

#include "doorqt/qtdoor.h"
#include "shell/konfig.h"
#include "shell/startzeit.h"
#include "sim/simptyrunner.h"

#include <QApplication>
#include <QRegularExpression>
#include <cstdio>
#include <memory>
#include <utility>

std::optional<Startoptionen> startoptionenLesen(const QStringList& argumente, QString* fehler)
{
    auto falsch = [fehler](const QString& text) -> std::optional<Startoptionen> {
        if (fehler)
            *fehler = text;
        return std::nullopt;
    };
    Startoptionen o;
    bool portGesetzt = false;
    bool nurNoch = false;  // behind "--" every argument is a file name
    for (qsizetype i = 0; i < argumente.size(); ++i) {
        const QString& a = argumente[i];
        if (nurNoch || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            if (!o.datei.isEmpty())
                return falsch(QStringLiteral("nur eine Konfigurationsdatei, nicht auch „%1“").arg(a));
            o.datei = a;
        } else if (a == QLatin1String("--")) {
            nurNoch = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.hilfe = true;
        } else if (a == QLatin1String("--demo")) {
            o.demo = true;
        } else if (a == QLatin1String("--port") || a.startsWith(QLatin1String("--port="))) {
            if (a == QLatin1String("--port")) {
                if (i + 1 >= argumente.size())
                    return falsch(QStringLiteral("--port ohne Gerät"));
                o.port = argumente[++i];
            } else {
                o.port = a.mid(7);
            }
            if (o.port.isEmpty())
                return falsch(QStringLiteral("--port ohne Gerät"));
            portGesetzt = true;
        } else {
            return falsch(QStringLiteral("unbekanntes Argument „%1“").arg(a));
        }
    }
    if (o.demo && portGesetzt)
        return falsch(QStringLiteral("--demo und --port schließen einander aus"));
    return o;
}

QString aufrufText()
{
    return QStringLiteral(
        "Aufruf: gsmbv-konfig [--demo | --port GERÄT] [DATEI.cfg]\n"
        "\n"
        "  --demo          mit einem simulierten Boravilon an COM 1 starten\n"
        "  --port GERÄT    COM 1 ist dieses Gerät, z. B. /dev/ttyUSB0 oder ein fester\n"
        "                  Name unter /dev/serial/by-id/\n"
        "  --help          diese Hilfe\n"
        "  --version       Version ausgeben\n"
        "  DATEI.cfg       diese Konfigurationsdatei öffnen\n"
        "\n"
        "Ohne Angabe wird der Port im Menü Einstellungen > COM Port gewählt.\n");
}

std::optional<QString> vorabFehler(const QStringList& argumente)
{
    static const QStringList werkzeug{
        "platform", "platformpluginpath", "platformtheme", "plugin", "display", "geometry", "qwindowgeometry",
        "title", "qwindowtitle", "icon", "qwindowicon", "style", "stylesheet", "session", "name", "reverse",
        "widgetcount", "sync", "nograb", "dograb", "qmljsdebugger", "testability"};
    for (const QString& a : argumente) {
        if (a == QLatin1String("--"))
            break;
        const QString name = a.section(QLatin1Char('='), 0, 0).remove(QRegularExpression(QStringLiteral("^--?")));
        if (a.startsWith(QLatin1Char('-')) && werkzeug.contains(name))
            return std::nullopt;
    }
    QString fehler;
    if (startoptionenLesen(argumente, &fehler))
        return std::nullopt;
    return fehler;
}

void aufrufFehlerMelden(const QString& fehler)
{
    std::fputs(QStringLiteral("gsmbv-konfig: %1\n\n%2").arg(fehler, aufrufText()).toLocal8Bit().constData(), stderr);
}

namespace {

struct Zurueckgehalten {
    QtMsgType typ;
    QByteArray kategorie;
    QString text;
};
QtMessageHandler g_vorher = nullptr;
QList<Zurueckgehalten>* g_zurueck = nullptr;

void anzeigeMelder(QtMsgType typ, const QMessageLogContext& k, const QString& text)
{
    if (typ != QtFatalMsg) {
        g_zurueck->append({typ, QByteArray(k.category ? k.category : ""), text});
        return;
    }
    const QString anzeige = qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
    const QString satz = anzeige.isEmpty()
        ? QStringLiteral("gsmbv-konfig: keine grafische Anzeige (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt)\n")
        : QStringLiteral("gsmbv-konfig: grafische Anzeige %1 nicht erreichbar\n").arg(anzeige);
    std::fputs((satz + QStringLiteral("Ohne Anzeige: die Kommandozeile gsmbv (gsmbv --help)\n")).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

AnzeigeWaechter::AnzeigeWaechter()
{
    g_zurueck = new QList<Zurueckgehalten>;
    g_vorher = qInstallMessageHandler(anzeigeMelder);
}

AnzeigeWaechter::~AnzeigeWaechter()
{
    qInstallMessageHandler(g_vorher);
    for (const Zurueckgehalten& m : *g_zurueck) {
        const QMessageLogContext k(nullptr, 0, nullptr, m.kategorie.constData());
        if (g_vorher)
            g_vorher(m.typ, k, m.text);
    }
    delete std::exchange(g_zurueck, nullptr);
}

void programmEinrichten()
{
    // The data folder (LOG.TXT when the program's folder cannot be written
    // to) is ~/.local/share/gsmbv.
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("gsmbv"));
    QGuiApplication::setDesktopFileName(QStringLiteral("gsmbv-konfig"));
}

int konfigAusfuehren(QApplication& app)
{
    QString fehler;
    const std::optional<Startoptionen> o = startoptionenLesen(app.arguments().mid(1), &fehler);
    if (!o) {
        aufrufFehlerMelden(fehler);
        return 2;
    }
    return konfigAusfuehren(app, *o);
}

int konfigAusfuehren(QApplication& app, const Startoptionen& optionen)
{
    deutschEinrichten();

    // The demo's device lives on a pseudo-terminal of its own; the window
    // reaches it through the serial port code like a real one.
    std::unique_ptr<SimPtyRunner> sim;
    if (optionen.demo) {
        SimOptionen so;
        so.baud = 9600;
        sim = std::make_unique<SimPtyRunner>(so);
        if (!sim->ok()) {
            std::fputs(QStringLiteral("gsmbv-konfig: simuliertes Gerät nicht verfügbar: %1\n")
                           .arg(sim->fehlertext())
                           .toLocal8Bit()
                           .constData(),
                       stderr);
            return 1;
        }
    }

    Konfig konfig;
    if (sim) {
        konfig.verbindung().zuordnung().festlegen(1, sim->pfad());
        konfig.hinweisSetzen(QStringLiteral("Demo: simuliertes Boravilon an COM 1 (%1)").arg(sim->pfad()));
    } else if (!optionen.port.isEmpty()) {
        konfig.verbindung().zuordnung().festlegen(1, optionen.port);
    }
    // The program ends with its main window, whatever other window is still open.
    QObject::connect(&konfig, &Konfig::wirdGeschlossen, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    startzeitMelden(konfig);  // only with GSMBV_BENCH_STARTZEIT set
    konfig.show();
    // Opened from the running event loop, so that a file error box stands
    // over the window already shown.
    if (!optionen.datei.isEmpty())
        QMetaObject::invokeMethod(
            &konfig, [&konfig, datei = optionen.datei] { konfig.dateiOeffnen(datei); }, Qt::QueuedConnection);
    return app.exec();
}
