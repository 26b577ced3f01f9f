// The real door, QtDoor, with real boxes and dialogs on the offscreen
// platform: a timer finds the modal box or dialog, checks what it shows and
// answers by mouse or key, as a user would. Launches and the viewer start
// real programs. Ends with the whole window's "Kopieren" through the real box.
#include "doorqt/qtdoor.h"
#include "editor/teledit.h"
#include "shell/konfig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

Q_DECLARE_METATYPE(Door::Icon)
Q_DECLARE_METATYPE(Door::Knoepfe)
Q_DECLARE_METATYPE(Door::Antwort)

namespace {

// Runs `handeln` on the first modal window of type W that shows up (polled on
// the event loop, as the door's exec() runs it). Gives up after 5 seconds.
template <class W>
void beiModal(std::function<void(W*)> handeln)
{
    auto* takt = new QTimer;
    auto* uhr = new QElapsedTimer;
    uhr->start();
    QObject::connect(takt, &QTimer::timeout, [takt, uhr, handeln] {
        W* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w && uhr->elapsed() < 5000)
            return;
        takt->stop();
        takt->deleteLater();
        delete uhr;
        if (!w)
            return;
        handeln(w);
        // A box left open would hang the test in its exec().
        QTimer::singleShot(3000, w, [w] {
            if (w->isVisible()) {
                qWarning("still open after the answer");
                w->close();
            }
        });
    });
    takt->start(10);
}

// "maus:<button text>" clicks that button, "taste:Return" / "taste:Escape"
// presses the key in the widget that has the focus.
void bedienen(QWidget* fenster, const QString& aktion)
{
    const QString art = aktion.section(QLatin1Char(':'), 0, 0);
    const QString was = aktion.section(QLatin1Char(':'), 1);
    if (art == QLatin1String("maus")) {
        for (QAbstractButton* b : fenster->findChildren<QAbstractButton*>())
            if (b->text().remove(QLatin1Char('&')) == was && b->isVisible()) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no button ") + was));
    }
    // The key goes where the focus is, once the new window has it.
    const auto imFenster = [fenster] {
        QWidget* f = QApplication::focusWidget();
        return f && (f == fenster || fenster->isAncestorOf(f));
    };
    QElapsedTimer uhr;
    uhr.start();
    while (!imFenster() && uhr.elapsed() < 2000)
        QTest::qWait(10);
    QWidget* ziel = imFenster() ? QApplication::focusWidget() : fenster;
    QTest::keyClick(ziel, was == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
}

QStringList knopftexte(QMessageBox* box)
{
    QStringList t;
    for (QAbstractButton* b : box->buttons())
        t << b->text().remove(QLatin1Char('&'));
    t.sort();
    return t;
}

} // namespace

class TestDoor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { deutschEinrichten(); }
    void meldung_data();
    void meldung();
    void dateidialog_data();
    void dateidialog();
    void starten();
    void anzeigen();
    void beep();
    void kopierenImFenster_data();
    void kopierenImFenster();
};

