// Backups: their file names, writing without ever replacing one, and the
// list newest first with what it shows of each file.
#include "backup/sicherung.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "kit.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>
#include <sys/resource.h>

namespace {

const QDateTime kZeit(QDate(2026, 12, 6), QTime(14, 5, 9));

Konfigspeicher bild(const QString& name)
{
    Konfigspeicher k;
    Grundeinstellung(k);
    textSpeichern(k, bereich::Anlagenbezeichnung, ansi::bytes(name));
    return k;
}

// A backup of a read without its memory, as kept before memory files were kept.
sicherung::Versuch anlegen(const QString& name, const QDateTime& zeit, const QString& ordner)
{
    return sicherung::anlegen({bild(name), QByteArray()}, ordner, zeit, QString());
}

// A memory of 3328 bytes, page p filled with p, the last byte 0x1B.
QByteArray speicher()
{
    QByteArray b;
    for (int p = 0; p < kGeraeteSeiten; ++p)
        b += QByteArray(kZellen, char(p));
    b[kGeraeteBytes - 1] = '\x1B';
    return b;
}

} // namespace

class TestSicherung : public QObject {
    Q_OBJECT
private slots:
    void dateiname_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rechner");
        QTest::addColumn<QString>("datei");
        QTest::newRow("unsicher") << "Halle 3/4: \"Süd\" *?<>|\\" << "" << "Halle 3_4_ _Süd_ _______2026-12-06_14-05-09.cfg";
        QTest::newRow("Steuerzeichen") << "A\x01" "B\tC\x7F" "D\u0081" << "" << "A_B_C_D__2026-12-06_14-05-09.cfg";
        QTest::newRow("Punkte und Blanks am Rand") << " ..versteckt. . " << "" << "versteckt_2026-12-06_14-05-09.cfg";
        QTest::newRow("71 Zeichen") << QString(69, 'x') + "yz" << "" << QString(69, 'x') + "y_2026-12-06_14-05-09.cfg";
        // Machines that share one folder never take each other's names.
        QTest::newRow("Rechner unsicher") << "Nord" << ".-Büro PC/7_\x01." << "Nord_2026-12-06_14-05-09@B-ro-PC-7.cfg";
    }
    void dateiname()
    {
        QFETCH(QString, name);
        QFETCH(QString, rechner);
        QTEST(sicherung::dateiname(name, kZeit, 1, rechner), "datei");
    }

    // A taken name is never replaced, whoever took it; the list shows the
    // name in a complete file, else the one in the file name, newest first.
    void anlegenUndListe()
    {
        ::umask(022);  // the usual one: private files must not rely on the user's
        QTemporaryDir tmp;
        const QString o = tmp.filePath(QStringLiteral("a/sicherungen"));  // made when missing
        auto pfad = [&o](const char* name) { return o + QLatin1Char('/') + QString::fromUtf8(name); };
        const QString erste = anlegen(QStringLiteral("Halle 3/4"), kZeit, o).pfad;
        QCOMPARE(erste, pfad("Halle 3_4_2026-12-06_14-05-09.cfg"));
        const QByteArray inhalt = kit::lesen(erste);
        QCOMPARE(inhalt.left(inhalt.indexOf('\n') + 1), ";;;255;255;FF;FF;" + QByteArray(16, '\xFF') + ';' + QByteArray(16, '\xFF') + ";255;Halle 3/4;\r\n");
        QCOMPARE(inhalt.count("\r\n"), 12);
        QCOMPARE(QStringList({kit::modus(tmp.filePath("a")), kit::modus(o), kit::modus(erste)}), QStringList({"700", "700", "600"}));
        QVERIFY(kit::schreiben(pfad("Halle 3_4_2026-12-06_14-05-09_2.cfg"), "fremd"));
        QCOMPARE(anlegen(QStringLiteral("Halle 3/4"), kZeit, o).pfad, pfad("Halle 3_4_2026-12-06_14-05-09_3.cfg"));
        QCOMPARE(kit::lesen(pfad("Halle 3_4_2026-12-06_14-05-09_3.cfg")) + '|' + kit::lesen(erste) + '|' + kit::lesen(pfad("Halle 3_4_2026-12-06_14-05-09_2.cfg")),
                 inhalt + '|' + inhalt + "|fremd");

        QVERIFY(anlegen(QString(), kZeit.addDays(-400), o));
        QVERIFY(anlegen(QStringLiteral("Tankstelle"), kZeit.addSecs(1), o));
        QVERIFY(kit::schreiben(pfad("Kaputt_2026-12-07_08-00-00.cfg"), "keine Konfiguration"));
        QFile anlage(pfad("meine anlage.cfg"));
        QVERIFY(anlage.open(QIODevice::WriteOnly) && anlage.resize((1 << 20) + 1) && anlage.setFileTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), QFileDevice::FileModificationTime));
        QVERIFY(kit::schreiben(pfad("leer_2026-12-08_08-00-00.cfg"), ""));
        QVERIFY(kit::schreiben(pfad("notiz.txt"), "x"));
        QStringList gezeigt;
        for (const sicherung::Eintrag& e : sicherung::liste(o))
            gezeigt << e.anlagenbezeichnung + e.zeit.toString(QStringLiteral("|dd.MM.yyyy HH:mm:ss|")) + QString::number(e.nummer) + '|'
                           + QFileInfo(e.pfad).fileName() + (e.fehler.isEmpty() ? QString() : '|' + e.fehler);
        // Files that are no configuration are listed with the reason; two of one second by their number.
        const QString form = QStringLiteral("Zeile 1 passt nicht zum Format einer Konfigurationsdatei (%1)");
        QCOMPARE(gezeigt, (QStringList{"Kaputt|07.12.2026 08:00:00|1|Kaputt_2026-12-07_08-00-00.cfg|" + form.arg("Feld 1 ist keine Zahl"),
                                       "Tankstelle|06.12.2026 14:05:10|1|Tankstelle_2026-12-06_14-05-10.cfg",
                                       "Halle 3/4|06.12.2026 14:05:09|3|Halle 3_4_2026-12-06_14-05-09_3.cfg",
                                       "Halle 3_4|06.12.2026 14:05:09|2|Halle 3_4_2026-12-06_14-05-09_2.cfg|" + form.arg("Feld 1 ist keine Zahl"),
                                       "Halle 3/4|06.12.2026 14:05:09|1|Halle 3_4_2026-12-06_14-05-09.cfg",
                                       "meine anlage|02.01.2026 03:04:05|1|meine anlage.cfg|zu groß für eine Konfigurationsdatei",
                                       "ohne Bezeichnung|01.11.2025 14:05:09|1|ohne Bezeichnung_2025-11-01_14-05-09.cfg"}));
        QCOMPARE(sicherung::liste(tmp.filePath(QStringLiteral("fehlt"))).size(), 0);
        QCOMPARE(anlegen(QString(), kZeit, o + QStringLiteral("/notiz.txt/x")).fehler,
                 QStringLiteral("Konfiguration nicht gesichert: Ordner %1/notiz.txt/x kann nicht angelegt werden").arg(o));
    }

    // A backup before a write: the memory as read and the side record beside
    // the *.cfg, each private; a name any of whose three files is taken gets
    // the next number. The newest backup before a write of a name is found by
    // the name written, not by the name it holds.
    void mitSpeicher()
    {
        ::umask(022);
        QTemporaryDir tmp;
        const QString o = tmp.path() + QStringLiteral("/");
        QVERIFY(kit::schreiben(o + "Pumpwerk Nord_2026-12-06_14-05-09_2@werkstatt.speicher", "fremd"));
        const sicherung::Inhalt vorSchreiben{bild(QStringLiteral("Pumpwerk Nord")), speicher(), QStringLiteral("Tankstelle Süd")};
        for (const char* nummer : {"", "_3"})  // the second passes _2, whose memory file is taken
            QCOMPARE(sicherung::anlegen(vorSchreiben, tmp.path(), kZeit, "werkstatt").pfad, o + "Pumpwerk Nord_2026-12-06_14-05-09" + nummer + "@werkstatt.cfg");
        const QString name = o + "Pumpwerk Nord_2026-12-06_14-05-09_3@werkstatt.";
        QCOMPARE(kit::lesen(name + "speicher") + kit::lesen(name + "vorschreiben"), speicher() + "Tankstelle Süd\n");
        QCOMPARE(QStringList({kit::modus(name + "cfg"), kit::modus(name + "speicher"), kit::modus(name + "vorschreiben")}), QStringList({"600", "600", "600"}));
        QCOMPARE(kit::lesen(o + "Pumpwerk Nord_2026-12-06_14-05-09_2@werkstatt.speicher") + kit::lesen(o + "Pumpwerk Nord_2026-12-06_14-05-09_2@werkstatt.cfg"), "fremd<fehlt>");
        // A later read of the installation written, and an earlier write of it elsewhere.
        QVERIFY(sicherung::anlegen({bild(QStringLiteral("Tankstelle Süd")), speicher()}, tmp.path(), kZeit.addSecs(1), QString()));
        QVERIFY(sicherung::anlegen({bild(QStringLiteral("Tankstelle Süd")), speicher(), QStringLiteral("Tankstelle Süd")}, tmp.path(), kZeit.addSecs(-1), "buero"));
        QStringList gezeigt;
        for (const sicherung::Eintrag& e : sicherung::liste(tmp.path()))
            gezeigt << QStringList{e.anlagenbezeichnung, QString::number(e.nummer), e.rechner, QFileInfo(e.speicher).fileName(),
                                   e.vorSchreiben.value_or(QStringLiteral("-"))}.join('|');
        QCOMPARE(gezeigt, (QStringList{"Tankstelle Süd|1||Tankstelle Süd_2026-12-06_14-05-10.speicher|-",
                                       "Pumpwerk Nord|3|werkstatt|Pumpwerk Nord_2026-12-06_14-05-09_3@werkstatt.speicher|Tankstelle Süd",
                                       "Pumpwerk Nord|1|werkstatt|Pumpwerk Nord_2026-12-06_14-05-09@werkstatt.speicher|Tankstelle Süd",
                                       "Tankstelle Süd|1|buero|Tankstelle Süd_2026-12-06_14-05-08@buero.speicher|Tankstelle Süd"}));
        const auto letzte = sicherung::letzteVorSchreiben(sicherung::liste(tmp.path()), QStringLiteral("Tankstelle Süd"));
        QCOMPARE(letzte ? letzte->pfad : QString(), name + "cfg");
        QVERIFY(!sicherung::letzteVorSchreiben(sicherung::liste(tmp.path()), QStringLiteral("Pumpwerk Nord")));
    }

    // The memory a restore writes: beside the *.cfg named, or named itself;
    // anything else is refused with its reason.
    void speicherLesen_data()
    {
        QTest::addColumn<QString>("anlage");  // files made: "cfg", "speicher" (3328 bytes), "kurz" (100)
        QTest::addColumn<QString>("genannt");
        QTest::addColumn<QString>("fehler");
        QTest::newRow("Speicherdatei") << "speicher" << "a.speicher" << "";
        QTest::newRow("zu kurz") << "cfg kurz" << "a.cfg" << "Speicherabbild a.speicher hat 100 statt 3328 Bytes";
        QTest::newRow("fehlt") << "speicher" << "b.cfg" << "Datei oder Ordner nicht vorhanden";
    }
    void speicherLesen()
    {
        QFETCH(QString, anlage);
        QFETCH(QString, genannt);
        QFETCH(QString, fehler);
        QTemporaryDir tmp;
        const QString a = tmp.filePath(QStringLiteral("a."));
        QVERIFY(!anlage.contains("cfg") || kit::schreiben(a + "cfg", "x"));
        QVERIFY(!anlage.contains("speicher") || kit::schreiben(a + "speicher", speicher()));
        QVERIFY(!anlage.contains("kurz") || kit::schreiben(a + "speicher", QByteArray(100, 'x')));
        const sicherung::Speicher s = sicherung::speicherLesen(tmp.filePath(genannt));
        QCOMPARE(s.fehler, fehler);
        QCOMPARE(s.bytes, fehler.isEmpty() ? speicher() : QByteArray());
    }

    // A disk that fills up: the error, and no file of the backup is left,
    // neither the short memory file nor the empty file that took the name.
    void platteVoll()
    {
        QTemporaryDir tmp;
        rlimit vorher{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
        const rlimit knapp{100, vorher.rlim_max};  // no file of this process may grow beyond 100 bytes
        const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &knapp), 0);
        const sicherung::Versuch e = sicherung::anlegen({bild(QStringLiteral("Nord")), speicher(), QStringLiteral("Nord")}, tmp.path(), kZeit, QString());
        setrlimit(RLIMIT_FSIZE, &vorher);
        std::signal(SIGXFSZ, signalVorher);
        // In German words, not the system's English ones.
        QCOMPARE(e.fehler, QStringLiteral("Konfiguration nicht gesichert: %1/Nord_2026-12-06_14-05-09.speicher: Datei zu groß").arg(tmp.path()));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSicherung)
#include "test_sicherung.moc"
