#pragma once
// An up-down control: two arrow buttons that step a whole number within its
// range (no wrap-around at the ends). The value is shown by a separate text
// field of the window, as the check-call hour and minute are.
#include <QWidget>

class QToolButton;

class Aufab : public QWidget {
    Q_OBJECT
public:
    Aufab(const QString& name, int minimum, int maximum, int wert, QWidget* parent = nullptr);

    int value() const { return m_wert; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Values outside the range are clamped. valueChanged only when it changes.
    void setValue(int wert);

    void stepUp() { setValue(m_wert + 1); }
    void stepDown() { setValue(m_wert - 1); }

signals:
    void valueChanged(int wert);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void knoepfeAnpassen();
    int m_min, m_max, m_wert;
    QToolButton* m_auf;
    QToolButton* m_ab;
};
