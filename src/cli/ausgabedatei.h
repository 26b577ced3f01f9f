#pragma once
// The file of --output or --pdf for one command: prepared before the
// transfer, so that a file that cannot be written costs none; written after
// it (see Ausgabeziel). A FIFO that nobody reads yet is tried again every
// 100 ms until a reader comes, and the wait is said once.
#include "cli/ausgabeziel.h"

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <functional>

namespace cli {

class Konsole;

class Ausgabedatei {
public:
    explicit Ausgabedatei(Konsole& konsole);

    // False with fehler() set when the target cannot be written.
    bool vorbereiten(const QString& pfad);
    // "-": the content goes to standard output.
    bool standardausgabe() const { return m_ziel.art() == Ausgabeziel::Art::Standardausgabe; }

    // Writes the whole content; then `weiter(ok)`, at once or once a FIFO's
    // reader came. Not ok: fehler() says why.
    void schreiben(const QByteArray& inhalt, std::function<void(bool ok)> weiter);
    QString fehler() const { return m_ziel.fehler(); }

    // The run has ended: no further try, and nothing replaces the old file.
    void verwerfen();

private:
    Konsole& m_konsole;
    Ausgabeziel m_ziel;
    QString m_pfad;
    QTimer m_leserWarten;  // a FIFO without reader: the next try
    QByteArray m_inhalt;
    std::function<void(bool)> m_weiter;
    bool m_gewartet = false;
};

} // namespace cli
