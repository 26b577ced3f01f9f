// The device operations on a pseudo-terminal: exact bytes on the wire, the
// decodes' inputs, the messages and the state every ending leaves.
#include "linkumgebung.h"

#include <QElapsedTimer>

namespace {
// A configuration image with a different byte in every cell of pages 0..12;
// pages 13..31 stay unset.
std::uint8_t muster(int seite, int offset) { return std::uint8_t((seite * 37 + offset * 11 + 5) & 0xFF); }

Konfigspeicher musterBild()
{
    Konfigspeicher k;
    for (int s = 0; s < kGeraeteSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            k.setze(s, o, muster(s, o));
    return k;
}

QByteArray musterSeite(int seite)
{
    QByteArray b;
    for (int o = 0; o < kZellen; ++o)
        b.append(char(seite < kGeraeteSeiten ? muster(seite, o) : 0xFF));
    return b;
}

QByteArray folge(int n, int start = 0)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((start + i * 7) & 0xFF));
    return b;
}

const QString kLese = QStringLiteral("lese Konfigurationsdaten ...");
const QString kAufbau = QStringLiteral("Verbindungsaufbau ...");

bool starten(LinkUmgebung& u, const QString& op)
{
    if (op == "lesen")
        return u.v->konfigurationLesen({}, u.fertig());
    if (op == "schreiben")
        return u.v->konfigurationSchreiben(musterBild(), Seitenaenderung{}, u.fertig());
    if (op == "log")
        return u.v->ereignisspeicherLesen({}, u.fertig());
    if (op == "uhr lesen")
        return u.v->uhrLesen({}, u.fertig());
    return u.v->uhrSetzen([](int) { return std::uint8_t(0); }, u.fertig());
}

void alleOperationen()
{
    QTest::addColumn<QString>("op");
    for (const char* op : {"lesen", "schreiben", "log", "uhr lesen", "uhr setzen"})
        QTest::newRow(op) << QString::fromLatin1(op);
}
} // namespace

Q_DECLARE_METATYPE(Ausgang)

class TestBefehle : public QObject {
    Q_OBJECT
private slots:
    // While one operation is under way every command is refused with a beep.
    void belegt_data() { alleOperationen(); }
    void belegt()
    {
        QFETCH(QString, op);
        LinkUmgebung u;
        QVERIFY(starten(u, op));
        QVERIFY(u.v->operationLaeuft());
        int beeps = 0;
        for (const char* zweite : {"lesen", "schreiben", "log", "uhr lesen", "uhr setzen"}) {
            QVERIFY(!starten(u, QString::fromLatin1(zweite)));
            QCOMPARE(u.door.beeps, ++beeps);
        }
        QVERIFY(u.door.meldungen.isEmpty());
        QVERIFY(u.v->daten().sichtbar());
        QCOMPARE(u.fertigAufrufe, 0);
        QTest::qWait(20);
        QCOMPARE(u.geraet.empfangen, QByteArray());
        // The first goes on: the device's ACK gets its command.
        u.ack();
        QTRY_COMPARE(u.geraet.empfangen, op == "lesen" ? QByteArray("r") : op == "schreiben" ? QByteArray("w")
                                         : op == "log" ? QByteArray("l") : op == "uhr lesen" ? QByteArray("t")
                                                                                            : QByteArray("s"));
    }

