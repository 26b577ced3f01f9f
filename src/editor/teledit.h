#pragma once
// Teledit, the recipients editor: one alarm source's list of up to eight
// recipients (GSM number, fax number or e-mail address), edited in eight slots
// "Nummer 1".."Nummer 8" and stored into offsets 0..127 of the source's page.
//
// Wiring (the main window owns one instance for the whole run, with itself as
// parent):
//   Teledit teledit(editorkontext, this);
//   CMD_Nr(i) clicked  -> teledit.oeffnen(i + 1)   (i = 0..8)
//   Cmd_Analog clicked -> teledit.oeffnen(11)
//   after a device read or a file open -> teledit.bildErneuert()
//
// The dialog is not modal. It reads the list of its page when it is opened,
// and stores only into that page:
// - opening the same source again raises it, with the edits kept;
// - opening another source while it is open switches it to that source; when
//   the shown list has unsaved edits it first asks whether to store them
//   (Ja: stored - and if they do not fit, the dialog stays on its source;
//   Nein: discarded).
// The dialog changes the image only through the editor model's operations
// (Nummern_Speichern, Nummern_Kopieren): they encode the entries with the
// operator selected at that moment, flag the page and show its change marker
// (9..17 for pages 1..9, 20 for page 11), except while the program fills the
// editor. A list that does not fit into its 128 cells is refused with a beep
// and a message, and nothing is stored. Closing without "Speichern" never
// changes the image.
#include "image/empfaenger.h"

#include <QDialog>
#include <array>

class Editorkontext;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class Teledit : public QDialog {
    Q_OBJECT
public:
    explicit Teledit(Editorkontext& kontext, QWidget* parent = nullptr);

    // Opens the editor for the list of page `nummernseite` (1..9 or 11) as
    // described above. False when the page holds no list, or when the dialog
    // stays on its former source because its edits could not be stored.
    bool oeffnen(int nummernseite);
    // The page the shown list was read from and is stored into (0 before the
    // first opening).
    int nummernseite() const { return m_seite; }
    // True when a slot differs from what was read or last stored.
    bool geaendert() const;
    // The image was replaced (device read, file open): an open dialog reads
    // its page again; edits not yet stored are dropped with the old image.
    void bildErneuert();

private:
    struct Platz {
        QLineEdit* nummer = nullptr;
        QRadioButton* gsm = nullptr;
        QRadioButton* fax = nullptr;
        QRadioButton* email = nullptr;
        QLabel* bezeichnung = nullptr;
        QString text;  // the last text the slot admitted
    };

    empfaenger::Art art(int i) const;
    // The slot's field is named by its entry and kind: "Eintrag 3, GSM-Nummer".
    void artBenennen(int i, empfaenger::Art a);
    QList<empfaenger::Eintrag> eintraege() const;
    void laden(int seite);
    void zeigen(int i, const empfaenger::Eintrag& e);
    void bearbeitet(int i, const QString& neu);
    void ueberzaehligMelden();
    bool ablegen();
    void speichernKlick();
    void kopierenKlick();

    Editorkontext& m_k;
    int m_seite = 0;
    int m_ueberzaehlig = 0;  // stored entries beyond the eighth, not shown
    QList<empfaenger::Eintrag> m_abgelegt;  // the slots as read or last stored
    std::array<Platz, empfaenger::kPlaetze> m_platz;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_kopieren = nullptr;
};
