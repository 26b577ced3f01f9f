#include "fakedoor.h"
#include "shell/information.h"
#include "shell/sysinfo.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An executable file of the given name in the folder.
QString werkzeugAnlegen(const QString& ordner, const QString& name)
{
    const QString pfad = QDir(ordner).filePath(name);
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return pfad;
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void keyValue_data()
    {
        QTest::addColumn<QByteArray>("puffer");
        QTest::addColumn<uint>("laenge");
        QTest::addColumn<uint>("typ");
        QTest::addColumn<QString>("erwartet");
        const QByteArray pfad("C:\\Programme\\Werkzeug\\INFO.EXE");
        const uint n = uint(pfad.size());
        QTest::newRow("SZ mit Endnull") << (pfad + '\0') << n + 1 << 1u << QString::fromLatin1(pfad);
        QTest::newRow("SZ ohne Endnull") << pfad << n << 1u << QString::fromLatin1(pfad);
        QTest::newRow("SZ kürzer gemeldet") << (pfad + '\0') << n - 4 << 1u << QString::fromLatin1(pfad.left(n - 4));
        QTest::newRow("SZ zwei Nullen") << QByteArray("ab\0\0", 4) << 4u << 1u << "ab";
        QTest::newRow("SZ leer") << QByteArray(1, '\0') << 1u << 1u << "";
        QTest::newRow("SZ Länge 0") << pfad << 0u << 1u << "";
        QTest::newRow("SZ Windows-1252") << QByteArray("Gr\xF6\xDF" "e\0", 6) << 6u << 1u << QStringLiteral("Größe");
        QTest::newRow("SZ Länge über Puffer") << QByteArray(1030, 'x') << 5000u << 1u << QString(1024, QLatin1Char('x'));
        QTest::newRow("DWORD 5") << QByteArray("\x05\0\0\0", 4) << 4u << 4u << "5";
        QTest::newRow("DWORD 261") << QByteArray("\x05\x01\0\0", 4) << 4u << 4u << "261";
        QTest::newRow("DWORD little-endian") << QByteArray("\x04\x03\x02\x01") << 4u << 4u << "16909060";
        QTest::newRow("DWORD Höchstwert") << QByteArray("\xFF\xFF\xFF\xFF") << 4u << 4u << "4294967295";
        QTest::newRow("DWORD 0") << QByteArray(4, '\0') << 4u << 4u << "0";
        QTest::newRow("EXPAND_SZ bleibt") << (pfad + '\0') << n + 1 << 2u << "alt";
        QTest::newRow("BINARY bleibt") << QByteArray("\x01\x02") << 2u << 3u << "alt";
        QTest::newRow("MULTI_SZ bleibt") << QByteArray("a\0b\0\0", 5) << 5u << 7u << "alt";
    }
    void keyValue()
    {
        QFETCH(QByteArray, puffer);
        QFETCH(uint, laenge);
        QFETCH(uint, typ);
        QFETCH(QString, erwartet);
        QCOMPARE(sysinfo::GetKeyValue(puffer, laenge, typ, QStringLiteral("alt")), erwartet);
    }

    void sysinfoStart_data()
    {
        QTest::addColumn<QStringList>("vorhanden");
        QTest::addColumn<bool>("startGelingt");
        QTest::addColumn<QString>("gestartet"); // empty: none
        QTest::addColumn<bool>("meldung");
        QTest::newRow("keines da") << QStringList() << true << QString() << true;
        QTest::newRow("nur fremde Programme") << QStringList{"texteditor", "hardinfo.txt"} << true << QString() << true;
        QTest::newRow("hardinfo") << QStringList{"hardinfo"} << true << "hardinfo" << false;
        QTest::newRow("Reihenfolge") << QStringList{"lxtask", "gnome-system-monitor", "kinfocenter"} << true
                                     << "kinfocenter" << false;
        QTest::newRow("nur lxtask") << QStringList{"lxtask"} << true << "lxtask" << false;
        QTest::newRow("Start scheitert") << QStringList{"hardinfo"} << false << "hardinfo" << true;
    }
    void sysinfoStart()
    {
        QFETCH(QStringList, vorhanden);
        QFETCH(bool, startGelingt);
        QFETCH(QString, gestartet);
        QFETCH(bool, meldung);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        for (const QString& name : vorhanden)
            QVERIFY(!werkzeugAnlegen(tmp.path(), name).isEmpty());
        // A file of a tool's name that may not be executed is not a tool.
        QTemporaryDir tmp2;
        QFile nichtAusfuehrbar(tmp2.filePath("hardinfo"));
        QVERIFY(nichtAusfuehrbar.open(QIODevice::WriteOnly));
        nichtAusfuehrbar.close();
        QVERIFY(nichtAusfuehrbar.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

        FakeDoor tuer;
        tuer.startErfolg = startGelingt;
        const bool ok = StartSysInfo({tmp2.path(), tmp.path()});

        QCOMPARE(ok, !meldung);
        if (gestartet.isEmpty()) {
            QCOMPARE(tuer.starts.size(), 0);
        } else {
            QCOMPARE(tuer.starts.size(), 1);
            QCOMPARE(tuer.starts.at(0).programm, QDir(tmp.path()).filePath(gestartet));
            QCOMPARE(tuer.starts.at(0).argumente, QStringList());
        }
        if (meldung) {
            QCOMPARE(tuer.meldungen.size(), 1);
            QCOMPARE(tuer.meldungen.at(0).text, QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
            QCOMPARE(tuer.meldungen.at(0).icon, Door::Icon::Keins);
            QCOMPARE(tuer.meldungen.at(0).knoepfe, Door::Knoepfe::Ok);
            QCOMPARE(tuer.meldungen.at(0).titel, QStringLiteral("GSMBV_V3_Konfiguration"));
        } else {
            QCOMPARE(tuer.meldungen.size(), 0);
        }
        QCOMPARE(tuer.beeps, 0);
    }

    void informationInhalt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("links");
        QTest::addColumn<int>("oben");
        QTest::addColumn<qreal>("punkte");
        QTest::addColumn<bool>("fett");
        QTest::newRow("Label1") << "Label1" << "GSM Boravilon" << 3480 << 120 << 12.0 << true;
        QTest::newRow("Label3") << "Label3" << "Konfigurationsprogramm" << 3480 << 480 << 9.75 << true;
        QTest::newRow("Label11") << "Label11" << " Windows NT 4.0" << 3480 << 840 << 9.75 << false;
        QTest::newRow("Label2") << "Label2" << " Windows 2000" << 3480 << 1080 << 9.75 << false;
        QTest::newRow("Label12") << "Label12" << "Version: 1.3 Release 05052003" << 120 << 1560 << 9.75 << true;
    }
    void informationInhalt()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, links);
        QFETCH(int, oben);
        QFETCH(qreal, punkte);
        QFETCH(bool, fett);
        FakeDoor tuer;
        Information box;
        auto* l = box.findChild<QLabel*>(name);
        QVERIFY(l);
        QCOMPARE(l->text(), text);
        QCOMPARE(l->pos(), QPoint(links * box.logicalDpiX() / 1440, oben * box.logicalDpiY() / 1440));
        QCOMPARE(l->font().family(), QStringLiteral("Arial"));
        QCOMPARE(l->font().pointSizeF(), punkte);
        QCOMPARE(l->font().bold(), fett);
        // The whole text fits inside the box.
        QVERIFY(box.rect().contains(l->geometry()));
    }

    void informationRahmen()
    {
        FakeDoor tuer;
        Information box;
        QCOMPARE(box.windowTitle(), QStringLiteral("über GSM Boravilon Konfiguration"));
        QCOMPARE(box.windowModality(), Qt::ApplicationModal);
        QVERIFY(box.findChildren<QAbstractButton*>().isEmpty());
        for (const char* bild : {"ImageGSMBV", "Image2"}) {
            auto* l = box.findChild<QLabel*>(bild);
            QVERIFY2(l, bild);
            QVERIFY(!l->pixmap().isNull());
            QVERIFY(box.rect().contains(l->geometry()));
        }
        const QStringList kontakt = {"Musterwerk Alarmtechnik GmbH", "Beispielweg 12, 12345 Musterstadt",
                                     "Telefon: +49 000 1234567", "E-Mail: info@example.org",
                                     "Internet: www.example.org", "Alarm-, Melde- und Fernwirktechnik"};
        int untenVorher = box.findChild<QLabel*>("Label12")->geometry().bottom();
        for (int i = 0; i < kontakt.size(); ++i) {
            auto* l = box.findChild<QLabel*>(QStringLiteral("Kontakt_%1").arg(i));
            QVERIFY(l);
            QCOMPARE(l->text(), kontakt.at(i));
            QVERIFY(l->y() > untenVorher - 2); // one below the other, below the version
            QVERIFY(box.rect().contains(l->geometry()));
            untenVorher = l->geometry().bottom();
        }
    }

    void zentriert()
    {
        FakeDoor tuer;
        QPointer<Information> box = Information::zeigen();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QVERIFY(box->isVisible());
        const QRect schirm = box->screen()->geometry();
        const QRect rahmen = box->frameGeometry();
        const QPoint mitte(schirm.x() + (schirm.width() - rahmen.width()) / 2,
                           schirm.y() + (schirm.height() - rahmen.height()) / 2);
        QCOMPARE(box->pos(), mitte);

        // Moved away and repainted: back in the middle.
        box->move(mitte + QPoint(-137, 55));
        QTRY_COMPARE(box->pos(), mitte + QPoint(-137, 55));
        box->repaint();
        QCOMPARE(box->pos(), mitte);

        // Only one box: asking again gives the same one.
        QCOMPARE(Information::zeigen(), box.data());
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QVERIFY(Information::zeigen() != nullptr);
        Information::zeigen()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(tuer.meldungen.size(), 0);
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
