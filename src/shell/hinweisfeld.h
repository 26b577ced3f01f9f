#pragma once
// The status bar's hint panel: the focused field's hint, the outcome of a
// command, the reason of a refusal. To a screen reader it is a notification
// in the status bar: what `ansagen` puts there is announced (spoken), what
// `setText` puts there can be read when the user looks, but is not spoken.
#include <QLabel>

class Hinweisfeld : public QLabel {
    Q_OBJECT
public:
    explicit Hinweisfeld(QWidget* parent = nullptr);

    // Shows `text` and announces it: the panel reports itself shown anew, so
    // that a screen reader speaks its name (the text) as a notification.
    void ansagen(const QString& text);
};
