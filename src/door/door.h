#pragma once
// The one door to the user's attention: message boxes, the beep, file dialogs
// and starting other programs all go through the current Door. The window
// program uses the real door on Qt's widgets (doorqt/qtdoor.h), the command
// line a door that prints; tests install a fake that records and answers as
// scripted. This interface needs no widgets.
#include <QString>
#include <QStringList>

class QPrinter;

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
        bool ordner = false;  // a folder is chosen (dateiOeffnen): `name` is the one to start in
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

    // The door in use. Never null: the installed door, else the program's
    // standard door, else one that writes each message to standard error and
    // answers it with the choice that changes nothing.
    static Door& aktuell();
    // Installs a door (nullptr: back to the standard door). The caller keeps ownership.
    static void setzen(Door* door);
    // The program's standard door (the window program's real one), used while
    // none is installed. The caller keeps ownership.
    static void standardSetzen(Door* door);
};
