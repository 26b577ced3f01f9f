#pragma once
// The program's run: German texts, the main window, the event loop. Ends with
// exit code 0 when the main window is closed.
class QApplication;

int konfigAusfuehren(QApplication& app);
