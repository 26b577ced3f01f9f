// The recipients: what a slot admits; the editor's entries stored and read back into their own page,
// the copy to every source, the switch between sources, lists it did not write.
#include "../modell/aenderung.h"
#include "editor/editorkontext.h"
#include "editor/teledit.h"
#include "image/felder.h"
#include "kit.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace empfaenger;
Q_DECLARE_METATYPE(empfaenger::Art)

class TestTeledit : public QObject {
    Q_OBJECT
private slots:
    // An edit keeps what the slot admits and drops the rest; a stored list's characters may stay or go.
    void filter_data()
    {
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("alt");
        QTest::addColumn<QString>("neu");
        QTest::addColumn<QString>("gefiltert");  // text|cursor|dropped
        QTest::newRow("GSM") << Art::GSM << "" << "0aZ -/*#@()12\r\t\u00e43+\u4e2d" << "0123+|5|verworfen";
        QTest::newRow("Auswahl ersetzt") << Art::GSM << "0664999" << "06641 2" << "066412|6|verworfen";
        QTest::newRow("email") << Art::Email << "" << "az.AZ09@-_+~!\u00e4\u00df\u20ac (*\u00ff\u4e2d\r\t\u0001\u007f\u0081" << "az.AZ09@-_+~!\u00e4\u00df\u20ac|16|verworfen";
        QTest::newRow("alte Zeichen bleiben") << Art::GSM << "12AB" << "12AB3" << "12AB3|5|";
        QTest::newRow("altes Zeichen löschen") << Art::GSM << "12AB" << "12B" << "12B|2|";
        QTest::newRow("altes Zeichen verdoppelt") << Art::GSM << "12AB" << "12AAB" << "12AB|3|verworfen";
    }
    void filter()
    {
        QFETCH(Art, art);
        QFETCH(QString, alt);
        QFETCH(QString, neu);
        const Gefiltert g = eingabeFiltern(art, alt, neu);
        QTEST(g.text + '|' + QString::number(g.cursor) + (g.verworfen ? "|verworfen" : "|"), "gefiltert");
    }

