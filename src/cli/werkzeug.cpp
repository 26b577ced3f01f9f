#include "cli/werkzeug.h"

#include "backup/sicherung.h"
#include "cfgfile/cfgform.h"
#include "cfgfile/dateilesen.h"
#include "cfgfile/dekodieren.h"
#include "blatt/blatt.h"
#include "blatt/einstellungen.h"
#include "clock/uhr.h"
#include "eventlog/ereignisspeicher.h"
#include "image/felder.h"
#include "cli/seiten.h"
#include "link/datentext.h"
#include "link/mitschrifttransport.h"
#include "link/portzuordnung.h"
#include "link/seriellertransport.h"
#include "link/transport.h"
#include "systemfehler/systemfehler.h"

#include <QDate>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <utility>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace {

QString dateiTitel() { return QStringLiteral("GSM-Boravilon"); }
QString dateiText() { return QStringLiteral("Fehler bei Zugriff auf Konfigurationsdatei"); }

// One COM port for `gsmbv ports`: its device, then the details sysfs and
// /dev give, one per line.
QString portText(int com, const Portangaben& a)
{
    QString t = QStringLiteral("COM%1: %2").arg(com).arg(a.geraet);
    if (!a.vorhanden)
        return t + QStringLiteral(" (nicht vorhanden)\n");
    t += QLatin1Char('\n');
    if (!a.stabil.isEmpty())
        t += QStringLiteral("  fester Name: %1\n").arg(a.stabil);
    if (!a.treiber.isEmpty())
        t += a.adapter.isEmpty() ? QStringLiteral("  Treiber: %1\n").arg(a.treiber)
                                 : QStringLiteral("  Treiber: %1 (%2)\n").arg(a.treiber, a.adapter);
    t += a.zugriff ? QStringLiteral("  Zugriff: ja\n") : QStringLiteral("  Zugriff: nein (Gruppe %1)\n").arg(a.gruppe);
    return t;
}

// Why the window's decode cannot take the device's bytes, with the bytes: a
// 16-bit analog number that does not fit its signed computation, e.g.
// "Konfigurationsdaten nicht lesbar: Analogeingang Messwert 4 mA (Seite 11,
// Zeichen 129 und 130): 0x80 0x00 = 32768, größer als 32767". Empty when none.
QString unlesbar(const Konfigspeicher& k)
{
    const struct {
        int offset;
        const char* name;
    } felder[] = {{offset::Messbereich4, "Messwert 4 mA"},
                  {offset::Messbereich20, "Messwert 20 mA"},
                  {offset::Grenzwertmin, "unterer Grenzwert"},
                  {offset::Grenzwertmax, "oberer Grenzwert"}};
    for (const auto& f : felder) {
        if (!zahlLesen(k, 11, f.offset).ueberlauf)
            continue;
        const std::uint8_t hoch = k.byte(11, f.offset), tief = k.byte(11, f.offset + 1);
        const auto hex = [](std::uint8_t b) {
            return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        };
        return QStringLiteral("Konfigurationsdaten nicht lesbar: Analogeingang %1 (Seite 11, Zeichen %2 und %3): %4 %5 = "
                              "%6, größer als 32767")
            .arg(QString::fromUtf8(f.name))
            .arg(f.offset + 1)
            .arg(f.offset + 2)
            .arg(hex(hoch), hex(tief))
            .arg(hoch * 256 + tief);
    }
    return {};
}

QString eintraege(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 Eintrag") : QStringLiteral("%1 Einträge").arg(n);
}

} // namespace

Werkzeug::Werkzeug(const Aufruf& aufruf, CliDoor& door, std::unique_ptr<Transport> transport, std::FILE* aus,
                   std::FILE* fehler, QObject* parent)
    : QObject(parent), m_a(aufruf), m_door(door), m_transport(std::move(transport)), m_aus(aus), m_fehler(fehler)
{
    // A message ends the progress bar's line first, so it stands on a line of its own.
    m_door.setVorMeldung([this] {
        if (m_balken) {
            m_balken->verbergen();
            m_balken->zeileBeenden();
        }
    });
    m_leserWarten.setSingleShot(true);
    m_leserWarten.setInterval(100);
}

Werkzeug::~Werkzeug()
{
    m_door.setVorMeldung({});
}

