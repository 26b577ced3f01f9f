#pragma once
// The link against the simulated device on a pseudo-terminal, through the real
// serial transport, with the fake door and a progress view that records what
// it showed. The device runs at full speed (baud 0); its faults can be set
// from the start or changed while an operation runs.
#include "cfgfile/dekodieren.h"
#include "aufzeichnung.h"
#include "fakedoor.h"
#include "image/konfigspeicher.h"
#include "link/daten.h"
#include "link/verbindung.h"
#include "sim/simptyrunner.h"
#include "sim/simstandard.h"

#include <QList>
#include <QMetaObject>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

using namespace std::chrono_literals;

enum class Op { Lesen, Schreiben, Log, UhrLesen, UhrSetzen };
Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(Ausgang)

inline const QString kKeineVerbindung = QStringLiteral("Verbindung nicht möglich");
inline const QString kUebertragungsfehler = QStringLiteral("Fehler bei Datenübertragung");
inline const QString kAufbau = QStringLiteral("Verbindungsaufbau ...");
inline const QString kLese = QStringLiteral("lese Konfigurationsdaten ...");

inline QByteArray esc() { return QByteArray(1, char(Verbindung::ESC)); }

// The pages the write sends, and the image it takes them from: a byte in
// every cell that differs from the device's own memory.
inline const QList<int> kSchreibseiten{0, 5, 12};
inline std::uint8_t muster(int seite, int offset) { return std::uint8_t((seite * 37 + offset * 11 + 5) & 0xFF); }
inline Konfigspeicher schreibbild()
{
    Konfigspeicher k;
    for (int s = 0; s < kGeraeteSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            k.setze(s, o, muster(s, o));
    return k;
}
// The whole write on the wire: "w", per page its select character and its
// 256 bytes, ESC. Echoed are all but the ESC: 1 + 3 x 257 = 772 characters.
inline QByteArray schreibdraht()
{
    const Konfigspeicher k = schreibbild();
    QByteArray d = "w";
    for (int p : kSchreibseiten)
        d += char(48 + p) + k.seite(p);
    return d + esc();
}
// The device's memory after the write has been taken.
inline QByteArray speicherNachSchreiben(QByteArray speicher)
{
    const Konfigspeicher k = schreibbild();
    for (int p : kSchreibseiten)
        speicher.replace(p * kZellen, kZellen, k.seite(p));
    return speicher;
}

// The five clock setting bytes: 14:05:09 on the 21st (year mod 4 = 2) of
// June, a Sunday.
inline const QByteArray kUhrBytes("\x09\x05\x14\xA1\xC6", 5);

// Each operation's command on the wire.
inline QByteArray befehl(Op op)
{
    switch (op) {
    case Op::Lesen: return "r";
    case Op::Schreiben: return "w";
    case Op::Log: return "l";
    case Op::UhrLesen: return "t";
    case Op::UhrSetzen: return "s";
    }
    return {};
}

// Every operation with the name of its rows.
inline QList<std::pair<Op, const char*>> operationen()
{
    return {{Op::Lesen, "lesen"},
            {Op::Schreiben, "schreiben"},
            {Op::Log, "Ereignisspeicher"},
            {Op::UhrLesen, "Uhr lesen"},
            {Op::UhrSetzen, "Uhr stellen"}};
}

struct Umgebung {
    FakeDoor door;
    std::unique_ptr<SimPtyRunner> sim;
    std::unique_ptr<Verbindung> v;
    Aufzeichnung* ansicht = nullptr;
    std::chrono::milliseconds wartezeit;
    std::optional<Ausgang> ausgang;
    std::optional<Ergebnis> ergebnis;
    int fertigAufrufe = 0;
    QList<QByteArray> erhalten;  // what the decoders were handed
    std::function<void()> nachBericht;  // runs inside the report, after it was noted
    QMetaObject::Connection stummSchalter;

    explicit Umgebung(const SimFehler& fehler = {}, std::chrono::milliseconds wartezeit_ = 250ms)
        : wartezeit(wartezeit_)
    {
        sim = neuesGeraet(fehler);
        verbinden();
    }
    ~Umgebung()
    {
        QObject::disconnect(stummSchalter);
        v.reset();
    }

    static std::unique_ptr<SimPtyRunner> neuesGeraet(const SimFehler& fehler = {},
                                                     const QByteArray& speicher = simStandardSpeicher())
    {
        SimOptionen o;
        o.baud = 0;
        o.fehler = fehler;
        o.speicher = speicher;
        o.uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9));
        return std::make_unique<SimPtyRunner>(o);
    }

    // A new link on COM 1 = the device, as the program has at start.
    void verbinden()
    {
        v = std::make_unique<Verbindung>();
        v->zuordnung().festlegen(1, sim->pfad());
        v->setWartezeit(wartezeit);
        auto a = std::make_unique<Aufzeichnung>();
        ansicht = a.get();
        v->daten().setAnsicht(std::move(a));
    }

    // The device keeps quiet from the moment it has announced itself.
    void stummNachAck()
    {
        stummSchalter = QObject::connect(sim.get(), &SimPtyRunner::geoeffnet, sim.get(), [this] {
            SimFehler f = sim->geraet().fehler();
            f.stumm = true;
            sim->geraet().setzeFehler(f);
        });
    }
    // The device without faults again (it cannot come back from a hangup).
    void fehlerfrei()
    {
        QObject::disconnect(stummSchalter);
        sim->geraet().setzeFehler(SimFehler{});
    }

    void vergessen()
    {
        ausgang.reset();
        ergebnis.reset();
        fertigAufrufe = 0;
        erhalten.clear();
        door.zuruecksetzen();
    }

    bool starten(Op op)
    {
        auto fertig = [this](const Ergebnis& e) {
            ausgang = e.ausgang;
            ergebnis = e;
            ++fertigAufrufe;
            if (nachBericht)
                nachBericht();
        };
        auto merken = [this](const QByteArray& b) {
            erhalten.append(b);
            return true;
        };
        switch (op) {
        case Op::Lesen:
            return v->konfigurationLesen(
                [this](const QByteArray& b) {
                    erhalten.append(b);
                    Konfigspeicher k;
                    k.alleLeeren();
                    for (int i = 0; i < b.size(); ++i)
                        k.setze(i / kZellen, i % kZellen, std::uint8_t(b[i]));
                    return dekodieren(k).has_value();
                },
                fertig);
        case Op::Schreiben: {
            Seitenaenderung seiten{};
            for (int p : kSchreibseiten)
                seiten[std::size_t(p)] = true;
            return v->konfigurationSchreiben(schreibbild(), seiten, fertig);
        }
        case Op::Log:
            return v->ereignisspeicherLesen(merken, fertig);
        case Op::UhrLesen:
            return v->uhrLesen(merken, fertig);
        case Op::UhrSetzen:
            return v->uhrSetzen([](int i) { return std::uint8_t(kUhrBytes[i]); }, fertig);
        }
        return false;
    }

    // The clock dialog closes after every clock operation (the window does so).
    void dialogSchliessen(Op op)
    {
        if (op == Op::UhrLesen || op == Op::UhrSetzen)
            v->uhrDialogEntladen();
    }

    QByteArray draht() const { return sim->empfangeneBytes(); }

    // Nothing under way: no operation, no wait, the progress window gone.
    bool ruhend() const
    {
        return !v->operationLaeuft() && !v->wartet() && !v->daten().sichtbar()
            && ansicht->gezeigt == ansicht->verborgen;
    }
    // Still under way, waiting for data.
    bool belegt() const
    {
        return v->operationLaeuft() && v->daten().sichtbar() && !ausgang.has_value() && door.meldungen.isEmpty();
    }

    // The messages for the user: the report's (the caller shows it); a box
    // the link showed itself would be a fault.
    QStringList meldungen() const
    {
        QStringList t;
        for (const FakeDoor::Meldung& m : door.meldungen)
            t.append(QStringLiteral("<Box vom Link> ") + m.text);
        if (ergebnis && !ergebnis->meldung.isEmpty())
            t.append(ergebnis->meldung);
        return t;
    }
    // The beeps the user hears: refusals, and the one the report asks for.
    int beeps() const { return door.beeps + (ergebnis && ergebnis->signalton ? 1 : 0); }
};

// Runs the event loop until the condition holds (false after `ms`). Unlike
// QTest::qWaitFor it lets the loop run on between its checks, so that an
// exchange of many bytes is not slowed down to one byte per check.
template <class Bedingung>
bool warteBis(Bedingung bedingung, int ms = 5000)
{
    for (int i = 0; !bedingung(); i += 20) {
        if (i >= ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// A complete read now delivers the device's memory and leaves the link idle.
// Check QTest::currentTestFailed() after the call.
inline void leseGelingt(Umgebung& u)
{
    u.vergessen();
    const QByteArray vorher = u.draht();
    QVERIFY(u.starten(Op::Lesen));
    QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 5000);
    QCOMPARE(*u.ausgang, Ausgang::Erfolg);
    QCOMPARE(u.erhalten, QList<QByteArray>{u.sim->geraet().speicher()});
    QCOMPARE(u.meldungen(), QStringList());
    QCOMPARE(u.beeps(), 0);
    QVERIFY(u.ruhend());
    QVERIFY(!u.v->portOffen());
    QCOMPARE(u.draht(), vorher + "r");
    QCOMPARE(u.fertigAufrufe, 1);
}
