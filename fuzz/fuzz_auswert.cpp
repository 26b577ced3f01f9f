// Any bytes as the device's answers: the link runs an operation (configuration
// read, event memory, clock read, configuration write) over an in-memory
// transport, the input's bytes arrive in chunks it chooses, and the operation
// may be aborted, its progress window closed or the link destroyed. The
// receive evaluator hands each mode's data to the real decoders.
//
// Whatever arrives: no crash, the receive buffer never holds more than was
// received, the link shows no box itself, the operation ends with exactly one
// report (with the message that belongs to its outcome) and the port closed,
// or is still under way, and the device gets only the bytes of the
// operation's protocol, with at most one ESC after a fault.
//
// Input (integers from its end, bytes from its front): operation, automatic
// echo, an ACK in front, a decode that lets the event loop run (bytes
// arriving meanwhile), decoder outcome, final action, pages to write; then
// steps of either raw chunks or one byte repeated.
#include "cfgfile/dekodieren.h"
#include "clock/uhr.h"
#include "door/door.h"
#include "eventlog/ereignisspeicher.h"
#include "link/transport.h"
#include "link/verbindung.h"
#include "linktext/linktext.h"
#include "pruefen.h"

#include <QCoreApplication>
#include <functional>
#include <memory>

namespace {

// The device's end of the cable, in memory. Written bytes can be echoed;
// arriving bytes are announced like a serial port does, from the event loop
// (echoes) or when the harness hands them over.
class Speichertransport : public Transport {
public:
    bool oeffnen(const QString&) override
    {
        offen = true;
        ++oeffnungen;
        return true;
    }
    void schliessen() override
    {
        offen = false;
        eingang.clear();
    }
    bool istOffen() const override { return offen; }
    bool schreiben(const QByteArray& bytes) override
    {
        if (!offen)
            return false;
        geschrieben += bytes;
        if (echo) {
            eingang += bytes;
            geliefert += bytes.size();
            ++ausstehend;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    --ausstehend;
                    if (offen && !eingang.isEmpty())
                        emit datenDa();
                },
                Qt::QueuedConnection);
        }
        return true;
    }
    qint64 wartend() const override { return offen ? eingang.size() : 0; }
    QByteArray lesen(qint64 hoechstens) override
    {
        const QByteArray b = eingang.left(hoechstens);
        eingang.remove(0, b.size());
        return b;
    }
    QString letzterFehler() const override { return {}; }

    // Bytes from the device; lost while the port is closed, as on a line.
    void liefern(const QByteArray& bytes)
    {
        if (!offen || bytes.isEmpty())
            return;
        eingang += bytes;
        geliefert += bytes.size();
        emit datenDa();
    }

    bool offen = false;
    bool echo = false;
    int oeffnungen = 0;
    int ausstehend = 0;  // echoes posted, not yet announced
    QByteArray eingang;
    QByteArray geschrieben;
    qint64 geliefert = 0;
};

// Records what the link would show itself: nothing but the busy rule's beep.
class Tuer : public Door {
public:
    Tuer() { Door::setzen(this); }
    ~Tuer() override { Door::setzen(nullptr); }
    Antwort meldung(const QString& text, Icon, Knoepfe, const QString&) override
    {
        meldungen.append(text);
        return Antwort::Ok;
    }
    void beep() override { ++beeps; }
    QString dateiSpeichern(const Dateidialog&) override { return {}; }
    QString dateiOeffnen(const Dateidialog&) override { return {}; }
    bool starten(const QString&, const QStringList&) override { return false; }
    bool anzeigen(const QString&) override { return false; }

    QStringList meldungen;
    int beeps = 0;
};

enum Op { Lesen, Log, Uhr, Schreiben };
enum Ende { Nichts, Abbrechen, DatenZu, Zerstoeren, ImBericht };

std::uint8_t muster(int seite, int offset) { return std::uint8_t((seite * 37 + offset * 11 + 5) & 0xFF); }

