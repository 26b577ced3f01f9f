#pragma once
// Tab "Relaisausgänge": per relay whether a confirmation message is sent and
// its text (page 10 of the image).
#include "modell/editorwerte.h"

#include <QWidget>

class Editorkontext;
class Eingabefeld;
class Feldwaechter;
class QCheckBox;

class TabRelais : public QWidget {
    Q_OBJECT
public:
    TabRelais(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent = nullptr);

    void anzeigen(const Editorwerte& w);
    void werteEintragen(Editorwerte& w) const;

    void Chk_Relaisbest1_Click() { relaisbestClick(0); }
    void Chk_Relaisbest2_Click() { relaisbestClick(1); }

private:
    void relaisbestClick(int r);
    bool besttextSpeichern(int r, bool geaendert);

    Editorkontext& m_k;
    QCheckBox* m_chk[2]{};
    Eingabefeld* m_text[2]{};
};
