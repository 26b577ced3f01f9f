#pragma once
// The editor model: every rule of the editor with a byte effect, written once.
// It owns the configuration image `Konfigspeicher`, the page flags
// `Seitenaenderung`, the change markers Aenderung(0..22) as data and the values
// every control shows (`Editorwerte`). Its operations are the handlers of the
// controls, named after them; each updates the image and the shown values and
// returns which marker and page it recorded and what it refused. Where a
// handler runs another one (Chk_Konto -> the numbers' Validate -> the slider),
// the operation does the same steps in the same order.
//
// Filling mode: while the program fills the editor (start-up, a device read,
// the opening of a file) the handlers store their bytes but record nothing,
// and ticking a box takes over no operator defaults. The device read's decode
// and the file reader run in it; the widgets call the same operations for the
// user's clicks and typing. QtCore only: the widgets show `werte()` and
// announce what `Folge` says.
#include "image/empfaenger.h"
#include "image/konfigspeicher.h"
#include "modell/abweisungsgrund.h"
#include "modell/editorwerte.h"

#include <QList>
#include <QString>
#include <array>
#include <deque>
#include <optional>

struct Einstellung;

// The text, number, unit and analog fields: each has a Validate.
enum class Feld {
    Anlagenbezeichnung,
    Guthabenrufnummer,
    NummerAufladung,
    SMSText0, SMSText1, SMSText2, SMSText3, SMSText4, SMSText5, SMSText6, SMSText7, SMSText8,
    Besttext1,
    Besttext2,
    Messbereich4,
    Messbereich20,
    Grenzwertmin,
    Grenzwertmax,
    Einheit,
    TextMin,
    TextMax,
};
constexpr Feld SMSText(int i) { return Feld(int(Feld::SMSText0) + i); }  // i = 0..8

// A refusal and the field it concerns (none: a setting without a field).
struct Einwand {
    std::optional<Feld> feld;
    Abweisung grund;
    bool operator==(const Einwand&) const = default;
};

// What an operation did besides storing bytes.
struct Folge {
    bool angenommen = true;   // false: the field's value was refused (not stored, the focus stays)
    int marker = -1;          // the change marker it showed, -1: nothing recorded
    int seite = -1;           // the page it flagged, -1: none
    QList<Einwand> einwaende; // refusals to announce, in order (one beep each)
    bool operator==(const Folge&) const = default;
};

class Editormodell {
public:
    // An unset image, no flag, no marker, the values of an empty editor.
    Editormodell() = default;

    Konfigspeicher& speicher() { return m_speicher; }
    const Konfigspeicher& speicher() const { return m_speicher; }
    Seitenaenderung& seiten() { return m_seiten; }
    const Seitenaenderung& seiten() const { return m_seiten; }

    // What every control shows. Changing it directly is the program setting a
    // control without its handler: nothing is stored, nothing recorded.
    Editorwerte& werte() { return m_werte; }
    const Editorwerte& werte() const { return m_werte; }
    // The text a field shows.
    static QString& text(Editorwerte& w, Feld f);
    static const QString& text(const Editorwerte& w, Feld f);
    // Whether a check box of the table (Aktiv, JaNein) is ticked.
    static bool& schalter(Editorwerte& w, const Einstellung& e);
    static bool schalter(const Editorwerte& w, const Einstellung& e);

    // Change marker Aenderung(i) shown.
    bool marker(int i) const { return i >= 0 && i < kMarker && m_marker[std::size_t(i)]; }

    // --- Filling mode ---
    bool fuellt() const { return m_fuellen; }
    void setFuellen(bool an) { m_fuellen = an; }
    // Filling mode for its lifetime (the previous state restored after it).
    class Fuellen {
    public:
        explicit Fuellen(Editormodell& m) : m_m(m), m_vorher(m.m_fuellen) { m.m_fuellen = true; }
        ~Fuellen() { m_m.m_fuellen = m_vorher; }
        Fuellen(const Fuellen&) = delete;
        Fuellen& operator=(const Fuellen&) = delete;

    private:
        Editormodell& m_m;
        bool m_vorher;
    };

    // --- The editor as a whole ---
    // Start-up: the default content, then (filling) Chk_Quittierung,
    // CHK_Kontrollruf and Chk_Konto unticked with their handlers run in this
    // order: acknowledgement, check call and balance monitoring switched off
    // in the image, nothing recorded. Markers and flags stay as they are.
    void starten();
    // The editor emptied before a device read or a file open: every text
    // empty, every box unticked, the switched-off states; the operator option
    // stays. Nothing stored.
    void leeren();
    // Shows marker `marker` and flags `seite` (pages 0..12), in any mode.
    void markieren(int marker, int seite);
    // Every marker shown, pages 0..12 flagged and no other.
    void alleMarkieren();
    // Every marker hidden, every flag cleared.
    void markierungenLoeschen();

