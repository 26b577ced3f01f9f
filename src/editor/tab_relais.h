#pragma once
// Tab "Relaisausgänge": per relay whether a confirmation message is sent and
// its text (page 10 of the image); the model's Chk_Relaisbest_Click and the
// texts' Validate do the storing.
#include "editor/tab.h"

class QCheckBox;

class TabRelais : public Tab {
    Q_OBJECT
public:
    TabRelais(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent = nullptr);

    void anzeigen(const Editorwerte& w) override;

private:
    QCheckBox* m_chk[2]{};
    Eingabefeld* m_text[2]{};
};
