#pragma once
// The progress window on screen: a small fixed-size tool window with the
// caption "Datenübertragung von/zu Boravilon", the status text `Label1`, the
// bar `ProgressBar1` and the title bar's close button, which the user may
// press at any time. The hourglass pointer shows over it while it is open.
#include "link/daten.h"

#include <QPointer>

class QWidget;
class DatenWidget;

class DatenFenster : public DatenAnsicht {
public:
    // `eltern`: the main window the tool window stays on top of (may be null).
    explicit DatenFenster(QWidget* eltern = nullptr);
    ~DatenFenster() override;

    void zeigen(Daten& d) override;
    void aktualisieren(const Daten& d) override;
    void verbergen() override;

    // The window while shown (objectName "Daten"), else null.
    QWidget* fenster() const;

private:
    QPointer<QWidget> m_eltern;
    QPointer<DatenWidget> m_fenster;
};