    // --- The handlers ---
    // Tab "Meldelinien": i = 0..7 (Chk_Gutmeldung also 8, Stromausfall).
    Folge Chk_Oeffner_Click(int i, bool an);
    Folge Chk_Gutmeldung_Click(int i, bool an);
    // Tab "Relaisausgänge": r = 1 or 2.
    Folge Chk_Relaisbest_Click(int r, bool an);
    // Tab "Allgemein".
    Folge Chk_Quittierung_Click(bool an);
    Folge Slider_Quit_Change(int wert);
    Folge Chk_Konto_Click(bool an);
    Folge Slider_Guthaben_Change(int wert);
    Folge OPT_A1_Click();
    Folge OPT_TM_Click();
    Folge OPT_Andere_Click();
    // The option of `n` selected (its click handler run).
    Folge netzbetreiberWaehlen(Netzbetreiber n);
    // Netzbetreiber_erkennen at the end of a read or a load: the option of the
    // first recipient of page 1 selected and its click handler run, whether
    // or not the option changes.
    Folge netzbetreiberErkennen();
    Folge CHK_Kontrollruf_Click(bool an);
    Folge OPT_Woche_Click();
    Folge OPT_Tag_Click();
    // `tag`: 0 "Montag" .. 6 "Sonntag", -1 for any other text (also "").
    Folge Combo_Tag_Change(int tag);
    Folge UD_Stunde_Change(int wert);
    Folge UD_Minute_Change(int wert);
    // The check-and-store step of a field, with the text it shows.
    // `geaendert`: the field was typed in since it got the focus (or a handler
    // wants its change recorded).
    Folge Validate(Feld f, const QString& text, bool geaendert);
    // The recipients editor's "Speichern": the list of page `seite` (1..9,
    // 11) encoded for the operator shown; a list that does not fit into its
    // 128 cells is refused whole (Empfaengerliste) and nothing is stored.
    Folge Nummern_Speichern(int seite, const QList<empfaenger::Eintrag>& liste);
    // "Kopieren": the stored cells of page `seite`'s list, prefixes and all,
    // to every source's list (pages 1..9 and 11).
    Folge Nummern_Kopieren(int seite);
    // A check box of the table ticked or unticked: its handler.
    Folge schalten(const Einstellung& e, bool an);
    // A slider of the table moved to `wert`: its handler.
    Folge schieben(const Einstellung& e, int wert);

    // --- The history of committed changes ---
    // A committed change is one step: festhalten() after the user's change
    // (a field left, a box ticked, a list stored) makes whatever changed
    // since the last step (image, page flags, markers, shown values) one
    // step; nothing when nothing changed, nothing while filling. A new step
    // drops the steps undone before it. The oldest steps beyond kVerlauf go.
    static constexpr int kVerlauf = 500;
    // True when it recorded a step.
    bool festhalten();
    // The state before the last step, and the state after the step undone
    // last. A change not yet committed is committed first. False when there
    // is no such step or while filling.
    bool rueckgaengig();
    bool wiederholen();
    bool kannRueckgaengig() const { return !m_fuellen && !m_zurueck.empty(); }
    bool kannWiederholen() const { return !m_fuellen && !m_vor.empty(); }
    // A new history from the state as it is (start-up, device read, file
    // opened): nothing to undo or redo.
    void verlaufBeginnen();

    // --- Settings by key (einstellung.h) ---
    // The value `text` for the setting `schluessel`, through the rules the
    // window applies: only what the window's control could take (the
    // characters and length a field admits, a slider's and a spinner's range,
    // an entry of a choice, a control that is enabled now), then the control's
    // handler, with its checks (the analog range and thresholds), markers and
    // page flags. A value as the setting shows it changes nothing, as a
    // control set to the value it has runs no handler. Switches take
    // "aktiv"/"aus" or "ja"/"nein" and "true"/"false"; choices their text or
    // their code; the time "hh:mm"; a recipient list entries "GSM 0664...",
    // "Fax ...", "email ..." separated by ";". Refused: angenommen false, the
    // reason in `einwaende`, nothing stored and the value shown as before. A
    // value taken may bring refusals of others (a new analog range checks both
    // thresholds again, which keep their cells until corrected).
    Folge setzen(const QString& schluessel, const QString& text);
    // A recipient list by its key ("lines[2].recipients"): at most eight
    // entries, each of the characters its slot admits, fitting the list's cells.
    Folge setzen(const QString& schluessel, const QList<empfaenger::Eintrag>& liste);

private:
    void vermerken(Folge& w, int marker, int seite);
    void relaisbest(Folge& w, int r, bool an);
    void quittierung(Folge& w, bool an);
    void schieber(Folge& w, int& schieber, QString& anzeige, int off, int wert);
    void spinner(Folge& w, int& spinner, QString& anzeige, int off, int wert);
    void sliderQuit(Folge& w, int wert);
    void konto(Folge& w, bool an);
    void sliderGuthaben(Folge& w, int wert);
    void netz(Folge& w, Netzbetreiber n);
    void kontrollruf(Folge& w, bool an);
    void optTag(Folge& w);
    void comboTag(Folge& w, int tag);
    void stunde(Folge& w, int wert);
    void minute(Folge& w, int wert);
    // Validate's steps, into an operation's result.
    void feldAblegen(Folge& w, Feld f, const QString& text, bool geaendert);
    Folge uebernehmen(const Einstellung& e, const QString& text);
    Folge waehlen(const Einstellung& e, int wahl);
    Abweisung gesperrt(const Einstellung& e) const;
    bool analog(Folge& w, Feld f, bool geaendert);

    // Everything a step restores.
    struct Stand {
        Konfigspeicher speicher;
        Seitenaenderung seiten{};
        std::array<bool, kMarker> marker{};
        Editorwerte werte;
        bool operator==(const Stand&) const = default;
    };
    Stand stand() const { return {m_speicher, m_seiten, m_marker, m_werte}; }
    void umschalten(std::deque<Stand>& von, std::deque<Stand>& nach);

    Konfigspeicher m_speicher;
    Seitenaenderung m_seiten{};
    std::array<bool, kMarker> m_marker{};
    Editorwerte m_werte;
    bool m_fuellen = false;
    Stand m_festgehalten;            // the state after the last step (or at the history's start)
    std::deque<Stand> m_zurueck;     // the states before each step, the last step's last
    std::deque<Stand> m_vor;         // the states after each step undone, the last undone last
};