void TestDoor::meldung_data()
{
    QTest::addColumn<Door::Knoepfe>("knoepfe");
    QTest::addColumn<Door::Icon>("icon");
    QTest::addColumn<QString>("titel");
    QTest::addColumn<QString>("aktion");
    QTest::addColumn<QStringList>("texte");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<QString>("titelGezeigt");
    QTest::addColumn<Door::Antwort>("antwort");

    using K = Door::Knoepfe;
    using I = Door::Icon;
    using A = Door::Antwort;
    const QStringList ok{"OK"}, okAb{"Abbrechen", "OK"}, jaNein{"Ja", "Nein"};
    const QString geraet = "GSM Boravilon", kopie = "GSM BV Konfiguration", prog = "GSMBV_V3_Konfiguration";
    // The device errors: critical, OK only.
    QTest::newRow("Ok Kritisch Maus") << K::Ok << I::Kritisch << geraet << "maus:OK" << ok << int(QMessageBox::Critical) << geraet << A::Ok;
    QTest::newRow("Ok Kritisch Return") << K::Ok << I::Kritisch << geraet << "taste:Return" << ok << int(QMessageBox::Critical) << geraet << A::Ok;
    QTest::newRow("Ok Kritisch Escape") << K::Ok << I::Kritisch << geraet << "taste:Escape" << ok << int(QMessageBox::Critical) << geraet << A::Ok;
    QTest::newRow("Ok Warnung") << K::Ok << I::Warnung << geraet << "maus:OK" << ok << int(QMessageBox::Warning) << geraet << A::Ok;
    QTest::newRow("Ok Information") << K::Ok << I::Information << geraet << "taste:Return" << ok << int(QMessageBox::Information) << geraet << A::Ok;
    QTest::newRow("Ok ohne Icon, Programmtitel") << K::Ok << I::Keins << "" << "maus:OK" << ok << int(QMessageBox::NoIcon) << prog << A::Ok;
    // The copy question: OK / Cancel, no icon.
    QTest::newRow("OkAbbrechen Maus OK") << K::OkAbbrechen << I::Keins << kopie << "maus:OK" << okAb << int(QMessageBox::NoIcon) << kopie << A::Ok;
    QTest::newRow("OkAbbrechen Maus Abbrechen") << K::OkAbbrechen << I::Keins << kopie << "maus:Abbrechen" << okAb << int(QMessageBox::NoIcon) << kopie << A::Abbrechen;
    QTest::newRow("OkAbbrechen Return") << K::OkAbbrechen << I::Keins << kopie << "taste:Return" << okAb << int(QMessageBox::NoIcon) << kopie << A::Ok;
    QTest::newRow("OkAbbrechen Escape") << K::OkAbbrechen << I::Keins << kopie << "taste:Escape" << okAb << int(QMessageBox::NoIcon) << kopie << A::Abbrechen;
    // The overwrite question and the recipients editor's question: Yes / No.
    QTest::newRow("JaNein Warnung Maus Ja") << K::JaNein << I::Warnung << geraet << "maus:Ja" << jaNein << int(QMessageBox::Warning) << geraet << A::Ja;
    QTest::newRow("JaNein Warnung Maus Nein") << K::JaNein << I::Warnung << geraet << "maus:Nein" << jaNein << int(QMessageBox::Warning) << geraet << A::Nein;
    QTest::newRow("JaNein Warnung Return") << K::JaNein << I::Warnung << geraet << "taste:Return" << jaNein << int(QMessageBox::Warning) << geraet << A::Ja;
    QTest::newRow("JaNein Warnung Escape") << K::JaNein << I::Warnung << geraet << "taste:Escape" << jaNein << int(QMessageBox::Warning) << geraet << A::Nein;
    QTest::newRow("JaNein Frage Maus Ja") << K::JaNein << I::Frage << geraet << "maus:Ja" << jaNein << int(QMessageBox::Question) << geraet << A::Ja;
}

void TestDoor::meldung()
{
    QFETCH(Door::Knoepfe, knoepfe);
    QFETCH(Door::Icon, icon);
    QFETCH(QString, titel);
    QFETCH(QString, aktion);
    QFETCH(QStringList, texte);
    QFETCH(int, qtIcon);
    QFETCH(QString, titelGezeigt);
    QFETCH(Door::Antwort, antwort);

    QString text, gezeigterTitel;
    QStringList gezeigteKnoepfe;
    int gezeigtesIcon = -1;
    beiModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        gezeigterTitel = box->windowTitle();
        gezeigteKnoepfe = knopftexte(box);
        gezeigtesIcon = int(box->icon());
        bedienen(box, aktion);
    });
    QtDoor tuer;
    const Door::Antwort a = tuer.meldung(QStringLiteral("Verbindung nicht möglich"), icon, knoepfe, titel);
    QCOMPARE(text, QStringLiteral("Verbindung nicht möglich"));
    QCOMPARE(gezeigterTitel, titelGezeigt);
    QCOMPARE(gezeigteKnoepfe, texte);
    QCOMPARE(gezeigtesIcon, qtIcon);
    QCOMPARE(a, antwort);
}

