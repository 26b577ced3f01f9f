#include "shell/konfig.h"

#include "door/abweisung.h"
#include "door/door.h"
#include "doorqt/qtdoor.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"
#include "editor/tabs.h"
#include "editor/teledit.h"
#include "editor/zugangsnamen.h"
#include "linkui/syszeit.h"
#include "linkui/datenfenster.h"
#include "linkui/kommunikation.h"
#include "shell/fokusrueckgabe.h"
#include "shell/hinweisfeld.h"
#include "shell/information.h"
#include "shell/symbole.h"
#include "shell/sysinfo.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <cmath>

Konfig::Konfig(QWidget* parent) : Konfig(nullptr, parent) {}

Konfig::Konfig(std::unique_ptr<Transport> transport, QWidget* parent)
    : QMainWindow(parent), m_uhr([] { return QDateTime::currentDateTime(); })
{
    // The window's boxes and dialogs are real ones unless a door is installed.
    QtDoor::einrichten();
    setObjectName(QStringLiteral("Konfig"));
    setWindowTitle(QStringLiteral("GSM Boravilon Konfiguration"));
    setWindowIcon(symbole::fenster());

    m_abweisungsUhr = new QTimer(this);
    m_abweisungsUhr->setSingleShot(true);
    m_abweisungsUhr->setInterval(4000);
    connect(m_abweisungsUhr, &QTimer::timeout, this, [this] { m_hinweisfeld->zeigen(m_hinweis, m_hinweisTipp); });

    new Fokusrueckgabe(this);
    m_kontext = new Editorkontext(m_modell, this);
    m_waechter = new Feldwaechter(*m_kontext, this);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_allgemein = tabAllgemein(*m_kontext, *m_waechter, m_tabs);
    m_meldelinien = tabMeldelinien(*m_kontext, *m_waechter, m_tabs);
    m_relais = tabRelais(*m_kontext, *m_waechter, m_tabs);
    m_analog = tabAnalog(*m_kontext, *m_waechter, m_tabs);
    m_tabs->addTab(m_allgemein, QStringLiteral("Allgemein"));
    m_tabs->addTab(m_meldelinien, QStringLiteral("Meldelinien"));
    m_tabs->addTab(m_relais, QStringLiteral("Relaisausgänge"));
    m_tabs->addTab(m_analog, QStringLiteral("Analogeingänge"));
    setCentralWidget(m_tabs);

    tabsBenennen(m_tabs, *m_kontext);

    connect(m_meldelinien, &Tab::nummernGeklickt, this, [this](int i) { CMD_Nr_Click(i); });
    connect(m_analog, &Tab::nummernGeklickt, this, [this] { Cmd_Analog_Click(); });

    menuesAnlegen();
    werkzeugleisteAnlegen();
    statusleisteAnlegen();
    connect(m_kontext, &Editorkontext::hinweis, this, [this](const QString& text) { hinweisSetzen(text); });
    connect(m_kontext, &Editorkontext::verlaufGeaendert, this, &Konfig::verlaufZeigen);
    connect(&Abweisungen::melder(), &Abweisungen::abgewiesen, this, &Konfig::abweisungZeigen);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &Konfig::Timer1_Timer);
    m_timer->start();

    // Wide enough for the status bar's panels, as far as the screen allows.
    int breite = 40 + twipsZuPixel(1587 + 12347 + 4410 + 2540, logicalDpiX());
    if (const QScreen* s = screen())
        breite = qMin(breite, int(s->availableGeometry().width() * 0.95));
    resize(qMax(breite, sizeHint().width()), sizeHint().height());

    m_verbindung = std::make_unique<Verbindung>(std::move(transport));
    verbinden();

    starten();
}

Konfig::~Konfig()
{
    // The link goes first: nothing of an operation may call back into a
    // window that is half gone. Then the tabs, while the editor state they
    // work on still exists.
    m_geschlossen = true;
    m_verbindung.reset();
    delete m_waechter;
    delete m_tabs;
}

void Konfig::verbinden()
{
    new DatenFenster(*m_verbindung, this);
    // Why the port did not open shows at once, beside the wait; the box
    // "Verbindung nicht möglich" follows when the wait is over. The hint stays
    // until the next device command opens the connection.
    connect(m_verbindung.get(), &Verbindung::portHinweis, this, [this](const QString& text) {
        if (!text.isEmpty())
            hinweisSetzen(text);
        else if (!m_portHinweis.isEmpty() && m_panel[1]->text() == m_portHinweis)
            hinweisSetzen(QString());
        m_portHinweis = text;
    });
    // The hourglass while an operation runs. A device command clears the
    // previous command's status message as it begins.
    connect(m_verbindung.get(), &Verbindung::fortschritt, this, [this](const Fortschrittsstand& s) {
        if (s.schritt == Schritt::Verbinden) {
            setCursor(Qt::WaitCursor);
            hinweisSetzen(QString());
        } else if (s.schritt == Schritt::Beendet) {
            unsetCursor();
        }
    });
    m_teledit = new Teledit(*m_kontext, this);
}

