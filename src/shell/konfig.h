#pragma once
// The main window: it owns the editor model (configuration image, page flags,
// change markers, shown values) for the whole run, the device link with its
// progress window, the recipients editor and the clock dialog; shows the
// editor in four tabs and offers every command through its menus and
// toolbar. Each menu item and toolbar button reaches exactly one slot named
// after it.
//
// The device commands start an operation of the link and return at once; the
// operation reports its end (a Vorgangsbericht), the window shows its message and
// does its own part, then emits geraetBeendet. The file commands run to their
// end within the slot.
#include "blatt/blatt.h"
#include "door/door.h"
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "modell/editorwerte.h"
#include "link/verbindung.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class Editorkontext;
class Feldwaechter;
class Hinweisfeld;
class Kommunikation;
class Sicherungen;
class Teledit;
class Vergleich;
class syszeit;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;
class Tab;

class Konfig : public QMainWindow {
    Q_OBJECT
public:
    explicit Konfig(QWidget* parent = nullptr);
    // The same on another byte pipe than the serial port.
    explicit Konfig(std::unique_ptr<Transport> transport, QWidget* parent = nullptr);
    ~Konfig() override;

    // What the window owns.
    Editormodell& modell() { return m_modell; }
    Konfigspeicher& speicher() { return m_modell.speicher(); }
    Seitenaenderung& seitenaenderung() { return m_modell.seiten(); }
    Editorkontext& kontext() { return *m_kontext; }
    // The device link (port number, COM mapping, time limits).
    Verbindung& verbindung() { return *m_verbindung; }
    // The recipients editor (one for the whole run).
    Teledit& teledit() { return *m_teledit; }
    // The clock dialog while it is open, else null.
    syszeit* uhrDialog() const;
    // The COM port dialog while it is open, else null.
    Kommunikation* kommunikation() const;
    // The list of backups while it is open, else null.
    Sicherungen* sicherungen() const;
    // The comparison with the device while it is open, else null.
    Vergleich* vergleich() const;

    // Where a successful device read keeps its backup and where the list of
    // backups looks, for this run ("Einstellungen" > "Sicherungsordner ...").
    // Unset: the backup folder of sicherung::ordner().
    void setSicherungsOrdner(const QString& ordner) { m_sicherungsOrdner = ordner; }
    QString sicherungsOrdner() const;

    // The folders "LOG.TXT" may go to: the first when it can be written to,
    // else the second. Unset: the program's folder, else the user's data folder.
    void setLogOrdner(const QString& programmOrdner, const QString& datenOrdner);
    // Where the last event-memory download put "LOG.TXT" (empty when it failed).
    QString logPfad() const { return m_logPfad; }
    // The file dialog's settings for its next use (the last name chosen).
    Door::Dateidialog dateidialog() const;

    // Loads a configuration file into the editor and the image, as the open
    // command does once its dialog has given a name: every marker shown,
    // pages 0..12 flagged; a file that cannot be read (with `nurGanze`: that
    // is no configuration file in the writer's form) gives the file error and
    // leaves the editor as it was. Every error names its cause and the file in
    // the status bar. False on any error.
    bool dateiLaden(const QString& pfad, bool nurGanze = false);
    // The same for a file named at start-up or given by the desktop; the file
    // dialog then offers it. Refused while a device operation runs.
    bool dateiOeffnen(const QString& pfad);

    // Writes the memory of the backup `pfad` (its *.cfg) back into the device,
    // every byte of pages 0..12, after a question that names it
    // (`benennung`) and the port: the device read and kept as a backup first,
    // then the write, then the read back compared byte for byte; each failure
    // shows its box as a write does, and the status bar what became of the
    // device. Refused while a device operation runs; a backup without its
    // memory file gives the file error and its reason.
    void sicherungWiederherstellen(const QString& pfad, const QString& benennung);

    // The message of the file commands.
    static QString textDateifehler() { return QStringLiteral("Fehler bei Zugriff auf Konfigurationsdatei"); }

