#pragma once
// The whole program against the simulated device: a main window whose COM 1
// is the simulator's pseudo-terminal, the real serial port code between them,
// the fake door in front of the user.
#include "../editor/editorhilfe.h"
#include "cfgfile/dekodieren.h"
#include "link/verbindung.h"
#include "shell/konfig.h"
#include "sim/simptyrunner.h"

#include <QAction>
#include <QEventLoop>
#include <QTimer>
#include <QTest>
#include <chrono>
#include <memory>
#include <optional>

using namespace std::chrono_literals;

namespace ablauf {

using hilfe::ff;
using hilfe::zellen;

inline SimOptionen simOptionen(const QByteArray& speicher = simStandardSpeicher())
{
    SimOptionen o;
    o.baud = 0;
    o.speicher = speicher;
    return o;
}

inline QByteArray esc() { return QByteArray(1, char(0x1B)); }

// Runs the event loop until `erreicht` holds or `ms` have passed. Unlike
// QTest::qWaitFor it never sleeps, so a byte-by-byte exchange with the
// simulator runs at full speed meanwhile.
inline bool warten(const std::function<bool()>& erreicht, int ms = 10000)
{
    if (erreicht())
        return true;
    QEventLoop schleife;
    QTimer takt;
    takt.setInterval(1);
    QObject::connect(&takt, &QTimer::timeout, &schleife, [&] {
        if (erreicht())
            schleife.quit();
    });
    QTimer frist;
    frist.setSingleShot(true);
    QObject::connect(&frist, &QTimer::timeout, &schleife, &QEventLoop::quit);
    takt.start();
    frist.start(ms);
    schleife.exec();
    return erreicht();
}

// The line of a Editorwerte field by field, so that a comparison names the
// first field that differs.
inline QStringList felder(const Editorwerte& w)
{
    QStringList out;
    auto f = [&out](const char* name, const QString& wert) { out << QString::fromLatin1(name) + '=' + wert; };
    auto b = [](bool x) { return x ? QStringLiteral("ja") : QStringLiteral("nein"); };
    for (int i = 0; i < 8; ++i)
        f("oeffner", b(w.oeffner[i])), f("gutmeldung", b(w.gutmeldung[i]));
    f("gutmeldung8", b(w.gutmeldung[8]));
    for (int i = 0; i < 9; ++i)
        f("smsText", w.smsText[i]);
    f("anlagenbezeichnung", w.anlagenbezeichnung);
    f("netz", QString::number(int(w.netz)));
    f("quittierung", b(w.quittierung));
    f("sliderQuit", QString::number(w.sliderQuit));
    f("quit", w.quit);
    f("konto", b(w.konto));
    f("kontoAktivierbar", b(w.kontoAktivierbar));
    f("guthabenrufnummer", w.guthabenrufnummer);
    f("nummerAufladung", w.nummerAufladung);
    f("sliderGuthaben", QString::number(w.sliderGuthaben));
    f("guthaben", w.guthaben);
    f("kontrollruf", QString::number(int(w.kontrollruf)));
    f("tag", QString::number(w.tag));
    f("udStunde", QString::number(w.udStunde));
    f("udMinute", QString::number(w.udMinute));
    f("txtStunde", w.txtStunde);
    f("txtMinute", w.txtMinute);
    f("relaisbest1", b(w.relaisbest1));
    f("relaisbest2", b(w.relaisbest2));
    f("besttext1", w.besttext1);
    f("besttext2", w.besttext2);
    f("messbereich4", w.messbereich4);
    f("messbereich20", w.messbereich20);
    f("grenzwertmin", w.grenzwertmin);
    f("grenzwertmax", w.grenzwertmax);
    f("einheit", w.einheit);
    f("textMin", w.textMin);
    f("textMax", w.textMax);
    return out;
}

// The image a device read makes of `bytes` and what the editor shows then:
// the values, or on a failed decode every value but the failing numbers, with
// the operator as it was (`netzVorher`).
struct Erwartung {
    Konfigspeicher bild;
    Editorwerte werte;
    bool erfolg = false;
};
inline Erwartung gelesen(const QByteArray& bytes, Netzbetreiber netzVorher = Netzbetreiber::A1)
{
    Erwartung e;
    for (int i = 0; i < bytes.size(); ++i)
        e.bild.setze(i / kZellen, i % kZellen, std::uint8_t(bytes.at(i)));
    Editorwerte bisDahin;
    const auto w = dekodieren(e.bild, &bisDahin);
    e.erfolg = w.has_value();
    e.werte = w ? *w : bisDahin;
    if (!w) {
        e.werte.netz = netzVorher;
        e.werte.kontoAktivierbar = netzVorher != Netzbetreiber::Andere;
    }
    return e;
}

// A main window on the simulator.
struct Stand {
    FakeDoor door;
    SimPtyRunner sim;
    std::unique_ptr<Konfig> k;
    std::optional<Ausgang> ausgang;
    int enden = 0;

    explicit Stand(const SimOptionen& o = simOptionen(), std::chrono::milliseconds frist = 3s) : sim(o)
    {
        hilfe::plattformHinweiseAus();
        k = fenster(frist);
    }

    // A further window on the same device (the old one closed and gone first).
    std::unique_ptr<Konfig> fenster(std::chrono::milliseconds frist = 3s)
    {
        auto f = std::make_unique<Konfig>();
        f->verbindung().zuordnung().festlegen(1, sim.pfad());
        for (int com = 2; com <= 4; ++com)
            f->verbindung().zuordnung().festlegen(com, QStringLiteral("/nonexistent/gsmbv-test-port"));
        f->verbindung().setWartezeit(frist);
        QObject::connect(f.get(), &Konfig::geraetBeendet, f.get(), [this](Ausgang a) {
            ausgang = a;
            ++enden;
        });
        f->show();
        QApplication::setActiveWindow(f.get());
        if (!QTest::qWaitForWindowActive(f.get()))
            qWarning("main window not active");
        return f;
    }
    void neuesFenster(std::chrono::milliseconds frist = 3s)
    {
        k.reset();
        k = fenster(frist);
    }

    // The main window active again (the progress window may have taken it).
    bool aktivieren()
    {
        QApplication::setActiveWindow(k.get());
        return QTest::qWaitForWindowActive(k.get());
    }

    QAction* aktion(const char* name) { return k->findChild<QAction*>(QLatin1String(name)); }

    // Triggers a menu item and waits for the end of the device operation.
    std::optional<Ausgang> ausfuehren(const char* menue, int ms = 20000)
    {
        ausgang.reset();
        const int vorher = enden;
        aktion(menue)->trigger();
        if (!warten([&] { return enden > vorher; }, ms))
            return std::nullopt;
        return ausgang;
    }

    // Nothing under way, the port closed on both sides, no progress window.
    bool ruhend()
    {
        return warten([&] {
            return !k->verbindung().operationLaeuft() && !k->verbindung().portOffen()
                && !sim.verbunden() && !k->verbindung().daten().sichtbar()
                && k->findChild<QWidget*>(QStringLiteral("Daten")) == nullptr;
        }, 3000);
    }

    // The bytes the device took in from position `ab` on.
    QByteArray empfangen(qsizetype ab = 0) const { return sim.empfangeneBytes().mid(ab); }

    bool eineMeldung(const QString& text) const
    {
        return door.meldungen.size() == 1 && door.meldungen[0].text == text
            && door.meldungen[0].icon == Door::Icon::Kritisch && door.meldungen[0].knoepfe == Door::Knoepfe::Ok
            && door.meldungen[0].titel == QStringLiteral("GSM Boravilon");
    }
};

} // namespace ablauf
