#pragma once
// The clock dialog "Systemzeit": the device's clock as read beside the PC's
// clock, which runs on every second, and "Übernehmen" to set the device to the
// PC's time. Not modal; deletes itself when closed.
//
// The dialog talks to no port. Whoever opens it fills BoraZeit from the clock
// answer, answers uebernehmen() with the setting (and then closes the dialog),
// and ends the clock command on entladen().
#include <QDateTime>
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class syszeit : public QDialog {
    Q_OBJECT
public:
    using Zeitquelle = std::function<QDateTime()>;

    explicit syszeit(QWidget* parent = nullptr);

    // Shows the device time, e.g. uhr::boraZeitText(...).
    void setBoraZeit(const QString& text);
    QString boraZeit() const;

    // The PC clock the dialog shows (the system clock unless replaced).
    void setZeitquelle(Zeitquelle quelle);
    QDateTime jetzt() const;

signals:
    // "Übernehmen" was clicked.
    void uebernehmen();
    // The dialog closes — "Abbruch", the close box, Escape or close() by the
    // program. Emitted once.
    void entladen();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void pcZeitAuffrischen();

    QLabel* Label1;
    QLineEdit* BoraZeit;
    QLabel* Label2;
    QLineEdit* PCZeit;
    QPushButton* CMD_OK;
    QPushButton* CMD_Abbruch;
    QTimer* Timer1;
    Zeitquelle m_quelle;
    bool m_entladen = false;
};