// Delivers the posted events until the echoes are through: an echo posts the
// next byte's, an ended wait its report. (No timer is due during a run, so the
// posted events are all that the event loop would do.) `t` by reference: a
// report may destroy the link and with it the transport.
void pumpen(Speichertransport* const& t)
{
    for (int i = 0; i < 4 || (t && t->ausstehend > 0 && i < 100000); ++i)
        QCoreApplication::sendPostedEvents();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    FuzzedDataProvider fdp(daten, groesse);
    const Op op = static_cast<Op>(fdp.ConsumeIntegralInRange(0, 3));
    const bool echo = fdp.ConsumeBool();
    const bool ackVorweg = fdp.ConsumeBool();
    const bool verschachtelt = fdp.ConsumeBool();
    const bool dekoderOk = fdp.ConsumeBool();
    const Ende ende = static_cast<Ende>(fdp.ConsumeIntegralInRange(0, 4));
    const int seitenBits = fdp.ConsumeIntegralInRange(0, (1 << kGeraeteSeiten) - 1);

    Tuer tuer;
    auto transportBesitz = std::make_unique<Speichertransport>();
    Speichertransport* t = transportBesitz.get();
    t->echo = echo;
    auto v = std::make_unique<Verbindung>(std::move(transportBesitz));
    v->zuordnung().festlegen(1, QStringLiteral("speicher"));
    v->setWartezeit(std::chrono::hours(1));  // no deadline passes during a run

    int fertig = 0;
    std::optional<Vorgangsbericht> ergebnis;
    // The progress as the link reports it: shown from the start to its end.
    bool sichtbar = false;
    Fortschrittsstand stand;
    QObject::connect(v.get(), &Verbindung::fortschritt, [&](const Fortschrittsstand& s) {
        sichtbar = s.schritt != Schritt::Beendet;
        stand = s;
    });
    // A decode that lets the event loop run (as one that showed a box would):
    // bytes arrive meanwhile.
    std::function<void()> waehrendDekodierung;
    auto melden = [&](const Vorgangsbericht& e) {
        ++fertig;
        ergebnis = e;
        if (ende == ImBericht) {
            // The report may destroy the link (the command-line tool does).
            waehrendDekodierung = {};
            t = nullptr;
            v.reset();
        }
    };
    int dekodiert = 0;
    const auto imAbschluss = [&] { return v && v->vorgang() && v->vorgang()->phase() == Vorgang::Phase::Abschliessen; };

    Konfigspeicher bild;
    Seitenaenderung seiten{};
    QByteArray voll = "w";  // the whole write on the wire
    for (int s = 0; s < kGeraeteSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            bild.setze(s, o, muster(s, o));
    for (int s = 0; s < kGeraeteSeiten; ++s)
        if (seitenBits & (1 << s)) {
            seiten[std::size_t(s)] = true;
            voll += char(48 + s) + bild.seite(s);
        }
    voll += char(Verbindung::ESC);

    bool gestartet = false;
    switch (op) {
    case Lesen:
        gestartet = v->konfigurationLesen(
            [&](const QByteArray& b) {
                ++dekodiert;
                PRUEFE(b.size() == kGeraeteBytes);
                PRUEFE(imAbschluss());
                if (waehrendDekodierung)
                    waehrendDekodierung();
                Konfigspeicher k;
                k.alleLeeren();
                for (int i = 0; i < b.size(); ++i)
                    k.setze(i / kZellen, i % kZellen, std::uint8_t(b[i]));
                return dekodieren(k).has_value();
            },
            melden);
        break;
    case Log:
        gestartet = v->ereignisspeicherLesen(
            [&](const QByteArray& b) {
                ++dekodiert;
                PRUEFE(b.size() == Verbindung::kLogAnzahl);
                PRUEFE(imAbschluss() && !sichtbar);
                if (waehrendDekodierung)
                    waehrendDekodierung();
                return !logDatei(ereignisZeilen(b)).isNull() && dekoderOk;
            },
            melden);
        break;
    case Uhr:
        gestartet = v->uhrLesen(
            [&](const QByteArray& b) {
                ++dekodiert;
                PRUEFE(b.size() == 6 && b.endsWith('>'));
                PRUEFE(imAbschluss());
                if (waehrendDekodierung)
                    waehrendDekodierung();
                return uhr::boraZeitText(b).has_value() && dekoderOk;
            },
            melden);
        break;
    case Schreiben:
        gestartet = v->konfigurationSchreiben(bild, seiten, melden);
        break;
    }
    PRUEFE(gestartet && v->operationLaeuft());

    // The steps: raw chunks, or one byte many times (a long stream from a short input).
    QList<QByteArray> schritte;
    if (ackVorweg)
        schritte.append(QByteArray(1, char(Verbindung::ACK)));
    // At most 8 KiB in all: more than any operation takes, and the waits look
    // through the whole buffer at every byte.
    qsizetype summe = 0;
    while (fdp.remaining_bytes() > 0 && summe < 8192) {
        if (fdp.ConsumeBool()) {
            const int n = fdp.ConsumeIntegralInRange(1, 1024);
            schritte.append(QByteArray(n, char(fdp.ConsumeIntegral<std::uint8_t>())));
        } else {
            const std::string s = fdp.ConsumeBytesAsString(fdp.ConsumeIntegralInRange(1, 256));
            schritte.append(QByteArray(s.data(), qsizetype(s.size())));
        }
        summe += schritte.last().size();
    }
    qsizetype naechster = 0;
    if (verschachtelt)
        waehrendDekodierung = [&] {
            if (naechster < schritte.size() && t)
                t->liefern(schritte[naechster++]);
            pumpen(t);
        };

    pumpen(t);
    while (v && naechster < schritte.size()) {
        t->liefern(schritte[naechster++]);
        pumpen(t);
        if (!v)
            break;
        PRUEFE(v->Empfangspuffer().size() <= t->geliefert);
        PRUEFE(v->Fortschritt() >= 0 && v->Fortschritt() <= kGeraeteBytes);
        if (sichtbar)
            PRUEFE(stand.wert >= 0 && (stand.maximum == 0 || stand.wert <= stand.maximum));
        PRUEFE(fertig <= 1);
        PRUEFE(v->operationLaeuft() || !sichtbar);
    }

    if (!v) {
        PRUEFE(fertig == 1);
        return 0;
    }
    const QByteArray vorEnde = t->geschrieben;
    switch (ende) {
    case Nichts:
    case ImBericht:
        break;
    case Abbrechen:
        v->abbrechen();
        break;
    case DatenZu:
        v->abbruchAnfordern();
        break;
    case Zerstoeren:
        waehrendDekodierung = {};
        t = nullptr;
        v.reset();
        pumpen(nullptr);
        PRUEFE(fertig <= 1);
        return 0;
    }
    pumpen(t);
    if (!v) {
        PRUEFE(fertig == 1);
        return 0;
    }

    PRUEFE(v->Empfangspuffer().size() <= t->geliefert);
    PRUEFE(fertig <= 1);
    PRUEFE(dekodiert <= 1);
    PRUEFE(tuer.meldungen.isEmpty() && tuer.beeps == 0);
    if (v->operationLaeuft()) {
        // Still under way: waiting for an answer or for data.
        PRUEFE(fertig == 0);
        PRUEFE(sichtbar);
    } else {
        // Ended: idle, the port closed, one report with the message that goes with it.
        PRUEFE(fertig == 1);
        PRUEFE(!sichtbar && !v->wartet() && !t->offen);
        const Vorgangsbericht& e = *ergebnis;
        const QString meldung = linktext::meldung(e);
        switch (e.ausgang) {
        case Ausgang::Erfolg:
            PRUEFE(meldung.isEmpty() && !linktext::signalton(e));
            PRUEFE(dekodiert == (op == Schreiben ? 0 : 1));
            if (op == Schreiben)
                PRUEFE(vorEnde == voll);
            break;
        case Ausgang::KeineVerbindung:
            PRUEFE(meldung == linktext::textKeineVerbindung() && !linktext::signalton(e));
            PRUEFE(dekodiert == 0);
            break;
        case Ausgang::Uebertragungsfehler:
            PRUEFE(meldung == linktext::textUebertragungsfehler() && !linktext::detail(e).isEmpty());
            PRUEFE(linktext::signalton(e) == (op == Schreiben));
            break;
        case Ausgang::Abgebrochen:
            PRUEFE(meldung.isEmpty() && !linktext::signalton(e));
            break;
        case Ausgang::Zeitueberschreitung:
            PRUEFE(false);  // no receive limit is set
        }
    }

    // The device got the operation's command (and a write its pages, in
    // order) and, after a fault or an abort, one ESC.
    const QByteArray befehl = op == Lesen ? "r" : op == Log ? "l" : op == Uhr ? "t" : "";
    if (op == Schreiben)
        PRUEFE(voll.startsWith(vorEnde));
    else
        PRUEFE(vorEnde.isEmpty() || vorEnde == befehl);
    const QByteArray esc(1, char(Verbindung::ESC));
    PRUEFE(t->geschrieben == vorEnde || t->geschrieben == vorEnde + esc);
    if (ende == Abbrechen)
        PRUEFE(t->geschrieben == vorEnde + esc && !t->offen);

    // Gone: nothing calls back any more.
    const int fertigVorher = fertig;
    waehrendDekodierung = {};
    t = nullptr;
    v.reset();
    pumpen(nullptr);
    PRUEFE(fertig == fertigVorher);
    return 0;
}
