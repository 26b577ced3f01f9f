// The device link as one table: operation x phase x what happens there (a
// fault of the simulated device, the abort button, the progress window
// closed, the port changed, the link destroyed) -> the outcome, the boxes and
// beeps, the wire, the device's memory, and a following read. Then the parts
// the table does not reach: the COM port mapping, lock files, the COM port
// dialog.
#include "kit.h"
#include "link/portursache.h"
#include "link/portzuordnung.h"
#include "link/seriellertransport.h"
#include "link/verbindung.h"
#include "linkui/datenfenster.h"
#include "linkui/kommunikation.h"
#include "linktext/linktext.h"
#include "sim/simptyrunner.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <optional>

using namespace std::chrono_literals;
using Art = Vorgang::Art;
using Phase = Vorgang::Phase;
Q_DECLARE_METATYPE(Art)

namespace {

// The five clock bytes the setting sends: 14:05:09 on the 21st (year mod 4 =
// 2) of June, a Sunday.
const QByteArray kUhr("\x09\x05\x14\xA1\xC6", 5);
// The write: pages 0..12 in a pattern unlike the device's memory, of which
// page 0 is flagged, and page 13, which the image leaves unset.
QByteArray musterseite(int p)
{
    QByteArray b;
    for (int o = 0; o < kZellen; ++o)
        b.append(p < kGeraeteSeiten ? char((p * 37 + o * 11 + 5) & 0xFF) : '\xFF');
    return b;
}
// "w", per page its character 48+p and its 256 bytes, then ESC.
QByteArray schreibdraht() { return "w0" + musterseite(0) + "=" + musterseite(13) + kit::esc(); }
// The device's memory once it has taken the write (page 13 it drops).
QByteArray geschrieben(QByteArray speicher = simStandardSpeicher())
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
    Mithoerer()
    {
        connect(&m_port, &Transport::datenDa, this, &Transport::datenDa);
        connect(&m_port, &Transport::getrennt, this, &Transport::getrennt);
    }
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

std::unique_ptr<SimPtyRunner> neuesGeraet(const SimFehler& fehler = {}, const QByteArray& speicher = simStandardSpeicher())
{
    SimOptionen o;
    o.baud = 0;
    o.ackVerzoegerungMs = 0;
    o.fehler = fehler;
    o.speicher = speicher;
    o.uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9));
    return std::make_unique<SimPtyRunner>(o);
}

// The simulated device on a pseudo-terminal behind the link on COM 1, through
// the real serial transport; each operation's end shown through the fake door
// as the window shows it (the beep, then the critical box).
struct Umgebung {
    // Every wait of the link ends early when its answer comes; only a wait
    // made short on purpose (kurz) runs out.
    static constexpr std::chrono::milliseconds kLang{10000}, kKurz{20};

