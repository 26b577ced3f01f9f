#pragma once
// A door for tests: records every box, beep, dialog and launch, and answers
// from a script. Installed for its lifetime.
#include "door/door.h"

#include <QList>
#include <QQueue>
#include <functional>

class FakeDoor : public Door {
public:
    struct Meldung {
        QString text;
        Icon icon;
        Knoepfe knoepfe;
        QString titel;  // as shown: the program's title when none was given
    };
    struct Start {
        QString programm;
        QStringList argumente;
    };

    FakeDoor() { Door::setzen(this); }
    ~FakeDoor() override { Door::setzen(nullptr); }

    Antwort meldung(const QString& text, Icon icon, Knoepfe knoepfe, const QString& titel) override
    {
        meldungen.append({text, icon, knoepfe, titel.isEmpty() ? programmTitel() : titel});
        if (beiMeldung)
            beiMeldung();
        if (!antworten.isEmpty())
            return antworten.dequeue();
        return knoepfe == Knoepfe::JaNein ? Antwort::Ja : Antwort::Ok;
    }
    void beep() override { ++beeps; }
    QString dateiSpeichern(const Dateidialog& d) override { return dateidialog(d); }
    QString dateiOeffnen(const Dateidialog& d) override { return dateidialog(d); }
    bool starten(const QString& programm, const QStringList& argumente) override
    {
        starts.append({programm, argumente});
        return startErfolg;
    }
    bool anzeigen(const QString& pfad) override
    {
        angezeigt.append(pfad);
        return anzeigeErfolg;
    }
    bool druckdialog(QPrinter& drucker) override
    {
        ++druckdialoge;
        return druckAntwort ? druckAntwort(drucker) : false;
    }

    void zuruecksetzen()
    {
        druckdialoge = 0;
        meldungen.clear();
        beeps = 0;
        dateidialoge.clear();
        starts.clear();
        angezeigt.clear();
    }

    QList<Meldung> meldungen;
    int beeps = 0;
    QList<Dateidialog> dateidialoge;
    QList<Start> starts;
    QStringList angezeigt;
    int druckdialoge = 0;

    QQueue<Antwort> antworten;     // answers to the next boxes; default Ok / Ja
    QQueue<QString> dateinamen;    // answers to the next file dialogs; default cancelled
    bool startErfolg = true;
    bool anzeigeErfolg = true;
    // Runs while a box is shown (to see what else is on screen then).
    std::function<void()> beiMeldung;
    // Answers the print dialog as the user would (choosing a PDF file, say);
    // unset: cancelled.
    std::function<bool(QPrinter&)> druckAntwort;

private:
    QString dateidialog(const Dateidialog& d)
    {
        dateidialoge.append(d);
        return dateinamen.isEmpty() ? QString() : dateinamen.dequeue();
    }
};
