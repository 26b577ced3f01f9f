#pragma once
// Every setting of a configuration in one list, laid out like the window's
// tabs. `gsmbv show` (text and JSON), `gsmbv diff` and the configuration sheet
// take their settings from here only, so they cannot disagree.
//
// The settings and their order are the table of settings (modell/einstellung.h):
// each has its stable English key ("general.installation_name",
// "lines[2].recipients[0]"), the caption the window uses ("Anlagenbezeichnung",
// "Meldelinie 3 Nummer 1"), a short caption for a row of its group on the
// sheet ("Nummer 1"), its value as text, and the value typed for JSON: a
// boolean, a number, null for an empty number field or the time of a check
// call that is off, a string, or for a recipient an object {"type",
// "type_code", "number"}. A choice's JSON has a sibling "<key>_code" with a
// stable code ("daily", "wednesday", "t_mobile"; null when nothing is chosen),
// which setting by key takes as well as the text.
#include "image/konfigspeicher.h"
#include "modell/editorwerte.h"
#include "modell/einstellung.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace blatt {

struct Eintrag {
    QString schluessel;    // stable English key
    QString beschriftung;  // the caption of `gsmbv show` and `gsmbv diff`
    QString kurz;          // the caption within its group on the sheet
    QString text;          // the value as the window shows it (raw, not escaped)
    QJsonValue wert;       // the value for JSON
    QJsonValue code = QJsonValue(QJsonValue::Undefined);  // a choice's code for JSON ("<key>_code"); undefined: none
};

// A group box of the window ("Kontrollruf", "Meldelinie 3", "Relais 1", ...).
struct Gruppe {
    QString titel;
    QList<Eintrag> eintraege;
    QStringList listen;  // keys of the recipient lists here: JSON arrays, also when empty
};

// A tab of the window.
struct Abschnitt {
    QString titel;  // "Allgemein", "Meldelinien", "Relaisausgänge", "Analogeingänge"
    QList<Gruppe> gruppen;
};

// The settings of a configuration: `werte` is what the window shows, the
// recipients come from the image's lists, decoded by their kind.
QList<Abschnitt> einstellungen(const Konfigspeicher& k, const Editorwerte& werte);

// Every setting in order, without the layout.
QList<Eintrag> alle(const QList<Abschnitt>& abschnitte);

// A value text for one output line: control characters (and the code page's
// five undefined ones) as \xHH with the byte value, the backslash as "\\".
// Everything else, umlauts included, stays as it is.
QString lesbar(const QString& text);

// The lines of `gsmbv show`: "Beschriftung: Wert", the value made readable.
QStringList zeilen(const QList<Abschnitt>& abschnitte);

// The settings as one JSON object nested by the parts of the keys
// ("lines[2].text" is lines -> third element -> text), UTF-8, indented.
QByteArray json(const QList<Abschnitt>& abschnitte);

// One setting that differs between two configurations. A setting that one of
// them does not have (a recipient more in one list) has no value there.
struct Unterschied {
    QString schluessel;
    QString beschriftung;
    std::optional<QString> a;
    std::optional<QString> b;
};
// The settings that differ, in the order of `a`, those only in `b` after
// their neighbours. Compared by key and value text.
QList<Unterschied> unterschiede(const QList<Abschnitt>& a, const QList<Abschnitt>& b);
// A value of a difference for one line: made readable, "(leer)" when empty,
// "(nicht vorhanden)" when that configuration does not have the setting.
QString vergleichswert(const std::optional<QString>& wert);

} // namespace blatt
