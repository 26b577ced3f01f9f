#pragma once
// Tab "Allgemein": installation name, network operator, acknowledgement time,
// prepaid-account monitoring and the check call. Each control's handler is the
// model's operation of the same name (page 0 of the image, Aenderung(22));
// the tab shows what the model then holds.
#include "modell/editormodell.h"

#include <QWidget>

class Aufab;
class Editorkontext;
class Eingabefeld;
class Feldwaechter;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSlider;

class TabAllgemein : public QWidget {
    Q_OBJECT
public:
    TabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent = nullptr);

    // Sets every control from the values, no handler running; the enabled
    // states follow from the values.
    void anzeigen(const Editorwerte& w);

private:
    // A handler's end: the model's answer followed, its values shown.
    void ausfuehren(const Folge& w);
    void kontrollrufOptionenAbwaehlen();

    Editorkontext& m_k;

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
