#pragma once
// The one door to the user's attention: message boxes, the beep, file dialogs
// and starting other programs all go through the current Door. The program
// installs QtDoor; tests install a fake that records and answers as scripted.
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

class Door {
public:
    enum class Icon { Keins, Kritisch, Warnung, Information, Frage };
    enum class Knoepfe { Ok, OkAbbrechen, JaNein };
    enum class Antwort { Ok, Abbrechen, Ja, Nein };

    struct Dateidialog {
        QString titel;
        QString filter;
        QString name;     // initial file name (may be a pattern such as "*.cfg")
        QString endung;   // default extension, added to a name typed without one
    };

    // The program's own title, used by boxes that have none of their own.
    static QString programmTitel() { return QStringLiteral("GSMBV_V3_Konfiguration"); }

    virtual ~Door() = default;

    // A message box. An empty title shows the program's title.
    virtual Antwort meldung(const QString& text, Icon icon, Knoepfe knoepfe = Knoepfe::Ok,
                            const QString& titel = QString()) = 0;
    virtual void beep() = 0;
    // Empty result: the user cancelled.
    virtual QString dateiSpeichern(const Dateidialog& d) = 0;
    virtual QString dateiOeffnen(const Dateidialog& d) = 0;
    // Starts a program with an argument list (never through a shell), without waiting.
    virtual bool starten(const QString& programm, const QStringList& argumente) = 0;
    // Opens a document in the desktop's default viewer, without waiting.
    virtual bool anzeigen(const QString& pfad) = 0;
    // The system's print dialog for `drucker`: the user chooses the printer
    // (or a PDF file) and the pages there. False: cancelled. A door without
    // dialogs prints nothing.
    virtual bool druckdialog(QPrinter&) { return false; }

    // The door in use. Never null: the program's real door until one is installed.
    static Door& aktuell();
    // Installs a door (nullptr: back to the real one). The caller keeps ownership.
    static void setzen(Door* door);
};

// The real door on QMessageBox, QApplication::beep, QFileDialog, QProcess,
// QDesktopServices and QPrintDialog. Boxes and dialogs belong to the active window.
class QtDoor : public Door {
public:
    Antwort meldung(const QString& text, Icon icon, Knoepfe knoepfe, const QString& titel) override;
    void beep() override;
    QString dateiSpeichern(const Dateidialog& d) override;
    QString dateiOeffnen(const Dateidialog& d) override;
    bool starten(const QString& programm, const QStringList& argumente) override;
    bool anzeigen(const QString& pfad) override;
    bool druckdialog(QPrinter& drucker) override;
};

// Loads Qt's German translations so that Qt's own texts ("Ja", "Nein",
// "Abbrechen", the file dialogs) are German whatever the system's locale.
void deutschEinrichten();
