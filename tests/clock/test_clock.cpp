#include "linkui/syszeit.h"
#include "clock/uhr.h"
#include "fakedoor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
QByteArray bytes(std::initializer_list<int> werte)
{
    QByteArray b;
    for (int v : werte)
        b.append(char(v));
    return b;
}
QDateTime zeitpunkt(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}
} // namespace

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void antwort_data()
    {
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<QString>("erwartet"); // null: failure
        QTest::newRow("Beispiel") << bytes({9, 5, 14, 21, 6, '>'}) << "14:05:09   21.06.";
        QTest::newRow("Nullen") << bytes({0, 0, 0, 0, 0, '>'}) << "00:00:00   00.00.";
        QTest::newRow("kein BCD") << bytes({0x20, 0x14, 0x12, 0x31, 0x12, '>'}) << "18:20:32   49.18.";
        QTest::newRow("drei Ziffern") << bytes({135, 255, 100, 99, 10, '>'}) << "100:255:135   99.10.";
        QTest::newRow("62 als Wert") << bytes({62, 62, 62, 62, 62, '>'}) << "62:62:62   62.62.";
        QTest::newRow("Vorlauf: die fünf vor >") << bytes({6, 't', 9, 5, 14, 21, 6, '>'}) << "14:05:09   21.06.";
        QTest::newRow("vier Bytes") << bytes({5, 14, 21, 6, '>'}) << QString();
        QTest::newRow("nur >") << bytes({'>'}) << QString();
        QTest::newRow("leer") << QByteArray() << QString();
        QTest::newRow("ohne >") << bytes({9, 5, 14, 21, 6, 7}) << QString();
    }
    void antwort()
    {
        QFETCH(QByteArray, antwort);
        QFETCH(QString, erwartet);
        const auto text = uhr::boraZeitText(antwort);
        if (erwartet.isNull()) {
            QVERIFY(!text.has_value());
            QVERIFY(!uhr::Zeit(antwort).has_value());
        } else {
            QCOMPARE(text.value_or(QStringLiteral("<keine>")), erwartet);
        }
    }

    void bcd_data()
    {
        QTest::addColumn<int>("wert");
        QTest::addColumn<int>("modus");
        QTest::addColumn<int>("jahr");
        QTest::addColumn<int>("wochentag");
        QTest::addColumn<int>("erwartet");
        QTest::newRow("7") << 7 << 0 << 0 << 1 << 7;
        QTest::newRow("0") << 0 << 0 << 0 << 1 << 0;
        QTest::newRow("10") << 10 << 0 << 0 << 1 << 0x10;
        QTest::newRow("45") << 45 << 0 << 0 << 1 << 0x45;
        QTest::newRow("59") << 59 << 0 << 0 << 1 << 0x59;
        QTest::newRow("23 Uhr") << 23 << 0 << 0 << 1 << 0x23;
        QTest::newRow("Modus 0 ohne Jahr/Tag") << 45 << 0 << 2023 << 7 << 0x45;
        QTest::newRow("Tag 21, Jahr mod 4 = 2") << 21 << 1 << 2022 << 1 << 161;
        QTest::newRow("Tag 21, Schaltjahr") << 21 << 1 << 2024 << 1 << 0x21;
        QTest::newRow("Tag 31, mod 4 = 1") << 31 << 1 << 2021 << 1 << 0x71;
        QTest::newRow("Tag 1, mod 4 = 3") << 1 << 1 << 2023 << 7 << 0xC1;
        QTest::newRow("Monat 6, Sonntag") << 6 << 2 << 2022 << 7 << 198;
        QTest::newRow("Monat 6, Montag") << 6 << 2 << 2022 << 1 << 6;
        QTest::newRow("Monat 12, Mittwoch") << 12 << 2 << 2022 << 3 << 0x52;
        QTest::newRow("Monat 10, Samstag") << 10 << 2 << 2000 << 6 << 0xB0;
    }
    void bcd()
    {
        QFETCH(int, wert);
        QFETCH(int, modus);
        QFETCH(int, jahr);
        QFETCH(int, wochentag);
        QFETCH(int, erwartet);
        QCOMPARE(int(uhr::BCDUm(wert, uhr::BcdModus(modus), jahr, wochentag)), erwartet);
    }

    void stellBytes_data()
    {
        QTest::addColumn<QDateTime>("jetzt");
        QTest::addColumn<QByteArray>("erwartet");
        // A Sunday, year mod 4 = 2, one second before the hour turns.
        QTest::newRow("So 26.06.2022 12:59:59") << zeitpunkt("2022-06-26T12:59:59")
                                                << QByteArray("\x59\x59\x12\xA6\xC6");
        QTest::newRow("Di 31.12.2024 23:00:00") << zeitpunkt("2024-12-31T23:00:00")
                                                << QByteArray("\x00\x00\x23\x31\x32", 5);
        QTest::newRow("Mo 02.01.2023 00:00:09") << zeitpunkt("2023-01-02T00:00:09")
                                                << QByteArray("\x09\x00\x00\xC2\x01", 5);
        QTest::newRow("Mo 15.03.2021 07:30:45") << zeitpunkt("2021-03-15T07:30:45")
                                                << QByteArray("\x45\x30\x07\x55\x03");
    }
    void stellBytes()
    {
        QFETCH(QDateTime, jetzt);
        QFETCH(QByteArray, erwartet);
        QCOMPARE(uhr::stellBytes(jetzt), erwartet);
    }

    void pcZeit_data()
    {
        QTest::addColumn<QDateTime>("jetzt");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("Nachmittag") << zeitpunkt("2022-06-21T14:05:09") << "14:05:09   21.06.";
        QTest::newRow("früh, einstellig") << zeitpunkt("2023-01-05T01:02:03") << "01:02:03   05.01.";
        QTest::newRow("Mitternacht") << zeitpunkt("2023-12-31T00:00:00") << "00:00:00   31.12.";
        QTest::newRow("23 Uhr") << zeitpunkt("2023-11-30T23:59:59") << "23:59:59   30.11.";
    }
    void pcZeit()
    {
        QFETCH(QDateTime, jetzt);
        QFETCH(QString, erwartet);
        QCOMPARE(uhr::pcZeitText(jetzt), erwartet);
    }

    void dialogAufbau()
    {
        FakeDoor tuer;
        QPointer<syszeit> d = new syszeit;
        QCOMPARE(d->objectName(), QStringLiteral("syszeit"));
        QCOMPARE(d->windowTitle(), QStringLiteral("Systemzeit"));
        QVERIFY(!d->isModal());
        auto text = [&](const char* name) {
            if (auto* l = d->findChild<QLabel*>(name))
                return l->text();
            if (auto* e = d->findChild<QLineEdit*>(name))
                return e->text();
            if (auto* b = d->findChild<QPushButton*>(name))
                return b->text();
            return QStringLiteral("<fehlt>");
        };
        QCOMPARE(text("Label1"), QStringLiteral("Boravilon Zeit"));
        QCOMPARE(text("BoraZeit"), QStringLiteral("00:00:00  00.00."));
        QCOMPARE(text("Label2"), QStringLiteral("PC-Zeit"));
        QCOMPARE(text("PCZeit"), QStringLiteral("00:00   01.01"));
        QCOMPARE(text("CMD_OK"), QStringLiteral("Übernehmen"));
        QCOMPARE(text("CMD_Abbruch"), QStringLiteral("Abbruch"));
        auto* timer = d->findChild<QTimer*>("Timer1");
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(timer->isActive());

        d->setBoraZeit(QStringLiteral("14:05:09   21.06."));
        QCOMPARE(text("BoraZeit"), QStringLiteral("14:05:09   21.06."));
        QCOMPARE(d->boraZeit(), QStringLiteral("14:05:09   21.06."));
        delete d;
    }

    void pcZeitLaeuft()
    {
        FakeDoor tuer;
        QPointer<syszeit> d = new syszeit;
        QDateTime uhrzeit = zeitpunkt("2022-06-21T14:05:09");
        d->setZeitquelle([&] { return uhrzeit; });
        auto* pc = d->findChild<QLineEdit*>("PCZeit");
        d->show();
        QCOMPARE(pc->text(), QStringLiteral("14:05:09   21.06."));
        uhrzeit = uhrzeit.addSecs(1);
        QVERIFY(QMetaObject::invokeMethod(d->findChild<QTimer*>("Timer1"), "timeout"));
        QCOMPARE(pc->text(), QStringLiteral("14:05:10   21.06."));
        QCOMPARE(d->jetzt(), uhrzeit);
        delete d;
    }

    void uebernehmenSchliesstNicht()
    {
        FakeDoor tuer;
        QPointer<syszeit> d = new syszeit;
        QSignalSpy ueber(d, &syszeit::uebernehmen);
        QSignalSpy ent(d, &syszeit::entladen);
        d->show();
        QTest::mouseClick(d->findChild<QPushButton*>("CMD_OK"), Qt::LeftButton);
        QCOMPARE(ueber.count(), 1);
        QCOMPARE(ent.count(), 0);
        QVERIFY(d->isVisible());
        // Return in a field sets nothing.
        QTest::keyClick(d->findChild<QLineEdit*>("PCZeit"), Qt::Key_Return);
        QCOMPARE(ueber.count(), 1);
        QVERIFY(d->isVisible());
        delete d;
    }

    void schliessen_data()
    {
        QTest::addColumn<int>("weg");
        QTest::newRow("Abbruch") << 0;
        QTest::newRow("close() nach Übernehmen") << 1;
        QTest::newRow("Escape") << 2;
        QTest::newRow("Schließfeld") << 3;
    }
    void schliessen()
    {
        QFETCH(int, weg);
        FakeDoor tuer;
        QPointer<syszeit> d = new syszeit;
        QSignalSpy ent(d, &syszeit::entladen);
        QSignalSpy ueber(d, &syszeit::uebernehmen);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        switch (weg) {
        case 0: QTest::mouseClick(d->findChild<QPushButton*>("CMD_Abbruch"), Qt::LeftButton); break;
        case 1:
            QTest::mouseClick(d->findChild<QPushButton*>("CMD_OK"), Qt::LeftButton);
            d->close();
            break;
        case 2: QTest::keyClick(d, Qt::Key_Escape); break;
        case 3: {
            QCloseEvent ce;
            QCoreApplication::sendEvent(d, &ce);
            break;
        }
        }
        QCOMPARE(ent.count(), 1);
        QCOMPARE(ueber.count(), weg == 1 ? 1 : 0);
        QVERIFY(d);
        QVERIFY(!d->isVisible());
        QVERIFY(!d->findChild<QTimer*>("Timer1")->isActive());
        // Closing again reports nothing new; the dialog then goes away.
        d->close();
        QCOMPARE(ent.count(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!d);
    }
};

QTEST_MAIN(TestClock)
#include "test_clock.moc"
