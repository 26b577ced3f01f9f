#pragma once
// The window fixture with the simulated device on COM 1 (a pseudo-terminal, the real
// serial-port code between); a command and its device operation; files, a full disk.
#include "fenster.h"
#include "kit.h"
#include "sim/simptyrunner.h"

#include <QAction>
#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace ablauf {

using namespace std::chrono_literals;
using kit::esc;
using kit::ff;

inline SimOptionen simOptionen(const QByteArray& speicher = simStandardSpeicher())
{
    SimOptionen o;
    o.baud = 0;
    o.speicher = speicher;
    return o;
}

inline QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}
inline bool schreiben(const QString& pfad, const QByteArray& inhalt)
{
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(inhalt) == inhalt.size();
}

// Runs `tun` while no file of this process may grow beyond 100 bytes: the disk is "full".
inline void plattevoll(const std::function<void()>& tun)
{
    rlimit vorher{};
    getrlimit(RLIMIT_FSIZE, &vorher);
    rlimit knapp = vorher;
    knapp.rlim_cur = 100;
    const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &knapp);
    tun();
    setrlimit(RLIMIT_FSIZE, &vorher);
    std::signal(SIGXFSZ, signalVorher);
}

// Triggers a menu item or toolbar button and waits for the end of its device operation.
inline std::optional<Ausgang> ausfuehren(Konfig& k, const QString& name)
{
    std::optional<Ausgang> a;
    const auto c = QObject::connect(&k, &Konfig::geraetBeendet, [&a](Ausgang x) { a = x; });
    k.findChild<QAction*>(name)->trigger();
    kit::warten([&] { return a.has_value(); }, 20000);
    QObject::disconnect(c);
    return a;
}

// The file dialog answered with `pfad`, then the command.
inline void datei(kit::Fenster& f, const char* befehl, const QString& pfad)
{
    f.door.dateinamen.enqueue(pfad);
    f.k.findChild<QAction*>(QLatin1String(befehl))->trigger();
}

// Replaces a field's text as the user does: a click into it, all selected, typed, Tab.
inline Eingabefeld* eingeben(kit::Fenster& f, const QString& feld, const QString& text, bool verlassen = true)
{
    QApplication::setActiveWindow(&f.k);
    Eingabefeld* e = f.feld(feld);
    f.betreten(e);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    kit::tippen(e, text);
    if (verlassen)
        QTest::keyClick(e, Qt::Key_Tab);
    return e;
}

// The simulated device and a main window on it.
struct Stand {
    SimPtyRunner sim;
    kit::Fenster f;
    explicit Stand(const SimOptionen& o = simOptionen(), std::chrono::milliseconds frist = 2s) : sim(o), f(sim.pfad())
    {
        f.k.verbindung().setWartezeit(frist);
    }
    std::optional<Ausgang> ausfuehren(const QString& name) { return ablauf::ausfuehren(f.k, name); }
    // Nothing under way, the port closed on both sides, no progress window.
    bool ruhend()
    {
        return kit::warten([&] {
            return !f.k.verbindung().operationLaeuft() && !f.k.verbindung().portOffen() && !sim.verbunden()
                && !f.k.findChild<QWidget*>(QStringLiteral("Daten"));
        }, 3000);
    }
    QByteArray empfangen(qsizetype ab = 0) const { return sim.empfangeneBytes().mid(ab); }
};

inline const QList<int> kAlleMarker{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
inline const QList<int> kGeraeteseiten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

} // namespace ablauf
