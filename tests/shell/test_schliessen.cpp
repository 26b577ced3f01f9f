// Closing the main window ends the program's event loop with exit code 0,
// through the very start-up function the program uses.
#include "fakedoor.h"
#include "shell/konfig.h"
#include "shell/programm.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace {
Konfig* hauptfenster()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* k = qobject_cast<Konfig*>(w); k && k->isVisible())
            return k;
    return nullptr;
}
} // namespace

class TestSchliessen : public QObject {
    Q_OBJECT
private slots:
    void schliessen_data()
    {
        QTest::addColumn<bool>("menue");
        QTest::newRow("Konfiguration beenden") << true;
        QTest::newRow("Schliessfeld") << false;
    }
    void schliessen()
    {
        QFETCH(bool, menue);
        FakeDoor door;
        bool gefunden = false;
        bool signalGesehen = false;
        // A second top-level window stays open: the program ends all the same.
        QWidget nebenfenster;
        nebenfenster.show();
        QTimer::singleShot(50, [&] {
            Konfig* k = hauptfenster();
            gefunden = k != nullptr;
            if (!k) {
                QCoreApplication::exit(99);
                return;
            }
            connect(k, &Konfig::wirdGeschlossen, k, [&] { signalGesehen = true; });
            // Unsaved typing is dropped without a question.
            k->speicher().setze(0, 128, 'X');
            if (menue)
                k->findChild<QAction*>(QStringLiteral("MNU_end"))->trigger();
            else
                k->close();
        });
        // A program that does not end fails the test instead of hanging it.
        QTimer wachhund;
        wachhund.setSingleShot(true);
        connect(&wachhund, &QTimer::timeout, [] { QCoreApplication::exit(98); });
        wachhund.start(10000);
        const int rc = konfigAusfuehren(*qApp, Startoptionen{});
        QVERIFY(gefunden);
        QVERIFY(signalGesehen);
        QCOMPARE(rc, 0);
        QVERIFY(door.meldungen.isEmpty());
        QCOMPARE(door.beeps, 0);
    }
};

QTEST_MAIN(TestSchliessen)
#include "test_schliessen.moc"
