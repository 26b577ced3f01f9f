#include "editor/teledit.h"
#include "fakedoor.h"
#include "image/felder.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }
QByteArray gerahmt(const QByteArray& inhalt) { return inhalt + ff(128 - int(inhalt.size())); }
const QString kZuLang = QStringLiteral("Die Rufnummern passen nicht in den Speicher des Boravilon "
                                       "(%1 von 128 Zeichen). Bitte Einträge kürzen oder entfernen.");

// The main window as the dialog sees it: image, page flags, operator, markers.
struct Umgebung {
    FakeDoor tuer;
    Konfigspeicher k;
    Seitenaenderung s{};
    bool a1 = true;
    QList<int> marker;
    Teledit t{k, s, [this] { return a1; }, [this](int m) { marker.append(m); }};

    Umgebung()
    {
        Grundeinstellung(k);
        for (int seite : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})  // the alarm text behind each list
            textSpeichern(k, Bereich{seite, 128, 128}, "Alarm " + QByteArray::number(seite));
    }
    QByteArray liste(int seite) const { return k.seite(seite).left(128); }
    QByteArray hinten(int seite) const { return k.seite(seite).mid(128); }
    void liste(int seite, const QByteArray& b) { listeSpeichern(k, seite, gerahmt(b)); }
    template <class W> W* w(const QString& name, int i) { return t.findChild<W*>(name + '_' + QString::number(i)); }
    QLineEdit* nummer(int i) { return w<QLineEdit>("Nummer", i); }
    QString bezeichnung(int i) { return w<QLabel>("Bezeichnung", i)->text(); }
    void eintragen(int i, const QString& opt, const QString& text)
    {
        w<QRadioButton>(opt, i)->click();
        nummer(i)->selectAll();
        QTest::keyClick(nummer(i), Qt::Key_Backspace);
        tippen(nummer(i), text);
    }
    // Typed keys, umlauts and other non-ASCII characters included.
    static void tippen(QWidget* feld, const QString& text)
    {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, feld, c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
    }
    void klick(const char* knopf) { t.findChild<QPushButton*>(knopf)->click(); }
    // What the slots show: "G:number", "F:number", "E:address", "" for an empty GSM slot.
    QStringList plaetze()
    {
        QStringList out;
        for (int i = 0; i < 8; ++i) {
            const QString art = w<QRadioButton>("Opt_FAX", i)->isChecked() ? "F:"
                              : w<QRadioButton>("Opt_email", i)->isChecked() ? "E:" : "G:";
            out << (art == "G:" && nummer(i)->text().isEmpty() ? QString() : art + nummer(i)->text());
        }
        return out;
    }
};
} // namespace

