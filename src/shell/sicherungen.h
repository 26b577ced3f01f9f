#pragma once
// The list of backups ("Datei" > "Sicherungen ..."): every backup of the
// backup folder, newest first, with installation name, date, time and why it
// was taken. Opening one hands its path to the main window, which loads it as
// "Öffnen ..." does; "Wiederherstellen" hands it over to be written back
// into the device.
#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

class Sicherungen : public QDialog {
    Q_OBJECT
public:
    Sicherungen(const QString& ordner, QWidget* parent = nullptr);

    // The list: columns "Anlagenbezeichnung", "Datum", "Uhrzeit", "Anlass";
    // each row keeps its file's path in Qt::UserRole of column 0.
    QTreeWidget* liste() const { return m_liste; }

public slots:
    // "Öffnen" or a double click: the selected backup is opened, the list closes.
    void CMD_Oeffnen_Click();
    // "Wiederherstellen": the list closes, the selected backup is handed over.
    void CMD_Wiederherstellen_Click();

signals:
    void oeffnen(const QString& pfad);
    // `benennung`: the backup as the question names it ("„Pumpwerk Nord“ vom 06.12.2026, 14:05:09").
    void wiederherstellen(const QString& pfad, const QString& benennung);

private:
    void knoepfeSetzen();

    QTreeWidget* m_liste;
    QPushButton* m_oeffnen;
    QPushButton* m_wiederherstellen;
};
