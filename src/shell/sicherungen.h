#pragma once
// The list of backups ("Datei" > "Sicherungen ..."): every backup of the
// backup folder, newest first, with installation name, date and time. Opening
// one hands its path to the main window, which loads it as "Öffnen ..." does.
#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

class Sicherungen : public QDialog {
    Q_OBJECT
public:
    Sicherungen(const QString& ordner, QWidget* parent = nullptr);

    // The list: columns "Anlagenbezeichnung", "Datum", "Uhrzeit"; each row
    // keeps its file's path in Qt::UserRole of column 0.
    QTreeWidget* liste() const { return m_liste; }

public slots:
    // "Öffnen" or a double click: the selected backup is opened, the list closes.
    void CMD_Oeffnen_Click();

signals:
    void oeffnen(const QString& pfad);

private:
    QTreeWidget* m_liste;
    QPushButton* m_oeffnen;
};