    // The dialog on page 5 holding "0664", page 9 holding "999", an alarm text
    // behind each list. Steps: "n" opens page n, "i=K:text" types into slot i
    // of kind G/F/E ("i=K!text" pastes), "@p:bytes" puts a list on page p as a
    // device read does (the image compared with from then on), the buttons by
    // name; the answers go to the boxes. "<csv" answers the next file dialog with a file holding csv ("<"
    // alone: cancelled), ">" with the file "aus" (".csv" added), ">>" with "aus" already there.
    // "fenster": the open dialog's title and its slots up to the last one used; "exportiert": what "aus.csv" holds ("<fehlt>": none).
    void dialog_data()
    {
        QTest::addColumn<bool>("a1");
        QTest::addColumn<QStringList>("schritte");
        QTest::addColumn<QList<int>>("antworten");
        QTest::addColumn<QString>("bild");
        QTest::addColumn<QList<int>>("marker");
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<QString>("fenster");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QByteArray>("exportiert");
        const auto z = [](const char* name, bool a1, const QStringList& schritte, const QString& bild, const QList<int>& marker, const QString& fenster,
                          const QStringList& boxen = {}, const QList<int>& antworten = {}, int beeps = 0, const QByteArray& aus = "<fehlt>") {
            QTest::newRow(name) << a1 << schritte << antworten << bild << marker << boxen << fenster << beeps << aus;
        };
        const QStringList eintrag = {"0=G:+436641", "1=G:", "2=F:0316", "3=G:", "6=E:max@firma.at"};
        z("keine Liste", true, {"0", "10"}, "", {}, "");
        z("A1", true, QStringList{"2"} + eintrag + QStringList{"CMD_Save", "2"}, "2:0 \"+436641\" 0D \"066468020316\" 0D \"0664680502&max*firma.at (Boravilon)\" 0D 03",
          {10}, "GSM-Nummern für Meldelinie 2: G:+436641|F:0316|E:max@firma.at");
        z("andere, Analog", false, QStringList{"11"} + eintrag.mid(0, 4) + QStringList{"6=E:jörg@bäcker.at", "CMD_Save"},
          "11:0 \"+436641\" 0D \"67620316\" 0D \"6761&j\" F6 \"rg*b\" E4 \"cker.at \" 0D 03", {20}, "");
        z("Abbruch", true, {"2", "0=G:1", "CMD_Cancel"}, "", {}, "");
        z("getippt, eingefügt", true, {"2", "0=G:+43 664-1/a", "1=F!0316 12", "2=E!a b@c"}, "", {}, "GSM-Nummern für Meldelinie 2: G:+436641|F:031612|E:ab@c", {}, {}, 6);
        const QString kopieren = QStringLiteral("Keins|OkAbbrechen|Wollen Sie diese Einstellung für alle anderen Meldelinien und Alarme übernehmen ?|GSM BV Konfiguration");
        z("kopieren, abgebrochen", true, {"3", "0=F:0316", "CMD_kopieren"}, "3:0 \"066468020316\" 0D 03", {11}, "GSM-Nummern für Meldelinie 3: F:0316", {kopieren},
          {int(Door::Antwort::Abbrechen)});
        z("kopieren", true, {"3", "0=F:0316", "CMD_kopieren"}, "1:0 \"066468020316\" 0D 03; 2:0 \"066468020316\" 0D 03; 3:0 \"066468020316\" 0D 03; 4:0 \"066468020316\" 0D 03; "
          "5:4 \"68020316\" 0D 03; 6:0 \"066468020316\" 0D 03; 7:0 \"066468020316\" 0D 03; 8:0 \"066468020316\" 0D 03; "
          "9:0 \"066468020316\" 0D 03; 11:0 \"066468020316\" 0D 03",
          {9, 10, 11, 12, 13, 14, 15, 16, 17, 20}, "GSM-Nummern für Meldelinie 3: F:0316", {kopieren}, {int(Door::Antwort::Ok)});
        // 129 and 152 cells do not fit: nothing stored; one digit less fits exactly.
        QStringList voll{"5"};
        for (int i = 0; i < 8; ++i)
            voll << QStringLiteral("%1=G:999999999999999").arg(i);
        const QString zuLang = QStringLiteral("Warnung|Ok|Die Rufnummern passen nicht in den Speicher des Boravilon (%1 von 128 Zeichen). "
                                              "Bitte Einträge kürzen oder entfernen.|GSM Boravilon");
        const QString neune = QStringLiteral("GSM-Nummern für Meldelinie 5: ") + QStringLiteral("G:999999999999999|").repeated(7);
        z("zu lang", false, voll + QStringList{"CMD_Save", "CMD_kopieren", "7=G:99999999999999", "CMD_Save"},
          QStringLiteral("5:0") + QStringLiteral(" \"999999999999999\" 0D").repeated(7) + QStringLiteral(" \"99999999999999\" 0D 03"), {13}, "",
          {zuLang.arg(129), zuLang.arg(129)}, {}, 2);
        z("zu lang, email A1", true, voll + QStringList{"7=E:999999999999999", "CMD_Save"}, "", {}, neune + "E:999999999999999", {zuLang.arg(152)}, {}, 1);
        // Lists the editor would not write: more than eight entries, empty entries.
        const QString mehr = QStringLiteral("Warnung|Ok|Für Meldelinie 6 sind %1 Empfänger gespeichert, bearbeitet werden können höchstens 8. "
                                            "Angezeigt werden die ersten 8; beim Speichern %2.|GSM Boravilon");
        z("zehn Einträge", true, {"@6:1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r\x03", "6", "CMD_Save"}, "6:16 03 FF FF FF FF FF", {14}, "",
          {mehr.arg(10).arg("werden die übrigen 2 entfernt")});
        z("neun Einträge, neu gelesen", true, {"6", "@6:1\r2\r3\r4\r5\r6\r7\r8\r9\r\x03"}, "", {}, "GSM-Nummern für Meldelinie 6: G:1|G:2|G:3|G:4|G:5|G:6|G:7|G:8",
          {mehr.arg(9).arg("wird der neunte entfernt")});
        z("leere Einträge", true, {"@6:\r1\r\r2\r\x03", "6", "CMD_Save"}, "6:0 31 0D 32; 6:4 03 FF FF", {14}, "");
        // Stored entries read back: the kind by the beginning only, whatever the operator now.
        z("gelesen", true, {"@6:6762\r066468020316123456\r06641234\r67611234\r*101#\r0664680502&a*b.at(Boravilon)\r0664680502&a*b.at  (x)\r0664680502&a*b.at\r\x03", "6"},
          "", {}, "GSM-Nummern für Meldelinie 6: F:|F:0316123456|G:06641234|G:67611234|G:*101#|E:a@b.at|E:a@b.at |E:a@b.at");
        z("gelesen, email", false, {"@6:0664680502&a(b) (Boravilon)\r6761&jörg*bäcker.at \r6761&a*b.at\r6761&a*b c \r6761&a*b.at (Boravilon)\r\x03", "6"},
          "", {}, "GSM-Nummern für Meldelinie 6: E:a|E:jörg@bäcker.at|E:a@b.at|E:a@b|E:a@b.at");
        // Another source while edits are pending: asked first.
        const QString frage = QStringLiteral("Frage|JaNein|Die Änderungen der Nummern für Meldelinie 5 sind noch nicht gespeichert. Sollen sie "
                                             "gespeichert werden, bevor die Nummern für Stromausfall geöffnet werden?|GSM Boravilon");
        const QString neun = QStringLiteral("GSM-Nummern für Stromausfall: G:999");
        z("anderer Ursprung, verworfen", true, {"5", "1=G:2", "5", "9"}, "", {}, neun, {frage}, {int(Door::Antwort::Nein)});
        z("anderer Ursprung, gespeichert", true, {"5", "1=G:2", "9", "0=G:900", "CMD_Save"}, "5:5 32 0D 03; 9:1 \"00\"", {13, 17}, "", {frage}, {int(Door::Antwort::Ja)});
        z("anderer Ursprung, passt nicht", false, voll + QStringList{"9"}, "", {}, neune + "G:999999999999999", {frage, zuLang.arg(129)}, {int(Door::Antwort::Ja)}, 1);

        // "Importieren ..." stored at once, then "Exportieren ..." of the slots.
        const QStringList dateien{"<", "CMD_Importieren", ">", "CMD_Exportieren"};
        const auto mit = [&dateien](const char* csv, const char* aus = ">") { return QStringList{"5", QStringLiteral("<") + csv, dateien[1], aus, dateien[3]}; };
        z("Importieren, A1", true, mit("Art;Nummer\nGSM;+43664\nFax;0316\n"), "5:0 \"+43664\" 0D \"066468020316\" 0D 03", {13},
          "GSM-Nummern für Meldelinie 5: G:+43664|F:0316", {}, {}, 0, "Art;Nummer\nGSM;+43664\nFax;0316\n");
        // Three addresses fit behind the other operators' prefix; behind A1's they would not.
        const QByteArray drei = QByteArray("email;123456789012345678901234567890\n").repeated(3);
        z("Importieren, andere, passt", false, mit(drei.constData(), ">>"),
          "5:0 \"67\"; 5:3 \"1&123456789012345678901234567890 \" 0D \"6761&123456789012345678901234567890 \" 0D "
          "\"6761&123456789012345678901234567890 \" 0D 03", {13}, "GSM-Nummern für Meldelinie 5: " + QStringLiteral("E:123456789012345678901234567890|").repeated(3).chopped(1),
          {"Warnung|JaNein|Datei bereits vorhanden! Überschreiben?|GSM Boravilon"}, {}, 1, "Art;Nummer\n" + drei);
        z("Importieren abgewiesen", true, mit("GSM;0664 1\n\nSMS;1\n"), "", {}, "GSM-Nummern für Meldelinie 5: G:0664",
          {"Warnung|Ok|Aus liste.csv wurden keine Nummern übernommen:\nZeile 1: Nur Ziffern und +\nZeile 3: Erlaubt: GSM, Fax, email|GSM Boravilon"}, {}, 1,
          "Art;Nummer\nGSM;0664\n");
        z("Importieren abgebrochen", true, QStringList{"5"} + dateien, "", {}, "GSM-Nummern für Meldelinie 5: G:0664", {}, {}, 0, "Art;Nummer\nGSM;0664\n");
    }
    void dialog()
    {
        QFETCH(bool, a1);
        QFETCH(QStringList, schritte);
        QFETCH(QList<int>, antworten);
        QTemporaryDir ordner;
        const QString liste = ordner.filePath("liste.csv"), aus = ordner.filePath("aus");
        FakeDoor tuer;
        for (int a : antworten)
            tuer.antworten.enqueue(Door::Antwort(a));
        Editormodell m;
        m.werte().netz = a1 ? Netzbetreiber::A1 : Netzbetreiber::Andere;
        Konfigspeicher& k = m.speicher();
        Grundeinstellung(k);
        for (int seite : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
            textSpeichern(k, Bereich{seite, 128, 128}, "Alarm");
        listeSpeichern(k, 5, "0664\r\x03");
        listeSpeichern(k, 9, "999\r\x03");
        Konfigspeicher vorher = k;
        Editorkontext kontext(m);
        Teledit t(kontext);
        auto platz = [&](const char* name, int i) { return t.findChild<QWidget*>(name + QString::number(i)); };
        for (const QString& s : schritte) {
            if (s.startsWith('<')) {
                QVERIFY(kit::schreiben(liste, s.mid(1).toUtf8()));
                tuer.dateinamen.enqueue(s.size() > 1 ? liste : QString());
            } else if (s.startsWith('>')) {
                QVERIFY(s == ">" || kit::schreiben(aus + ".csv", "alt"));
                tuer.dateinamen.enqueue(aus);
            } else if (s.contains(QLatin1Char('='))) {
                const int i = s.left(1).toInt();
                static_cast<QRadioButton*>(platz(s[2] == 'G' ? "Opt_GSM_" : s[2] == 'F' ? "Opt_FAX_" : "Opt_email_", i))->click();
                auto* nummer = static_cast<QLineEdit*>(platz("Nummer_", i));
                nummer->selectAll();
                QTest::keyClick(nummer, Qt::Key_Backspace);
                QApplication::clipboard()->setText(s.mid(4));
                if (s[3] == '!')
                    QTest::keySequence(nummer, QKeySequence::Paste);
                for (QChar c : s[3] == '!' ? QString() : s.mid(4))
                    QTest::sendKeyEvent(QTest::Click, nummer, c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown, QString(c), {});
            } else if (s.startsWith('@')) {  // "@p:bytes"
                listeSpeichern(k, s.mid(1, s.indexOf(':') - 1).toInt(), s.mid(s.indexOf(':') + 1).toLatin1());
                vorher = k;
                t.bildErneuert();
            } else if (s.startsWith(QLatin1String("CMD_"))) {
                t.findChild<QPushButton*>(s)->click();
            } else {
                t.oeffnen(s.toInt());
            }
        }
        QTEST(aenderung(k, vorher), "bild");
        QList<int> marker, seiten;  // the pages of the markers set (9..17 and 20: pages 1..9 and 11)
        for (int i = 0; i < kMarker; ++i)
            if (m.marker(i))
                marker << i, seiten << (i == 20 ? 11 : i - 8);
        QTEST(marker, "marker");
        QCOMPARE(kit::geflaggt(m.seiten()), seiten);
        QTEST(kit::boxen(tuer), "boxen");
        // A slot "G:", "F:", "E:" by its caption and kind, "" when empty.
        const QMap<QString, QString> arten{{"GSM Nummer", "G:"}, {"FAX Nummer mit Vorwahl", "F:"}, {"email-Adresse", "E:"}};
        QString plaetze;
        for (int i = 0; i < 8; ++i) {
            const QString text = static_cast<QLineEdit*>(platz("Nummer_", i))->text();
            const QString art = arten.value(static_cast<QLabel*>(platz("Bezeichnung_", i))->text(), "?");
            plaetze += (art == "G:" && text.isEmpty() ? QString() : art + text) + '|';
        }
        QCOMPARE(platz("Frame_", 7)->property("title").toString(), QStringLiteral("Nummer 8"));
        while (plaetze.endsWith('|'))
            plaetze.chop(1);
        QTEST(t.isVisible() ? t.windowTitle() + ": " + plaetze : QString(), "fenster");
        QTEST(tuer.beeps, "beeps");
        QTEST(kit::lesen(aus + ".csv"), "exportiert");
    }
};

QTEST_MAIN(TestTeledit)
#include "test_teledit.moc"
