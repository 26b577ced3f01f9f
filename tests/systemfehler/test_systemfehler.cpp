// The German words of failures the program really meets: each row makes the
// failure happen on the file system and checks what a user would read.
#include "systemfehler/systemfehler.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

class TestSystemfehler : public QObject {
    Q_OBJECT
private slots:
    // A number without words of its own is named by its number.
    void ohneWorte() { QCOMPARE(systemfehler::text(9999), QStringLiteral("Systemfehler 9999")); }

    void fehlschlag_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("text");
        QTest::newRow("fehlt") << "fehlt" << "Datei oder Ordner nicht vorhanden";
        QTest::newRow("Ordner zum Schreiben") << "ordner" << "ist ein Ordner";
        QTest::newRow("Pfad durch eine Datei") << "durchDatei" << "ein Teil des Pfads ist kein Ordner";
        QTest::newRow("Name zu lang") << "langerName" << "Name zu lang";
        QTest::newRow("Verknüpfung im Kreis") << "kreis" << "zu viele symbolische Verknüpfungen";
        QTest::newRow("Platte voll") << "voll" << "kein Platz mehr auf dem Datenträger";
        QTest::newRow("Ordner ohne Fehlernummer") << "ordnerOhneNummer" << "ist ein Ordner";
        QTest::newRow("Öffnen ohne Fehlernummer") << "oeffnenOhneNummer" << "lässt sich nicht öffnen";
        QTest::newRow("nichts geschehen") << "nichts" << "Zugriff fehlgeschlagen";
    }
    void fehlschlag()
    {
        QFETCH(QString, fall);
        QTemporaryDir tmp;
        QString pfad = tmp.filePath(QStringLiteral("fehlt.cfg"));
        QIODevice::OpenMode modus = QIODevice::ReadOnly;
        if (fall == "ordner" || fall == "ordnerOhneNummer") {
            pfad = tmp.path();
            modus = QIODevice::WriteOnly;
        } else if (fall == "durchDatei") {
            QFile d(tmp.filePath(QStringLiteral("datei")));
            QVERIFY(d.open(QIODevice::WriteOnly));
            pfad = d.fileName() + QStringLiteral("/a.cfg");
        } else if (fall == "langerName") {
            pfad = tmp.filePath(QString(300, QLatin1Char('a')));
        } else if (fall == "kreis") {
            QVERIFY(QFile::link(tmp.filePath(QStringLiteral("b")), tmp.filePath(QStringLiteral("a"))));
            QVERIFY(QFile::link(tmp.filePath(QStringLiteral("a")), tmp.filePath(QStringLiteral("b"))));
            pfad = tmp.filePath(QStringLiteral("a"));
        } else if (fall == "voll") {
            if (!QFile::exists(QStringLiteral("/dev/full")))
                QSKIP("no /dev/full here");
            pfad = QStringLiteral("/dev/full");
            modus = QIODevice::WriteOnly | QIODevice::Unbuffered;
        }
        QFile f(pfad);
        errno = 0;
        bool gelungen = fall != "nichts" && f.open(modus);
        if (fall == "voll") {
            QVERIFY(gelungen);
            errno = 0;
            gelungen = f.write("x", 1) == 1;
        }
        QVERIFY(!gelungen);
        const int nummer = fall.endsWith(QLatin1String("OhneNummer")) || fall == "nichts" ? 0 : errno;
        QFETCH(QString, text);
        QCOMPARE(systemfehler::datei(f, nummer), text);
    }
};

QTEST_GUILESS_MAIN(TestSystemfehler)
#include "test_systemfehler.moc"
