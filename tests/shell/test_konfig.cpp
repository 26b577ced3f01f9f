// The main window's frame: status bar, markers, unfinished values, dialogs.
#include "../ablauf/ablauf.h"

#include "editor/teledit.h"
#include "linkui/kommunikation.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

using namespace ablauf;

class TestKonfig : public QObject {
    Q_OBJECT
private slots:
    // Title and status bar; the clock ticks into panels 3 and 4 in German.
    void statusleiste()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        kit::Fenster f;
        QCOMPARE(f.k.windowTitle(), QStringLiteral("GSM Boravilon Konfiguration"));
        QStringList panels;
        for (int i = 1; i <= 4; ++i)
            panels << f.k.panel(i)->text() + '|' + QString::number(i == 2 ? 0 : f.k.panel(i)->width());
        QCOMPARE(panels, (QStringList{"Ulmix|106", "|0", "|294", "Zeit|169"}));
        QVERIFY(f.k.panel(2)->width() > 0 && !f.k.panel(0) && !f.k.panel(5));
        auto* uhr = f.k.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(uhr && uhr->isActive());
        QCOMPARE(uhr->interval(), 1000);
        // No context menu on the toolbar or the menu bar: its only item would hide the toolbar for good.
        QCOMPARE(f.k.createPopupMenu(), nullptr);
        f.k.setUhr([] { return QDateTime(QDate(2025, 3, 31), QTime(23, 59, 9)); });
        uhr->setInterval(1);
        QVERIFY(kit::warten([&] { return f.k.panel(4)->text() == QLatin1String("23:59:09"); }));
        QCOMPARE(f.k.panel(3)->text(), QStringLiteral("31.März 2025"));
        QLocale::setDefault(QLocale::system());
    }

    // Values shown unrecorded; every marker and page, then none with the first tab.
    void markierungen()
    {
        kit::Fenster f;
        Editorwerte w = f.k.werte();
        w.anlagenbezeichnung = QStringLiteral("Halle 3");
        f.k.anzeigen(w);
        QCOMPARE(f.feld(QStringLiteral("Anlagenbezeichnung"))->text(), QStringLiteral("Halle 3"));
        QCOMPARE(f.geflaggt(), QList<int>{});
        f.k.tabs()->setCurrentIndex(2);
        f.k.alleMarkieren();
        QCOMPARE(f.marker(), kAlleMarker);
        QCOMPARE(f.geflaggt(), kGeraeteseiten);
        f.k.markierungenLoeschen();
        QCOMPARE(f.marker().size() + f.geflaggt().size() + f.k.tabs()->currentIndex(), 0);
    }

    // With "05" in Messbereich4 the commands that carry the editor's values refuse; the
    // others run, and the read, which replaces the editor, leaves the field unchecked.
    void unfertigerWert_data()
    {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<bool>("verweigert");
        for (const char* n : {"MNU_Save", "Toolbar1_Button7", "MNU_Schreib", "Toolbar1_Button3", "MNU_Drucken"})
            QTest::newRow(n) << n << true;
        for (const char* n : {"MNU_Lesen", "MNU_Open", "MNU_log", "MNU_COM"})
            QTest::newRow(n) << n << false;
    }
    void unfertigerWert()
    {
        QFETCH(QString, aktion);
        QFETCH(bool, verweigert);
        kit::Fenster f;
        f.k.verbindung().setWartezeit(50ms);
        Eingabefeld* m4 = eingeben(f, QStringLiteral("Messbereich4"), QStringLiteral("05"), false);
        f.finde<QAction>(aktion)->trigger();
        QCOMPARE(f.door.beeps, verweigert ? 1 : 0);
        QCOMPARE(f.k.panel(2)->text() == QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)"), verweigert);
        QVERIFY(!verweigert || f.fokus() == m4);
        QCOMPARE(f.door.dateidialoge.size() + f.door.druckdialoge, aktion == QLatin1String("MNU_Open") ? 1 : 0);
        QCOMPARE(f.k.verbindung().operationLaeuft() || f.k.kommunikation(), !verweigert && aktion != QLatin1String("MNU_Open"));
        QVERIFY(kit::warten([&] { return !f.k.verbindung().operationLaeuft(); }));
        QCOMPARE(m4->text(), aktion == QLatin1String("MNU_Lesen") ? QString() : QStringLiteral("05"));
        QCOMPARE(f.geflaggt(), QList<int>{});
    }

    // The COM port dialog, the analog input's recipients, About, system information.
    void dialoge()
    {
        kit::Fenster f;
        f.finde<QAction>(QStringLiteral("MNU_COM"))->trigger();
        f.finde<QAction>(QStringLiteral("MNU_COM"))->trigger();
        QCOMPARE(f.k.findChildren<Kommunikation*>().size(), 1);
        Kommunikation* d = f.k.kommunikation();
        QVERIFY(d->isVisible() && d->windowModality() == Qt::ApplicationModal && d->option(1)->isChecked());
        QCOMPARE(d->geraetLabel(2)->text(), QStringLiteral("/nonexistent/gsmbv-test-port"));
        d->option(3)->click();
        d->findChild<QAbstractButton*>(QStringLiteral("CMD_OK"))->click();
        QCOMPARE(f.k.verbindung().port(), 3);
        QVERIFY(kit::warten([&] { return !f.k.kommunikation(); }));
        f.klicken(QStringLiteral("Cmd_Analog"));
        QCOMPARE(f.k.teledit().nummernseite(), 11);
        QLineEdit* nummer = f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"));
        nummer->setFocus();
        kit::tippen(nummer, QStringLiteral("0664123"));
        f.k.teledit().findChild<QAbstractButton*>(QStringLiteral("CMD_Save"))->click();
        QCOMPARE(f.marker(), QList<int>{20});  // the list stored: its marker, its page
        QCOMPARE(f.geflaggt(), QList<int>{11});
        f.finde<QAction>(QStringLiteral("MNU_Boraviloninfo"))->trigger();
        f.finde<QAction>(QStringLiteral("MNU_Boraviloninfo"))->trigger();
        QCOMPARE(f.k.findChildren<QWidget*>(QStringLiteral("Information")).size(), 1);
        QVERIFY(f.finde(QStringLiteral("Information"))->isVisible());
        f.k.Toolbar1_ButtonClick(8);  // no such button: nothing happens
        QCOMPARE(f.door.dateidialoge.size() + f.door.druckdialoge, 0);
        f.finde<QAction>(QStringLiteral("MNU_SYSTEM"))->trigger();
        QCOMPARE(f.door.starts.size() + f.door.meldungen.size(), 1);
        QVERIFY(f.door.meldungen.isEmpty() || kit::boxen(f.door) == QStringList{"Keins|Ok|Systeminformationen sind momentan nicht verfügbar"});
    }
};

QTEST_MAIN(TestKonfig)
#include "test_konfig.moc"
