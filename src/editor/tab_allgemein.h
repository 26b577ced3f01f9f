#pragma once
// Tab "Allgemein": installation name, network operator, acknowledgement time,
// prepaid-account monitoring and the check call, with their handlers. Every
// handler writes page 0 of the image and records its change with Aenderung(22).
#include "modell/editorwerte.h"

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
    void werteEintragen(Editorwerte& w) const;

    Netzbetreiber netzbetreiber() const;

    // Start-up: the three boxes unticked and their handlers run in order
    // (Chk_Quittierung, CHK_Kontrollruf, Chk_Konto); the caller sets Einlesen.
    void startZustand();

    // The handlers, by the names of their controls. Connected to the controls'
    // change signals (they run when a value really changes) and callable directly.
    void Chk_Quittierung_Click();
    void Slider_Quit_Change();
    void Chk_Konto_Click();
    void Slider_Guthaben_Change();
    void OPT_A1_Click();
    void OPT_TM_Click();
    void OPT_Andere_Click();
    void CHK_Kontrollruf_Click();
    void OPT_Woche_Click();
    void OPT_Tag_Click();
    void Combo_Tag_Change();
    void UD_Stunde_Change();
    void UD_Minute_Change();

private:
    bool anlagenbezeichnungSpeichern(bool geaendert);
    bool nummerSpeichern(Eingabefeld* feld, bool geaendert);
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
