#pragma once
// Panel 2 of the status bar: one line of hint or message. Every message puts
// its reason first, so that a window too narrow for the whole line cuts only
// its end, marked by "…"; the tooltip then shows the whole line (or what the
// message names as its tooltip, such as a file's whole path).
// To a screen reader it is a notification in the status bar, named by its
// whole line: what `ansagen` shows is announced (spoken), what `zeigen` shows
// can be read when the user looks, but is not spoken.
#include <QLabel>

class Hinweisfeld : public QLabel {
    Q_OBJECT
public:
    explicit Hinweisfeld(QWidget* parent = nullptr);

    // Shows `text` with the tooltip `tipp` (empty: the whole text, when cut).
    void zeigen(const QString& text, const QString& tipp = QString());
    // Shows `text` and announces it: the panel reports itself shown anew, so
    // that a screen reader speaks its name (the text) as a notification.
    void ansagen(const QString& text);

    // The width left for the text: the panel's inside less the margins a
    // framed label keeps (half an "x" on either side).
    int platz() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;
};