void Konfig::starten()
{
    markierungenLoeschen();
    m_modell.starten();
    zeigen();
    herkunftMerken(QStringLiteral("Grundeinstellung"));
    verlaufBeginnen();
}

void Konfig::menuesAnlegen()
{
    auto eintrag = [this](QMenu* menu, const char* name, const QString& text, void (Konfig::*slot)()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return a;
    };

    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("MNU_Datei"));
    eintrag(datei, "MNU_Lesen", QStringLiteral("Konfiguration &lesen"), &Konfig::MNU_Lesen_Click);
    eintrag(datei, "MNU_Schreib", QStringLiteral("Konfiguration &schreiben"), &Konfig::MNU_Schreib_Click);
    eintrag(datei, "MNU_Vergleichen", QStringLiteral("Ver&gleichen mit Gerät ..."), &Konfig::MNU_Vergleichen_Click);
    eintrag(datei, "MNU_Open", QStringLiteral("Konfigurationsdatei ö&ffnen ..."), &Konfig::MNU_Open_Click);
    eintrag(datei, "MNU_Sicherungen", QStringLiteral("Si&cherungen ..."), &Konfig::MNU_Sicherungen_Click);
    eintrag(datei, "MNU_Save", QStringLiteral("Konfigurationsdatei s&peichern ..."), &Konfig::MNU_Save_Click);
    eintrag(datei, "MNU_Drucken", QStringLiteral("&Drucken ..."), &Konfig::MNU_Drucken_Click);
    eintrag(datei, "MNU_log", QStringLiteral("&Ereignisspeicher lesen ..."), &Konfig::MNU_log_Click);
    // The abort of the toolbar's first button, for the keyboard.
    eintrag(datei, "MNU_Abbruch", QStringLiteral("&Verbindung abbrechen"), &Konfig::Verbindung_abbrechen);
    datei->addSeparator()->setObjectName(QStringLiteral("MNU_Strich"));
    // "E" belongs to "Ereignisspeicher": the close takes the "B".
    eintrag(datei, "MNU_end", QStringLiteral("Konfiguration &beenden"), &Konfig::MNU_end_Click);

    QMenu* bearbeiten = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    bearbeiten->setObjectName(QStringLiteral("MNU_Bearbeiten"));
    m_rueckgaengig = eintrag(bearbeiten, "MNU_Rueckgaengig", QStringLiteral("&Rückgängig"), &Konfig::MNU_Rueckgaengig_Click);
    m_rueckgaengig->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_wiederholen = eintrag(bearbeiten, "MNU_Wiederholen", QStringLiteral("&Wiederholen"), &Konfig::MNU_Wiederholen_Click);
    m_wiederholen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

    QMenu* einst = menuBar()->addMenu(QStringLiteral("&Einstellungen"));
    einst->setObjectName(QStringLiteral("MNU_Einst"));
    eintrag(einst, "MNU_COM", QStringLiteral("&COM Port ..."), &Konfig::MNU_COM_Click);
    eintrag(einst, "MNU_Uhr", QStringLiteral("Uhr&zeit ..."), &Konfig::MNU_Uhr_Click);
    eintrag(einst, "MNU_Sicherungsordner", QStringLiteral("&Sicherungsordner ..."), &Konfig::MNU_Sicherungsordner_Click);

    QMenu* info = menuBar()->addMenu(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("MNU_Info"));
    eintrag(info, "MNU_SYSTEM", QStringLiteral("&Systeminfo ..."), &Konfig::MNU_SYSTEM_Click);
    eintrag(info, "MNU_Boraviloninfo", QStringLiteral("Über GSM &Boravilon Konfiguration ..."),
            &Konfig::MNU_Boraviloninfo_Click);
}

