#pragma once
// A recipient list as a file and in JSON: one codec for the recipients
// editor's "Importieren ..." and "Exportieren ...", `gsmbv show --empfaenger`,
// `gsmbv set --empfaenger` and the lists of `gsmbv show --json` and `--from`.
//
// CSV: one row per recipient, its kind ("GSM", "Fax", "email"; or the codes
// "gsm", "fax", "email", in any case) and its number or address. Written with
// the header "Art;Nummer", ";" between the columns and UTF-8. Read: ";", ","
// or a tab between the columns (whichever the first row holds), fields in
// double quotes where needed, an optional header row, blank rows skipped,
// UTF-8 (a file that is not UTF-8 is read as Windows-1252, as spreadsheets on
// Windows save it). A row is taken only under the recipients editor's rules:
// the characters its kind admits, at most eight recipients, and - when the
// operator is known - the list fitting its 128 cells. Every row refused is
// named with its line number and reason, and a list with a refused row is
// taken not at all.
#include "image/empfaenger.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace empfaengerliste {

// The kind by its caption or its code, in any case; none for anything else.
std::optional<empfaenger::Art> artLesen(const QString& text);

// A row of a file that was refused: "Zeile 3: Nur Ziffern und +".
struct Zeilenfehler {
    int zeile = 0;
    QString grund;
    QString text() const;
    bool operator==(const Zeilenfehler&) const = default;
};

struct Gelesen {
    QList<empfaenger::Eintrag> liste;
    QList<Zeilenfehler> fehler;  // not empty: nothing is to be taken
};

// The list of a CSV file. `a1`: the operator the list will be stored for
// (A1 or another), so that a list that does not fit is refused at the row
// where it stops fitting; none: not checked here.
Gelesen ausCsv(const QByteArray& datei, std::optional<bool> a1);
// The CSV file of a list (entries without text left out).
QByteArray csv(const QList<empfaenger::Eintrag>& liste);

// An entry as `gsmbv show --json` writes it: {"type": "Fax", "type_code":
// "fax", "number": "0316..."}.
QJsonObject json(const empfaenger::Eintrag& e);
// An entry of a JSON list: such an object ("type" or "type_code", both when
// they agree) or a string "Fax 0316...", with a number. None, with `grund`
// set, for anything else. The characters are left to the store (a list as it
// stands is taken as it is).
std::optional<empfaenger::Eintrag> ausJson(const QJsonValue& wert, QString& grund);

// The fields of one CSV row, split at `trenner` outside double quotes ("" in
// quotes is one quote), each trimmed; none when a quote stays open.
std::optional<QStringList> felder(const QString& zeile, QChar trenner);
// A field for a row split at ";": as it is, or in double quotes where it
// holds a separator, a quote, a line end or blanks at its ends.
QString feldSchreiben(const QString& f);

} // namespace empfaengerliste
