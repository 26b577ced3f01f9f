#pragma once
// The recipient lists of the alarm sources (Meldelinie 1..8 on pages 1..8,
// Stromausfall on page 9, the analog input on page 11, offsets 0..127 each):
// how a recipient becomes the bytes of one list entry and back, which
// characters a slot of the recipients editor admits, and the page's caption
// and change marker. Pure functions, no widgets.
//
// An entry is stored by its kind and the network operator chosen when it is
// stored: a GSM number as typed; a fax number behind the operator's fax
// gateway prefix; an e-mail address between the operator's mail gateway prefix
// and suffix. Every "@" is stored as "*". Reading an entry looks only at its
// beginning, never at the operator, so an entry keeps its kind whatever the
// operator is now.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace empfaenger {

constexpr int kPlaetze = 8;       // slots of the editor, recipients per source
constexpr int kListenZellen = 128; // offsets 0..127 of the page

enum class Art { GSM, Fax, Email };

struct Eintrag {
    Art art = Art::GSM;
    QString text;  // the number or address as the user sees it
    bool operator==(const Eintrag&) const = default;
};

// The stored bytes of one entry (without its 0x0D). `a1`: operator A1 selected.
QByteArray kodieren(const Eintrag& e, bool a1);
// The kind and text of one stored entry (without its 0x0D).
Eintrag dekodieren(const QByteArray& eintrag);

// The list as stored: the entries with non-empty text in their order, each
// followed by 0x0D, then 0x03 and 0xFF up to offset 127 - exactly 128 bytes.
// Nothing when they do not fit.
std::optional<QByteArray> listeKodieren(const QList<Eintrag>& eintraege, bool a1);
// Cells the list needs: its encoded entries, their separators and the end mark.
int listeBedarf(const QList<Eintrag>& eintraege, bool a1);

// The recipients of a stored list (the raw entries of listeLesen); entries
// without any byte carry no recipient and are left out.
QList<Eintrag> listeDekodieren(const QList<QByteArray>& gespeichert);

// Whether a slot of the given kind admits the character. GSM and fax: "0".."9"
// and "+". E-mail: every printable character that has a byte in the code page,
// except those the stored entry cannot carry back unchanged - "*" (stands for
// "@"), blank and "(" (they end the address when it is read back), ";" (it
// separates the entries in a configuration file) and the character of byte
// 0xFF (the erased value, it would end the list).
bool zeichenZulaessig(Art art, QChar c);
// An edit from `alt` to `neu` (a typed key, a pasted or dropped text) under the
// slot's rules: of the characters it puts in, those the kind does not admit
// are dropped and the others kept, as the main window's fields take pasted
// text. Characters already in the text (from a stored list the editor would
// not write itself) may stay and may be deleted. `cursor`: the position
// behind what was put in.
struct Gefiltert {
    QString text;
    int cursor = 0;
    bool verworfen = false;  // a character was dropped
};
Gefiltert eingabeFiltern(Art art, const QString& alt, const QString& neu);

// The label of a slot of this kind: "GSM Nummer", "FAX Nummer mit Vorwahl", "email-Adresse".
QString bezeichnung(Art art);

// Pages that hold a recipient list: 1..9 and 11.
bool istListenseite(int seite);
// The editor's caption for the list of the page; empty for other pages.
QString titel(int seite);
// The change marker of the page's recipients: 9..17 for pages 1..9, 20 for
// page 11; -1 for other pages.
int marker(int seite);

} // namespace empfaenger
