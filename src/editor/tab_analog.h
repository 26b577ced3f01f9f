#pragma once
// Tab "Analogeingänge": the 4-20 mA input's range, thresholds, unit and alarm
// texts (pages 11 and 12 of the image), and the fixed battery values. The
// fields' checks are the model's Validate.
#include "editor/tab.h"

class TabAnalog : public Tab {
    Q_OBJECT
public:
    TabAnalog(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent = nullptr);

    void anzeigen(const Editorwerte& w) override;

signals:
    // Cmd_Analog was clicked.
    void nummernGeklickt();

private:
    Eingabefeld* m_messbereich4;
    Eingabefeld* m_messbereich20;
    Eingabefeld* m_grenzwertmin;
    Eingabefeld* m_grenzwertmax;
    Eingabefeld* m_einheit;
    Eingabefeld* m_textMin;
    Eingabefeld* m_textMax;
};
