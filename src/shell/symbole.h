#pragma once
// The pictures of the window and of the seven toolbar buttons, drawn at run time.
#include <QIcon>

namespace symbole {
QIcon fenster();
// index 1..7 as on the toolbar: abort, read, write, clock, event memory, open, save.
QIcon knopf(int index);
} // namespace symbole
