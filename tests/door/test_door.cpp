// The real door on the offscreen platform: each call, what it shows, the user's answer by mouse or
// key and what it returns; the about box and the system-information launcher.
#include "doorqt/qtdoor.h"
#include "kit.h"
#include "shell/information.h"
#include "shell/sysinfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

// Once a modal window has the focus, notes what it shows (a box: title|icon|buttons|text;
// a file dialog: title|filter|suffix|save|folder|name), then answers: "maus:<button>",
// "taste:Return" / "taste:Escape" where the focus is, "tippen:<name>" a file name and Return.
void beiModal(const QString& aktion, QString& gezeigt)
{
    auto* takt = new QTimer;
    auto takte = std::make_shared<int>(0);
    QObject::connect(takt, &QTimer::timeout, [=, &gezeigt] {
        QWidget* w = QApplication::activeModalWidget();
        QWidget* f = QApplication::focusWidget();
        if (!w || (!(f && w->isAncestorOf(f)) && ++*takte < 300))
            return;
        takt->deleteLater();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            QStringList k;
            for (QAbstractButton* b : box->buttons())
                k << b->text().remove('&');
            k.sort();
            gezeigt = QStringLiteral("%1|%2|%3|%4").arg(box->windowTitle()).arg(box->icon()).arg(k.join(' '), box->text());
        } else if (auto* fd = qobject_cast<QFileDialog*>(w)) {
            gezeigt = QStringList{fd->windowTitle(), fd->nameFilters().join(';'), fd->defaultSuffix(), QString::number(fd->acceptMode()),
                                  fd->directory().absolutePath(), fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text()}.join('|');
        } else {
            gezeigt = w->windowTitle();
        }
        QTimer::singleShot(3000, w, [w] { w->close(); });  // one left open would hang the test
        const QString art = aktion.section(':', 0, 0), was = aktion.section(':', 1);
        if (art == QLatin1String("maus")) {
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
                if (b->text().remove('&') == was && b->isVisible())
                    return QTest::mouseClick(b, Qt::LeftButton);
            QFAIL(qPrintable("no button " + was));
        }
        if (art == QLatin1String("tippen")) {
            QTest::qWait(200);  // the folder's listing arrives later and selects the initial name
            auto* feld = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            feld->selectAll();
            QTest::keyClicks(feld, was);
        }
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, was == QLatin1String("Escape") ? Qt::Key_Escape : Qt::Key_Return);
    });
    takt->start(10);
    QTimer::singleShot(10000, takt, &QObject::deleteLater);  // nothing shown: gives up
}

} // namespace