    FakeDoor door;
    std::unique_ptr<SimPtyRunner> sim;
    std::unique_ptr<Verbindung> v;
    Mithoerer* draht = nullptr;
    std::unique_ptr<DatenFenster> fenster;
    std::optional<Vorgangsbericht> ergebnis;
    int berichte = 0;
    QList<QByteArray> dekodiert;  // what the decoders were handed
    bool dekoderOk = true;
    int vorbereitet = 0;            // how often the following read's preparation ran
    std::function<void()> vorbereiten;
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
        fenster = std::make_unique<DatenFenster>(*v);
    }

    bool starten(Art art)
    {
        auto fertig = [this](const Vorgangsbericht& e) {
            ergebnis = e;
            ++berichte;
            if (linktext::signalton(e))
                door.beep();
            if (!linktext::meldung(e).isEmpty())
                door.meldung(linktext::meldung(e), Door::Icon::Kritisch, Door::Knoepfe::Ok, linktext::titel());
            if (imBericht)
                imBericht();
        };
        auto dekoder = [this](const QByteArray& b) {
            dekodiert.append(b);
            return dekoderOk;
        };
        switch (art) {
        case Art::Lesen:
            return v->konfigurationLesen(dekoder, fertig, vorbereiten);
        case Art::Schreiben: {
            Seitenaenderung s{};
            s[0] = s[13] = true;
            QByteArray alle;
            for (int p = 0; p < kGeraeteSeiten; ++p)
                alle += musterseite(p);
            return v->konfigurationSchreiben(kit::bild(alle), s, fertig);
        }
        case Art::Ereignisse: return v->ereignisspeicherLesen(dekoder, fertig);
        case Art::UhrLesen: return v->uhrLesen(dekoder, fertig);
        case Art::UhrSetzen:
            return v->uhrSetzen([](int i) { return std::uint8_t(kUhr[i]); }, fertig);
        }
        return false;
    }

    // Nothing under way: no operation, no wait, the progress window hidden,
    // the port closed.
    bool ruhend() const
    {
        return !v->operationLaeuft() && !v->wartet() && !fenster->sichtbar() && !v->portOffen();
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
        // After a fault the simulated device may first wait out its 5 s of
        // silence that end an unfinished command; a loaded machine adds to it.
        QVERIFY(kit::warten([&] { return ergebnis.has_value(); }, 30000));
        QCOMPARE(ergebnis->ausgang, Ausgang::Erfolg);
        QCOMPARE(vorbereitet, 1);  // once, before the port is opened
        QCOMPARE(dekodiert, QList<QByteArray>{g.geraet().speicher()});
        QCOMPARE(kit::boxen(door), QStringList());
        QVERIFY(ruhend());
        QCOMPARE(g.empfangeneBytes(), vorher + "r");
    }
};

} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void matrix_data()
    {
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("fehler");   // the simulated device's faults
        // What the test does: "frist" (the wait after byte `bei` is short),
        // "portwechsel" (right after byte `bei` the port is closed and COM 2
        // chosen, as the COM dialog's OK does); once `bei` bytes are on the
        // wire (and `puffer` received): "abbruch", "datenZu", "dialog" (the
        // clock dialog unloaded), "weg" (the device removed), "zerstoeren";
        // before the start: "grenze" (a receive limit), "dekoder" (the decode
        // fails), "portFehlt"; "bericht": the link destroyed in its report.
        QTest::addColumn<QString>("eingriff");
        QTest::addColumn<int>("bei");
        QTest::addColumn<int>("puffer");
        // The device's answer to the command where the simulated device never
        // gives it (the device then keeps silent after its ACK).
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<QString>("ausgang");  // "": no report
        QTest::addColumn<QString>("detail");   // "?": not compared (the clock's seconds run on)
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QByteArray>("draht");

        const QStringList keine, vnm{"Kritisch|Ok|Verbindung nicht möglich|GSM Boravilon"},
            uf{"Kritisch|Ok|Fehler bei Datenübertragung|GSM Boravilon"};
        const QByteArray esc = kit::esc(), w = schreibdraht();
        const auto zeile = [](Art art, const char* fehler, const char* eingriff, int bei, int puffer, Phase p,
                              const QByteArray& antwort = {}) -> QTestData& {
            static const char* ops[] = {"Lesen", "Schreiben", "Ereignisse", "UhrLesen", "UhrSetzen"};
            static const char* phasen[] = {"Verbinden", "Befehl", "Uebertragen", "Abschliessen", "-"};
            return QTest::addRow("%s %s %s %s%s", ops[int(art)], phasen[int(p)], fehler, eingriff, antwort.isEmpty() ? "" : "Skript")
                << art << QString::fromLatin1(fehler) << QString::fromLatin1(eingriff) << bei << puffer << antwort;
        };
        const Phase V = Phase::Verbinden, B = Phase::Befehl, U = Phase::Uebertragen, E = Phase::Abschliessen,
                    X = Phase::Beendet;

        // Connecting: the same for every operation.
        for (Art art : {Art::Lesen, Art::Schreiben, Art::Ereignisse, Art::UhrLesen, Art::UhrSetzen})
            zeile(art, "silent", "frist", 0, -1, V) << "KeineVerbindung" << "kein ACK innerhalb 20 ms" << vnm << 0 << QByteArray();
        zeile(Art::Lesen, "noise@7", "", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("r");
        zeile(Art::Lesen, "silent", "abbruch", 0, -1, V) << "KeineVerbindung" << "Verbindungsaufbau abgebrochen" << vnm << 0 << esc;
        zeile(Art::Lesen, "silent", "datenZu", 0, -1, V) << "KeineVerbindung" << "Verbindungsaufbau abgebrochen" << vnm << 0 << QByteArray();
        zeile(Art::UhrLesen, "silent", "weg", 0, -1, V) << "KeineVerbindung" << "Verbindung getrennt" << vnm << 0 << QByteArray();
        zeile(Art::Lesen, "", "portFehlt,abbruch", 0, -1, V) << "KeineVerbindung" << "Gerät /dev/gsmbv-gibt-es-nicht nicht vorhanden" << vnm << 0 << QByteArray();

        // The command: its echo awaited (r, w), the clock setting's pause after s.
        zeile(Art::Lesen, "hangup@1", "frist", 1, -1, B) << "Uebertragungsfehler" << "kein Echo für r innerhalb 20 ms" << uf << 0 << "r" + esc;
        zeile(Art::Lesen, "hangup@1", "abbruch", 1, -1, B) << "Uebertragungsfehler" << "abgebrochen beim Warten auf das Echo für r" << uf << 0 << "r" + esc;
        zeile(Art::Lesen, "", "frist,portwechsel", 1, -1, B) << "Uebertragungsfehler" << "kein Echo für r innerhalb 20 ms" << uf << 0 << QByteArray("r");
        zeile(Art::Schreiben, "noecho@1", "frist", 1, -1, B) << "Uebertragungsfehler" << "Echo fehlt bei w | bestätigt -; offen 0,13; nicht begonnen" << uf << 1 << "w" + esc;
        zeile(Art::Schreiben, "hangup@1", "datenZu", 1, -1, B) << "Uebertragungsfehler" << "abgebrochen bei w | bestätigt -; offen 0,13; nicht begonnen" << uf << 1 << "w" + esc;
        zeile(Art::UhrSetzen, "", "dialog", 1, -1, B) << "Abgebrochen" << "abgebrochen nach 0 von 5 Uhrzeit-Bytes" << keine << 0 << "s" + esc;
        zeile(Art::UhrSetzen, "", "portwechsel", 1, -1, B) << "Uebertragungsfehler" << "Uhrzeit-Byte 1 nicht gesendet" << uf << 0 << QByteArray("s");

        // The transfer: data received, pages sent, the clock bytes.
        zeile(Art::Lesen, "stop@100", "dialog,datenZu", 1, 100, U) << "Abgebrochen" << "abgebrochen nach 100 von 3328 Bytes" << keine << 0 << QByteArray("r");
        zeile(Art::Lesen, "stop@100", "abbruch", 1, 100, U) << "Abgebrochen" << "abgebrochen nach 100 von 3328 Bytes" << keine << 0 << "r" + esc;
        zeile(Art::Lesen, "stop@100", "grenze", 0, -1, X) << "Zeitueberschreitung" << "nach 100 von 3328 Bytes keine Daten mehr" << uf << 0 << "r" + esc;
        // The line gone (the device's pseudo-terminal closed) ends the wait at once.
        zeile(Art::Lesen, "stop@100", "weg", 1, 100, U) << "Uebertragungsfehler" << "Verbindung getrennt" << uf << 0 << QByteArray("r");
        zeile(Art::Ereignisse, "hangup@202", "abbruch", 1, 201, U) << "Abgebrochen" << "abgebrochen nach 201 von 513 Bytes" << keine << 0 << "l" + esc;
        zeile(Art::Ereignisse, "", "portwechsel,datenZu", 1, -1, B) << "Abgebrochen" << "abgebrochen nach 0 von 513 Bytes" << keine << 0 << QByteArray("l");
        // The first page's character went out: the device may hold part of the write (the ESC among its bytes).
        zeile(Art::Schreiben, "noecho@2", "frist", 2, -1, U) << "Uebertragungsfehler" << "Echo fehlt beim Seitenzeichen von Seite 0 | bestätigt -; offen 0,13; begonnen" << uf << 1 << "w0" + esc;
        zeile(Art::Schreiben, "noecho@259", "frist", 259, -1, U) << "Uebertragungsfehler" << "Echo fehlt beim Seitenzeichen von Seite 13 | bestätigt 0; offen 13; begonnen" << uf << 1 << w.left(259) + esc;
        // The last echo lost: the device has the whole write, and the ESC ends it.
        zeile(Art::Schreiben, "noecho@515", "frist", 515, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 13, Zeichen 256 | bestätigt 0; offen 13; begonnen" << uf << 1 << w;
        zeile(Art::Schreiben, "hangup@103", "frist", 103, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 0, Zeichen 101 | bestätigt -; offen 0,13; begonnen" << uf << 1 << w.left(103) + esc;
        zeile(Art::Schreiben, "noecho@130", "abbruch", 130, -1, U) << "Uebertragungsfehler" << "abgebrochen bei Seite 0, Zeichen 128 | bestätigt -; offen 0,13; begonnen" << uf << 1 << w.left(130) + esc;
        zeile(Art::Schreiben, "noecho@259", "datenZu", 259, -1, U) << "Uebertragungsfehler" << "abgebrochen beim Seitenzeichen von Seite 13 | bestätigt 0; offen 13; begonnen" << uf << 1 << w.left(259) + esc;
        zeile(Art::Schreiben, "", "frist,portwechsel", 130, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 0, Zeichen 128 | bestätigt -; offen 0,13; begonnen" << uf << 1 << w.left(130);
        zeile(Art::Schreiben, "noecho@130", "weg", 130, -1, U) << "Uebertragungsfehler" << "Verbindung getrennt | bestätigt -; offen 0,13; begonnen" << uf << 1 << w.left(130);
        zeile(Art::Schreiben, "noecho@130", "zerstoeren", 130, -1, U) << "" << "" << keine << 0 << w.left(130);
        zeile(Art::UhrLesen, "hangup@1", "frist", 1, -1, B) << "Uebertragungsfehler" << "keine Antwort \">\" innerhalb 20 ms" << uf << 0 << QByteArray("t");
        zeile(Art::UhrLesen, "hangup@1", "abbruch", 1, -1, U) << "Uebertragungsfehler" << "abgebrochen beim Warten auf die Antwort \">\"" << uf << 0 << "t" + esc;
        zeile(Art::UhrSetzen, "", "abbruch", 2, -1, U) << "Abgebrochen" << "abgebrochen nach 1 von 5 Uhrzeit-Bytes" << keine << 0 << "s" + kUhr.left(1) + esc;

        // The data complete: decoded, stored, the clock set.
        zeile(Art::Lesen, "", "dekoder", 0, -1, E) << "Uebertragungsfehler" << "Konfigurationsdaten nicht lesbar" << uf << 0 << QByteArray("r");
        zeile(Art::Lesen, "", "bericht", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("r");
        zeile(Art::Schreiben, "", "", 0, -1, X) << "Erfolg" << "" << keine << 0 << w;
        zeile(Art::Ereignisse, "", "dekoder", 0, -1, E) << "Uebertragungsfehler" << "Ereignisspeicher nicht abgelegt" << uf << 0 << QByteArray("l");
        zeile(Art::UhrLesen, "", "dekoder", 0, -1, E) << "Uebertragungsfehler" << "?" << uf << 0 << QByteArray("t");
        zeile(Art::Lesen, "hangup@1", "", 0, -1, E, QByteArray(3400, 1) + "r" + simStandardSpeicher() + "xyz") << "Erfolg" << "" << keine << 0 << QByteArray("r");
        zeile(Art::Ereignisse, "hangup@1", "", 0, -1, E, "l" + simStandardEreignisse() + "xyz") << "Erfolg" << "" << keine << 0 << QByteArray("l");
        zeile(Art::UhrLesen, "hangup@1", "", 0, -1, E, QByteArray("zz\x09\x05\x0E\x15\x06>")) << "Erfolg" << "" << keine << 0 << QByteArray("t");
        zeile(Art::UhrLesen, "hangup@1", "", 0, -1, X, "\x09>") << "Uebertragungsfehler" << "Uhrzeit unvollständig: nur 1 von 5 Bytes vor \">\"" << uf << 0 << QByteArray("t");
        // Ended with ESC, as the clock dialog's unload ends it.
        zeile(Art::UhrSetzen, "", "", 0, -1, U) << "Erfolg" << "" << keine << 0 << "s" + kUhr + esc;
    }
    void matrix()
    {
        QFETCH(Art, art);
        QFETCH(QString, fehler);
        QFETCH(QString, eingriff);
        QFETCH(int, bei);
        QFETCH(int, puffer);
        QFETCH(QByteArray, antwort);
        const QStringList e = eingriff.split(QLatin1Char(','), Qt::SkipEmptyParts);
        SimFehler f;
        QVERIFY(fehler.isEmpty() || f.hinzufuegen(fehler));
        Umgebung u(f);
        std::unique_ptr<SimPtyRunner> com2 = e.contains("portwechsel") ? neuesGeraet({}, geschrieben()) : nullptr;
        if (com2)
            u.v->zuordnung().festlegen(2, com2->pfad());
        if (e.contains("portFehlt"))
            u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        if (e.contains("grenze"))
            u.v->setEmpfangsgrenze(200ms);
        u.dekoderOk = !e.contains("dekoder");
        if (!antwort.isEmpty())
            u.draht->skript = [&](std::uint8_t b) { return b == "rwltS"[int(art)] ? antwort : QByteArray(); };
        if (e.contains("bericht"))
            u.imBericht = [&u] { u.v.reset(); };
        const auto haken = [&] {
            if (e.contains("frist"))
                u.v->setWartezeit(Umgebung::kKurz);
            if (com2) {
                u.v->portSchliessen();
                QVERIFY(u.v->setPort(2));
            }
        };
        if (bei == 0 && e.contains("frist"))
            u.v->setWartezeit(Umgebung::kKurz);
        else if (e.contains("frist") || com2)
            u.draht->bei = bei, u.draht->dann = haken;
        QVERIFY(u.starten(art));
        if (bei == 0 && (e.contains("frist") || com2))
            haken();

        bool gehalten = false;
        for (const QString& was : e) {
            if (!QStringList{"abbruch", "datenZu", "dialog", "weg", "zerstoeren"}.contains(was))
                continue;
            if (!std::exchange(gehalten, true)) {
                QVERIFY(kit::warten([&] {
                    return u.sim->empfangeneBytes().size() == bei && (bei > 0 || u.sim->verbunden() || !u.v->portOffen())
                        && (puffer < 0 || u.v->Empfangspuffer().size() == puffer);
                }));
                // Meanwhile every other command is refused with a beep.
                QVERIFY(!u.starten(Art::Ereignisse));
                QCOMPARE(std::exchange(u.door.beeps, 0), 1);
            }
            if (was == "abbruch")
                u.v->abbrechen();
            else if (was == "datenZu")
                u.fenster->fenster()->close();
            else if (was == "dialog")
                u.v->uhrSetzenBeenden();
            else if (was == "zerstoeren")
                u.v.reset();
            else if (was == "weg") {
                u.sim.reset();
                u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
                QVERIFY(kit::warten([&] { return !u.v->portOffen(); }));
            }
        }

        QFETCH(QString, ausgang);
        QVERIFY(kit::warten([&] { return !ausgang.isEmpty() ? u.berichte > 0 : !u.sim->verbunden(); }));
        QTest::qWait(5);
        QCOMPARE(u.berichte, ausgang.isEmpty() ? 0 : 1);
        const QStringList namen{"Erfolg", "KeineVerbindung", "Uebertragungsfehler", "Abgebrochen", "Zeitueberschreitung"};
        QCOMPARE(u.ergebnis ? namen[int(u.ergebnis->ausgang)] : QString(), ausgang);
        QFETCH(QString, detail);
        // A write that failed once connected also says how far it came: pages
        // written, pages not, data sent.
        const auto seiten = [](const QList<int>& l) {
            QStringList s;
            for (int p : l)
                s << QString::number(p);
            return s.isEmpty() ? QStringLiteral("-") : s.join(',');
        };
        QString ist = u.ergebnis ? linktext::detail(*u.ergebnis) : QString();
        if (art == Art::Schreiben && u.ergebnis && u.ergebnis->ausgang != Ausgang::Erfolg
            && u.ergebnis->ausgang != Ausgang::KeineVerbindung) {
            const Schreibstand st = u.ergebnis->schreibstand.value_or(Schreibstand());
            ist += QStringLiteral(" | bestätigt %1; offen %2; ").arg(seiten(st.bestaetigt), seiten(st.offen()))
                + (st.begonnen() ? "begonnen" : "nicht begonnen");
        }
        if (detail != "?")
            QCOMPARE(ist, detail);
        QTEST(kit::boxen(u.door), "boxen");
        QTEST(u.door.beeps, "beeps");
        const bool dekodiert = (ausgang == "Erfolg" || e.contains("dekoder")) && art != Art::Schreiben && art != Art::UhrSetzen;
        QCOMPARE(u.dekodiert.size(), dekodiert ? 1 : 0);
        if (u.v) {
            QVERIFY(u.ruhend());
            u.v->uhrSetzenBeenden();  // the clock dialog closes after the operation
        }
        QFETCH(QByteArray, draht);
        if (u.sim) {
            kit::warten([&] { return u.sim->empfangeneBytes().size() >= draht.size(); }, 2000);
            QTest::qWait(5);
            QCOMPARE(u.sim->empfangeneBytes(), draht);
            const SimGeraet& g = u.sim->geraet();
            if (ausgang == "Erfolg" && art != Art::UhrLesen && dekodiert)
                QCOMPARE(u.dekodiert, QList<QByteArray>{art == Art::Lesen ? g.speicher() : g.ereignisse()});
        }
        if (ausgang == "Erfolg" && art == Art::UhrLesen)  // the answer: the five bytes right before ">"
            QCOMPARE(u.dekodiert[0], QByteArray("\x09\x05\x0E\x15\x06>"));
        if (QTest::currentTestFailed())
            return;

        // A following read, on COM 2 after the port change (the device on
        // COM 1 hears no more), else on a device that is there.
        if (!u.v)
            u.verbinden();
        if (!u.sim || u.sim->geraet().weg())
            u.sim = neuesGeraet();
        u.sim->geraet().setzeFehler({});
        u.v->zuordnung().festlegen(1, u.sim->pfad());
        if (com2)
            QCOMPARE(com2->empfangeneBytes(), QByteArray());
        u.folgeLesen(com2 ? *com2 : *u.sim);
        if (com2)
            QCOMPARE(u.sim->empfangeneBytes(), draht);
    }

    void comZuordnung_data()
    {
        QTest::addColumn<QStringList>("namen");
        QTest::addColumn<QString>("fest");  // a pinned port, "n=path"
        QTest::addColumn<QString>("com");   // COM 1..4
        QTest::newRow("keine Ports") << QStringList{} << "" << "/dev/ttyS0 /dev/ttyS1 /dev/ttyS2 /dev/ttyS3";
        QTest::newRow("USB-Adapter zuerst") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "" << "/dev/ttyUSB0 /dev/ttyS0 /dev/ttyS1 /dev/ttyS3";
        QTest::newRow("Nummern als Zahlen") << QStringList{"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB9"} << "" << "/dev/ttyUSB9 /dev/ttyUSB10 /dev/ttyS2 /dev/ttyS10";
        QTest::newRow("andere nach Namen") << QStringList{"ttyS0", "ttyAMA0", "rfcomm0"} << "" << "/dev/rfcomm0 /dev/ttyAMA0 /dev/ttyS0 /dev/ttyS3";
        // A pinned port takes none of the machine's ports from the others.
        QTest::newRow("COM 1 fest") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "1=/dev/pts/3" << "/dev/pts/3 /dev/ttyUSB0 /dev/ttyS0 /dev/ttyS1";
        QTest::newRow("COM 1 fest auf den ersten Port") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "1=/dev/ttyUSB0" << "/dev/ttyUSB0 /dev/ttyS0 /dev/ttyS1 /dev/ttyS3";
        QTest::newRow("COM 2 fest") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "2=/dev/pts/7" << "/dev/ttyUSB0 /dev/pts/7 /dev/ttyS0 /dev/ttyS1";
    }
    void comZuordnung()
    {
        QFETCH(QStringList, namen);
        QFETCH(QString, fest);
        Portzuordnung z([namen] { return namen; });
        z.festlegen(fest.section('=', 0, 0).toInt(), fest.section('=', 1));
        QStringList ist;
        for (int i = 1; i <= 4; ++i)
            ist << z.geraet(i);
        QTEST(ist.join(' '), "com");
    }

    // Why a port does not open, on real files and devices. A port locked or held open by
    // another program is not opened; that program is named. Lock files hold the process
    // number as text (padded, plain, or as Qt writes it with the program on the next line)
    // or as a binary int; an empty one belongs to whoever holds it open.
    // A lock whose process has ended or whose number now belongs to another program holds
    // nothing: the port opens. What is no terminal is no serial port.
    void portursache_data()
    {
        QTest::addColumn<QString>("geraet");   // "pty", "datei", "ordner", "fifo" or a path
        QTest::addColumn<QString>("sperre");   // the lock file ("" none), %N the pty as Qt names it ("pts_3")
        QTest::addColumn<QByteArray>("inhalt"); // %1 the PID of a "sleep", padded; "binär" it as an int; "eigen" this process's
        QTest::addColumn<QString>("kind");     // the "sleep": "" none, "lebt", "tot", "Gerät" or "Sperre" held open
        QTest::addColumn<QString>("text");     // "" the port opens; %1 the sleep's PID, %2 the device
        const QString belegt = QStringLiteral("COM 1 (%2) ist belegt von Programm sleep (PID %1)");
        const QString keiner = QStringLiteral("%2 ist keine serielle Schnittstelle");
        QTest::newRow("Text, aufgefüllt") << "pty" << "LCK..%N" << QByteArray("%1\n") << "lebt" << belegt;
        QTest::newRow("ohne Zeilenende") << "pty" << "LCK..%N" << QByteArray("%1") << "lebt" << belegt;
        QTest::newRow("binär") << "pty" << "LCK..%N" << QByteArray("binär") << "lebt" << belegt;
        QTest::newRow("Qt, gleiches Programm") << "pty" << "LCK..%N" << QByteArray("%1\n/usr/bin/sleep\nhost\n") << "lebt" << belegt;
        QTest::newRow("leer, offen gehalten") << "pty" << "LCK..%N" << QByteArray() << "Sperre" << belegt;
        QTest::newRow("ohne Sperre offen") << "pty" << "" << QByteArray() << "Gerät" << belegt;
        QTest::newRow("Qt, Nummer neu vergeben") << "pty" << "LCK..%N" << QByteArray("%1\nminicom\nhost\n") << "lebt" << "";
        QTest::newRow("Prozess beendet") << "pty" << "LCK..%N" << QByteArray("%1\n") << "tot" << "";
        QTest::newRow("anderes Gerät") << "pty" << "LCK..ttyGSMBV1" << QByteArray("%1\n") << "lebt" << "";
        QTest::newRow("keine Zahl") << "pty" << "LCK..%N" << QByteArray("frei\n") << "lebt" << "";
        QTest::newRow("eigene Sperre") << "pty" << "LCK..%N" << QByteArray("eigen") << "lebt" << "";
        QTest::newRow("leer, verwaist") << "pty" << "LCK..%N" << QByteArray() << "" << "";
        for (const char* art : {"datei", "ordner", "fifo"})
            QTest::newRow(art) << art << "" << QByteArray() << "" << keiner;
        QTest::newRow("/dev/null") << "/dev/null" << "" << QByteArray() << "" << keiner;
    }
    void portursache()
    {
        QFETCH(QString, geraet);
        QFETCH(QString, sperre);
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QTemporaryDir ordner;
        const auto sim = neuesGeraet();
        if (geraet == QLatin1String("pty")) {
            geraet = sim->pfad();
        } else if (!geraet.startsWith(QLatin1Char('/'))) {
            const QString pfad = ordner.filePath(geraet);
            QVERIFY(geraet == QLatin1String("ordner") ? QDir().mkdir(pfad)
                    : geraet == QLatin1String("fifo") ? ::mkfifo(QFile::encodeName(pfad).constData(), 0600) == 0
                                                       : kit::schreiben(pfad, "keine Schnittstelle"));
            geraet = pfad;
        }
        const QString sperrdatei = ordner.filePath(QString(sperre).replace(QLatin1String("%N"), geraet.mid(5).replace('/', '_')));
        QProcess schlaefer;
        if (kind == QStringLiteral("Gerät") || kind == QLatin1String("Sperre"))
            schlaefer.setStandardInputFile(kind == QLatin1String("Sperre") ? sperrdatei : geraet);
        QVERIFY(sperre.isEmpty() || kit::schreiben(sperrdatei, ""));  // before the sleep holds it open
        if (!kind.isEmpty()) {
            schlaefer.start(QStringLiteral("sleep"), {kind == QLatin1String("tot") ? QStringLiteral("0") : QStringLiteral("30")});
            QVERIFY(schlaefer.waitForStarted());
        }
        const qint64 pid = schlaefer.processId();
        if (kind == QLatin1String("tot"))
            QVERIFY(schlaefer.waitForFinished());
        if (inhalt == "binär")
            inhalt = QByteArray(reinterpret_cast<const char*>(&pid), sizeof(int));
        if (inhalt == "eigen")
            inhalt = QByteArray::number(QCoreApplication::applicationPid());
        QVERIFY(sperre.isEmpty() || kit::schreiben(sperrdatei, inhalt.replace("%1", QString("%1").arg(pid, 10).toUtf8())));
        Verbindung v;  // on the serial port
        auto& t = static_cast<SeriellerTransport&>(v.transport());
        t.setSperrOrdner({QStringLiteral("/nonexistent"), ordner.path()});
        v.zuordnung().festlegen(1, geraet);
        QCOMPARE(v.portOeffnen() ? QString() : v.oeffnenFehlerText(), text.replace(QLatin1String("%1"), QString::number(pid)).replace(QLatin1String("%2"), geraet));
        QVERIFY(text.isEmpty() || (t.wartend() == 0 && !t.schreiben("x") && t.lesen(1).isEmpty()));
        v.portSchliessen();
        schlaefer.kill();
        schlaefer.waitForFinished();
    }

    // Load selects the current port; OK closes the port and takes the
    // selection, Abbruch changes nothing. Then the toolbar's abort while
    // idle: ESC to the device on the port chosen, the port closed.
    void kommunikation_data()
    {
        QTest::addColumn<int>("waehlen");
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QString>("nachher");  // port, open, what the device got
        QTest::newRow("Abbruch behält den Port") << 3 << "CMD_Abbruch" << "1 offen \x1B";
        QTest::newRow("OK übernimmt und schließt") << 4 << "CMD_OK" << "4 zu ";
    }
    // The port's own words for its errors; a system error's words come first when there are any.
    void portfehlertext()
    {
        using P = QSerialPort;
        QStringList ist;
        for (P::SerialPortError f : {P::DeviceNotFoundError, P::PermissionError, P::OpenError, P::NotOpenError, P::WriteError,
                                     P::ReadError, P::ResourceError, P::UnsupportedOperationError, P::TimeoutError, P::UnknownError})
            ist << portursache::fehlertext(f, 0);
        ist << portursache::fehlertext(P::ResourceError, EIO) << portursache::fehlertext(P::NoError, 9999);
        QCOMPARE(ist, (QStringList{"Gerät nicht vorhanden", "keine Berechtigung oder belegt", "schon geöffnet", "nicht geöffnet",
                                   "Schreiben fehlgeschlagen", "Lesen fehlgeschlagen", "Gerät nicht mehr verfügbar",
                                   "vom Treiber nicht unterstützt", "Zeitüberschreitung", "unbekannter Fehler",
                                   "Ein-/Ausgabefehler", "Systemfehler 9999"}));
    }
    // The progress window's caption while a write sends each page.
    void seitenbeschriftung()
    {
        QStringList ist;
        for (int seite : {0, 1, 9, 10, 12, 13})
            ist << linktext::beschriftung({Vorgangsart::Schreiben, Schritt::Seite, seite});
        QCOMPARE(ist, (QStringList{"Allgemeine Daten ...", "Daten zu Meldelinie 1 ...", "Daten zu Stromausfall ...",
                                   "Bestätigungstexte ...", "Daten zu Analogeingang ...", ""}));
    }
    void kommunikation()
    {
        QFETCH(int, waehlen);
        QFETCH(QString, knopf);
        FakeDoor door;
        const auto sim = neuesGeraet();
        Verbindung v;  // on the serial port
        int n = 0;
        for (const QString& p : {sim->pfad(), sim->pfad(), QStringLiteral("/dev/ttyUSB2"), QStringLiteral("/dev/gsmbv-gibt-es-nicht")})
            v.zuordnung().festlegen(++n, p);
        QVERIFY(!v.setPort(5) && !v.setPort(0) && v.setPort(1) && v.portOeffnen());
        Kommunikation dlg(v);
        QStringList optionen;
        for (int n = 1; n <= 4; ++n)
            optionen << dlg.option(n)->text() + (dlg.option(n)->isChecked() ? "* " : " ") + dlg.geraetLabel(n)->text();
        QCOMPARE(optionen.mid(2), (QStringList{"COM3 /dev/ttyUSB2", "COM 4 /dev/gsmbv-gibt-es-nicht"}));
        QVERIFY(dlg.option(1)->isChecked());
        dlg.show();
        QTest::mouseClick(dlg.option(waehlen), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton*>(knopf), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        const QString ist = QStringLiteral("%1 %2 ").arg(v.port()).arg(v.portOffen() ? "offen" : "zu");
        v.abbrechen();
        QVERIFY(!v.portOffen());
        QTest::qWait(20);
        QTEST(ist + QString::fromLatin1(sim->empfangeneBytes()), "nachher");
    }
};


QTEST_MAIN(TestLink)
#include "test_link.moc"
