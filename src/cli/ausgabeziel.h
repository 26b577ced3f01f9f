#pragma once
// Where the output of --output goes. "-" is standard output. A path that names
// something other than a regular file or a folder (a device node such as
// /dev/null or a serial port, a FIFO) is opened and written as it is, never
// replaced: replacing it with a file would destroy it. Anything else is a
// regular file, replaced whole (ablage::Ersetzung) once the new content is
// complete; until then the old one stays as it was. In a folder that takes no
// new file, a file that may be written is overwritten in place instead, once
// the content is complete. Names are the system's bytes (dateiname.h).
#include "systemfehler/ablage.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <memory>
#include <sys/types.h>

class Ausgabeziel {
public:
    enum class Art { Standardausgabe, Direkt, Datei };
    enum class Schreibausgang { Geschrieben, Fehler, KeinLeser };

    // Prepares the target before anything is transferred: a file is created
    // (as a temporary one), a device or FIFO must exist and be writable.
    // False with fehler() set when it cannot be written.
    bool vorbereiten(const QString& pfad);
    Art art() const { return m_art; }

    // Writes the whole content (to `standardausgabe` for "-"). KeinLeser: a
    // FIFO that nobody reads yet; nothing was written, try again later.
    Schreibausgang schreiben(const QByteArray& inhalt, std::FILE* standardausgabe);
    // Nothing replaces the old file; the temporary one goes at once.
    void verwerfen();

    QString fehler() const { return m_fehler; }

private:
    Art m_art = Art::Datei;
    QString m_pfad;
    std::unique_ptr<ablage::Ersetzung> m_datei;
    QString m_fehler;
};

// Opens `name` for writing without waiting (O_WRONLY and `flags`, e.g.
// O_CREAT | O_TRUNC, new files `modus` less the umask): a FIFO that nobody
// reads would otherwise hold the program in open(), deaf to Ctrl+C. The
// descriptor returned blocks again, so that every write is taken whole. -1
// with errno set when it cannot be opened; ENXIO: a FIFO that nobody reads yet.
int ohneWartenOeffnen(const QByteArray& name, int flags = 0, mode_t modus = 0666);
