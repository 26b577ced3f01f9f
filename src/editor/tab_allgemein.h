#pragma once
// Tab "Allgemein": installation name, network operator, acknowledgement time,
// prepaid-account monitoring and the check call. Each control's handler is the
// model's operation of the same name (page 0 of the image, Aenderung(22));
// the tab shows what the model then holds.
#include "editor/tab.h"

class Aufab;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSlider;

class TabAllgemein : public Tab {
    Q_OBJECT
public:
    TabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent = nullptr);

    void anzeigen(const Editorwerte& w) override;

private:
    // One builder per group box: its controls, their start-up state and its layout.
    QGroupBox* gruppeAllgemein();
    QGroupBox* gruppeNetz();
    QGroupBox* gruppeQuittierung();
    QGroupBox* gruppeKonto();
    QGroupBox* gruppeKontrollruf();
    // Each control's handler: the model's operation of the same name.
    void verdrahten();
    void kontrollrufOptionenAbwaehlen();

    Eingabefeld* m_anlagenbezeichnung;
    QGroupBox* m_netz;
    QRadioButton* m_optA1;
    QRadioButton* m_optTM;
    QRadioButton* m_optAndere;

    QCheckBox* m_chkQuittierung;
    QSlider* m_sliderQuit;
    QLineEdit* m_quit;

    QCheckBox* m_chkKonto;
    Eingabefeld* m_guthabenrufnummer;
    Eingabefeld* m_nummerAufladung;
    QSlider* m_sliderGuthaben;
    QLineEdit* m_guthaben;

    QCheckBox* m_chkKontrollruf;
    QButtonGroup* m_kontrollrufArt;
    QRadioButton* m_optWoche;
    QRadioButton* m_optTag;
    QComboBox* m_comboTag;
    QLineEdit* m_txtStunde;
    Aufab* m_udStunde;
    QLineEdit* m_txtMinute;
    Aufab* m_udMinute;
};
