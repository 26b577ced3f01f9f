#pragma once
// The device fixture: the simulated device on a pseudo-terminal behind the
// link on COM 1, through the real serial transport; a progress view that
// records what it showed; the fake door, through which each operation's end
// is shown as the window shows it (the beep, then the critical box). A hook
// runs right after the n-th byte the link writes, so that a wait can be made
// short or the port changed at an exact point.
#include "aufzeichnung.h"
#include "kit.h"
#include "link/seriellertransport.h"
#include "link/verbindung.h"
#include "sim/simptyrunner.h"

#include <chrono>
#include <memory>
#include <optional>

using namespace std::chrono_literals;
using Art = Vorgang::Art;
using Phase = Vorgang::Phase;
Q_DECLARE_METATYPE(Art)
Q_DECLARE_METATYPE(Phase)

namespace geraet {

// The five clock bytes the setting sends: 14:05:09 on the 21st (year mod 4 =
// 2) of June, a Sunday.
inline const QByteArray kUhr("\x09\x05\x14\xA1\xC6", 5);
// The write: page 0 in a pattern unlike the device's memory, and page 13,
// which the image leaves unset.
inline const QList<int> kSeiten{0, 13};
inline QByteArray musterseite(int p)
{
    QByteArray b;
    for (int o = 0; o < kZellen; ++o)
        b.append(p < kGeraeteSeiten ? char((p * 37 + o * 11 + 5) & 0xFF) : '\xFF');
    return b;
}
// "w", per page its character 48+p and its 256 bytes, then ESC.
inline QByteArray schreibdraht()
{
    QByteArray d = "w";
    for (int p : kSeiten)
        d += char(48 + p) + musterseite(p);
    return d + kit::esc();
}
// The device's memory once it has taken the write (page 13 it drops).
inline QByteArray geschrieben(QByteArray speicher = simStandardSpeicher())
{
    speicher.replace(0, kZellen, musterseite(0));
    return speicher;
}

// The link's serial transport, counting the bytes written and running a hook
// right after the n-th (before the link awaits its echo or answer). A script
// may answer a byte written with bytes that are then received as though the
// device had sent them (answers the simulated device never gives).
class Mithoerer : public Transport {
public:
    Mithoerer() { connect(&m_port, &Transport::datenDa, this, &Transport::datenDa); }
    bool oeffnen(const QString& g) override { return m_port.oeffnen(g); }
    void schliessen() override { m_skript.clear(), m_port.schliessen(); }
    bool istOffen() const override { return m_port.istOffen(); }
    bool schreiben(const QByteArray& b) override
    {
        const bool ok = m_port.schreiben(b);
        m_geschrieben += int(b.size());
        if (m_geschrieben == bei && dann)
            std::exchange(dann, {})();
        if (skript && ok && !(m_skript += skript(std::uint8_t(b[0]))).isEmpty())
            QMetaObject::invokeMethod(this, &Transport::datenDa, Qt::QueuedConnection);
        return ok;
    }
    qint64 wartend() const override { return m_skript.size() + m_port.wartend(); }
    QByteArray lesen(qint64 n) override
    {
        return m_skript.isEmpty() ? m_port.lesen(n) : std::exchange(m_skript, m_skript.mid(n)).left(n);
    }
    QString letzterFehler() const override { return m_port.letzterFehler(); }
    Portursache ursache() const override { return m_port.ursache(); }
    int bei = -1;
    std::function<void()> dann;
    std::function<QByteArray(std::uint8_t)> skript;

private:
    SeriellerTransport m_port;
    int m_geschrieben = 0;
    QByteArray m_skript;
};

inline std::unique_ptr<SimPtyRunner> neuesGeraet(const SimFehler& fehler = {}, const QByteArray& speicher = simStandardSpeicher())
{
    SimOptionen o;
    o.baud = 0;
    o.ackVerzoegerungMs = 0;
    o.fehler = fehler;
    o.speicher = speicher;
    o.uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9));
    return std::make_unique<SimPtyRunner>(o);
}

struct Umgebung {
    // Every wait of the link ends early when its answer comes; only a wait
    // made short on purpose (kurz) runs out.
    static constexpr std::chrono::milliseconds kLang{10000}, kKurz{20};