class TestTeledit : public QObject {
    Q_OBJECT
private slots:
    void aufbau_data()
    {
        QTest::addColumn<int>("seite");
        QTest::addColumn<QString>("titel");
        QTest::newRow("CMD_Nr(0)") << 1 << "GSM-Nummern für Meldelinie 1";
        QTest::newRow("CMD_Nr(7)") << 8 << "GSM-Nummern für Meldelinie 8";
        QTest::newRow("CMD_Nr(8)") << 9 << "GSM-Nummern für Stromausfall";
        QTest::newRow("Cmd_Analog") << 11 << "GSM-Nummern für Analogwertüberwachung";
    }
    void aufbau()
    {
        QFETCH(int, seite);
        QFETCH(QString, titel);
        Umgebung u;
        QVERIFY(!u.t.oeffnen(10));
        QVERIFY(!u.t.isVisible());
        QVERIFY(u.t.oeffnen(seite));
        QVERIFY(u.t.isVisible());
        QVERIFY(!u.t.isModal());
        QCOMPARE(u.t.windowTitle(), titel);
        QCOMPARE(u.t.nummernseite(), seite);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(u.w<QGroupBox>("Frame", i)->title(), QStringLiteral("Nummer %1").arg(i + 1));
            QCOMPARE(u.w<QRadioButton>("Opt_GSM", i)->text(), "GSM");
            QCOMPARE(u.w<QRadioButton>("Opt_FAX", i)->text(), "Fax");
            QCOMPARE(u.w<QRadioButton>("Opt_email", i)->text(), "email");
            QCOMPARE(u.bezeichnung(i), "GSM Nummer");
        }
        QCOMPARE(u.plaetze(), QStringList(8));
        QCOMPARE(u.t.findChild<QPushButton*>("CMD_Save")->text(), "Speichern");
        QCOMPARE(u.t.findChild<QPushButton*>("CMD_Cancel")->text(), "Abbruch");
        QCOMPARE(u.t.findChild<QPushButton*>("CMD_kopieren")->text(), "Kopieren");
        u.w<QRadioButton>("Opt_FAX", 2)->click();
        QCOMPARE(u.bezeichnung(2), "FAX Nummer mit Vorwahl");
        u.w<QRadioButton>("Opt_email", 2)->click();
        QCOMPARE(u.bezeichnung(2), "email-Adresse");
    }

    void speichern_data()
    {
        QTest::addColumn<int>("seite");
        QTest::addColumn<bool>("a1");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("marker");
        QTest::newRow("A1 Meldelinie 2") << 2 << true
            << QByteArray("+436641\r066468020316\r0664680502&max*firma.at (Boravilon)\r\x03") << 10;
        QTest::newRow("andere Analog") << 11 << false << QByteArray("+436641\r67620316\r6761&max*firma.at \r\x03") << 20;
    }
    void speichern()
    {
        QFETCH(int, seite);
        QFETCH(bool, a1);
        QFETCH(QByteArray, bytes);
        QFETCH(int, marker);
        Umgebung u;
        u.liste(seite, "1\r2\r3\r4\r5\r");
        u.t.oeffnen(seite);
        u.eintragen(0, "Opt_GSM", "+436641");
        u.eintragen(1, "Opt_GSM", "");
        u.eintragen(2, "Opt_FAX", "0316");
        u.eintragen(3, "Opt_GSM", "");
        u.eintragen(4, "Opt_GSM", "");
        u.eintragen(6, "Opt_email", "max@firma.at");
        u.a1 = a1;  // the operator counts when the list is stored
        u.klick("CMD_Save");
        QVERIFY(!u.t.isVisible());
        QCOMPARE(u.liste(seite), gerahmt(bytes));
        QCOMPARE(u.hinten(seite), gerahmt("Alarm " + QByteArray::number(seite) + '\x03'));
        QCOMPARE(u.marker, QList<int>{marker});
        Seitenaenderung erwartet{};
        erwartet[seite] = true;
        QCOMPARE(u.s, erwartet);
        QCOMPARE(u.tuer.beeps, 0);
        u.a1 = !a1;  // reopening does not depend on the operator
        u.t.oeffnen(seite);
        QCOMPARE(u.plaetze(), (QStringList{"G:+436641", "F:0316", "E:max@firma.at", "", "", "", "", ""}));
        QCOMPARE(u.bezeichnung(1), "FAX Nummer mit Vorwahl");
        QCOMPARE(u.bezeichnung(2), "email-Adresse");
        QVERIFY(!u.t.geaendert());
    }

    void faxVorwahlBleibtBisZumSpeichern()
    {
        Umgebung u;
        u.liste(4, "066468020316\r67621234\r");  // the second was typed as a GSM number
        u.a1 = false;
        u.t.oeffnen(4);
        QCOMPARE(u.plaetze(), (QStringList{"F:0316", "F:1234", "", "", "", "", "", ""}));
        u.klick("CMD_Cancel");
        QCOMPARE(u.liste(4), gerahmt("066468020316\r67621234\r"));
        u.t.oeffnen(4);
        u.klick("CMD_Save");
        QCOMPARE(u.liste(4), gerahmt("67620316\r67621234\r\x03"));
    }

    void tasten_data()
    {
        QTest::addColumn<QString>("opt");
        QTest::addColumn<bool>("einfuegen");  // pasted as one text instead of typed
        QTest::addColumn<QString>("tasten");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("GSM") << "Opt_GSM" << false << "+43 664-12/3a" << "+43664123" << 4;
        QTest::newRow("Fax") << "Opt_FAX" << false << "0316 Abc" << "0316" << 4;
        QTest::newRow("email") << "Opt_email" << false << "Max.M-1_x@firma.at" << "Max.M-1_x@firma.at" << 0;
        QTest::newRow("email verboten") << "Opt_email" << false << QStringLiteral("a b(c*d\u00ff\u4e2de") << "abcde" << 5;
        QTest::newRow("GSM einfuegen") << "Opt_GSM" << true << "+43 664 123" << "+43664123" << 1;
        QTest::newRow("Fax einfuegen") << "Opt_FAX" << true << "+4331612" << "+4331612" << 0;
        QTest::newRow("email einfuegen") << "Opt_email" << true << "info@firma.at" << "info@firma.at" << 0;
        QTest::newRow("email einfuegen Blank") << "Opt_email" << true << "info@firma.at x" << "info@firma.atx" << 1;
    }
    void tasten()
    {
        QFETCH(QString, opt);
        QFETCH(bool, einfuegen);
        QFETCH(QString, tasten);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        Umgebung u;
        u.t.oeffnen(1);
        if (einfuegen) {
            u.w<QRadioButton>(opt, 5)->click();
            QApplication::clipboard()->setText(tasten);
            QTest::keySequence(u.nummer(5), QKeySequence::Paste);
        } else {
            u.eintragen(5, opt, tasten);
        }
        QCOMPARE(u.nummer(5)->text(), text);
        QCOMPARE(u.tuer.beeps, beeps);
        QTest::keyClick(u.nummer(5), Qt::Key_Backspace);
        QString ohneLetztes = text;  // chopped(1) of an empty text is undefined
        ohneLetztes.chop(1);
        QCOMPARE(u.nummer(5)->text(), ohneLetztes);
        QCOMPARE(u.tuer.beeps, beeps);
    }

    void kopieren_data()
    {
        QTest::addColumn<Door::Antwort>("antwort");
        QTest::newRow("Abbrechen") << Door::Antwort::Abbrechen;
        QTest::newRow("OK") << Door::Antwort::Ok;
    }
    void kopieren()
    {
        QFETCH(Door::Antwort, antwort);
        Umgebung u;
        u.t.oeffnen(3);
        u.eintragen(0, "Opt_FAX", "0316");
        u.tuer.antworten.enqueue(antwort);
        u.klick("CMD_kopieren");
        QVERIFY(u.t.isVisible());
        QCOMPARE(u.tuer.meldungen.size(), 1);
        QCOMPARE(u.tuer.meldungen[0].text,
                 "Wollen Sie diese Einstellung für alle anderen Meldelinien und Alarme übernehmen ?");
        QCOMPARE(u.tuer.meldungen[0].icon, Door::Icon::Keins);
        QCOMPARE(u.tuer.meldungen[0].knoepfe, Door::Knoepfe::OkAbbrechen);
        QCOMPARE(u.tuer.meldungen[0].titel, "GSM BV Konfiguration");
        const bool ok = antwort == Door::Antwort::Ok;
        const QByteArray liste = gerahmt("066468020316\r\x03");
        QCOMPARE(u.marker, ok ? (QList<int>{11, 9, 10, 11, 12, 13, 14, 15, 16, 17, 20}) : QList<int>{11});
        for (int seite = 0; seite < 13; ++seite) {
            const bool ziel = ok ? empfaenger::istListenseite(seite) : seite == 3;
            QCOMPARE(u.s[seite], ziel);
            if (empfaenger::istListenseite(seite)) {
                QCOMPARE(u.liste(seite), ziel ? liste : ff(128));
                QCOMPARE(u.hinten(seite), gerahmt("Alarm " + QByteArray::number(seite) + '\x03'));
            }
        }
        QVERIFY(!u.t.geaendert());
    }

    void zuLang_data()
    {
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<bool>("a1");
        QTest::addColumn<int>("bedarf");
        QTest::newRow("Speichern") << "CMD_Save" << false << 129;
        QTest::newRow("Kopieren") << "CMD_kopieren" << false << 129;
        QTest::newRow("Speichern email A1") << "CMD_Save" << true << 152;
    }
    void zuLang()
    {
        QFETCH(QString, knopf);
        QFETCH(bool, a1);
        QFETCH(int, bedarf);
        Umgebung u;
        u.liste(5, "0664\r");
        u.t.oeffnen(5);
        const Konfigspeicher vorher = u.k;
        for (int i = 0; i < 7; ++i)
            u.eintragen(i, "Opt_GSM", QString(15, '9'));
        u.eintragen(7, a1 ? "Opt_email" : "Opt_GSM", QString(15, '9'));
        u.a1 = a1;
        u.klick(qPrintable(knopf));
        QVERIFY(u.t.isVisible());
        QCOMPARE(u.tuer.beeps, 1);
        QCOMPARE(u.tuer.meldungen.size(), 1);
        QCOMPARE(u.tuer.meldungen[0].text, kZuLang.arg(bedarf));
        QCOMPARE(u.tuer.meldungen[0].icon, Door::Icon::Warnung);
        QCOMPARE(u.tuer.meldungen[0].knoepfe, Door::Knoepfe::Ok);
        QCOMPARE(u.tuer.meldungen[0].titel, "GSM Boravilon");
        QVERIFY(u.k == vorher);
        QCOMPARE(u.s, Seitenaenderung{});
        QVERIFY(u.marker.isEmpty());
        // One digit less fits exactly: no 0xFF behind the end mark.
        u.eintragen(7, "Opt_GSM", QString(14, '9'));
        u.a1 = false;
        u.klick("CMD_Save");
        QCOMPARE(u.liste(5), (QByteArray(15, '9') + '\r').repeated(7) + QByteArray(14, '9') + "\r\x03");
        QCOMPARE(u.hinten(5), gerahmt("Alarm 5\x03"));
    }

    void seitenbindung_data()
    {
        QTest::addColumn<bool>("bearbeiten");
        QTest::addColumn<Door::Antwort>("antwort");
        QTest::addColumn<bool>("zuLang");
        QTest::newRow("unveraendert") << false << Door::Antwort::Ok << false;
        QTest::newRow("verwerfen") << true << Door::Antwort::Nein << false;
        QTest::newRow("speichern") << true << Door::Antwort::Ja << false;
        QTest::newRow("speichern zu lang") << true << Door::Antwort::Ja << true;
    }
    void seitenbindung()
    {
        QFETCH(bool, bearbeiten);
        QFETCH(Door::Antwort, antwort);
        QFETCH(bool, zuLang);
        Umgebung u;
        u.liste(1, "111\r");
        u.liste(9, "999\r");
        u.t.oeffnen(1);
        if (bearbeiten)
            u.eintragen(1, "Opt_GSM", zuLang ? QString(125, '2') : "222");
        QVERIFY(u.t.oeffnen(1));  // the same source again keeps the edits
        QCOMPARE(u.t.geaendert(), bearbeiten);
        QVERIFY(u.tuer.meldungen.isEmpty());
        u.tuer.antworten.enqueue(antwort);
        QCOMPARE(u.t.oeffnen(9), !zuLang);
        QCOMPARE(u.tuer.meldungen.size(), bearbeiten ? 1 + zuLang : 0);
        if (bearbeiten) {
            QCOMPARE(u.tuer.meldungen[0].text,
                     "Die Änderungen der Nummern für Meldelinie 1 sind noch nicht gespeichert. Sollen sie "
                     "gespeichert werden, bevor die Nummern für Stromausfall geöffnet werden?");
            QCOMPARE(u.tuer.meldungen[0].knoepfe, Door::Knoepfe::JaNein);
        }
        const bool gespeichert = antwort == Door::Antwort::Ja && !zuLang;
        QCOMPARE(u.liste(1), gerahmt(gespeichert ? "111\r222\r\x03" : "111\r"));
        if (zuLang) {
            QCOMPARE(u.t.nummernseite(), 1);
            QCOMPARE(u.t.windowTitle(), "GSM-Nummern für Meldelinie 1");
            return;
        }
        QCOMPARE(u.t.windowTitle(), "GSM-Nummern für Stromausfall");
        QCOMPARE(u.plaetze()[0], "G:999");
        u.eintragen(0, "Opt_GSM", "900");
        u.klick("CMD_Save");
        QCOMPARE(u.liste(9), gerahmt("900\r\x03"));
        QCOMPARE(u.liste(1), gerahmt(gespeichert ? "111\r222\r\x03" : "111\r"));
        QCOMPARE(u.marker, gespeichert ? (QList<int>{9, 17}) : QList<int>{17});
    }

    void bildErneuert()
    {
        Umgebung u;
        u.t.bildErneuert();  // closed: nothing to do
        QVERIFY(!u.t.isVisible());
        u.t.oeffnen(2);
        u.eintragen(0, "Opt_GSM", "5");
        u.liste(2, "6762777\r");  // a device read replaced the image
        u.t.bildErneuert();
        QCOMPARE(u.plaetze()[0], "F:777");
        QVERIFY(!u.t.geaendert());
    }

    void fremdeListen_data()
    {
        QTest::addColumn<QByteArray>("zellen");  // offsets 0..127
        QTest::addColumn<QStringList>("plaetze");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<QByteArray>("gespeichert");
        QTest::newRow("neues Geraet") << ff(128) << QStringList(8) << "" << gerahmt("\x03");
        QTest::newRow("zehn Eintraege") << gerahmt("1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r\x03")
            << QStringList{"G:1", "G:2", "G:3", "G:4", "G:5", "G:6", "G:7", "G:8"}
            << "Für Meldelinie 6 sind 10 Empfänger gespeichert, bearbeitet werden können höchstens 8. "
               "Angezeigt werden die ersten 8; beim Speichern werden die übrigen 2 entfernt."
            << gerahmt("1\r2\r3\r4\r5\r6\r7\r8\r\x03");
        QTest::newRow("neun Eintraege") << gerahmt("1\r2\r3\r4\r5\r6\r7\r8\r9\r\x03")
            << QStringList{"G:1", "G:2", "G:3", "G:4", "G:5", "G:6", "G:7", "G:8"}
            << "Für Meldelinie 6 sind 9 Empfänger gespeichert, bearbeitet werden können höchstens 8. "
               "Angezeigt werden die ersten 8; beim Speichern wird der neunte entfernt."
            << gerahmt("1\r2\r3\r4\r5\r6\r7\r8\r\x03");
        QTest::newRow("leere Eintraege") << gerahmt("\r1\r\r2\r\x03")
            << QStringList{"G:1", "G:2", "", "", "", "", "", ""} << "" << gerahmt("1\r2\r\x03");
        QTest::newRow("email ohne Endung") << gerahmt("0664680502&a*b.at\r6761&c*d.at")
            << QStringList{"E:a@b.at", "E:c@d.at", "", "", "", "", "", ""} << ""
            << gerahmt("0664680502&a*b.at (Boravilon)\r0664680502&c*d.at (Boravilon)\r\x03");
        QTest::newRow("fremde Zeichen") << gerahmt("12AB\x01\r+43*5#\r\x03")
            << QStringList{"G:12AB\x01", "G:+43*5#", "", "", "", "", "", ""} << "" << gerahmt("12AB\x01\r+43*5#\r\x03");
    }
    void fremdeListen()
    {
        QFETCH(QByteArray, zellen);
        QFETCH(QStringList, plaetze);
        QFETCH(QString, meldung);
        QFETCH(QByteArray, gespeichert);
        Umgebung u;
        listeSpeichern(u.k, 6, zellen);
        const Konfigspeicher vorher = u.k;
        for (int schliessen = 0; schliessen < 2; ++schliessen) {
            u.tuer.zuruecksetzen();
            u.t.oeffnen(6);
            QCOMPARE(u.plaetze(), plaetze);
            QCOMPARE(u.tuer.meldungen.size(), meldung.isEmpty() ? 0 : 1);
            if (!meldung.isEmpty()) {
                QCOMPARE(u.tuer.meldungen[0].text, meldung);
                QCOMPARE(u.tuer.meldungen[0].titel, "GSM Boravilon");
            }
            if (schliessen)
                u.t.close();
            else
                u.klick("CMD_Cancel");
            QVERIFY(!u.t.isVisible());
            QVERIFY(u.k == vorher);
            QCOMPARE(u.s, Seitenaenderung{});
            QVERIFY(u.marker.isEmpty());
        }
        u.t.oeffnen(6);
        u.klick("CMD_Save");
        QCOMPARE(u.liste(6), gespeichert);
        QCOMPARE(u.hinten(6), gerahmt("Alarm 6\x03"));
    }

    void fremdeZeichenBearbeiten()
    {
        Umgebung u;
        u.liste(1, "12AB\r");
        u.t.oeffnen(1);
        QLineEdit* f = u.nummer(0);
        f->end(false);
        Umgebung::tippen(f, "3x");
        QCOMPARE(f->text(), "12AB3");
        QCOMPARE(u.tuer.beeps, 1);
        f->setCursorPosition(3);
        QTest::keyClick(f, Qt::Key_Backspace);  // letters may be deleted
        QCOMPARE(f->text(), "12B3");
        QCOMPARE(u.tuer.beeps, 1);
    }
};

QTEST_MAIN(TestTeledit)
#include "test_teledit.moc"