void Werkzeug::starten()
{
    switch (m_a.befehl) {
    case Befehl::Show: return zeigen();
    case Befehl::Diff: return vergleichen();
    case Befehl::Read: return lesen();
    case Befehl::Write: return schreiben();
    case Befehl::Log: return protokoll();
    case Befehl::Clock: return uhr();
    case Befehl::Ports: return ports();
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
    const QList<blatt::Abschnitt> einstellungen = blatt::einstellungen(m_datei.image, m_datei.werte);
    if (!m_a.pdf.isEmpty()) {
        // The sheet goes where --output would go: a file replaced only when
        // it is complete, a device or FIFO as it is, "-" standard output.
        if (!m_ziel.vorbereiten(m_a.pdf))
            return ausgabefehler(m_a.pdf, m_ziel.fehler());
        const blatt::Kopf kopf{m_datei.werte.anlagenbezeichnung, QDate::currentDate(),
                               QStringLiteral("Datei %1").arg(QFileInfo(m_a.datei).absoluteFilePath())};
        QBuffer puffer;
        puffer.open(QIODevice::WriteOnly);
        if (!blatt::pdf(puffer, kopf, einstellungen))
            return ausgabefehler(m_a.pdf, QStringLiteral("das Blatt lässt sich nicht zeichnen"));
        zielSchreiben(puffer.data(), [this](bool ok) {
            if (!ok)
                return ausgabefehler(m_a.pdf, m_ziel.fehler());
            ende(Erfolg);
        });
        return;
    }
    QByteArray text;
    if (m_a.json) {
        text = blatt::json(einstellungen);
    } else {
        for (const QString& zeile : blatt::zeilen(einstellungen))
            text += zeile.toUtf8() + '\n';
    }
    if (!ausgeben(text))
        return;
    ende(Erfolg);
}

void Werkzeug::vergleichen()
{
    if (!dateiLesen(m_a.datei))
        return;
    const QList<blatt::Abschnitt> a = blatt::einstellungen(m_datei.image, m_datei.werte);
    if (!dateiLesen(m_a.zweite))
        return;
    const QList<blatt::Abschnitt> b = blatt::einstellungen(m_datei.image, m_datei.werte);
    const auto wert = [](const std::optional<QString>& w) {
        if (!w)
            return QStringLiteral("(nicht vorhanden)");
        return w->isEmpty() ? QStringLiteral("(leer)") : blatt::lesbar(*w);
    };
    QByteArray text;
    const QList<blatt::Unterschied> u = blatt::unterschiede(a, b);
    for (const blatt::Unterschied& x : u)
        text += QStringLiteral("%1 (%2)\n< %3\n> %4\n")
                    .arg(x.beschriftung, x.schluessel, wert(x.a), wert(x.b))
                    .toUtf8();
    if (!ausgeben(text))
        return;
    ende(u.isEmpty() ? Erfolg : Verschieden);
}

void Werkzeug::lesen()
{
    // The file is prepared before the device is asked, so that a file that
    // cannot be written costs no transfer; it replaces the old one only when
    // it is complete.
    if (!m_ziel.vorbereiten(m_a.ausgabe))
        return dateifehler(m_a.ausgabe, m_ziel.fehler());
    if (!verbinden())
        return;
    m_v->konfigurationLesen(
        bildDekoder(),
        [this](const Ergebnis& e) {
            if (e.ausgang != Ausgang::Erfolg)
                return fehlschlag(e);
            // The backup first: it is kept even when --output cannot be written.
            sichern(m_bild);
            abschluss({});
            zielSchreiben(cfgSchreiben(m_bild), [this](bool ok) {
                if (!ok) {
                    if (m_ziel.art() == Ausgabeziel::Art::Standardausgabe)
                        return ausgabefehler(QStringLiteral("Standardausgabe"), m_ziel.fehler());
                    return dateifehler(m_a.ausgabe, m_ziel.fehler());
                }
                abschluss(m_ziel.art() == Ausgabeziel::Art::Standardausgabe
                              ? QStringLiteral("Konfiguration gelesen und auf die Standardausgabe geschrieben")
                              : QStringLiteral("Konfiguration gelesen und in %1 gespeichert").arg(m_a.ausgabe));
                ende(Erfolg);
            });
        },
        [this] { Grundeinstellung(m_bild); });
}

void Werkzeug::schreiben()
{
    if (!dateiLesen(m_a.datei))
        return;
    if (!verbinden())
        return;
    if (m_a.sichern)
        return vorSchreibenSichern();
    schreibenStarten();
}

void Werkzeug::vorSchreibenSichern()
{
    // The device's configuration before it is overwritten, read as `read`
    // reads it and kept as a backup. A read that fails stops the command
    // before anything is written.
    m_v->konfigurationLesen(
        bildDekoder(),
        [this](const Ergebnis& e) {
            if (m_beendet)  // Ctrl+C came between the operation's end and its report
                return;
            if (e.ausgang != Ausgang::Erfolg) {
                // A device that answers but whose configuration cannot be read
                // may still be written, without the backup.
                const bool gelesenNicht = !m_unterbrochen && (e.ausgang == Ausgang::Uebertragungsfehler
                                                              || e.ausgang == Ausgang::Zeitueberschreitung);
                return fehlschlag(e, gelesenNicht ? QStringLiteral("Gerät nicht beschrieben: seine Konfiguration ließ "
                                                                   "sich vorher nicht lesen (ohne Sicherung "
                                                                   "schreiben: --no-backup)")
                                                  : QStringLiteral("Gerät nicht beschrieben"));
            }
            sichern(m_bild);
            zwischenstand();
            if (portOeffnen(KeineVerbindung, QStringLiteral("Gerät nicht beschrieben")))
                schreibenStarten();
        },
        [this] { Grundeinstellung(m_bild); }, QStringLiteral("sichere Konfigurationsdaten ..."));
}

void Werkzeug::schreibenStarten()
{
    m_v->konfigurationSchreiben(m_datei.image, m_datei.flags, [this](const Ergebnis& e) {
        if (m_beendet)  // Ctrl+C came between the operation's end and its report
            return;
        if (e.ausgang != Ausgang::Erfolg)
            return fehlschlag(e, e.schreibstand ? teilweiseText(*e.schreibstand) : QString());
        const auto seiten = std::count(m_datei.flags.begin(), m_datei.flags.begin() + kGeraeteSeiten, true);
        if (!m_a.pruefen) {
            abschluss(QStringLiteral("Konfiguration geschrieben: %1 Seiten").arg(seiten));
            return ende(Erfolg);
        }
        zwischenstand();
        if (portOeffnen(Uebertragungsfehler, QStringLiteral("Konfiguration geschrieben, aber nicht geprüft")))
            zuruecklesen();
    });
}

void Werkzeug::zuruecklesen()
{
    // A normal configuration read; its bytes are compared with what was sent,
    // page by page. A read that fails leaves the write unchecked: a failure.
    m_zurueck.clear();
    m_v->konfigurationLesen(
        [this](const QByteArray& bytes) {
            m_zurueck = bytes;
            return true;
        },
        [this](const Ergebnis& e) {
            if (m_beendet)  // Ctrl+C came between the operation's end and its report
                return;
            if (e.ausgang != Ausgang::Erfolg)
                return fehlschlag(e, QStringLiteral("Konfiguration geschrieben, aber nicht geprüft"), Uebertragungsfehler);
            const Abweichung a = cli::vergleichen(m_datei.image, m_datei.flags, m_zurueck);
            const auto seiten = std::count(m_datei.flags.begin(), m_datei.flags.begin() + kGeraeteSeiten, true);
            if (!a.seiten.isEmpty()) {
                zwischenstand();
                meldung(pruefText(a), Verbindung::titel(), Door::Icon::Kritisch);
                hinweis(ersteAbweichungText(a));
                return ende(Uebertragungsfehler);
            }
            QList<int> geprueft;
            for (int p = 0; p < kGeraeteSeiten; ++p)
                if (m_datei.flags[std::size_t(p)])
                    geprueft.append(p);
            schritt(QStringLiteral("zurückgelesen: %1 %2 wie gesendet")
                        .arg(geprueft.size() == 1 ? QStringLiteral("Seite") : QStringLiteral("Seiten"),
                             seitenliste(geprueft)));
            abschluss(QStringLiteral("Konfiguration geschrieben und geprüft: %1 Seiten").arg(seiten));
            ende(Erfolg);
        },
        {}, QStringLiteral("prüfe Konfigurationsdaten ..."));
}

void Werkzeug::protokoll()
{
    if (!m_a.ausgabe.isEmpty() && !m_ziel.vorbereiten(m_a.ausgabe))
        return ausgabefehler(m_a.ausgabe, m_ziel.fehler());
    if (!verbinden())
        return;
    m_v->ereignisspeicherLesen(
        [this](const QByteArray& speicher) {
            m_ereignisse = speicher;
            return true;
        },
        [this](const Ergebnis& e) {
            if (e.ausgang != Ausgang::Erfolg)
                return fehlschlag(e);
            abschluss({});
            const QStringList zeilen = ereignisZeilen(m_ereignisse);
            const QString gelesen = QStringLiteral("Ereignisspeicher gelesen: %1").arg(eintraege(zeilen.size()));
            if (m_a.ausgabe.isEmpty()) {
                abschluss(gelesen);
                QByteArray text;
                for (const QString& z : zeilen)
                    text += z.toUtf8() + '\n';
                if (ausgeben(text))
                    ende(Erfolg);
                return;
            }
            zielSchreiben(logDatei(zeilen), [this, gelesen](bool ok) {
                const bool aus = m_ziel.art() == Ausgabeziel::Art::Standardausgabe;
                if (!ok)
                    return ausgabefehler(aus ? QStringLiteral("Standardausgabe") : m_a.ausgabe, m_ziel.fehler());
                abschluss(aus ? gelesen : gelesen + QStringLiteral(" und in %1 gespeichert").arg(m_a.ausgabe));
                ende(Erfolg);
            });
        });
}

void Werkzeug::uhr()
{
    if (!verbinden())
        return;
    m_v->uhrLesen(
        [this](const QByteArray& antwort) {
            const auto text = uhr::boraZeitText(antwort);
            if (!text)
                return false;
            m_uhrzeit = *text;
            return true;
        },
        [this](const Ergebnis& e) {
            if (m_beendet)  // Ctrl+C came between the operation's end and its report
                return;
            if (e.ausgang != Ausgang::Erfolg)
                return fehlschlag(e);
            abschluss({});
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
    m_v->uhrSetzen(
        [this](int i) -> std::uint8_t {
            if (m_stellbytes.isEmpty()) {
                m_stellzeit = QDateTime::currentDateTime();
                m_stellbytes = uhr::stellBytes(m_stellzeit);
            }
            return std::uint8_t(m_stellbytes.at(i));
        },
        [this](const Ergebnis& e) {
            // The setting has left the "s" command with ESC and closed the port.
            if (e.ausgang != Ausgang::Erfolg)
                return fehlschlag(e);
            abschluss({});
            if (!ausgeben(uhr::pcZeitText(m_stellzeit).toUtf8() + '\n'))
                return;
            ende(Erfolg);
        });
}

void Werkzeug::setPortwurzeln(const Portwurzeln& w)
{
    m_portwurzeln = w;
}

void Werkzeug::ports()
{
    // COM n as the window and --port COMn map it; with a tree of its own,
    // from the ports its sysfs lists.
    const Portwurzeln w = m_portwurzeln.value_or(Portwurzeln{});
    const QStringList namen = m_portwurzeln ? sysfsPorts(w) : Portzuordnung::systemPorts();
    const Portzuordnung zuordnung([namen] { return namen; });
    QByteArray text;
    for (int com = 1; com <= 4; ++com)
        text += portText(com, portangaben(zuordnung.geraet(com), w)).toUtf8();
    if (ausgeben(text))
        ende(Erfolg);
}

void Werkzeug::unterbrechen()
{
    if (m_beendet)
        return;
    if (m_unterbrochen)
        return ende(Abgebrochen);
    m_unterbrochen = true;
    m_door.stumm();
    if (m_v && m_v->operationLaeuft()) {
        // The operation ends through its own end, which reports the status.
        m_v->abbrechen();
        return;
    }
    ende(Abgebrochen);
}

// ---------------------------------------------------------------------------
// Parts

void Werkzeug::sichern(const Konfigspeicher& bild)
{
    if (const sicherung::Versuch s = sicherung::anlegen(bild); !s)
        hinweis(s.fehler);
    else
        schritt(QStringLiteral("Sicherung angelegt: %1").arg(s.pfad));
}

Verbindung::Dekoder Werkzeug::bildDekoder()
{
    return [this](const QByteArray& bytes) {
        m_bild = geraetebild(bytes);
        if (dekodieren(m_bild))
            return true;
        m_lesefehler = unlesbar(geraetebild(bytes));
        return false;
    };
}

bool Werkzeug::verbinden()
{
    const auto port = portLesen(m_a.port);
    if (!port) {  // the arguments were checked; a library caller may still pass anything
        ende(FalscheArgumente);
        return false;
    }
    if (!m_a.mitschrift.isEmpty() && !mitschriftOeffnen())
        return false;
    m_v = std::make_unique<Verbindung>(std::move(m_transport));
    if (m_a.umfang == Aufruf::Umfang::Ausfuehrlich)
        connect(m_v.get(), &Verbindung::schritt, this, &Werkzeug::schritt);
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
    // The bar only where its redrawn line does not mix with step lines (-v)
    // and something beside errors is wanted (not -q).
    if (m_fehler && ::isatty(::fileno(m_fehler)) && m_a.umfang == Aufruf::Umfang::Normal) {
        auto balken = std::make_unique<DatenText>(m_fehler);
        balken->setFrist(frist);
        m_balken = balken.get();
        m_v->daten().setAnsicht(std::move(balken));
    }
    return portOeffnen();
}

bool Werkzeug::mitschriftOeffnen()
{
    // Opened without waiting: a FIFO nobody reads would otherwise hold the
    // tool in open(), deaf to Ctrl+C. Replaced from the start, written line by line.
    const QByteArray name = QFile::encodeName(m_a.mitschrift);
    errno = 0;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int nummer = errno;
        ausgabefehler(m_a.mitschrift, nummer == ENXIO ? QStringLiteral("kein Programm liest die FIFO")
                                                      : systemfehler::text(nummer));
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!m_mitschriftDatei.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ausgabefehler(m_a.mitschrift, systemfehler::datei(m_mitschriftDatei, errno));
        return false;
    }
    m_mitschriftDatei.write(QStringLiteral("# %1 %2, %3: \"<-\" an das Gerät, \"->\" vom Gerät (hexadezimal)\n")
                                .arg(versionstext().trimmed(), befehlsname(m_a.befehl),
                                     QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))
                                .toUtf8());
    m_mitschriftDatei.flush();
    m_mitschrift.setzeUhr([] { return QTime::currentTime(); });
    m_mitschrift.setzeAusgabe(&m_mitschriftDatei);
    auto innen = m_transport ? std::move(m_transport) : std::make_unique<SeriellerTransport>();
    m_transport = std::make_unique<MitschriftTransport>(std::move(innen), m_mitschrift);
    return true;
}

bool Werkzeug::portOeffnen(int status, const QString& folge)
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
    if (!folge.isEmpty())
        hinweis(folge);
    ende(status);
    return false;
}

