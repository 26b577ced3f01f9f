#pragma once
// What a run of gsmbv says: results on standard output; on standard error the
// messages (the window's boxes, through the door), the "gsmbv: ..." lines by
// the policy of -q and -v, and on a terminal the progress bar. A result that
// standard output does not take is said as such.
#include "cli/aufruf.h"
#include "cli/fortschrittszeile.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdio>
#include <memory>

namespace cli {

class Konsole {
public:
    // Either stream may be null: nothing is written there.
    Konsole(std::FILE* aus, std::FILE* fehler, Aufruf::Umfang umfang);

    // A result on standard output. False when it was not taken whole: that is
    // said ("Standardausgabe kann nicht geschrieben werden: ..."), and the
    // command ends with Ausgabe.
    bool ergebnis(const QByteArray& bytes);
    std::FILE* standardausgabe() const { return m_aus; }

    // A line "gsmbv: ..." on standard error: always (errors and warnings),
    // not with -q (information), only with -v (steps).
    void hinweis(const QString& text);
    void information(const QString& text);
    void schritt(const QString& text);
    // A question on standard error, the answer typed behind it on a terminal
    // (`amTerminal`), else on a line of its own.
    void frage(const QString& text, bool amTerminal);
    // "abgebrochen", once in a run however often it is asked for.
    void abgebrochen();

    // A message as the window's critical box shows it; here one line.
    void meldung(const QString& text, const QString& titel);
    // A configuration file that cannot be read or written: the window's
    // message, then the path and why. Returns the exit status Konfigurationsdatei.
    int dateifehler(const QString& pfad, const QString& grund);
    // Any other output (--output of log, --pdf, the transcript, standard
    // output) that cannot be written. Returns the exit status Ausgabe.
    int ausgabefehler(const QString& ziel, const QString& grund);

    // The progress bar, for a link that waits up to `frist`: only when
    // standard error is a terminal and neither -v (its redrawn line would mix
    // with the step lines) nor -q is given; else null.
    Fortschrittszeile* balken(std::chrono::milliseconds frist);
    // The bar's text while a configuration read's data come, for a read with
    // another purpose ("sichere Konfigurationsdaten ..."); empty: the usual.
    void setLesetext(const QString& text);
    // Before a message: the bar's line is ended, so it stands on a line of its own.
    void vorMeldung();
    void zeileBeenden();
    // False once a line for standard error was not taken whole: a run that
    // succeeded without saying all it had to say ends with Ausgabe.
    bool allesGesagt() const { return !m_ungesagt; }
    // An operation of several has succeeded: its bar complete.
    void zwischenstand();
    // The transfer has succeeded: the bar complete; then the line of what was
    // done (when not empty), on a terminal and with -v, never with -q.
    void abschluss(const QString& text);

private:
    void zeile(const QByteArray& bytes);

    std::FILE* m_aus;
    std::FILE* m_fehler;
    Aufruf::Umfang m_umfang;
    std::unique_ptr<Fortschrittszeile> m_balken;
    bool m_abgebrochen = false;
    bool m_ungesagt = false;
};

} // namespace cli
