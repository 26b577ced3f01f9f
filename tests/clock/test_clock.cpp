// The device clock: the answer of "t" as shown, the setting bytes of "s", the
// PC time's text, and the clock dialog "Systemzeit".
#include "clock/uhr.h"
#include "fakedoor.h"
#include "linkui/syszeit.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

static QDateTime um(const char* iso) { return QDateTime::fromString(QLatin1String(iso), Qt::ISODate); }

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void antwort_data()
    {
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<QString>("text");  // "": no clock value
        QTest::newRow("Nullen") << QByteArray("\0\0\0\0\0>", 6) << "00:00:00   00.00.";
        QTest::newRow("kein BCD") << QByteArray("\x20\x14\x12\x31\x12>") << "18:20:32   49.18.";
        QTest::newRow("drei Ziffern") << QByteArray("\x87\xFF\x64\x63\x0A>") << "100:255:135   99.10.";
        QTest::newRow("Vorlauf: die fünf vor >") << QByteArray("\x06t\x09\x05\x0E\x15\x06>") << "14:05:09   21.06.";
        QTest::newRow("vier Bytes") << QByteArray("\x05\x0E\x15\x06>") << "";
        QTest::newRow("ohne >") << QByteArray("\x09\x05\x0E\x15\x06\x07") << "";
    }
    void antwort()
    {
        QFETCH(QByteArray, antwort);
        QFETCH(QString, text);
        QCOMPARE(uhr::boraZeitText(antwort).value_or(QString()), text);
        QCOMPARE(uhr::Zeit(antwort).has_value(), !text.isEmpty());
    }

    // Five bytes from one reading of the PC clock: BCD, the day with the year
    // modulo 4 in bits 7-6, the month with the weekday (Monday 0) in bits 7-5.
    void stellen_data()
    {
        QTest::addColumn<QDateTime>("jetzt");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("So 26.06.2022 12:59:59") << um("2022-06-26T12:59:59") << QByteArray("\x59\x59\x12\xA6\xC6") << "12:59:59   26.06.";
        QTest::newRow("Di 31.12.2024 23:00:00") << um("2024-12-31T23:00:00") << QByteArray("\x00\x00\x23\x31\x32", 5) << "23:00:00   31.12.";
        QTest::newRow("Mo 15.03.2021 07:30:45") << um("2021-03-15T07:30:45") << QByteArray("\x45\x30\x07\x55\x03") << "07:30:45   15.03.";
    }
    void stellen()
    {
        QFETCH(QDateTime, jetzt);
        QTEST(uhr::stellBytes(jetzt), "bytes");
        QTEST(uhr::pcZeitText(jetzt), "text");
    }

    // The dialog: the PC time running on, "Übernehmen" without closing,
    // Return closing it as "Abbruch" does (setting nothing), every way of
    // closing reported once.
    void dialog_data()
    {
        QTest::addColumn<int>("weg");
        for (auto [name, weg] : {std::pair{"Abbruch", 0}, {"close() nach Übernehmen", 1}, {"Escape", 2}, {"Return", 3}})
            QTest::newRow(name) << weg;
    }
    void dialog()
    {
        QFETCH(int, weg);
        FakeDoor tuer;
        QPointer<syszeit> d = new syszeit;
        QDateTime jetzt = um("2022-06-21T14:05:09");
        d->setZeitquelle([&] { return jetzt; });
        QSignalSpy ueber(d, &syszeit::uebernehmen), ent(d, &syszeit::entladen);
        auto* pc = d->findChild<QLineEdit*>("PCZeit");
        auto* timer = d->findChild<QTimer*>("Timer1");
        d->setBoraZeit(QStringLiteral("14:05:09   21.06."));
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QCOMPARE(QStringList({d->boraZeit(), pc->text()}), QStringList({"14:05:09   21.06.", "14:05:09   21.06."}));  // right when shown
        jetzt = jetzt.addSecs(1);
        QVERIFY(timer && timer->isActive() && timer->interval() == 1000 && QMetaObject::invokeMethod(timer, "timeout"));
        // What "Übernehmen" sets is the time shown.
        QCOMPARE(QStringList({pc->text(), uhr::pcZeitText(d->jetzt())}), QStringList({"14:05:10   21.06.", "14:05:10   21.06."}));
        if (weg == 1)
            QTest::mouseClick(d->findChild<QPushButton*>("CMD_OK"), Qt::LeftButton);
        QCOMPARE((QList<qsizetype>{ueber.count(), ent.count()}), (QList<qsizetype>{weg == 1, 0}));
        QVERIFY(d->isVisible());
        if (weg == 0)
            QTest::mouseClick(d->findChild<QPushButton*>("CMD_Abbruch"), Qt::LeftButton);
        else if (weg == 1)
            d->close();
        else
            QTest::keyClick(pc, weg == 2 ? Qt::Key_Escape : Qt::Key_Return);
        QVERIFY(ent.count() == 1 && ueber.count() == (weg == 1) && d && !d->isVisible() && !timer->isActive());
        d->close();  // closing again reports nothing new; the dialog then goes away
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ent.count() == 1 && !d);
    }
};

QTEST_MAIN(TestClock)
#include "test_clock.moc"