    // Sets every control from the values with all handlers silent, and the
    // enabled states that follow from them. Touches neither image nor flags;
    // the editor's history starts anew.
    void anzeigen(const Editorwerte& w);
    // What every control shows (a field being typed in: its text as last left).
    const Editorwerte& werte() const { return m_modell.werte(); }
    // Every setting as the window shows it, for the configuration sheet.
    QList<blatt::Abschnitt> einstellungen() const;
    // Where the configuration came from: "Grundeinstellung", "Datei PFAD" or
    // "Gerät an COM n (GERÄT)", with ", seither geändert" once a setting
    // differs from what was opened or read.
    QString herkunft() const;
    // The sheet's head: installation name, today (by the window's clock), origin.
    blatt::Kopf blattKopf() const;
    static QString textDruckfehler() { return QStringLiteral("Fehler beim Drucken"); }

    // Every control and marker shows what the model holds.
    void zeigen();
    // Every marker shown, pages 0..12 flagged.
    void alleMarkieren();
    // Every marker hidden, every flag cleared, tab 0 selected.
    void markierungenLoeschen();
    bool markerSichtbar(int marker) const;

    // Takes the focused field's pending typing into the image. False when the
    // field refuses its value (beep given, the focus stays there).
    bool eingabeUebernehmen();

    // Status bar panel 2: the focused field's hint, or any other hint, with
    // its tooltip (empty: the whole text when the panel cuts it). While a
    // refusal's reason is shown, the hint comes back when that time is over.
    void hinweisSetzen(const QString& text, const QString& tipp = QString());
    // A refusal (see door/abweisung.h): its reason in panel 2 for a few seconds,
    // and a red frame on its field (of this window or its dialogs) for a moment.
    void abweisungZeigen(const QString& grund, QWidget* feld);
    // How long the reason and the frame stay (4 s and 400 ms by default).
    void setAbweisungsdauer(std::chrono::milliseconds grund, std::chrono::milliseconds rahmen);
    // Panels 1..4 of the status bar.
    QLabel* panel(int nummer) const;

    // The clock shown in panels 3 and 4 (the PC's clock by default).
    void setUhr(std::function<QDateTime()> uhr) { m_uhr = std::move(uhr); }

    QTabWidget* tabs() const { return m_tabs; }

    // No context menu on the toolbar or the menu bar: its only item would
    // hide the toolbar, with no way to bring it back.
    QMenu* createPopupMenu() override { return nullptr; }

