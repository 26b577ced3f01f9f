#pragma once
// The real door on QMessageBox, QApplication::beep, QFileDialog, QProcess,
// QDesktopServices and QPrintDialog. Boxes and dialogs belong to the active window.
#include "door/door.h"

class QtDoor : public Door {
public:
    Antwort meldung(const QString& text, Icon icon, Knoepfe knoepfe, const QString& titel) override;
    void beep() override;
    QString dateiSpeichern(const Dateidialog& d) override;
    QString dateiOeffnen(const Dateidialog& d) override;
    bool starten(const QString& programm, const QStringList& argumente) override;
    bool anzeigen(const QString& pfad) override;
    bool druckdialog(QPrinter& drucker) override;

    // Makes the real door the program's standard door (Door::standardSetzen):
    // the window program's boxes and dialogs appear unless a door is installed.
    static void einrichten();
};

// Loads Qt's German translations so that Qt's own texts ("Ja", "Nein",
// "Abbrechen", the file dialogs) are German whatever the system's locale.
void deutschEinrichten();
