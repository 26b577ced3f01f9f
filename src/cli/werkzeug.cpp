#include "cli/werkzeug.h"

#include "cfgfile/dekodieren.h"
#include "cli/einstellungen.h"
#include "clock/uhr.h"
#include "eventlog/ereignisspeicher.h"
#include "link/datentext.h"
#include "link/transport.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cli {
namespace {

// A configuration file is a few kilobytes; more than this is no configuration
// file, and reading it whole would only cost memory.
constexpr qint64 kHoechstensDatei = 1 << 20;

QString dateiTitel() { return QStringLiteral("GSM-Boravilon"); }
QString dateiText() { return QStringLiteral("Fehler bei Zugriff auf Konfigurationsdatei"); }

} // namespace

Werkzeug::Werkzeug(const Aufruf& aufruf, CliDoor& door, std::unique_ptr<Transport> transport, std::FILE* aus,
                   std::FILE* fehler, QObject* parent)
    : QObject(parent), m_a(aufruf), m_door(door), m_transport(std::move(transport)), m_aus(aus), m_fehler(fehler)
{
    // A message ends the progress bar's line first, so it stands on a line of its own.
    m_door.vorMeldung = [this] {
        if (m_v && m_v->daten().sichtbar() && m_v->daten().ansicht())
            m_v->daten().ansicht()->verbergen();
    };
}

Werkzeug::~Werkzeug()
{
    m_door.vorMeldung = {};
}

void Werkzeug::starten()
{
    switch (m_a.befehl) {
    case Befehl::Show: return zeigen();
    case Befehl::Read: return lesen();
    case Befehl::Write: return schreiben();
    case Befehl::Log: return protokoll();
    case Befehl::Clock: return uhr();
    case Befehl::Keiner: break;
    }
    ende(FalscheArgumente);
}

// ---------------------------------------------------------------------------
// Commands

void Werkzeug::zeigen()
{
    if (!dateiLesen(m_a.datei))
        return;
    QByteArray text;
    for (const QString& zeile : einstellungen(m_datei.image, m_datei.werte))
        text += zeile.toUtf8() + '\n';
    if (!ausgeben(text))
        return;
    ende(Erfolg);
}

void Werkzeug::lesen()
{
    // The file is prepared before the device is asked, so that a file that
    // cannot be written costs no transfer; it replaces the old one only when
    // it is complete.
    if (!zielVorbereiten())
        return dateifehler(m_a.ausgabe, m_ziel.errorString());
    if (!verbinden())
        return;
    vorgangBeginnen();
    m_v->konfigurationLesen(
        [this](const QByteArray& bytes) {
            m_bild = geraetebild(bytes);
            return dekodieren(m_bild).has_value();
        },
        [this](Ausgang a) {
            if (a != Ausgang::Erfolg)
                return fehlschlag(a);
            const QByteArray inhalt = cfgSchreiben(m_bild);
            if (!zielSchreiben(inhalt))
                return dateifehler(m_a.ausgabe, m_ziel.errorString());
            ende(Erfolg);
        },
        [this] { Grundeinstellung(m_bild); });
}