bool Werkzeug::dateiLesen(const QString& pfad)
{
    const Dateiinhalt d = ::dateiLesen(pfad);
    if (!d) {
        dateifehler(pfad, d.fehler);
        return false;
    }
    const QByteArray& inhalt = d.bytes;
    // A file of another kind (LOG.TXT, a file re-saved as UTF-8, ...) would
    // be written as a configuration all the same: it is refused unless --force.
    if (const Formbefund befund = cfgFormPruefen(inhalt); !befund.passt() && !m_a.erzwingen) {
        dateifehler(pfad, befund.text());
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
    zeileBeenden();
    if (!m_aus)
        return true;
    const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_aus) == size_t(bytes.size())
                 && std::fflush(m_aus) == 0;
    if (!ok) {
        ausgabefehler(QStringLiteral("Standardausgabe"), systemfehler::text(errno));
        return false;
    }
    return true;
}

void Werkzeug::zielSchreiben(const QByteArray& inhalt, std::function<void(bool)> weiter)
{
    switch (m_ziel.schreiben(inhalt, m_aus)) {
    case Ausgabeziel::Ergebnis::Geschrieben: return weiter(true);
    case Ausgabeziel::Ergebnis::Fehler: return weiter(false);
    case Ausgabeziel::Ergebnis::KeinLeser: break;
    }
    // A FIFO nobody reads yet: tried again every 100 ms until a reader comes
    // (or Ctrl+C ends the wait).
    if (!m_aufLeserGewartet) {
        m_aufLeserGewartet = true;
        information(QStringLiteral("%1: warte, bis ein anderes Programm die FIFO liest").arg(m_a.pdf.isEmpty() ? m_a.ausgabe : m_a.pdf));
    }
    disconnect(&m_leserWarten, nullptr, this, nullptr);
    connect(&m_leserWarten, &QTimer::timeout, this, [this, inhalt, weiter = std::move(weiter)]() mutable {
        if (!m_beendet)
            zielSchreiben(inhalt, std::move(weiter));
    });
    m_leserWarten.start();
}

