// The German words of failures the program really meets: each row makes the
// failure happen on the file system and checks what a user would read. Then
// files and folders as the program lays them down, with their permissions.
#include "kit.h"
#include "systemfehler/ablage.h"
#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>

class TestSystemfehler : public QObject {
    Q_OBJECT
private slots:
    // `pfad` in a folder that holds a file "datei" and two links "a" and "b" to each other, opened for
    // reading or writing ("" not opened; "/dev/full" takes no byte); the error number the system set (-1)
    // or a given one, 0 for none.
    void fehlschlag_data()
    {
        QTest::addColumn<QString>("pfad");
        QTest::addColumn<bool>("schreiben");
        QTest::addColumn<int>("nummer");
        QTest::addColumn<QString>("text");
        QTest::newRow("fehlt") << "fehlt.cfg" << false << -1 << "Datei oder Ordner nicht vorhanden";
        QTest::newRow("Ordner zum Schreiben") << "." << true << -1 << "ist ein Ordner";
        QTest::newRow("Pfad durch eine Datei") << "datei/a.cfg" << false << -1 << "ein Teil des Pfads ist kein Ordner";
        QTest::newRow("Name zu lang") << QString(300, QLatin1Char('a')) << false << -1 << "Name zu lang";
        QTest::newRow("Verknüpfung im Kreis") << "a" << false << -1 << "zu viele symbolische Verknüpfungen";
        QTest::newRow("Platte voll") << "/dev/full" << true << -1 << "kein Platz mehr auf dem Datenträger";
        QTest::newRow("Öffnen ohne Fehlernummer") << "fehlt.cfg" << false << 0 << "lässt sich nicht öffnen";
        QTest::newRow("nichts geschehen") << "" << false << 0 << "Zugriff fehlgeschlagen";
        // Numbers the superuser running this test never gets from the system.
        QTest::newRow("keine Berechtigung") << "" << false << EACCES << "keine Berechtigung";
        QTest::newRow("nur lesbar") << "" << false << EROFS << "Dateisystem nur lesbar";
        // A number without words of its own is named by its number.
        QTest::newRow("Nummer ohne Worte") << "" << false << 9999 << "Systemfehler 9999";
    }
    void fehlschlag()
    {
        QFETCH(QString, pfad);
        QFETCH(bool, schreiben);
        QFETCH(int, nummer);
        QTemporaryDir tmp;
        QVERIFY(kit::schreiben(tmp.filePath(QStringLiteral("datei")), "x"));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("b")), tmp.filePath(QStringLiteral("a"))));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("a")), tmp.filePath(QStringLiteral("b"))));
        if (pfad == QLatin1String("/dev/full") && !QFile::exists(pfad))
            QSKIP("no /dev/full here");
        QFile f(pfad.isEmpty() ? QString() : QDir(tmp.path()).filePath(pfad));
        errno = 0;
        const auto modus = schreiben ? QIODevice::WriteOnly | QIODevice::Unbuffered : QIODevice::ReadOnly;
        bool gelungen = !pfad.isEmpty() && f.open(modus);
        if (gelungen) {  // only /dev/full opens: writing fails
            errno = 0;
            gelungen = f.write("x", 1) == 1;
        }
        const int gesetzt = errno;
        QVERIFY(!gelungen);
        QTEST(systemfehler::datei(f, nummer < 0 ? gesetzt : nummer), "text");
    }

    // The words of the rarer error numbers, which no test here can make the system set.
    void texte()
    {
        const QList<std::pair<int, const char*>> faelle{
            {EDQUOT, "Speicherplatz des Benutzers erschöpft"}, {EEXIST, "schon vorhanden"}, {EBUSY, "belegt"},
            {ENXIO, "Gerät nicht erreichbar"}, {ENODEV, "kein solches Gerät"}, {ETXTBSY, "Programmdatei in Gebrauch"},
            {EXDEV, "nicht über Dateisystemgrenzen hinweg möglich"}, {EMFILE, "zu viele offene Dateien"},
            {ENFILE, "zu viele offene Dateien"}, {ENOMEM, "kein Speicher mehr frei"}, {EINTR, "unterbrochen"},
            {EAGAIN, "vorübergehend nicht verfügbar"}, {EBADF, "ungültiger Zugriff"}, {EINVAL, "ungültiger Zugriff"}};
        for (const auto& [nummer, text] : faelle)
            QCOMPARE(systemfehler::text(nummer), QString::fromUtf8(text));
    }

    // Qt's own kinds of failure on a file that is not there, which come without an error number.
    void qtFehler()
    {
        QFile f(QStringLiteral("/gsmbv-fehlt/a"));
        const QList<std::pair<std::function<bool()>, const char*>> faelle{
            {[&] { return f.rename(QStringLiteral("/gsmbv-fehlt/b")); }, "neue Datei lässt sich nicht an ihren Platz bringen"},
            {[&] { return f.remove(); }, "lässt sich nicht löschen"},
            {[&] { return f.resize(1); }, "Größe lässt sich nicht ändern"},
            {[&] { return f.setPermissions(QFile::ReadOwner); }, "keine Berechtigung"},
            {[&] { return f.copy(QStringLiteral("/gsmbv-fehlt/c")); }, "lässt sich nicht kopieren"}};
        for (const auto& [tun, text] : faelle) {
            QVERIFY(!tun());
            QCOMPARE(systemfehler::datei(f, 0), QString::fromUtf8(text));
        }
        QCOMPARE(systemfehler::datei(QFile(QDir::tempPath()), 0), QStringLiteral("ist ein Ordner"));
    }

    // Under the usual umask 022: a file replaced keeps its permissions or
    // gets the private ones; folders made are private, one that exists stays.
    // `vorher`: what stands at "a" ("datei 640", "ordner 755"); `ziel`: the
    // file written or the folder made; `ergebnis`: the modes of "a" and of
    // the target, or why it failed.
    void ablegen_data()
    {
        QTest::addColumn<QString>("vorher");
        QTest::addColumn<QString>("ziel");
        QTest::addColumn<bool>("privat");
        QTest::addColumn<QString>("ergebnis");
        QTest::newRow("neue Datei") << "" << "a" << false << "644 644";
        QTest::newRow("ersetzt, Rechte bleiben") << "datei 640" << "a" << false << "640 640";
        QTest::newRow("ersetzt, privat") << "datei 644" << "a" << true << "600 600";
        // A link stays; the file it points to is replaced.
        QTest::newRow("Verknüpfung") << "verweis 640" << "a" << false << "640 640";
        QTest::newRow("Ordner im Weg") << "ordner 755" << "a" << true << "ist ein Ordner";
        QTest::newRow("Ordner bleibt") << "ordner 755" << "a/b/" << false << "755 700";
    }
    void ablegen()
    {
        QFETCH(QString, vorher);
        QFETCH(QString, ziel);
        QFETCH(bool, privat);
        const mode_t umaskVorher = ::umask(022);
        QTemporaryDir tmp;
        const QString a = tmp.filePath(QStringLiteral("a")), pfad = tmp.filePath(ziel);
        const int rechte = vorher.section(' ', 1).toInt(nullptr, 8);
        if (vorher.startsWith(QLatin1String("datei")))
            QVERIFY(kit::schreiben(a, "alt") && ::chmod(QFile::encodeName(a).constData(), mode_t(rechte)) == 0);
        if (vorher.startsWith(QLatin1String("verweis")))
            QVERIFY(kit::schreiben(tmp.filePath("b"), "alt") && QFile::link(QStringLiteral("b"), a)
                    && ::chmod(QFile::encodeName(a).constData(), mode_t(rechte)) == 0);
        if (vorher.startsWith(QLatin1String("ordner")))
            QVERIFY(QDir().mkdir(a) && ::chmod(QFile::encodeName(a).constData(), mode_t(rechte)) == 0);
        const QString fehler = ziel.endsWith(QLatin1Char('/'))
            ? ablage::ordnerAnlegen(pfad)
            : ablage::dateiErsetzen(pfad, "neu\r\n", privat ? std::optional(ablage::kPrivat) : std::nullopt);
        ::umask(umaskVorher);
        QTEST(fehler.isEmpty() ? kit::modus(a) + ' ' + kit::modus(QDir::cleanPath(pfad)) : fehler, "ergebnis");
        if (fehler.isEmpty() && !ziel.endsWith(QLatin1Char('/')))
            QCOMPARE(kit::lesen(pfad), QByteArray("neu\r\n"));
        const bool verweis = vorher.startsWith(QLatin1String("verweis"));
        QCOMPARE(QFileInfo(a).isSymLink(), verweis);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (verweis ? QStringList{"a", "b"} : QStringList{"a"}));
    }

    // Names as the system gives them: what is no UTF-8 is kept byte for byte
    // and shown with a replacement character.
    void dateiname_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lesbar");
        QTest::newRow("UTF-8") << QByteArray("in_\xC3\xA4.cfg") << QString::fromUtf16(u"in_\u00E4.cfg") << QString::fromUtf16(u"in_\u00E4.cfg");
        QTest::newRow("Latin-1") << QByteArray("in_\xE4.cfg") << QString::fromUtf16(u"in_\xDCE4.cfg") << QString::fromUtf16(u"in_\uFFFD.cfg");
        QTest::newRow("4 Bytes, abgebrochen") << QByteArray("a\xF0\x9F\x98.cfg") << QString::fromUtf16(u"a\xDCF0\xDC9F\xDC98.cfg")
                                         << QString::fromUtf16(u"a\uFFFD\uFFFD\uFFFD.cfg");
    }
    void dateiname()
    {
        QFETCH(QByteArray, bytes);
        QTEST(dateiname::text(bytes), "text");
        QCOMPARE(dateiname::bytes(dateiname::text(bytes)), bytes);
        QTEST(dateiname::lesbar(dateiname::text(bytes)), "lesbar");
    }
};

QTEST_GUILESS_MAIN(TestSystemfehler)
#include "test_systemfehler.moc"
