#pragma once
// What a screen reader says of the editor's controls: each control's name as
// a person reads it off the window ("Anlagenbezeichnung", "Meldungstext
// Meldelinie 3", "Öffner Meldelinie 3", "Quittierung aktiv"), its status-bar
// hint as its description, and "geändert" when the change marker of its group
// shows. The tabs make their controls under the system's control names; this
// names them once they are all there.
class Editorkontext;
class QWidget;

// Names the controls of the four tabs below `fenster` and ties each group's
// controls to its change marker (Editorkontext::markerGruppe).
void tabsBenennen(QWidget* fenster, Editorkontext& kontext);
