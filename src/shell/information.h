#pragma once
// The About box "über GSM Boravilon Konfiguration": the program's name and
// version, the product picture and the maker's contact lines. No buttons; it
// is closed with the window's close box. Whenever it repaints it puts itself
// back into the middle of its screen.
#include <QDialog>

class QLabel;

class Information : public QDialog {
    Q_OBJECT
public:
    explicit Information(QWidget* parent = nullptr);

    // Shows the box application-modal without a nested event loop (the caller
    // returns at once; the rest of the program is blocked until the box is
    // closed). At most one box: a second call raises the open one. The box
    // deletes itself when closed.
    static Information* zeigen(QWidget* parent = nullptr);

    // A length in twips (1440 to the inch) in pixels of this box, across and down.
    int twipsX(int twips) const;
    int twipsY(int twips) const;

    // Where the box belongs: its frame centred on its screen.
    QPoint mitte() const;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QLabel* beschriftung(const char* name, const QString& text, int links, int oben,
                         qreal punkte, bool fett);
    void zentrieren();
    void untereinander();

    bool m_verschiebt = false;
};