    FakeDoor door;
    std::unique_ptr<SimPtyRunner> sim;
    std::unique_ptr<Verbindung> v;
    Mithoerer* draht = nullptr;
    Aufzeichnung* ansicht = nullptr;
    std::optional<Ergebnis> ergebnis;
    int berichte = 0;
    QList<QByteArray> dekodiert;  // what the decoders were handed
    bool dekoderOk = true;
    QString fensterBeimDekodieren;  // "offen", "zu": the progress window then
    int vorbereitet = 0;            // how often the following read's preparation ran
    std::function<void()> vorbereiten;
    std::optional<Phase> phase;   // of the operation when first seen (gesehen)
    std::function<void()> imBericht;

    explicit Umgebung(const SimFehler& f = {}) : sim(neuesGeraet(f)) { verbinden(); }

    // A new link with COM 1 pinned to the device.
    void verbinden()
    {
        auto t = std::make_unique<Mithoerer>();
        draht = t.get();
        v = std::make_unique<Verbindung>(std::move(t));
        v->zuordnung().festlegen(1, sim->pfad());
        v->setWartezeit(kLang);
        auto a = std::make_unique<Aufzeichnung>();
        ansicht = a.get();
        v->daten().setAnsicht(std::move(a));
    }
    // Notes the phase of the operation under way, the first time only.
    void gesehen()
    {
        if (!phase)
            phase = v->vorgang()->phase();
    }

    bool starten(Art art)
    {
        auto fertig = [this](const Ergebnis& e) {
            ergebnis = e;
            ++berichte;
            if (e.signalton)
                door.beep();
            if (!e.meldung.isEmpty())
                door.meldung(e.meldung, Door::Icon::Kritisch, Door::Knoepfe::Ok, Verbindung::titel());
            if (imBericht)
                imBericht();
        };
        auto dekoder = [this](const QByteArray& b) {
            dekodiert.append(b);
            fensterBeimDekodieren = v->daten().sichtbar() ? "offen" : "zu";
            gesehen();
            return dekoderOk;
        };
        switch (art) {
        case Art::Lesen:
            return v->konfigurationLesen(dekoder, fertig, vorbereiten);
        case Art::Schreiben: {
            Seitenaenderung s{};
            QByteArray alle;  // pages 0..12 set, of which 0 flagged
            for (int p = 0; p < kGeraeteSeiten; ++p)
                alle += musterseite(p);
            for (int p : kSeiten)
                s[std::size_t(p)] = true;
            return v->konfigurationSchreiben(kit::bild(alle), s, fertig);
        }
        case Art::Ereignisse: return v->ereignisspeicherLesen(dekoder, fertig);
        case Art::UhrLesen: return v->uhrLesen(dekoder, fertig);
        case Art::UhrSetzen:
            return v->uhrSetzen([this](int i) { return gesehen(), std::uint8_t(kUhr[i]); }, fertig);
        }
        return false;
    }

    // Nothing under way: no operation, no wait, the progress window hidden,
    // the port closed.
    bool ruhend() const
    {
        return !v->operationLaeuft() && !v->wartet() && !v->daten().sichtbar() && !v->portOffen()
            && ansicht->gezeigt == ansicht->verborgen;
    }

    // A read now delivers the memory of the device on the current port and
    // leaves the link idle. Check QTest::currentTestFailed() after the call.
    void folgeLesen(SimPtyRunner& g)
    {
        ergebnis.reset();
        dekodiert.clear();
        dekoderOk = true;
        imBericht = {};
        v->setWartezeit(kLang);
        v->setEmpfangsgrenze(0ms);
        vorbereitet = 0;
        vorbereiten = [this] { vorbereitet += v->portOffen() ? 10 : 1; };
        door.zuruecksetzen();
        const QByteArray vorher = g.empfangeneBytes();
        QVERIFY(starten(Art::Lesen));
        QVERIFY(kit::warten([&] { return ergebnis.has_value(); }));
        QCOMPARE(ergebnis->ausgang, Ausgang::Erfolg);
        QCOMPARE(vorbereitet, 1);  // once, before the port is opened
        QCOMPARE(dekodiert, QList<QByteArray>{g.geraet().speicher()});
        QCOMPARE(kit::boxen(door), QStringList());
        QVERIFY(ruhend());
        QCOMPARE(g.empfangeneBytes(), vorher + "r");
    }
};

} // namespace geraet
