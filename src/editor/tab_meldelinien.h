#pragma once
// Tab "Meldelinien": per alarm source (Meldelinie 1..8, Stromausfall) its
// message text, its "Nummern" button and the options "Öffner" and "Gutmeldung".
#include "editor/tab.h"

#include <array>

class QCheckBox;
class QPushButton;

class TabMeldelinien : public Tab {
    Q_OBJECT
public:
    TabMeldelinien(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent = nullptr);

    void anzeigen(const Editorwerte& w) override;

signals:
    // CMD_Nr(i) was clicked (i = 0..8).
    void nummernGeklickt(int i);

private:
    std::array<Eingabefeld*, 9> m_smsText{};
    std::array<QPushButton*, 9> m_cmdNr{};
    std::array<QCheckBox*, 8> m_oeffner{};
    std::array<QCheckBox*, 9> m_gutmeldung{};
};