bool Werkzeug::zielVorbereiten()
{
    m_ziel.setFileName(m_a.ausgabe);
    m_ziel.setDirectWriteFallback(false);
    if (m_ziel.open(QIODevice::WriteOnly))
        return true;
    // The folder takes no new file. A file there that may be written is
    // overwritten in place - but only at the end, so that a failed transfer
    // leaves it as it was.
    QFile vorhanden(m_a.ausgabe);
    if (!QFileInfo(m_a.ausgabe).isFile() || !vorhanden.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    m_ziel.setDirectWriteFallback(true);
    return true;
}

bool Werkzeug::zielSchreiben(const QByteArray& inhalt)
{
    if (!m_ziel.isOpen() && !m_ziel.open(QIODevice::WriteOnly))
        return false;
    return m_ziel.write(inhalt) == inhalt.size() && m_ziel.flush() && m_ziel.commit();
}

void Werkzeug::schreiben()
{
    if (!dateiLesen(m_a.datei))
        return;
    if (!verbinden())
        return;
    vorgangBeginnen();
    m_v->konfigurationSchreiben(m_datei.image, m_datei.flags, [this](Ausgang a) {
        if (a != Ausgang::Erfolg)
            return fehlschlag(a);
        ende(Erfolg);
    });
}

void Werkzeug::protokoll()
{
    if (!m_a.ausgabe.isEmpty()) {
        if (!zielVorbereiten())
            return ausgabefehler(m_a.ausgabe, m_ziel.errorString());
    }
    if (!verbinden())
        return;
    vorgangBeginnen();
    m_v->ereignisspeicherLesen(
        [this](const QByteArray& speicher) {
            m_ereignisse = speicher;
            return true;
        },
        [this](Ausgang a) {
            if (a != Ausgang::Erfolg)
                return fehlschlag(a);
            const QStringList zeilen = ereignisZeilen(m_ereignisse);
            if (m_a.ausgabe.isEmpty()) {
                QByteArray text;
                for (const QString& z : zeilen)
                    text += z.toUtf8() + '\n';
                if (!ausgeben(text))
                    return;
            } else {
                const QByteArray inhalt = logDatei(zeilen);
                if (!zielSchreiben(inhalt))
                    return ausgabefehler(m_a.ausgabe, m_ziel.errorString());
            }
            ende(Erfolg);
        });
}

void Werkzeug::uhr()
{
    if (!verbinden())
        return;
    vorgangBeginnen();
    m_v->uhrLesen(
        [this](const QByteArray& antwort) {
            const auto text = uhr::boraZeitText(antwort);
            if (!text)
                return false;
            m_uhrzeit = *text;
            return true;
        },
        [this](Ausgang a) {
            if (a != Ausgang::Erfolg)
                return fehlschlag(a);
            if (!ausgeben(m_uhrzeit.toUtf8() + '\n'))
                return;
            if (!m_a.stellen)
                return ende(Erfolg);
            uhrStellen();
        });
}

void Werkzeug::uhrStellen()
{
    // "Übernehmen": a connection of its own. The five bytes come from one
    // reading of the PC clock, taken when the first of them is sent.
    if (!portOeffnen())
        return;
    vorgangBeginnen();
    m_v->uhrSetzen(
        [this](int i) -> std::uint8_t {
            if (m_stellbytes.isEmpty()) {
                m_stellzeit = QDateTime::currentDateTime();
                m_stellbytes = uhr::stellBytes(m_stellzeit);
            }
            return std::uint8_t(m_stellbytes.at(i));
        },
        [this](Ausgang a) {
            // The dialog closes on every outcome; its unload leaves the "s"
            // command with ESC and closes the port.
            m_v->uhrDialogEntladen();
            if (a != Ausgang::Erfolg)
                return fehlschlag(a);
            if (!ausgeben(uhr::pcZeitText(m_stellzeit).toUtf8() + '\n'))
                return;
            ende(Erfolg);
        });
}

void Werkzeug::unterbrechen()
{
    if (m_beendet)
        return;
    if (m_unterbrochen)
        return ende(Abgebrochen);
    m_unterbrochen = true;
    m_door.stumm();
    if (m_v && (m_v->operationLaeuft() || m_sitzung.Belegt)) {
        // The operation ends through its own end, which reports the status.
        m_v->abbrechen();
        return;
    }
    ende(Abgebrochen);
}

// ---------------------------------------------------------------------------
// Parts

bool Werkzeug::verbinden()
{
    const auto port = portLesen(m_a.port);
    if (!port) {  // the arguments were checked; a library caller may still pass anything
        ende(FalscheArgumente);
        return false;
    }
    m_v = std::make_unique<Verbindung>(m_sitzung, std::move(m_transport));
    if (port->com) {
        m_v->setPort(port->com);
    } else {
        m_v->zuordnung().festlegen(1, port->pfad);
        m_v->setPort(1);
    }
    // The command line has no close button: a transfer whose bytes stop
    // coming ends after the same time as a wait.
    const auto frist = m_a.frist.value_or(Verbindung::kWartezeit);
    m_v->setWartezeit(frist);
    m_v->setEmpfangsgrenze(frist);
    if (m_fehler && ::isatty(::fileno(m_fehler)))
        m_v->daten().setAnsicht(std::make_unique<DatenText>(m_fehler));
    return portOeffnen();
}

bool Werkzeug::portOeffnen()
{
    // A port that cannot be opened will not answer: the tool says so at once
    // instead of waiting out the time limit. The operation is started right
    // after, with nothing received in between, so the device's ACK is not lost.
    if (m_v->portOeffnen())
        return true;
    meldung(Verbindung::textKeineVerbindung(), Verbindung::titel(), Door::Icon::Kritisch);
    // The cause in the window's words; for a missing group also the command.
    hinweis(m_v->oeffnenFehlerText());
    const Portursache u = m_v->transport().ursache();
    if (u.art == Portursache::Art::KeineBerechtigung)
        hinweis(QStringLiteral("sudo usermod -aG %1 $USER").arg(u.gruppe));
    ende(KeineVerbindung);
    return false;
}

bool Werkzeug::dateiLesen(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        dateifehler(pfad, f.errorString());
        return false;
    }
    const QByteArray inhalt = f.read(kHoechstensDatei + 1);
    if (f.error() != QFileDevice::NoError) {
        dateifehler(pfad, f.errorString());
        return false;
    }
    if (inhalt.size() > kHoechstensDatei) {
        dateifehler(pfad, QStringLiteral("zu groß für eine Konfigurationsdatei"));
        return false;
    }
    m_datei = cfgLesen(inhalt);
    // The window loads the lines a short file has and reports the error; the
    // tool refuses the file, so that no device is written half from a file and
    // half from the default content.
    if (!m_datei.vollstaendig) {
        dateifehler(pfad, QStringLiteral("nur %1 von 13 Zeilen").arg(m_datei.zeilen));
        return false;
    }
    return true;
}

