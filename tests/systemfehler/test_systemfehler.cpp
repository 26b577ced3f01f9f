// The German words of failures the program really meets: each row makes the
// failure happen on the file system and checks what a user would read.
#include "kit.h"
#include "systemfehler/systemfehler.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>

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
        QTest::newRow("Ordner ohne Fehlernummer") << "." << true << 0 << "ist ein Ordner";
        QTest::newRow("Öffnen ohne Fehlernummer") << "fehlt.cfg" << false << 0 << "lässt sich nicht öffnen";
        QTest::newRow("nichts geschehen") << "" << false << 0 << "Zugriff fehlgeschlagen";
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
};

QTEST_GUILESS_MAIN(TestSystemfehler)
#include "test_systemfehler.moc"
