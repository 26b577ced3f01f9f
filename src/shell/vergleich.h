#pragma once
// The comparison of the device with the editor ("Datei" > "Vergleichen mit
// Gerät ..."): the settings in which the configuration just read from the
// device differs from the editor's, one row each with the device's value and
// the editor's, and the pages "Konfiguration schreiben" would send now. Not
// modal: the editor can be worked on beside it. A comparison shows what was
// so when it was made; a new one replaces it.
#include "blatt/einstellungen.h"
#include "image/konfigspeicher.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

class Vergleich : public QDialog {
    Q_OBJECT
public:
    explicit Vergleich(QWidget* parent = nullptr);

    // `kopf`: when and with which device ("14:03:22, Gerät an COM 1 (/dev/ttyUSB0)");
    // `u`: the differences, the device's values as `a`, the editor's as `b`;
    // `seiten`: the page flags now.
    void zeigen(const QString& kopf, const QList<blatt::Unterschied>& u, const Seitenaenderung& seiten);

    // Columns "Einstellung", "Gerät", "Editor"; each row's key in Qt::UserRole of column 0.
    QTreeWidget* liste() const { return m_liste; }

    // "Konfiguration schreiben sendet jetzt keine Seite." / "... Seite 0." /
    // "... die Seiten 0, 3 bis 5 und 11." (three or more in a row as "von bis").
    static QString seitenText(const Seitenaenderung& seiten);

private:
    QLabel* m_kopf;
    QTreeWidget* m_liste;
    QLabel* m_seiten;
};
