// The about box and the system-information launcher.
#include "kit.h"
#include "shell/information.h"
#include "shell/sysinfo.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void keyValue_data()
    {
        QTest::addColumn<QByteArray>("puffer");
        QTest::addColumn<uint>("laenge");
        QTest::addColumn<uint>("typ");
        QTest::addColumn<QString>("erwartet");
        const QByteArray p("C:\\Programme\\INFO.EXE");  // 20 bytes
        QTest::newRow("SZ mit Endnull") << (p + '\0') << 21u << 1u << "C:\\Programme\\INFO.EXE";
        QTest::newRow("SZ kürzer gemeldet") << (p + '\0') << 16u << 1u << "C:\\Programme\\INF";
        QTest::newRow("SZ Länge 0") << p << 0u << 1u << "";
        QTest::newRow("SZ Windows-1252") << QByteArray("Gr\xF6\xDF" "e\0", 6) << 6u << 1u << "Größe";
        QTest::newRow("SZ Länge über Puffer") << QByteArray(1030, 'x') << 5000u << 1u << QString(1024, 'x');
        QTest::newRow("DWORD little-endian") << kit::hex("04030201") << 4u << 4u << "16909060";
        QTest::newRow("DWORD Höchstwert") << kit::hex("FFFFFFFF") << 4u << 4u << "4294967295";
        QTest::newRow("DWORD kurz gemeldet") << kit::hex("05010707") << 2u << 4u << "261";
        QTest::newRow("MULTI_SZ bleibt") << QByteArray("a\0b\0\0", 5) << 5u << 7u << "alt";
    }
    void keyValue()
    {
        QFETCH(QByteArray, puffer);
        QFETCH(uint, laenge);
        QFETCH(uint, typ);
        QTEST(sysinfo::GetKeyValue(puffer, laenge, typ, QStringLiteral("alt")), "erwartet");
    }

    // Executable stand-ins on the search path; in the folder searched first a
    // "hardinfo" that may not be executed, which is no tool.
    void sysinfoStart_data()
    {
        QTest::addColumn<QStringList>("vorhanden");
        QTest::addColumn<bool>("startGelingt");
        QTest::addColumn<QStringList>("gezeigt");  // launches, then boxes
        const QString box = "Keins|Ok|Systeminformationen sind momentan nicht verfügbar";
        QTest::newRow("keines da") << QStringList() << true << QStringList{box};
        QTest::newRow("nur fremde") << QStringList{"texteditor", "hardinfo.txt"} << true << QStringList{box};
        QTest::newRow("hardinfo") << QStringList{"hardinfo"} << true << QStringList{"hardinfo"};
        QTest::newRow("Reihenfolge") << QStringList{"lxtask", "gnome-system-monitor", "kinfocenter"} << true
                                     << QStringList{"kinfocenter"};
        QTest::newRow("nur lxtask") << QStringList{"lxtask"} << true << QStringList{"lxtask"};
        QTest::newRow("Start scheitert") << QStringList{"hardinfo"} << false << QStringList{"hardinfo", box};
    }
    void sysinfoStart()
    {
        QFETCH(QStringList, vorhanden);
        QFETCH(bool, startGelingt);
        QTemporaryDir nicht, tmp;
        QFile gesperrt(nicht.filePath(QStringLiteral("hardinfo")));
        QVERIFY(gesperrt.open(QIODevice::WriteOnly) && gesperrt.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        for (const QString& name : vorhanden) {
            QFile f(tmp.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        FakeDoor tuer;
        tuer.startErfolg = startGelingt;
        const bool gestartet = StartSysInfo({nicht.path(), tmp.path()});
        QStringList ist;
        for (const FakeDoor::Start& s : tuer.starts)
            ist << QDir(tmp.path()).relativeFilePath(s.programm) + s.argumente.join(' ');
        QTEST(ist + kit::boxen(tuer), "gezeigt");
        QCOMPARE(gestartet, tuer.meldungen.isEmpty());
        QCOMPARE(tuer.beeps, 0);
    }

    // One box, modal, without buttons, with both pictures and every text
    // inside it; back in the middle of its screen whenever it repaints;
    // closed, it is gone.
    void zeigen()
    {
        FakeDoor tuer;
        QPointer<Information> box = Information::zeigen();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QCOMPARE(box->windowTitle(), QStringLiteral("über GSM Boravilon Konfiguration"));
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QVERIFY(box->findChildren<QAbstractButton*>().isEmpty());
        QStringList texte;
        int unten = 0;  // the contact lines one below the other, below the version
        for (QLabel* l : box->findChildren<QLabel*>()) {
            QVERIFY2(box->rect().contains(l->geometry()) && (!l->objectName().startsWith("Kontakt_") || l->y() > unten - 2),
                     qPrintable(l->objectName()));
            unten = l->geometry().bottom();
            texte << l->objectName() + '=' + (l->pixmap().isNull() ? QStringLiteral("%1 %2%3").arg(l->text()).arg(l->font().pointSizeF()).arg(l->font().bold() ? " fett" : "") : "Bild");
        }
        QCOMPARE(texte, (QStringList{"ImageGSMBV=Bild", "Image2=Bild", "Label1=GSM Boravilon 12 fett",
                                     "Label3=Konfigurationsprogramm 9.75 fett", "Label11= Windows NT 4.0 9.75", "Label2= Windows 2000 9.75",
                                     "Label12=Version: 1.3 Release 05052003 9.75 fett", "Kontakt_0=Musterwerk Alarmtechnik GmbH 8.25",
                                     "Kontakt_1=Beispielweg 12, 12345 Musterstadt 8.25", "Kontakt_2=Telefon: +49 000 1234567 8.25",
                                     "Kontakt_3=E-Mail: info@example.org 8.25", "Kontakt_4=Internet: www.example.org 8.25",
                                     "Kontakt_5=Alarm-, Melde- und Fernwirktechnik 8.25"}));
        const QRect schirm = box->screen()->geometry(), rahmen = box->frameGeometry();
        const QPoint mitte(schirm.x() + (schirm.width() - rahmen.width()) / 2,
                           schirm.y() + (schirm.height() - rahmen.height()) / 2);
        QCOMPARE(box->pos(), mitte);
        box->move(mitte + QPoint(-137, 55));
        QTRY_COMPARE(box->pos(), mitte + QPoint(-137, 55));
        box->repaint();
        QCOMPARE(box->pos(), mitte);
        QCOMPARE(Information::zeigen(), box.data());
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        box = Information::zeigen();  // a new one
        QVERIFY(box);
        delete box;
        QCOMPARE(kit::boxen(tuer), QStringList());
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