    void keineVerbindung_data() { alleOperationen(); }
    void keineVerbindung()
    {
        QFETCH(QString, op);
        LinkUmgebung u(200ms);
        QVERIFY(starten(u, op));
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::KeineVerbindung);
        QVERIFY(eineMeldung(u, "Verbindung nicht möglich"));
        QCOMPARE(u.ergebnis->detail, QStringLiteral("kein ACK innerhalb 200 ms"));
        QCOMPARE(u.beeps(), 0);
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.ruhend());
        QCOMPARE(u.geraet.empfangen, QByteArray());
        QTest::qWait(20);
        QCOMPARE(u.fertigAufrufe, 1);
    }

    // "r": the echo, then 3328 bytes; the 3328th starts the decode, once.
    void lesen_data()
    {
        QTest::addColumn<QString>("lieferung");
        QTest::newRow("Echo und Daten in einem Stück") << "stueck";
        QTest::newRow("Daten in Teilen nach dem Echo") << "teile";
        QTest::newRow("mehr als 3328 Bytes") << "mehr";
    }
    void lesen()
    {
        QFETCH(QString, lieferung);
        LinkUmgebung u;
        const QByteArray daten = folge(kGeraeteBytes, 3);
        u.geraet.antwort = [&](std::uint8_t b) -> QByteArray {
            if (b != 'r')
                return {};
            if (lieferung == "stueck")
                return "r" + daten;
            if (lieferung == "mehr")
                return "r" + daten + folge(700, 1);
            return "r";
        };
        QList<QByteArray> dekodiert;
        int vorbereitet = 0;
        QVERIFY(u.v->konfigurationLesen(
            [&](const QByteArray& b) {
                dekodiert.append(b);
                // The decode runs while the read is finishing.
                return u.v->vorgang() && u.v->vorgang()->phase() == Vorgang::Phase::Abschliessen;
            },
            u.fertig(),
            [&] {
                ++vorbereitet;
                QVERIFY(u.v->vorgang() && u.v->vorgang()->art() == Vorgang::Art::Lesen);
                QCOMPARE(u.v->vorgang()->phase(), Vorgang::Phase::Verbinden);
                QVERIFY(!u.v->portOffen());
                QVERIFY(u.geraet.empfangen.isEmpty());
            }));
        QCOMPARE(vorbereitet, 1);
        u.ack();
        if (lieferung == "teile") {
            QTRY_COMPARE(u.v->daten().text(), kLese);
            for (int i = 0; i < kGeraeteBytes; i += 1000)
                u.geraet.senden(daten.mid(i, 1000));
        }
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::Erfolg);
        QCOMPARE(dekodiert.size(), 1);
        QCOMPARE(dekodiert[0], daten);
        QCOMPARE(u.geraet.empfangen, QByteArray("r"));
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.ruhend());
        QVERIFY(u.keineMeldung());
        QCOMPARE(u.v->Fortschritt(), 0);

        // The bar: maximum 3328, one step for every byte before the 3328th.
        QList<int> werte;
        for (const auto& s : u.ansicht->staende)
            if (s.text == kLese) {
                QCOMPARE(s.maximum, kGeraeteBytes);
                werte.append(s.wert);
            }
        QList<int> erwartet;
        for (int i = 1; i < kGeraeteBytes; ++i)
            erwartet.append(i);
        QCOMPARE(werte.mid(1), erwartet);
        QCOMPARE(u.ansicht->texte(), (QStringList{kAufbau, kLese}));
    }

    // Bytes before the ACK or before the echo of "r" (a babbling line, a
    // device at another speed) are no configuration data: they neither move
    // the bar nor start the decode, however many they are.
    void lesenNachRauschen_data()
    {
        QTest::addColumn<int>("vorAck");
        QTest::addColumn<int>("vorEcho");
        QTest::newRow("einige Bytes vor dem ACK") << 5 << 0;
        QTest::newRow("mehr als ein Abbild vor dem ACK") << kGeraeteBytes + 700 << 0;
        QTest::newRow("mehr als ein Abbild vor dem Echo") << 0 << kGeraeteBytes + 700;
    }
    void lesenNachRauschen()
    {
        QFETCH(int, vorAck);
        QFETCH(int, vorEcho);
        LinkUmgebung u;
        // Noise without ACK and without "r".
        QByteArray rauschen;
        for (int i = 0; rauschen.size() < std::max(vorAck, vorEcho); ++i)
            if (const char c = char((i * 13 + 1) & 0xFF); c != char(Verbindung::ACK) && c != 'r')
                rauschen.append(c);
        const QByteArray daten = folge(kGeraeteBytes, 3);
        u.geraet.antwort = [&](std::uint8_t b) { return b == 'r' ? rauschen.left(vorEcho) + "r" + daten : QByteArray(); };
        QList<QByteArray> dekodiert;
        QVERIFY(u.v->konfigurationLesen([&](const QByteArray& b) { return dekodiert.append(b), true; }, u.fertig()));
        u.geraet.senden(rauschen.left(vorAck));
        QTRY_COMPARE(u.v->Empfangspuffer().size(), vorAck);
        u.ack();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::Erfolg);
        QCOMPARE(dekodiert, QList<QByteArray>{daten});
        QVERIFY(u.keineMeldung());
        QVERIFY(u.ruhend());
        QCOMPARE(u.geraet.empfangen, QByteArray("r"));
        // While connecting the bar only counts down (from 80, then the 1 of
        // the command's send); it never goes past its maximum.
        int zuletzt = 80;
        for (const auto& s : u.ansicht->staende) {
            QVERIFY2(s.wert <= s.maximum, qPrintable(QStringLiteral("%1: %2/%3").arg(s.text).arg(s.wert).arg(s.maximum)));
            if (s.text == kAufbau) {
                QVERIFY2(s.wert <= zuletzt, qPrintable(QStringLiteral("%1 nach %2").arg(s.wert).arg(zuletzt)));
                zuletzt = s.wert;
            }
        }
        QTest::qWait(20);
        QCOMPARE(u.fertigAufrufe, 1);
    }

    void lesenEndetAnders_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<QString>("detail");
        QTest::newRow("kein Echo für r") << "kein echo" << Ausgang::Uebertragungsfehler << QByteArray("r\x1B")
                                         << "Fehler bei Datenübertragung" << "kein Echo für r innerhalb 250 ms";
        QTest::newRow("Dekodierung scheitert") << "dekoder" << Ausgang::Uebertragungsfehler << QByteArray("r")
                                               << "Fehler bei Datenübertragung" << "Konfigurationsdaten nicht lesbar";
        QTest::newRow("Daten von Hand geschlossen") << "daten" << Ausgang::Abgebrochen << QByteArray("r") << ""
                                                    << "abgebrochen nach 100 von 3328 Bytes";
        QTest::newRow("Abbruchsequenz") << "abbruch" << Ausgang::Abgebrochen << QByteArray("r\x1B") << ""
                                        << "abgebrochen nach 100 von 3328 Bytes";
    }
    void lesenEndetAnders()
    {
        QFETCH(QString, fall);
        QFETCH(Ausgang, ausgang);
        QFETCH(QByteArray, draht);
        QFETCH(QString, meldung);
        QFETCH(QString, detail);
        LinkUmgebung u(fall == "kein echo" ? 250ms : 5000ms);
        if (fall != "kein echo")
            u.geraet.antwort = [](std::uint8_t b) { return b == 'r' ? QByteArray("r") : QByteArray(); };
        int dekodiert = 0;
        QVERIFY(u.v->konfigurationLesen(
            [&](const QByteArray&) {
                ++dekodiert;
                return false;
            },
            u.fertig()));
        u.ack();
        if (fall != "kein echo") {
            QTRY_COMPARE(u.v->daten().text(), kLese);
            u.geraet.senden(folge(fall == "dekoder" ? kGeraeteBytes + 10 : 100));
            QTRY_COMPARE(u.v->Empfangspuffer().size(), fall == "dekoder" ? kGeraeteBytes : 100);
            if (fall == "daten")
                u.v->daten().schliessen();
            if (fall == "abbruch")
                u.v->abbrechen();
        }
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, ausgang);
        QVERIFY(u.ruhend());
        if (meldung.isEmpty())
            QVERIFY(u.keineMeldung());
        else
            QVERIFY(eineMeldung(u, meldung));
        QCOMPARE(u.ergebnis->detail, detail);
        QCOMPARE(u.beeps(), 0);
        QTRY_COMPARE(u.geraet.empfangen, draht);
        // The end closed the port: later bytes reach nothing, no decode.
        QVERIFY(!u.v->portOffen());
        if (fall == "daten") {
            u.geraet.senden(folge(kGeraeteBytes));
            QTest::qWait(50);
            QCOMPARE(u.v->Empfangspuffer().size(), 100);
        }
        QCOMPARE(dekodiert, fall == "dekoder" ? 1 : 0);
        QCOMPARE(u.fertigAufrufe, 1);
    }

    // "l": the 513th byte closes Daten and hands over the last 512.
    void ereignisspeicher_data()
    {
        QTest::addColumn<int>("anzahl");
        QTest::addColumn<bool>("umwandlungOk");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::newRow("genau 513") << 513 << true << Ausgang::Erfolg;
        QTest::newRow("600 in einem Stück") << 600 << true << Ausgang::Erfolg;
        QTest::newRow("Logdatei nicht anlegbar") << 513 << false << Ausgang::Uebertragungsfehler;
    }
    void ereignisspeicher()
    {
        QFETCH(int, anzahl);
        QFETCH(bool, umwandlungOk);
        QFETCH(Ausgang, ausgang);
        LinkUmgebung u;
        const QByteArray daten = QByteArray(1, '\xAA') + folge(anzahl - 1, 1);
        u.geraet.antwort = [&](std::uint8_t b) { return b == 'l' ? daten : QByteArray(); };
        QList<QByteArray> erhalten;
        bool datenOffen = true;
        QVERIFY(u.v->ereignisspeicherLesen(
            [&](const QByteArray& b) {
                erhalten.append(b);
                datenOffen = u.v->daten().sichtbar();
                return umwandlungOk;
            },
            u.fertig()));
        u.ack();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, ausgang);
        QCOMPARE(erhalten.size(), 1);
        QCOMPARE(erhalten[0], daten.mid(1, 512));
        QVERIFY(!datenOffen);  // Daten is closed before the conversion
        QCOMPARE(u.geraet.empfangen, QByteArray("l"));
        QVERIFY(u.ruhend());
        QVERIFY(!u.v->portOffen());
        if (umwandlungOk)
            QVERIFY(u.keineMeldung());
        else
            QVERIFY(eineMeldung(u, "Fehler bei Datenübertragung"));
        QCOMPARE(u.ansicht->texte(), QStringList{kAufbau});
    }

    // Fewer than 513 bytes: nothing happens, the operation stays under way --
    // unless the optional receive limit is set; every byte restarts it.
    void ereignisspeicherUnvollstaendig_data()
    {
        QTest::addColumn<int>("grenze");
        QTest::newRow("ohne Grenze") << 0;
        QTest::newRow("mit Empfangsgrenze") << 600;
    }
    void ereignisspeicherUnvollstaendig()
    {
        QFETCH(int, grenze);
        LinkUmgebung u;
        u.v->setEmpfangsgrenze(std::chrono::milliseconds(grenze));
        u.geraet.antwort = [](std::uint8_t b) { return b == 'l' ? folge(300) : QByteArray(); };
        int erhalten = 0;
        QVERIFY(u.v->ereignisspeicherLesen([&](const QByteArray&) { return ++erhalten, true; }, u.fertig()));
        u.ack();
        QTRY_COMPARE(u.v->Empfangspuffer().size(), 300);
        QTest::qWait(350);
        u.geraet.senden(folge(212));
        QTRY_COMPARE(u.v->Empfangspuffer().size(), 512);
        QTest::qWait(350);
        QVERIFY(!u.ausgang.has_value());
        if (grenze == 0) {
            QTest::qWait(400);
            QVERIFY(u.v->operationLaeuft());
            QCOMPARE(u.v->vorgang()->art(), Vorgang::Art::Ereignisse);
            QCOMPARE(u.v->vorgang()->phase(), Vorgang::Phase::Uebertragen);
            QVERIFY(u.v->daten().sichtbar());
            QVERIFY(u.door.meldungen.isEmpty());
            u.v->daten().schliessen();
            QTRY_COMPARE(u.ausgang, std::optional<Ausgang>(Ausgang::Abgebrochen));
            QVERIFY(u.keineMeldung());
            QCOMPARE(u.ergebnis->detail, QStringLiteral("abgebrochen nach 512 von 513 Bytes"));
            QCOMPARE(u.geraet.empfangen, QByteArray("l"));
        } else {
            QTRY_COMPARE(u.ausgang, std::optional<Ausgang>(Ausgang::Zeitueberschreitung));
            QVERIFY(eineMeldung(u, "Fehler bei Datenübertragung"));
            QCOMPARE(u.ergebnis->detail, QStringLiteral("nach 512 von 513 Bytes keine Daten mehr"));
            QTRY_COMPARE(u.geraet.empfangen, QByteArray("l\x1B"));
        }
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.ruhend());
        QCOMPARE(erhalten, 0);
    }

    // "w": exactly the flagged pages, each echoed byte by byte, then ESC.
    void schreiben_data()
    {
        QTest::addColumn<QList<int>>("seiten");
        QTest::addColumn<QStringList>("texte");
        QTest::newRow("nichts markiert") << QList<int>{} << QStringList{kAufbau};
        QTest::newRow("nur Seite 0") << QList<int>{0} << QStringList{kAufbau, "Allgemeine Daten ..."};
        QTest::newRow("Seiten 1 und 11")
            << QList<int>{1, 11} << QStringList{kAufbau, "Daten zu Meldelinie 1 ...", "Daten zu Analogeingang ..."};
        QList<int> alle;
        for (int p = 0; p < kGeraeteSeiten; ++p)
            alle.append(p);
        QTest::newRow("alle 13 Seiten") << alle
                                        << QStringList{kAufbau,
                                                       "Allgemeine Daten ...",
                                                       "Daten zu Meldelinie 1 ...",
                                                       "Daten zu Meldelinie 2 ...",
                                                       "Daten zu Meldelinie 3 ...",
                                                       "Daten zu Meldelinie 4 ...",
                                                       "Daten zu Meldelinie 5 ...",
                                                       "Daten zu Meldelinie 6 ...",
                                                       "Daten zu Meldelinie 7 ...",
                                                       "Daten zu Meldelinie 8 ...",
                                                       "Daten zu Stromausfall ...",
                                                       "Bestätigungstexte ...",
                                                       "Daten zu Analogeingang ..."};
        QTest::newRow("ungesetzte Seite 13") << QList<int>{9, 13}
                                             << QStringList{kAufbau, "Daten zu Stromausfall ..."};
    }
    void schreiben()
    {
        QFETCH(QList<int>, seiten);
        QFETCH(QStringList, texte);
        LinkUmgebung u;
        u.geraet.echo = true;
        Seitenaenderung markiert{};
        QByteArray draht = "w";
        for (int p : seiten) {
            markiert[std::size_t(p)] = true;
            draht += char(48 + p) + musterSeite(p);
        }
        draht += esc();
        const Seitenaenderung vorher = markiert;
        QVERIFY(u.v->konfigurationSchreiben(musterBild(), markiert, u.fertig()));
        QCOMPARE(u.v->vorgang()->phase(), Vorgang::Phase::Verbinden);
        u.ack();
        QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 60000);
        QCOMPARE(*u.ausgang, Ausgang::Erfolg);
        QCOMPARE(u.geraet.empfangen.size(), draht.size());
        QCOMPARE(u.geraet.empfangen, draht);
        QCOMPARE(markiert, vorher);
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.ruhend());
        QVERIFY(u.keineMeldung());
        QCOMPARE(u.beeps(), 0);
        QCOMPARE(u.ansicht->texte(), texte);
        // During a page the bar counts its 256 cells out of 257; the next
        // page's select character still counts on before the bar restarts.
        int hoechster = 0;
        for (const auto& s : u.ansicht->staende)
            if (s.maximum == 257)
                hoechster = std::max(hoechster, s.wert);
        QCOMPARE(hoechster, seiten.isEmpty() ? 0 : seiten.size() == 1 ? 256 : 257);
    }

    void schreibfehler_data()
    {
        QTest::addColumn<int>("ohneEcho");  // index of the byte the device does not echo
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QList<int>>("geschrieben");  // pages complete; the rest of 10..12 is not
        QTest::addColumn<bool>("datenGesendet");
        QTest::newRow("kein Echo für w") << 0 << "verstummt" << "Echo fehlt bei w" << QList<int>{} << false;
        QTest::newRow("kein Echo für das Seitenzeichen")
            << 1 << "verstummt" << "Echo fehlt beim Seitenzeichen von Seite 10" << QList<int>{} << false;
        QTest::newRow("Seitenzeichen nach der ersten Seite")
            << 2 + 256 << "verstummt" << "Echo fehlt beim Seitenzeichen von Seite 11" << QList<int>{10} << true;
        // Pages 10, 11, 12: "w", ":", 256 bytes, ";", then the 100th byte of page 11.
        QTest::newRow("100. Byte von Seite 11")
            << 2 + 256 + 1 + 99 << "verstummt" << "Echo fehlt bei Seite 11, Zeichen 100" << QList<int>{10} << true;
        QTest::newRow("1. Byte von Seite 10")
            << 2 << "verstummt" << "Echo fehlt bei Seite 10, Zeichen 1" << QList<int>{} << true;
        QTest::newRow("Daten geschlossen beim Warten")
            << 300 << "daten" << "abgebrochen bei Seite 11, Zeichen 42" << QList<int>{10} << true;
        QTest::newRow("Abbruchsequenz beim Warten")
            << 300 << "abbruch" << "abgebrochen bei Seite 11, Zeichen 42" << QList<int>{10} << true;
        QTest::newRow("letztes Byte von Seite 12")
            << 3 * 257 << "verstummt" << "Echo fehlt bei Seite 12, Zeichen 256" << QList<int>{10, 11} << true;
    }
    void schreibfehler()
    {
        QFETCH(int, ohneEcho);
        QFETCH(QString, fall);
        QFETCH(QString, detail);
        LinkUmgebung u(fall == "verstummt" ? 300ms : 20000ms);
        int n = 0;
        u.geraet.antwort = [&](std::uint8_t b) { return n++ == ohneEcho ? QByteArray() : QByteArray(1, char(b)); };
        Seitenaenderung markiert{};
        markiert[10] = markiert[11] = markiert[12] = true;
        QByteArray voll = "w";
        for (int p : {10, 11, 12})
            voll += char(48 + p) + musterSeite(p);
        QVERIFY(u.v->konfigurationSchreiben(musterBild(), markiert, u.fertig()));
        u.ack();
        QTRY_COMPARE(u.geraet.empfangen.size(), ohneEcho + 1);
        if (fall == "daten")
            u.v->daten().schliessen();
        if (fall == "abbruch")
            u.v->abbrechen();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::Uebertragungsfehler);
        QCOMPARE(u.beeps(), 1);
        QVERIFY(eineMeldung(u, "Fehler bei Datenübertragung"));
        QCOMPARE(u.ergebnis->detail, detail);
        // How far it came: a page partly sent is not written.
        QFETCH(QList<int>, geschrieben);
        QFETCH(bool, datenGesendet);
        QList<int> offen{10, 11, 12};
        for (int p : geschrieben)
            offen.removeOne(p);
        QVERIFY(u.ergebnis->schreibstand.has_value());
        QCOMPARE(u.ergebnis->schreibstand->geschrieben, geschrieben);
        QCOMPARE(u.ergebnis->schreibstand->offen, offen);
        QCOMPARE(u.ergebnis->schreibstand->datenGesendet, datenGesendet);
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.ruhend());
        // The rest is not sent; the device gets ESC (once: the abort sequence
        // already closed the port when it sent its own).
        QTest::qWait(30);
        QCOMPARE(u.geraet.empfangen, voll.left(ohneEcho + 1) + esc());
    }

    // The clock command and the dialog's read: "t", then five bytes and ">".
    void uhrLesen_data()
    {
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<bool>("dekoderOk");
        QTest::addColumn<QByteArray>("dekodiert");  // empty: the decoder is not called
        QTest::addColumn<Ausgang>("ausgang");
        const QByteArray zeit("\x09\x05\x0E\x15\x06>");
        QTest::newRow("fünf Bytes") << zeit << true << zeit << Ausgang::Erfolg;
        QTest::newRow("anderes davor") << QByteArray("zz") + zeit << true << zeit << Ausgang::Erfolg;
        QTest::newRow("vier Bytes") << QByteArray("\x09\x05\x0E\x15>") << true << QByteArray()
                                    << Ausgang::Uebertragungsfehler;
        QTest::newRow("ein Byte") << QByteArray("\x09>") << true << QByteArray() << Ausgang::Uebertragungsfehler;
        QTest::newRow("Dekodierung scheitert") << zeit << false << zeit << Ausgang::Uebertragungsfehler;
        QTest::newRow("kein >") << QByteArray("\x09\x05\x0E") << true << QByteArray()
                                << Ausgang::Uebertragungsfehler;
    }
    void uhrLesen()
    {
        QFETCH(QByteArray, antwort);
        QFETCH(bool, dekoderOk);
        QFETCH(QByteArray, dekodiert);
        QFETCH(Ausgang, ausgang);
        LinkUmgebung u(antwort.endsWith('>') ? 5000ms : 300ms);
        u.geraet.antwort = [&](std::uint8_t b) { return b == 't' ? antwort : QByteArray(); };
        QList<QByteArray> erhalten;
        bool uhrModus = false;
        QVERIFY(u.v->uhrLesen(
            [&](const QByteArray& b) {
                erhalten.append(b);
                uhrModus = u.v->vorgang() && u.v->vorgang()->art() == Vorgang::Art::UhrLesen;
                return dekoderOk;
            },
            u.fertig()));
        u.ack();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, ausgang);
        QCOMPARE(erhalten, dekodiert.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{dekodiert});
        QCOMPARE(uhrModus, !dekodiert.isEmpty());
        if (ausgang == Ausgang::Erfolg)
            QVERIFY(u.keineMeldung());
        else
            QVERIFY(eineMeldung(u, "Fehler bei Datenübertragung"));
        QCOMPARE(u.geraet.empfangen, QByteArray("t"));
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.ruhend());
        // The dialog closes later: the port is closed already, nothing is sent.
        u.v->uhrDialogEntladen();
        QTest::qWait(30);
        QCOMPARE(u.geraet.empfangen, QByteArray("t"));
        QCOMPARE(u.fertigAufrufe, 1);
    }

    // "Übernehmen": "s", 500 ms, five bytes 200 ms apart, 200 ms, then ESC (as the dialog's unload sends it).
    void uhrSetzen()
    {
        LinkUmgebung u;
        QList<qint64> gefragt;
        QVERIFY(u.v->uhrSetzen(
            [&](int i) {
                gefragt.append(u.geraet.uhr.elapsed());
                return std::uint8_t(0xA0 + i);
            },
            u.fertig()));
        u.ack();
        QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 5000);
        const qint64 ende = u.geraet.uhr.elapsed();
        QCOMPARE(*u.ausgang, Ausgang::Erfolg);
        QTRY_COMPARE(u.geraet.empfangen, QByteArray("s\xA0\xA1\xA2\xA3\xA4\x1B"));
        QCOMPARE(gefragt.size(), 5);  // each byte asked for when it is sent
        const auto& t = u.geraet.zeiten;
        QVERIFY2(t[1] - t[0] >= 450, qPrintable(QString::number(t[1] - t[0])));
        for (int i = 2; i <= 5; ++i)
            QVERIFY2(t[i] - t[i - 1] >= 180, qPrintable(QString::number(t[i] - t[i - 1])));
        QVERIFY(ende - t[5] >= 180);
        QVERIFY(t[6] - t[5] >= 180);
        QVERIFY(t[5] - t[0] < 5000);
        QVERIFY(u.keineMeldung());
        QVERIFY(u.ruhend());
        QVERIFY(!u.v->portOffen());
        // The dialog's unload afterwards sends nothing more.
        u.v->uhrDialogEntladen();
        QTest::qWait(30);
        QCOMPARE(u.geraet.empfangen, QByteArray("s\xA0\xA1\xA2\xA3\xA4\x1B"));
    }

    void uhrSetzenUnterbrochen_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::newRow("Dialog geschlossen") << "dialog";
        QTest::newRow("Daten geschlossen") << "daten";
        QTest::newRow("Abbruchsequenz") << "abbruch";
    }
    void uhrSetzenUnterbrochen()
    {
        QFETCH(QString, fall);
        LinkUmgebung u;
        QVERIFY(u.v->uhrSetzen([](int i) { return std::uint8_t(0xA0 + i); }, u.fertig()));
        u.ack();
        QTRY_COMPARE(u.geraet.empfangen.size(), 3);
        if (fall == "dialog")
            u.v->uhrDialogEntladen();
        if (fall == "daten")
            u.v->daten().schliessen();
        if (fall == "abbruch")
            u.v->abbrechen();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::Abgebrochen);
        QCOMPARE(u.ergebnis->detail, QStringLiteral("abgebrochen nach 2 von 5 Uhrzeit-Bytes"));
        QVERIFY(u.ruhend());
        QVERIFY(!u.v->portOffen());
        u.v->uhrDialogEntladen();
        QTest::qWait(500);
        QCOMPARE(u.geraet.empfangen, QByteArray("s\xA0\xA1\x1B"));
        QVERIFY(u.keineMeldung());
    }
};

QTEST_MAIN(TestBefehle)
#include "test_befehle.moc"
