// The window and its dialogs as a screen reader and the keyboard reach them:
// what the Tab key reaches, in which order, with which role, name and
// description (Qt's accessibility interface: what AT-SPI hands on); default
// button, Escape and the focus coming back; the menus' mnemonics. The
// program end to end through AT-SPI, and the announcements that only a
// platform bridge passes on, are bildschirmleser.py's.
#include "backup/sicherung.h"
#include "door/door.h"
#include "doorqt/qtdoor.h"
#include "editor/teledit.h"
#include "fenster.h"
#include "linkui/datenfenster.h"
#include "linkui/kommunikation.h"
#include "linkui/syszeit.h"
#include "shell/information.h"
#include "shell/sicherungen.h"
#include "shell/vergleich.h"
#include "sim/simptyrunner.h"

#include <QAccessible>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMetaEnum>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

// "Rolle Name", " = Wert (von..bis)" of a control with a value and
// " (Beschreibung)" when there is one, as the accessibility interface tells
// them. A list's name on Linux is its entry: it is named by its label (the
// labelled-by relation).
QString zugang(QObject* o)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
    if (!i)
        return QStringLiteral("?");
    const QMetaEnum rollen = QMetaEnum::fromType<QAccessible::Role>();
    const auto beschriftet = i->relations(QAccessible::Label);
    const QString name = i->role() == QAccessible::ComboBox && !beschriftet.isEmpty()
                           ? beschriftet.first().first->text(QAccessible::Name) : i->text(QAccessible::Name);
    QString s = QLatin1String(rollen.valueToKey(i->role())) + QLatin1Char(' ') + name;
    if (QAccessibleValueInterface* wert = i->valueInterface())
        s += QStringLiteral(" = %1 (%2..%3)").arg(wert->currentValue().toInt()).arg(wert->minimumValue().toInt()).arg(wert->maximumValue().toInt());
    const QString beschreibung = i->text(QAccessible::Description);
    if (!beschreibung.isEmpty())
        s += QStringLiteral(" (") + beschreibung + QLatin1Char(')');
    return s;
}

// What the Tab key reaches from the focus on, once round (at most 80 steps),
// as a screen reader hears it when the control gets the focus.
QStringList tabKette()
{
    QStringList kette;
    QWidget* start = QApplication::focusWidget();
    for (QWidget* w = start; w && kette.size() < 80;) {
        kette.append(zugang(w));
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == start)
            break;
    }
    return kette;
}

// What does not fit in a window as it is shown: a control outside its parent,
// two sibling controls on top of each other, a label away from its control, a text cut off (labels, buttons,
// group titles, read-only fields, tabs). One line per fault, "" when all fits.
QStringList passtNicht(QWidget* fenster)
{
    QStringList fehler;
    auto name = [](const QWidget* w) {
        return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + (w->objectName().isEmpty() ? w->accessibleName() : w->objectName());
    };
    auto zaehlt = [fenster](const QWidget* w) {
        return w->isVisibleTo(fenster) && !w->isWindow() && !w->objectName().startsWith(QLatin1String("qt_"))
            && !qobject_cast<const QTabBar*>(w->parentWidget());  // its scroll buttons
    };
    const QList<QWidget*> alle = fenster->findChildren<QWidget*>();
    for (QWidget* w : alle) {
        if (!zaehlt(w))
            continue;
        if (!w->parentWidget()->rect().contains(w->geometry()))
            fehler << name(w) + QStringLiteral(" ragt aus ") + name(w->parentWidget());
        for (QWidget* n : alle)
            if (n != w && n->parentWidget() == w->parentWidget() && zaehlt(n) && w < n && w->geometry().intersects(n->geometry()))
                fehler << name(w) + QStringLiteral(" über ") + name(n);
        // A label stands beside the control it names, or right above or under it.
        if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy() && zaehlt(l->buddy()) && l->buddy()->parentWidget() == l->parentWidget()) {
            const QRect a = l->geometry(), b = l->buddy()->geometry();
            const bool daneben = a.top() <= b.bottom() && b.top() <= a.bottom();
            const bool ueberUnter = qMax(a.top() - b.bottom(), b.top() - a.bottom()) < 12 && a.left() <= b.right() && b.left() <= a.right();
            if (!daneben && !ueberUnter)
                fehler << name(w) + QStringLiteral(" fern von ") + name(l->buddy());
        }
        const QFontMetrics fm = w->fontMetrics();
        int breite = 0, platz = w->width();
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty() && !l->wordWrap()) {
            breite = fm.horizontalAdvance(l->text());
            platz = l->contentsRect().width();
        } else if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap() && l->heightForWidth(l->width()) > l->height()) {
            breite = platz + 1;
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
            breite = b->sizeHint().width();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            breite = g->minimumSizeHint().width();
        } else if (auto* e = qobject_cast<QLineEdit*>(w); e && e->isReadOnly()) {
            breite = fm.horizontalAdvance(e->text()) + 8;  // frame and margins
        } else if (auto* t = qobject_cast<QTabBar*>(w)) {
            breite = t->tabRect(t->count() - 1).right() + 1;
        }
        if (breite > platz)
            fehler << name(w) + QStringLiteral(" abgeschnitten: %1 > %2").arg(breite).arg(platz);
    }
    return fehler;
}

} // namespace

