#include "cli/ausgabeziel.h"

#include "systemfehler/dateiname.h"
#include "systemfehler/systemfehler.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemfehlertext() { return systemfehler::text(errno); }
} // namespace

int ohneWartenOeffnen(const QByteArray& name, int flags, mode_t modus)
{
    const int fd = ::open(name.constData(), O_WRONLY | flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, modus);
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool Ausgabeziel::vorbereiten(const QString& pfad)
{
    m_pfad = pfad;
    m_fehler.clear();
    if (pfad == QLatin1String("-")) {
        m_art = Art::Standardausgabe;
        return true;
    }
    const QByteArray name = dateiname::bytes(pfad);
    struct stat st {};
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        m_art = Art::Direkt;
        if (::access(name.constData(), W_OK) != 0) {
            m_fehler = systemfehlertext();
            return false;
        }
        return true;
    }
    m_art = Art::Datei;
    m_datei = std::make_unique<ablage::Ersetzung>(pfad, std::nullopt, true);
    m_fehler = m_datei->beginnen();
    return m_fehler.isEmpty();
}

Ausgabeziel::Schreibausgang Ausgabeziel::schreiben(const QByteArray& inhalt, std::FILE* standardausgabe)
{
    switch (m_art) {
    case Art::Standardausgabe: {
        if (!standardausgabe)
            return Schreibausgang::Geschrieben;
        const bool ok = std::fwrite(inhalt.constData(), 1, size_t(inhalt.size()), standardausgabe)
                            == size_t(inhalt.size())
                     && std::fflush(standardausgabe) == 0;
        if (!ok)
            m_fehler = systemfehlertext();
        return ok ? Schreibausgang::Geschrieben : Schreibausgang::Fehler;
    }
    case Art::Direkt: {
        // A FIFO without reader: the caller tries again later.
        const int fd = ohneWartenOeffnen(dateiname::bytes(m_pfad));
        if (fd < 0) {
            if (errno == ENXIO)
                return Schreibausgang::KeinLeser;
            m_fehler = systemfehlertext();
            return Schreibausgang::Fehler;
        }
        qsizetype geschrieben = 0;
        while (geschrieben < inhalt.size()) {
            const ssize_t n = ::write(fd, inhalt.constData() + geschrieben, size_t(inhalt.size() - geschrieben));
            if (n > 0)
                geschrieben += n;
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;
        }
        if (geschrieben < inhalt.size())
            m_fehler = systemfehlertext();
        if (::close(fd) != 0 && m_fehler.isEmpty() && errno != EINTR)
            m_fehler = systemfehlertext();
        return m_fehler.isEmpty() ? Schreibausgang::Geschrieben : Schreibausgang::Fehler;
    }
    case Art::Datei:
        m_fehler = m_datei ? m_datei->abschliessen(inhalt) : systemfehler::text(EBADF);
        return m_fehler.isEmpty() ? Schreibausgang::Geschrieben : Schreibausgang::Fehler;
    }
    return Schreibausgang::Fehler;
}

void Ausgabeziel::verwerfen()
{
    if (m_datei)
        m_datei->verwerfen();
}