bool Werkzeug::ausgeben(const QByteArray& bytes)
{
    if (!m_aus)
        return true;
    const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_aus) == size_t(bytes.size())
                 && std::fflush(m_aus) == 0;
    if (!ok) {
        ausgabefehler(QStringLiteral("Standardausgabe"), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

void Werkzeug::hinweis(const QString& text)
{
    if (!m_fehler)
        return;
    const QByteArray zeile = QStringLiteral("gsmbv: %1\n").arg(text).toUtf8();
    std::fwrite(zeile.constData(), 1, size_t(zeile.size()), m_fehler);
    std::fflush(m_fehler);
}

void Werkzeug::meldung(const QString& text, const QString& titel, Door::Icon icon)
{
    Door::aktuell().meldung(text, icon, Door::Knoepfe::Ok, titel);
}

void Werkzeug::dateifehler(const QString& pfad, const QString& grund)
{
    meldung(dateiText(), dateiTitel(), Door::Icon::Kritisch);
    hinweis(pfad + QStringLiteral(": ") + grund);
    ende(Konfigurationsdatei);
}

void Werkzeug::ausgabefehler(const QString& ziel, const QString& grund)
{
    hinweis(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(ziel, grund));
    ende(Ausgabe);
}

void Werkzeug::vorgangBeginnen()
{
    m_meldungenVorher = m_door.meldungen().size();
}

void Werkzeug::fehlschlag(Ausgang a)
{
    if (m_unterbrochen)
        return ende(Abgebrochen);
    int status = Uebertragungsfehler;
    QString text = Verbindung::textUebertragungsfehler();
    if (a == Ausgang::KeineVerbindung) {
        status = KeineVerbindung;
        text = Verbindung::textKeineVerbindung();
    }
    // Every failure is reported: where the link has ended without a word
    // (a clock byte the port refused), the tool says it.
    if (m_door.meldungen().size() == m_meldungenVorher)
        meldung(text, Verbindung::titel(), Door::Icon::Kritisch);
    ende(status);
}

void Werkzeug::ende(int status)
{
    if (m_beendet)
        return;
    m_beendet = true;
    if (m_unterbrochen && status == Abgebrochen)
        hinweis(QStringLiteral("abgebrochen"));
    if (m_ziel.isOpen()) {
        // Nothing replaces the old file, and the temporary one goes at once.
        m_ziel.cancelWriting();
        m_ziel.commit();
    }
    emit beendet(status);
}

} // namespace cli