class TestZugang : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        deutschEinrichten();
    }

    // Each dialog opened from the keyboard: its title (a screen reader's first
    // words), its controls in the order of the Tab key, its default button; Escape closes it and the focus is back
    // where it was.
    void dialoge_data()
    {
        QTest::addColumn<QString>("oeffnen");  // a menu item, a button (pressed with Space) or "Meldung"
        QTest::addColumn<QString>("fokus");    // the control that has the focus before
        QTest::addColumn<QStringList>("kette");
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QString>("titel");
        QStringList nummern;
        for (int i = 1; i <= 8; ++i)
            nummern << QStringLiteral("EditableText Eintrag %1, GSM-Nummer").arg(i) << QStringLiteral("RadioButton Eintrag %1, GSM").arg(i);
        QTest::newRow("COM Port") << "MNU_COM" << "Anlagenbezeichnung"
            << QStringList{"RadioButton COM 1 (/dev/ttyS0)", "Button OK", "Button Abbruch"} << "OK" << "Kommunikation";
        QTest::newRow("Uhrzeit") << "MNU_Uhr" << "Anlagenbezeichnung"
            << QStringList{"EditableText Boravilon Zeit", "EditableText PC-Zeit", "Button Übernehmen", "Button Abbruch"} << "Abbruch" << "Systemzeit";
        QTest::newRow("Nummern") << "CMD_Nr_2" << "CMD_Nr_2"
            << nummern + QStringList{"Button Importieren ...", "Button Exportieren ...", "Button Speichern", "Button Kopieren", "Button Abbruch"}
            << "Speichern" << "GSM-Nummern für Meldelinie 3";
        QTest::newRow("Sicherungen") << "MNU_Sicherungen" << "Anlagenbezeichnung"
            << QStringList{"Tree Sicherungen", "Button Öffnen", "Button Wiederherstellen", "Button Abbrechen"} << "Öffnen" << "Sicherungen";
        QTest::newRow("Meldung") << "Meldung" << "Anlagenbezeichnung" << QStringList{"Button OK", "Button Abbrechen"} << "OK" << "GSMBV_V3_Konfiguration";
    }
    void dialoge()
    {
        QFETCH(QString, oeffnen);
        QFETCH(QString, fokus);
        SimOptionen o;
        o.baud = 0;
        SimPtyRunner sim(o);
        kit::Fenster f(sim.pfad());
        for (int com = oeffnen == QLatin1String("MNU_COM") ? 1 : 2; com <= 4; ++com)
            f.k.verbindung().zuordnung().festlegen(com, QStringLiteral("/dev/ttyS%1").arg(com - 1));
        QTemporaryDir ordner;
        f.k.setSicherungsOrdner(ordner.path());
        sicherung::anlegen({f.k.speicher(), QByteArray()}, ordner.path(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)), QStringLiteral("werkbank"));
        QWidget* vorher = f.finde(fokus);
        f.betreten(vorher);

        // Looked at once the dialog is the active window, also inside a
        // message box's own event loop; then closed with Escape.
        QStringList kette;
        QString standard, titel;
        bool geprueft = false;
        QTimer uhr;
        connect(&uhr, &QTimer::timeout, this, [&] {
            QWidget* d = QApplication::activeWindow();
            if (geprueft || !qobject_cast<QDialog*>(d) || !d->isVisible())
                return;
            geprueft = true;
            kette = tabKette();
            titel = d->windowTitle();
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->isDefault())
                    standard = b->text();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d, Qt::Key_Escape);
        });
        uhr.start(20);
        QtDoor echteTuer;
        if (oeffnen == QLatin1String("Meldung")) {
            Door::setzen(&echteTuer);
            QCOMPARE(Door::aktuell().meldung(QStringLiteral("Frage"), Door::Icon::Keins, Door::Knoepfe::OkAbbrechen),
                     Door::Antwort::Abbrechen);
            Door::setzen(&f.door);
        } else if (auto* a = f.k.findChild<QAction*>(oeffnen)) {
            a->trigger();
        } else {
            QTest::keyClick(f.finde(oeffnen), Qt::Key_Space);
        }
        QTRY_VERIFY_WITH_TIMEOUT(geprueft, 10000);
        QTEST(kette, "kette");
        QTEST(standard, "standard");
        QTEST(titel, "titel");
        // Then back where the dialog was opened.
        QTRY_COMPARE(QApplication::activeWindow(), &f.k);
        QTRY_COMPARE(QApplication::focusWidget(), vorher);
    }

    // Each tab with every control switched on: what the Tab key reaches from
    // the tab bar on, in order, with role, name and description; with a
    // change marker shown, "geändert" ends the descriptions of its group.
    void reiter_data()
    {
        QTest::addColumn<int>("reiter");
        QTest::addColumn<QStringList>("kette");
        // The boxes ticked mark "Allgemein" and the relays as changed, the text typed the first line.
        QTest::newRow("Allgemein") << 0 << QStringList{
            "PageTabList Allgemein", "EditableText Anlagenbezeichnung (geändert)", "RadioButton A1 (geändert)", "CheckBox Quittierung (geändert)",
            "Slider Quittierungszeit in Minuten = 15 (1..255) (geändert)", "CheckBox Kontostandsüberwachung (geändert)",
            "EditableText Nummer für SMS Kontostandsabfrage (geändert)", "EditableText Nummer für Kontoaufladung (geändert)",
            "Slider Minimalguthaben in EURO = 5 (1..9) (geändert)", "CheckBox Kontrollruf (geändert)", "RadioButton wöchentlich (geändert)",
            "ComboBox Kontrollruf Tag (geändert)", "SpinBox Kontrollruf Stunde = 10 (0..23) (geändert)",
            "SpinBox Kontrollruf Minute = 0 (0..59) (geändert)"};
        QStringList linien{"PageTabList Meldelinien"};
        for (const char* quelle : {"Meldelinie 1", "Meldelinie 2", "Meldelinie 3", "Meldelinie 4", "Meldelinie 5",
                                   "Meldelinie 6", "Meldelinie 7", "Meldelinie 8", "Stromausfall"}) {
            linien << QStringLiteral("EditableText Meldungstext %1%2").arg(quelle, linien.size() == 1 ? " (geändert)" : "")
                   << QStringLiteral("Button Nummern %1").arg(quelle);
            if (QLatin1String(quelle) != QLatin1String("Stromausfall"))
                linien << QStringLiteral("CheckBox Öffner %1").arg(quelle);
            linien << QStringLiteral("CheckBox Gutmeldung %1").arg(quelle);
        }
        QTest::newRow("Meldelinien") << 1 << linien;
        QTest::newRow("Relaisausgänge") << 2 << QStringList{
            "PageTabList Relaisausgänge", "CheckBox Bestätigungsmeldung Relais 1 (geändert)", "EditableText Bestätigungstext Relais 1 (geändert)",
            "CheckBox Bestätigungsmeldung Relais 2 (geändert)", "EditableText Bestätigungstext Relais 2 (geändert)"};
        QTest::newRow("Analogeingänge") << 3 << QStringList{
            "PageTabList Analogeingänge", "EditableText Messwert 4 mA (Wert bei 4 mA: 0 bis 999)",
            "EditableText Messwert 20 mA (Wert bei 20 mA: 0 bis 999)", "EditableText Messwert Einheit (Einheit des Analogwertes: max. 3 Zeichen)",
            "EditableText unterer Grenzwert (Analogwert Minimumalarm: muss um mind. 50 unter Maximumalarm liegen)",
            "EditableText oberer Grenzwert (Analogwert Maximumalarm: muss um mind. 50 über Minimumalarm liegen)", "Button Nummern Analogeingang",
            "EditableText Meldungstext Minimumalarm (Meldunsgtext für Minimumalarm)",
            "EditableText Meldungstext Maximumalarm (Meldunsgtext für Maximumalarm)"};
    }
    void reiter()
    {
        QFETCH(int, reiter);
        kit::Fenster f;
        for (const char* an : {"Chk_Quittierung", "Chk_Konto", "CHK_Kontrollruf", "OPT_Woche", "Chk_Relaisbest1", "Chk_Relaisbest2"})
            f.klicken(QLatin1String(an));
        f.betreten(f.feld(QStringLiteral("SMSText_0")));
        kit::tippen(f.fokus(), QStringLiteral("x\t"));
        Editorwerte analog = f.k.werte();
        std::tie(analog.messbereich4, analog.messbereich20, analog.grenzwertmin, analog.grenzwertmax, analog.einheit) =
            std::tuple(QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("90"), QStringLiteral("bar"));
        f.k.anzeigen(analog);
        f.k.tabs()->setCurrentIndex(reiter);
        f.k.tabs()->tabBar()->setFocus(Qt::TabFocusReason);
        QTEST(tabKette(), "kette");
    }

    // Each menu's items with their mnemonics: no letter twice in a menu, and
    // every toolbar command also in a menu ("Verbindung abbrechen"); the toolbar fixed; the hint panel's name.
    void menues()
    {
        kit::Fenster f;
        QStringList ist;
        for (QAction* m : f.k.menuBar()->actions()) {
            QStringList zeile{m->text()};
            QList<QChar> buchstaben;
            for (QAction* a : m->menu()->actions()) {
                if (a->isSeparator())
                    continue;
                zeile << a->text();
                const QChar b = a->text().at(a->text().indexOf(QLatin1Char('&')) + 1).toLower();
                QVERIFY2(!buchstaben.contains(b), qPrintable(a->text()));
                buchstaben << b;
            }
            ist << zeile.join(QLatin1Char('|'));
        }
        QCOMPARE(ist, (QStringList{
            "&Datei|Konfiguration &lesen|Konfiguration &schreiben|Ver&gleichen mit Gerät ...|Konfigurationsdatei ö&ffnen ...|Si&cherungen ...|"
            "Konfigurationsdatei s&peichern ...|&Drucken ...|&Ereignisspeicher lesen ...|&Verbindung abbrechen|"
            "Konfiguration &beenden",
            "&Bearbeiten|&Rückgängig|&Wiederholen",
            "&Einstellungen|&COM Port ...|Uhr&zeit ...|&Sicherungsordner ...",
            "&Info|&Systeminfo ...|Über GSM &Boravilon Konfiguration ...",
        }));
        // The hint panel speaks as a notification named by the text it shows.
        f.k.panel(2)->setText(QStringLiteral("Eingabe ungültig"));
        QAccessibleInterface* hinweis = QAccessible::queryAccessibleInterface(f.k.panel(2));
        QVERIFY(hinweis && hinweis->role() == QAccessible::Notification);
        QCOMPARE(hinweis->text(QAccessible::Name), QStringLiteral("Eingabe ungültig"));
        // The toolbar stays in its place: no handle to drag it off the window.
        const auto* leiste = f.k.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QVERIFY(leiste && !leiste->isMovable() && !leiste->isFloatable());
    }

    // Every tab and dialog at its default size, with a text scale of 100 %
    // and 150 %: nothing outside its parent, nothing on top of another,
    // no text cut off. (The test runs once more with QT_SCALE_FACTOR=1.5.)
    void skalierung_data()
    {
        QTest::addColumn<QString>("fenster");
        QTest::addColumn<qreal>("schrift");
        for (const char* fenster : {"Allgemein", "Meldelinien", "Relaisausgänge", "Analogeingänge", "COM Port", "Systemzeit",
                                    "Nummern", "Sicherungen", "Über", "Daten", "Vergleich"})
            for (qreal schrift : {1.0, 1.5})
                QTest::addRow("%s %d %%", fenster, int(schrift * 100)) << QString::fromUtf8(fenster) << schrift;
    }
    void skalierung()
    {
        QFETCH(QString, fenster);
        QFETCH(qreal, schrift);
        const QFont vorher = QApplication::font();
        QFont f0 = vorher;
        f0.setPointSizeF(vorher.pointSizeF() * schrift);
        QApplication::setFont(f0);
        const auto zurueck = qScopeGuard([&vorher] { QApplication::setFont(vorher); });  // once the window is gone, a failed row too
        kit::Fenster f;
        // Everything that can show: every marker, the longest date.
        f.k.alleMarkieren();
        f.k.setUhr([] { return QDateTime(QDate(2024, 9, 28), QTime(23, 59, 59)); });
        f.k.Timer1_Timer();
        QTemporaryDir ordner;
        sicherung::anlegen({f.k.speicher(), QByteArray()}, ordner.path(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)), QStringLiteral("werkbank"));
        QWidget* w = &f.k;
        for (int i = 0; i < f.k.tabs()->count(); ++i)
            if (f.k.tabs()->tabText(i) == fenster)
                f.k.tabs()->setCurrentIndex(i);
        if (fenster == QStringLiteral("COM Port"))
            w = new Kommunikation(f.k.verbindung(), &f.k);
        else if (fenster == QStringLiteral("Systemzeit"))
            w = new syszeit(&f.k);
        else if (fenster == QStringLiteral("Sicherungen"))
            w = new Sicherungen(ordner.path(), &f.k);
        else if (fenster == QStringLiteral("Über"))
            w = new Information(&f.k);
        else if (fenster == QStringLiteral("Nummern") && f.k.teledit().oeffnen(3))
            w = &f.k.teledit();
        if (fenster == QStringLiteral("Vergleich")) {
            auto* v = new Vergleich(&f.k);
            v->zeigen(QStringLiteral("23:59:59, Gerät an COM 1 (/dev/serial/by-id/usb-Hersteller_Seriell-Wandler_Bauart_2_0123456789AB-if00-port0)"),
                      {{"a", "Öffner Meldelinie 1", "ja", std::nullopt}}, f.k.seitenaenderung());
            w = v;
        }
        if (auto* daten = f.k.findChild<DatenFenster*>(); daten && fenster == QStringLiteral("Daten")) {
            daten->anzeigen({Vorgangsart::Lesen, Schritt::Verbinden});
            daten->anzeigen({Vorgangsart::Lesen, Schritt::Empfangen, -1, 1000, 3328});
            w = daten->fenster();
        }
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(passtNicht(w).join(QLatin1Char('\n')), QString());
        if (fenster == QStringLiteral("Analogeingänge"))  // the two alarm texts one under the other
            QCOMPARE(f.finde("Text_Max")->x(), f.finde("Text_Min")->x());
    }
};

QTEST_MAIN(TestZugang)
#include "test_zugang.moc"