void TestDoor::dateidialog_data()
{
    QTest::addColumn<bool>("speichern");
    QTest::addColumn<QString>("getippt");   // empty: cancelled with Escape
    QTest::addColumn<QString>("ergebnis");  // below the test folder; empty: cancelled
    QTest::newRow("speichern, Name ohne Endung") << true << "neu" << "neu.cfg";
    QTest::newRow("speichern, Name mit Endung") << true << "anlage.cfg" << "anlage.cfg";
    QTest::newRow("speichern abgebrochen") << true << "" << "";
    QTest::newRow("oeffnen, vorhandene Datei") << false << "alt.cfg" << "alt.cfg";
    QTest::newRow("oeffnen abgebrochen") << false << "" << "";
}

void TestDoor::dateidialog()
{
    QFETCH(bool, speichern);
    QFETCH(QString, getippt);
    QFETCH(QString, ergebnis);
    QTemporaryDir ordner;
    QFile alt(ordner.filePath(QStringLiteral("alt.cfg")));
    QVERIFY(alt.open(QIODevice::WriteOnly));
    alt.close();

    QString titel, endung, vorname, verzeichnis;
    QStringList filter;
    QFileDialog::AcceptMode modus{};
    beiModal<QFileDialog>([&](QFileDialog* fd) {
        titel = fd->windowTitle();
        filter = fd->nameFilters();
        endung = fd->defaultSuffix();
        modus = fd->acceptMode();
        verzeichnis = fd->directory().absolutePath();
        auto* feld = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        vorname = feld ? feld->text() : QStringLiteral("(no name field)");
        if (getippt.isEmpty()) {
            bedienen(fd, QStringLiteral("taste:Escape"));
            return;
        }
        // The folder's listing arrives later and selects the initial name.
        QTest::qWait(200);
        feld->selectAll();
        QTest::keyClicks(feld, getippt);
        QTest::keyClick(feld, Qt::Key_Return);
    });
    QtDoor tuer;
    const Door::Dateidialog d{QStringLiteral("Konfigurationsdatei"), QStringLiteral("Konfigurationsdateien (*.cfg)"),
                              ordner.filePath(QStringLiteral("alt.cfg")), QStringLiteral("cfg")};
    const QString name = speichern ? tuer.dateiSpeichern(d) : tuer.dateiOeffnen(d);
    QCOMPARE(titel, QStringLiteral("Konfigurationsdatei"));
    QCOMPARE(filter, QStringList{QStringLiteral("Konfigurationsdateien (*.cfg)")});
    QCOMPARE(endung, QStringLiteral("cfg"));
    QCOMPARE(modus, speichern ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(verzeichnis, ordner.path());
    QCOMPARE(vorname, QStringLiteral("alt.cfg"));
    QCOMPARE(name, ergebnis.isEmpty() ? QString() : ordner.filePath(ergebnis));
}

void TestDoor::starten()
{
    // The argument reaches the program as one word, shell characters and all.
    QTemporaryDir ordner;
    const QString name = ordner.filePath(QStringLiteral("a b;touch c $(x)"));
    QtDoor tuer;
    QVERIFY(tuer.starten(QStringLiteral("/usr/bin/touch"), {name}));
    QTRY_VERIFY(QFile::exists(name));
    QCOMPARE(QDir(ordner.path()).entryList(QDir::Files), QStringList{QStringLiteral("a b;touch c $(x)")});
    QVERIFY(!tuer.starten(ordner.filePath(QStringLiteral("gibt-es-nicht")), {}));
}

void TestDoor::anzeigen()
{
    // The desktop's viewer is reached through xdg-open (by the desktop
    // services, or directly where the platform has none, as offscreen); a
    // stand-in first on PATH records what it was given.
    QTemporaryDir ordner;
    const QString aufruf = ordner.filePath(QStringLiteral("aufruf"));
    QFile skript(ordner.filePath(QStringLiteral("xdg-open")));
    QVERIFY(skript.open(QIODevice::WriteOnly));
    skript.write("#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"" + aufruf.toUtf8() + "\"\n");
    skript.close();
    skript.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray pfadVorher = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(ordner.path()) + ':' + pfadVorher);
    for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
        qunsetenv(v);

    QtDoor tuer;
    const bool gestartet = tuer.anzeigen(QStringLiteral("/tmp/Ein Ordner/LOG.TXT"));
    qputenv("PATH", pfadVorher);
    QVERIFY(gestartet);
    QTRY_VERIFY(QFile::exists(aufruf));
    QFile f(aufruf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    // Through the desktop services as a URL, on a platform without them as the path.
    const QByteArray gegeben = f.readAll();
    QVERIFY2(gegeben == "file:///tmp/Ein%20Ordner/LOG.TXT|" || gegeben == "/tmp/Ein Ordner/LOG.TXT|", gegeben.constData());
}

void TestDoor::beep()
{
    // The real beep returns at once and shows nothing.
    const int fenster = QApplication::topLevelWidgets().size();
    QElapsedTimer uhr;
    uhr.start();
    QtDoor().beep();
    QVERIFY(uhr.elapsed() < 1000);
    QCOMPARE(QApplication::topLevelWidgets().size(), fenster);
}

void TestDoor::kopierenImFenster_data()
{
    QTest::addColumn<QString>("aktion");
    QTest::addColumn<QList<int>>("seiten");  // pages that get the list (and their markers)
    QTest::newRow("OK mit der Maus") << "maus:OK" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11};
    QTest::newRow("OK mit Return") << "taste:Return" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11};
    QTest::newRow("Abbrechen mit der Maus") << "maus:Abbrechen" << QList<int>{3};
    QTest::newRow("Abbrechen mit Escape") << "taste:Escape" << QList<int>{3};
}