void Werkzeug::zeileBeenden()
{
    if (m_balken)
        m_balken->zeileBeenden();
}

void Werkzeug::zwischenstand()
{
    if (m_balken)
        m_balken->abschliessen({});
}

void Werkzeug::abschluss(const QString& text)
{
    // The bar complete when the transfer has succeeded; the line of what was
    // done once its result is where it belongs. On a terminal, and with
    // --verbose as the last step anywhere; never with --quiet.
    if (m_balken)
        m_balken->abschliessen({});
    if (!m_balken && m_a.umfang != Aufruf::Umfang::Ausfuehrlich)
        return;
    if (!text.isEmpty() && m_fehler) {
        const QByteArray zeile = text.toUtf8() + '\n';
        std::fwrite(zeile.constData(), 1, size_t(zeile.size()), m_fehler);
        std::fflush(m_fehler);
    }
}

void Werkzeug::hinweis(const QString& text)
{
    zeileBeenden();
    if (!m_fehler)
        return;
    const QByteArray zeile = QStringLiteral("gsmbv: %1\n").arg(text).toUtf8();
    std::fwrite(zeile.constData(), 1, size_t(zeile.size()), m_fehler);
    std::fflush(m_fehler);
}

void Werkzeug::information(const QString& text)
{
    if (m_a.umfang != Aufruf::Umfang::Leise)
        hinweis(text);
}