    // Pixels of a width given in twips (1440 per inch) at `dpi`.
    static int twipsZuPixel(int twips, double dpi);

public slots:
    // Menu "Datei"
    virtual void MNU_Lesen_Click();
    virtual void MNU_Schreib_Click();
    // Reads the device into a configuration of its own, the editor untouched,
    // and shows where the two differ (the dialog `Vergleich`).
    virtual void MNU_Vergleichen_Click();
    virtual void MNU_Open_Click();
    virtual void MNU_Sicherungen_Click();
    virtual void MNU_Save_Click();
    virtual void MNU_Drucken_Click();
    virtual void MNU_log_Click();
    void MNU_end_Click();
    // Menu "Bearbeiten": the last committed change of the editor taken back,
    // the last one taken back done again.
    void MNU_Rueckgaengig_Click();
    void MNU_Wiederholen_Click();
    // Menu "Einstellungen"
    virtual void MNU_COM_Click();
    virtual void MNU_Uhr_Click();
    virtual void MNU_Sicherungsordner_Click();
    // Menu "Info"
    virtual void MNU_SYSTEM_Click();
    virtual void MNU_Boraviloninfo_Click();
    // Toolbar: 1 abort, 2 read, 3 write, 4 clock, 5 event memory, 6 open, 7 save.
    void Toolbar1_ButtonClick(int index);
    virtual void Verbindung_abbrechen();
    // The "Nummern" buttons: CMD_Nr(0..8) on "Meldelinien", Cmd_Analog on "Analogeingänge".
    virtual void CMD_Nr_Click(int i);
    virtual void Cmd_Analog_Click();
    // The clock tick: date into panel 3, time into panel 4.
    void Timer1_Timer();

signals:
    // The window is closing: the serial port is to be closed now.
    void wirdGeschlossen();
    // A device operation has ended and the window has done its part (viewer
    // started, clock dialog shown, hint written).
    void geraetBeendet(Ausgang a);

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // A command may run: refused while a device operation is under way
    // (`belegtRegel`), and for a command that carries the editor's values
    // (`eingabeTragen`: save, write) when the focused field refuses its value.
    bool befehlZulassen(bool belegtRegel, bool eingabeTragen);

private:
    void menuesAnlegen();
    void werkzeugleisteAnlegen();
    void statusleisteAnlegen();
    void starten();
    void verbinden();
    void geraetEnde(const Vorgangsbericht& b);
    bool konfigurationUebernehmen(const QByteArray& bytes);
    void uhrDialogZeigen(const std::optional<QString>& boraZeit);
    void uhrUebernehmen();
    void uhrDialogEntladen();
    void dateiFehler();
    void dateiHinweis(const QString& ursache, const QString& pfad);
    void sichern(const Konfigspeicher& bild, const QByteArray& speicher,
                 const std::optional<QString>& vorSchreiben = std::nullopt);
    struct Rueckschrieb;
    void rueckschriebSchreiben(const std::shared_ptr<Rueckschrieb>& r);
    void rueckschriebPruefen(const std::shared_ptr<Rueckschrieb>& r);
    void rueckschriebEnde(const Vorgangsbericht& e, const QString& folge);
    void vergleichZeigen(const Konfigspeicher& bild, const Editorwerte& werte);
    void verlaufGehen(bool (Editormodell::*schritt)());
    void verlaufBeginnen();
    void verlaufZeigen();
    QString dateinameWaehlen(bool speichern);
    bool logAblegenIn(const QByteArray& speicher512);
    void herkunftMerken(const QString& herkunft);

    Editormodell m_modell;
    Editorkontext* m_kontext;
    Feldwaechter* m_waechter;

    QTabWidget* m_tabs;
    Tab* m_allgemein;
    Tab* m_meldelinien;
    Tab* m_relais;
    Tab* m_analog;

    QToolBar* m_toolbar = nullptr;
    std::array<QLabel*, 4> m_panel{};
    QTimer* m_timer;
    std::function<QDateTime()> m_uhr;
    Hinweisfeld* m_hinweisfeld = nullptr;  // panel 2
    QString m_hinweis;               // panel 2 when no refusal is shown
    QString m_hinweisTipp;           // its tooltip
    QTimer* m_abweisungsUhr;         // ends the showing of a refusal's reason
    std::chrono::milliseconds m_rahmendauer{400};

    std::unique_ptr<Verbindung> m_verbindung;
    Teledit* m_teledit = nullptr;
    QPointer<syszeit> m_syszeit;
    QPointer<Kommunikation> m_kommunikation;
    QPointer<Sicherungen> m_sicherungen;
    QPointer<Vergleich> m_vergleich;
    QAction* m_rueckgaengig = nullptr;
    QAction* m_wiederholen = nullptr;
    std::optional<QString> m_sicherungsOrdner;
    QByteArray m_gelesen;               // the bytes of the last configuration read, as they came
    bool m_geschlossen = false;         // closed: late operation ends are ignored
    QString m_dateiname;                // the file dialog's last name
    QString m_logPfad;
    QString m_herkunft;                 // where the configuration came from
    QStringList m_herkunftStand;        // its settings then, to notice changes
    QString m_portHinweis;              // why the port did not open, while panel 2 shows it
    std::optional<std::pair<QString, QString>> m_logOrdner;
};