void TestDoor::kopierenImFenster()
{
    // The main window as the user has it, with nothing but the real door.
    QFETCH(QString, aktion);
    QFETCH(QList<int>, seiten);
    Door::setzen(nullptr);
    Konfig k;
    k.show();
    QVERIFY(QTest::qWaitForWindowExposed(&k));
    k.findChild<QPushButton*>(QStringLiteral("CMD_Nr_2"))->click();  // Meldelinie 3
    auto* nummer = k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"));
    QVERIFY(nummer);
    QTest::keyClicks(nummer, QStringLiteral("06641234"));

    QString frage;
    beiModal<QMessageBox>([&](QMessageBox* box) {
        frage = box->windowTitle() + '|' + box->text();
        bedienen(box, aktion);
    });
    k.teledit().findChild<QPushButton*>(QStringLiteral("CMD_kopieren"))->click();
    QCOMPARE(frage, QStringLiteral("GSM BV Konfiguration|Wollen Sie diese Einstellung für alle anderen "
                                   "Meldelinien und Alarme übernehmen ?"));
    QVERIFY(k.teledit().isVisible());

    const QByteArray liste = QByteArray("06641234\r\x03") + QByteArray(118, char(0xFF));
    const QByteArray leer(128, char(0xFF));  // a free list, as at start
    for (int seite = 0; seite <= 12; ++seite) {
        const bool kopiert = seiten.contains(seite);
        QCOMPARE(k.seitenaenderung()[std::size_t(seite)], kopiert);
        if (seite >= 1 && seite <= 9) {
            QCOMPARE(k.speicher().seite(seite).left(128), kopiert ? liste : leer);
            QCOMPARE(k.markerSichtbar(seite + 8), kopiert);
        }
    }
    QCOMPARE(k.speicher().seite(11).left(128), seiten.contains(11) ? liste : leer);
    QCOMPARE(k.markerSichtbar(20), seiten.contains(11));
    k.teledit().close();
}

QTEST_MAIN(TestDoor)
#include "test_door.moc"