class TestDoor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { deutschEinrichten(); }

    void tuer_data()
    {
        QTest::addColumn<QString>("aufruf");   // meldung <icon> <buttons> [title], speichern, oeffnen, drucken, ...
        QTest::addColumn<QString>("aktion");   // the user's answer; empty: nothing is shown
        QTest::addColumn<QString>("gezeigt");
        QTest::addColumn<QString>("ergebnis");
        auto z = [](const QString& aufruf, const QString& aktion, const QString& gezeigt, const QString& ergebnis) {
            QTest::addRow("%s %s", qPrintable(aufruf), qPrintable(aktion)) << aufruf << aktion << gezeigt << ergebnis;
        };
        // Each kind of box the program shows, each button by mouse or by key.
        z("meldung 1 0 GSM Boravilon", "maus:OK", "GSM Boravilon|3|OK|Verbindung nicht möglich", "Ok");
        z("meldung 3 0 GSM Boravilon", "taste:Escape", "GSM Boravilon|1|OK|Verbindung nicht möglich", "Ok");
        z("meldung 0 0", "maus:OK", "GSMBV_V3_Konfiguration|0|OK|Verbindung nicht möglich", "Ok");
        z("meldung 0 1 GSM BV Konfiguration", "taste:Return", "GSM BV Konfiguration|0|Abbrechen OK|Verbindung nicht möglich", "Ok");
        z("meldung 0 1 GSM BV Konfiguration", "taste:Escape", "GSM BV Konfiguration|0|Abbrechen OK|Verbindung nicht möglich", "Abbrechen");
        z("meldung 4 2 GSM Boravilon", "taste:Return", "GSM Boravilon|4|Ja Nein|Verbindung nicht möglich", "Ja");
        z("meldung 1 2 GSM Boravilon", "taste:Escape", "GSM Boravilon|3|Ja Nein|Verbindung nicht möglich", "Nein");
        const QString sp = "Konfigurationsdatei|Konfigurationsdateien (*.cfg)|cfg|1|<ordner>|alt.cfg";
        z("speichern", "tippen:neu", sp, "<ordner>/neu.cfg");
        z("speichern", "taste:Escape", sp, "");
        z("oeffnen", "tippen:alt.cfg", "Konfigurationsdatei|Konfigurationsdateien (*.cfg)|cfg|0|<ordner>|alt.cfg", "<ordner>/alt.cfg");
        // A folder: the one it starts in is chosen with Return.
        z("ordner", "taste:Return", "Sicherungsordner|Alle Dateien (*)||0|<ordner>|", "<ordner>");
        z("drucken", "taste:Return", "Drucken", "ja");
        z("drucken", "taste:Escape", "Drucken", "nein");
        // A launch gives each argument as one word (no shell), the viewer goes through xdg-open (a stand-in).
        z("starten xdg-open", "", "", "a b;touch c $(x)||");
        z("starten fehlt", "", "", "nicht gestartet");
        z("anzeigen", "", "", "/tmp/Ein Ordner/LOG.TXT|");
        z("beep", "", "", "");
    }
    void tuer()
    {
        QFETCH(QString, aufruf);
        QFETCH(QString, aktion);
        QTemporaryDir ordner;
        const QString alt = ordner.filePath(QStringLiteral("alt.cfg")), skript = ordner.filePath(QStringLiteral("xdg-open"));
        QVERIFY(kit::schreiben(alt, "") && kit::schreiben(skript, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.aufruf\"\n")
                && QFile::setPermissions(skript, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QString gezeigt, ergebnis, art = aufruf.section(' ', 0, 0);
        if (!aktion.isEmpty())
            beiModal(aktion, gezeigt);
        QtDoor tuer;
        const Door::Dateidialog d{QStringLiteral("Konfigurationsdatei"), QStringLiteral("Konfigurationsdateien (*.cfg)"), alt, QStringLiteral("cfg")};
        const qsizetype fenster = QApplication::topLevelWidgets().size();
        if (art == QLatin1String("meldung")) {
            const Door::Antwort a = tuer.meldung(QStringLiteral("Verbindung nicht möglich"), Door::Icon(aufruf.section(' ', 1, 1).toInt()),
                                                 Door::Knoepfe(aufruf.section(' ', 2, 2).toInt()), aufruf.section(' ', 3));
            ergebnis = QStringList{"Ok", "Abbrechen", "Ja", "Nein"}.at(int(a));
        } else if (art == QLatin1String("speichern") || art == QLatin1String("oeffnen")) {
            ergebnis = art == QLatin1String("speichern") ? tuer.dateiSpeichern(d) : tuer.dateiOeffnen(d);
        } else if (art == QLatin1String("ordner")) {
            ergebnis = tuer.dateiOeffnen({QStringLiteral("Sicherungsordner"), QString(), ordner.path(), QString(), true});
        } else if (art == QLatin1String("drucken")) {
            QPrinter drucker;
            drucker.setOutputFileName(ordner.filePath(QStringLiteral("gedruckt.pdf")));
            ergebnis = tuer.druckdialog(drucker) ? "ja" : "nein";
        } else if (art == QLatin1String("beep")) {
            tuer.beep();
            QCOMPARE(QApplication::topLevelWidgets().size(), fenster);
        } else {
            const QByteArray pfad = qgetenv("PATH");
            qputenv("PATH", QFile::encodeName(ordner.path()) + ':' + pfad);
            for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
                qunsetenv(v);
            const bool gestartet = art == QLatin1String("anzeigen")
                ? tuer.anzeigen(QStringLiteral("/tmp/Ein Ordner/LOG.TXT"))
                : tuer.starten(ordner.filePath(aufruf.section(' ', 1)), {QStringLiteral("a b;touch c $(x)"), QString()});
            qputenv("PATH", pfad);
            const QString a = skript + QStringLiteral(".aufruf");
            ergebnis = !gestartet ? QStringLiteral("nicht gestartet")
                     : kit::warten([&a] { return QFile::exists(a); }) ? QString::fromUtf8(kit::lesen(a)) : QStringLiteral("(nicht aufgerufen)");
        }
        QTEST(gezeigt.replace(ordner.path(), QStringLiteral("<ordner>")), "gezeigt");
        QTEST(ergebnis.replace(ordner.path(), QStringLiteral("<ordner>")), "ergebnis");
    }

    // Executable stand-ins on the search path: the first tool found is started; none found, or its
    // start failing, is told in one box.
    void sysinfoStart_data()
    {
        QTest::addColumn<QStringList>("vorhanden");
        QTest::addColumn<bool>("startGelingt");
        QTest::addColumn<QStringList>("gezeigt");  // launches, then boxes
        const QString box = "Keins|Ok|Systeminformationen sind momentan nicht verfügbar";
        QTest::newRow("nur fremde") << QStringList{"texteditor", "hardinfo.txt"} << true << QStringList{box};
        QTest::newRow("nur lxtask") << QStringList{"lxtask"} << true << QStringList{"lxtask"};
        QTest::newRow("Start scheitert") << QStringList{"hardinfo"} << false << QStringList{"hardinfo", box};
    }
    void sysinfoStart()
    {
        QFETCH(QStringList, vorhanden);
        QFETCH(bool, startGelingt);
        QTemporaryDir tmp;
        for (const QString& name : vorhanden)
            QVERIFY(kit::schreiben(tmp.filePath(name), "") && QFile::setPermissions(tmp.filePath(name), QFile::ReadOwner | QFile::ExeOwner));
        FakeDoor tuer;
        tuer.startErfolg = startGelingt;
        const bool gestartet = StartSysInfo({tmp.path()});
        QStringList ist;
        for (const FakeDoor::Start& s : tuer.starts)
            ist << QDir(tmp.path()).relativeFilePath(s.programm) + s.argumente.join(' ');
        QTEST(ist + kit::boxen(tuer), "gezeigt");
        QCOMPARE(gestartet, tuer.meldungen.isEmpty());
    }

    // The about box: one at a time; once closed it is gone, and the next call makes a new one
    // instead of handing out the closed one.
    void zeigen()
    {
        FakeDoor tuer;
        QPointer<Information> box = Information::zeigen();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QStringList texte;  // the pictures have none
        for (const QLabel* l : box->findChildren<QLabel*>())
            texte << l->text();
        QCOMPARE(texte.join('|'), "||GSM Boravilon|Konfigurationsprogramm| Windows NT 4.0| Windows 2000|Version: 1.3 Release 05052003|"
                                  "Musterwerk Alarmtechnik GmbH|Beispielweg 12, 12345 Musterstadt|Telefon: +49 000 1234567|"
                                  "E-Mail: info@example.org|Internet: www.example.org|Alarm-, Melde- und Fernwirktechnik");
        QCOMPARE(Information::zeigen(), box.data());
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        box = Information::zeigen();
        QVERIFY(box);
        delete box;
        QCOMPARE(kit::boxen(tuer), QStringList());
    }
};

QTEST_MAIN(TestDoor)
#include "test_door.moc"
