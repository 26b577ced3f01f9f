#pragma once
// The editor's four tabs, each made by its builder on a Tab.
#include "editor/tab.h"

// "Allgemein": installation name, network operator, acknowledgement time,
// prepaid-account monitoring and the check call (page 0, marker 22).
Tab* tabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

// "Meldelinien": per alarm source (Meldelinie 1..8, Stromausfall) its message
// text, its "Nummern" button and the options "Öffner" and "Gutmeldung".
Tab* tabMeldelinien(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

// "Relaisausgänge": per relay whether a confirmation message is sent, and its
// text (page 10).
Tab* tabRelais(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

// "Analogeingänge": the 4-20 mA input's range, thresholds, unit and alarm
// texts (pages 11 and 12), and the fixed battery values.
Tab* tabAnalog(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);
