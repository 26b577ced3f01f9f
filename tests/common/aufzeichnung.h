#pragma once
// A progress view for tests: records every state the progress window was
// asked to show, and how often it was shown and hidden.
#include "link/daten.h"

#include <QList>
#include <QString>
#include <QStringList>

struct Aufzeichnung : DatenAnsicht {
    struct Stand {
        QString text;
        int maximum;
        int wert;
    };
    QList<Stand> staende;
    int gezeigt = 0;
    int verborgen = 0;
    void zeigen(Daten& d) override
    {
        ++gezeigt;
        aktualisieren(d);
    }
    void aktualisieren(const Daten& d) override { staende.append({d.text(), d.maximum(), d.wert()}); }
    void verbergen() override { ++verborgen; }

    QStringList texte() const
    {
        QStringList t;
        for (const Stand& s : staende)
            if (t.isEmpty() || t.last() != s.text)
                t.append(s.text);
        return t;
    }
};
