#pragma once
// Start-up measurement for bench/gsmbv. With the environment variable
// GSMBV_BENCH_STARTZEIT set, the program writes the line "gezeigt <ms>" to
// standard output as soon as the main window has been exposed and painted for
// the first time (<ms>: since the program's static initialisation, just
// before main), and ends with exit code 0. Without the variable nothing
// happens. Call before the window is shown.
class QWidget;

void startzeitMelden(QWidget& hauptfenster);
