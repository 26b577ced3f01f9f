#pragma once
// What a screen reader says of the editor's controls: each control's name as
// a person reads it off the window ("Anlagenbezeichnung", "Meldungstext
// Meldelinie 3", "Öffner Meldelinie 3", "Kontrollruf Stunde"), its status-bar
// hint as its description, and "geändert" when the change marker of its group
// shows. A tab's fields and check boxes are named by their settings as they
// are made; the other controls, made under the system's control names, are
// named once the tabs are all there.
#include <QString>

class Editorkontext;
class QWidget;
struct Einstellung;

// The name of a setting's control, from the table of settings: its caption,
// followed by its group where the group is one of a family ("Meldungstext
// Meldelinie 3", "Bestätigungstext Relais 1"; "Anlagenbezeichnung").
QString zugangsname(const Einstellung& e);

// Names the controls of the four tabs below `fenster` and ties each group's
// controls to its change marker (Editorkontext::markerGruppe).
void tabsBenennen(QWidget* fenster, Editorkontext& kontext);
