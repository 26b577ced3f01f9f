#pragma once
// The COM port dialog `Kommunikation` (modal): the four options COM 1..4, each
// with the device it stands for beside it. Load selects the current port; OK
// closes the port if open and takes the selection; Abbruch changes nothing.
#include <QDialog>

class QRadioButton;
class QLabel;
class Verbindung;

class Kommunikation : public QDialog {
    Q_OBJECT
public:
    explicit Kommunikation(Verbindung& verbindung, QWidget* eltern = nullptr);

    QRadioButton* option(int nummer) const;  // 1..4
    QLabel* geraetLabel(int nummer) const;   // 1..4

private:
    void ok();

    Verbindung& m_verbindung;
    QRadioButton* m_option[4] = {};
    QLabel* m_geraet[4] = {};
};