void Konfig::werkzeugleisteAnlegen()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setWindowTitle(QStringLiteral("Werkzeugleiste"));  // its name to a screen reader
    // The button that shows the buttons a narrow window has no room for.
    if (auto* mehr = m_toolbar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
        mehr->setAccessibleName(QStringLiteral("Weitere Werkzeuge"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    const QString tipps[7] = {
        QStringLiteral("Verbindung abbrechen"),
        QStringLiteral("Konfiguration von Boravilon lesen"),
        QStringLiteral("Konfiguration in Boravilon schreiben"),
        QStringLiteral("Systemzeit ändern"),
        QStringLiteral("Ereingisspeicher auslesen"),
        QStringLiteral("Konfigurationsdatei öffnen"),
        QStringLiteral("Konfigurationsdatei schreiben"),
    };
    for (int i = 1; i <= 7; ++i) {
        QAction* a = m_toolbar->addAction(symbole::knopf(i), tipps[i - 1]);
        a->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(i));
        a->setToolTip(tipps[i - 1]);
        connect(a, &QAction::triggered, this, [this, i] { Toolbar1_ButtonClick(i); });
    }
}

int Konfig::twipsZuPixel(int twips, double dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}

void Konfig::statusleisteAnlegen()
{
    QStatusBar* leiste = statusBar();
    leiste->setObjectName(QStringLiteral("StatusBar"));
    leiste->setAccessibleName(QStringLiteral("Statusleiste"));
    leiste->setSizeGripEnabled(true);
    const QString texte[4] = {QStringLiteral("Ulmix"), QString(), QString(), QStringLiteral("Zeit")};
    const int twips[4] = {1587, 12347, 4410, 2540};
    const double dpi = logicalDpiX();
    for (int i = 0; i < 4; ++i) {
        QLabel* l = i == 1 ? (m_hinweisfeld = new Hinweisfeld(leiste)) : new QLabel(texte[i], leiste);
        l->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        const int breite = twipsZuPixel(twips[i], dpi);
        if (i == 1) {
            // The hint panel takes what is left; it asks for its full width.
            l->setMinimumWidth(breite / 4);
            l->resize(breite, l->height());
        } else {
            l->setFixedWidth(breite);
        }
        m_panel[std::size_t(i)] = l;
        leiste->addWidget(l, i == 1 ? 1 : 0);
    }
    // The window is never narrower than its panels: they would overlap, and
    // the editor's number fields would hide their first digits. The size grip
    // keeps its place while hidden (it shows once the pointer is over the
    // bar), so that the panels need not move for it.
    if (auto* griff = leiste->findChild<QSizeGrip*>()) {
        QSizePolicy p = griff->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        griff->setSizePolicy(p);
    }
    leiste->setMinimumWidth(leiste->minimumSizeHint().width());
}

QLabel* Konfig::panel(int nummer) const
{
    if (nummer < 1 || nummer > 4)
        return nullptr;
    return m_panel[std::size_t(nummer - 1)];
}

void Konfig::hinweisSetzen(const QString& text, const QString& tipp)
{
    m_hinweis = text;
    m_hinweisTipp = tipp;
    if (!m_abweisungsUhr->isActive())
        m_hinweisfeld->zeigen(text, tipp);
}

void Konfig::setAbweisungsdauer(std::chrono::milliseconds grund, std::chrono::milliseconds rahmen)
{
    m_abweisungsUhr->setInterval(grund);
    m_rahmendauer = rahmen;
}

void Konfig::abweisungZeigen(const QString& grund, QWidget* feld)
{
    // Only refusals of this window and of the dialogs it owns.
    if (feld) {
        QWidget* w = feld;
        while (w && w != this)
            w = w->parentWidget();
        if (!w)
            return;
    }
    m_hinweisfeld->ansagen(grund);
    m_abweisungsUhr->start();
    if (!feld)
        return;
    // A red frame over the field, for a moment; it takes no click and no focus.
    auto* rahmen = feld->findChild<QFrame*>(QStringLiteral("Abweisungsrahmen"), Qt::FindDirectChildrenOnly);
    if (!rahmen) {
        rahmen = new QFrame(feld);
        rahmen->setObjectName(QStringLiteral("Abweisungsrahmen"));
        rahmen->setAttribute(Qt::WA_TransparentForMouseEvents);
        rahmen->setFocusPolicy(Qt::NoFocus);
        rahmen->setStyleSheet(QStringLiteral("QFrame#Abweisungsrahmen { border: 2px solid #FF0000; background: transparent; }"));
        auto* uhr = new QTimer(rahmen);
        uhr->setSingleShot(true);
        connect(uhr, &QTimer::timeout, rahmen, &QObject::deleteLater);
    }
    rahmen->setGeometry(feld->rect());
    rahmen->show();
    rahmen->raise();
    rahmen->findChild<QTimer*>()->start(m_rahmendauer);
}

void Konfig::Timer1_Timer()
{
    const QDateTime jetzt = m_uhr();
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    m_panel[2]->setText(deutsch.toString(jetzt.date(), QStringLiteral("dd.MMMM yyyy")));
    m_panel[3]->setText(jetzt.time().toString(QStringLiteral("HH:mm:ss")));
}

// --- The editor, for the device and file commands ----------------------------

void Konfig::anzeigen(const Editorwerte& w)
{
    m_modell.werte() = w;
    zeigen();
    verlaufBeginnen();
}

void Konfig::zeigen()
{
    const Editorwerte& w = m_modell.werte();
    m_meldelinien->anzeigen(w);
    m_allgemein->anzeigen(w);
    m_relais->anzeigen(w);
    m_analog->anzeigen(w);
    m_kontext->markerZeigen();
}

void Konfig::alleMarkieren()
{
    m_modell.alleMarkieren();
    m_kontext->markerZeigen();
}

void Konfig::markierungenLoeschen()
{
    m_modell.markierungenLoeschen();
    m_kontext->markerZeigen();
    m_tabs->setCurrentIndex(0);
}

bool Konfig::markerSichtbar(int marker) const
{
    return m_kontext->markerSichtbar(marker);
}

bool Konfig::eingabeUebernehmen()
{
    return m_waechter->uebernehmen();
}

// --- Commands ----------------------------------------------------------------

bool Konfig::befehlZulassen(bool belegtRegel, bool eingabeTragen)
{
    if (belegtRegel && m_verbindung->operationLaeuft()) {
        abweisen({Abweisung::Art::Belegt});
        return false;
    }
    return !eingabeTragen || eingabeUebernehmen();
}

void Konfig::MNU_end_Click()
{
    close();
}

// --- The editor's history ------------------------------------------------------

void Konfig::verlaufBeginnen()
{
    m_modell.verlaufBeginnen();
    verlaufZeigen();
}

void Konfig::verlaufZeigen()
{
    m_rueckgaengig->setEnabled(m_modell.kannRueckgaengig());
    m_wiederholen->setEnabled(m_modell.kannWiederholen());
}

void Konfig::MNU_Rueckgaengig_Click()
{
    verlaufGehen(&Editormodell::rueckgaengig);
}

void Konfig::MNU_Wiederholen_Click()
{
    verlaufGehen(&Editormodell::wiederholen);
}

void Konfig::verlaufGehen(bool (Editormodell::*schritt)())
{
    // The field being typed in: typing that left its text as the editor
    // shows it is dropped; otherwise its value is taken in as a command takes
    // it (a step of its own, which an undo takes back at once), and a value
    // it refuses stops the command, the focus staying there.
    if (Eingabefeld* feld = m_waechter->aktuellesFeld(); feld && m_kontext->zeigtModell(feld))
        m_waechter->verwerfen();
    else if (!befehlZulassen(false, true))
        return;
    const int seite = m_teledit->isVisible() ? m_teledit->nummernseite() : -1;
    const QByteArray liste = m_modell.speicher().seite(qMax(seite, 0)).left(128);
    if ((m_modell.*schritt)()) {
        // The controls show the state restored, no handler running; the
        // field being edited holds no typing of its own any more.
        m_waechter->verwerfen();
        zeigen();
        // An open recipients editor without edits of its own shows its list as restored.
        if (seite > 0 && m_modell.speicher().seite(seite).left(128) != liste && !m_teledit->geaendert())
            m_teledit->bildErneuert();
    }
    verlaufZeigen();
}

// About, system information and the COM port leave the editor as it is: a
// field with an unfinished value neither stops them nor is checked.
void Konfig::MNU_SYSTEM_Click()
{
    StartSysInfo();
}

void Konfig::MNU_Boraviloninfo_Click()
{
    Information::zeigen(this);
}

void Konfig::Toolbar1_ButtonClick(int index)
{
    switch (index) {
    case 1: Verbindung_abbrechen(); break;
    case 2: MNU_Lesen_Click(); break;
    case 3: MNU_Schreib_Click(); break;
    case 4: MNU_Uhr_Click(); break;
    case 5: MNU_log_Click(); break;
    case 6: MNU_Open_Click(); break;
    case 7: MNU_Save_Click(); break;
    default: break;
    }
}

void Konfig::CMD_Nr_Click(int i)
{
    m_teledit->oeffnen(i + 1);
}

void Konfig::Cmd_Analog_Click()
{
    m_teledit->oeffnen(11);
}

void Konfig::closeEvent(QCloseEvent* e)
{
    // Nothing is asked and nothing is saved. An operation under way ends
    // silently, the port is closed, the secondary windows go with the window.
    emit wirdGeschlossen();
    m_geschlossen = true;
    m_verbindung->stilllegen();
    m_modell.setFuellen(false);  // a read stopped here fills nothing any more
    if (m_syszeit)
        m_syszeit->close();
    if (m_kommunikation)
        m_kommunikation->close();
    m_teledit->close();
    e->accept();
}