void Werkzeug::schritt(const QString& text)
{
    if (m_a.umfang == Aufruf::Umfang::Ausfuehrlich)
        hinweis(text);
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

void Werkzeug::fehlschlag(const Ergebnis& e, const QString& folge, std::optional<int> status)
{
    if (m_unterbrochen) {
        // Ctrl+C: that is what is said first, then what it means for the device.
        hinweis(QStringLiteral("abgebrochen"));
        m_abbruchGemeldet = true;
        if (!folge.isEmpty())
            hinweis(folge);
        return ende(Abgebrochen);
    }
    const bool verbunden = e.ausgang != Ausgang::KeineVerbindung;
    // The operation's message; an end without one is a failure all the same.
    QString text = e.meldung;
    if (text.isEmpty())
        text = verbunden ? Verbindung::textUebertragungsfehler() : Verbindung::textKeineVerbindung();
    meldung(text, Verbindung::titel(), Door::Icon::Kritisch);
    // The decode's own words where it failed, else the link's.
    const QString detail = std::exchange(m_lesefehler, QString());
    if (!detail.isEmpty() || !e.detail.isEmpty())
        hinweis(detail.isEmpty() ? e.detail : detail);
    if (!folge.isEmpty())
        hinweis(folge);
    ende(status.value_or(verbunden ? Uebertragungsfehler : KeineVerbindung));
}

void Werkzeug::ende(int status)
{
    if (m_beendet)
        return;
    m_beendet = true;
    if (m_unterbrochen && status == Abgebrochen && !m_abbruchGemeldet)
        hinweis(QStringLiteral("abgebrochen"));
    m_leserWarten.stop();
    // The transcript holds every line, the last one too, whatever ended the command.
    if (m_mitschriftDatei.isOpen()) {
        m_mitschrift.abschliessen();
        if (!m_mitschrift.ausgabeOk())
            hinweis(QStringLiteral("Mitschrift %1 unvollständig: %2")
                        .arg(m_a.mitschrift, systemfehler::datei(m_mitschriftDatei, 0)));
    }
    // Nothing replaces the old file, and the temporary one goes at once.
    m_ziel.verwerfen();
    zeileBeenden();
    emit beendet(status);
}

} // namespace cli
