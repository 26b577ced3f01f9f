#pragma once
// Panel 2 of the status bar: one line of hint or message. Every message puts
// its reason first, so that a window too narrow for the whole line cuts only
// its end, marked by "…"; the tooltip then shows the whole line (or what the
// message names as its tooltip, such as a file's whole path).
#include <QLabel>

class Hinweisfeld : public QLabel {
    Q_OBJECT
public:
    explicit Hinweisfeld(QWidget* parent = nullptr) : QLabel(parent) {}

    // Shows `text` with the tooltip `tipp` (empty: the whole text, when cut).
    void zeigen(const QString& text, const QString& tipp = QString());

    // The width left for the text: the panel's inside less the margins a
    // framed label keeps (half an "x" on either side).
    int platz() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;
};
