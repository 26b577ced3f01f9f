// gsmbv serie: one template written into a series of devices, one row of a
// CSV file per device. Every row is applied to the template and checked
// before the first device is asked for. Each device is then asked for on the
// terminal and written by the write command itself (backup read, guard,
// write, read back), on a link and a run of its own; its sheet goes beside
// the CSV file and its result into the series' journal, a line at a time, so
// that a second run goes on with the rows not yet written.
#include "backup/sicherung.h"
#include "blatt/blatt.h"
#include "blatt/einstellungen.h"
#include "cli/anschluss.h"
#include "cli/auftrag.h"
#include "cli/konsole.h"
#include "cli/lauf.h"
#include "modell/einstellung.h"
#include "modell/empfaengerliste.h"
#include "systemfehler/ablage.h"
#include "systemfehler/dateiname.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <termios.h>
#include <unistd.h>

namespace cli {
namespace {

// A list of devices is small; a larger file is not read into memory.
constexpr qint64 kHoechsteListe = 1 << 20;

const QString kGeschrieben = QStringLiteral("geschrieben");

// One device of the series.
struct Geraet {
    int zeile = 0;          // its line in the CSV file
    Dateiergebnis inhalt;   // the template with the row's values
    QString anlage;         // its installation name (as a backup names it)
    bool fremd = false;     // column "fremd": may go over another installation
};

// "ja"/"nein" and their kin; none for anything else.
std::optional<bool> jaNein(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty() || t == u"nein" || t == u"no" || t == u"false" || t == u"0")
        return false;
    if (t == u"ja" || t == u"yes" || t == u"true" || t == u"1")
        return true;
    return std::nullopt;
}

// Characters a file name cannot hold, as "_".
QString sicherName(const QString& text)
{
    QString s = text;
    for (QChar& c : s)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    return s;
}

class Serie final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        const Dateiladung vorlage = dateiLaden(m_t.aufruf.datei, false);
        if (!vorlage.fehler.isEmpty())
            return ende(m_t.konsole.dateifehler(m_t.aufruf.datei, vorlage.fehler));
        anpassungenNennen(m_t.konsole, vorlage.inhalt);
        const QFileInfo csv(m_t.aufruf.zweite);
        const QString basis = csv.absolutePath() + u'/' + csv.completeBaseName();
        m_journal = basis + QStringLiteral(".journal.csv");
        m_blaetter = basis + QStringLiteral("-blaetter");
        if (!geraeteLesen(vorlage.inhalt) || !journalLesen())
            return ende(Konfigurationsdatei);
        // A journal that cannot be written stops the series before a device
        // is written that a second run would then write again.
        if (QFile f(m_journal); !f.open(QIODevice::Append)) {
            m_t.konsole.hinweis(QStringLiteral("Journal %1: %2").arg(m_journal, f.errorString()));
            return ende(Ausgabe);
        }
        weiter();
    }

    bool unterbrechen() override
    {
        m_abbruch = true;
        if (!m_lauf)  // at the question, or between two devices
            return ende(Abgebrochen), true;
        m_lauf->unterbrechen();
        if (!m_anschluss->abbrechen())
            QTimer::singleShot(0, &m_kontext, [this] {
                if (m_lauf && !m_lauf->beendet() && !m_anschluss->laeuft())
                    m_lauf->beenden(Abgebrochen);
            });
        return true;
    }

private:
    // Why a header cannot name the columns of a series: it does not parse, a
    // column is named twice, or names neither a setting nor "fremd".
    static QString kopfFehler(const QStringList& kopf)
    {
        if (kopf.isEmpty())
            return QStringLiteral("Kopfzeile nicht lesbar");
        for (qsizetype k = 0; k < kopf.size(); ++k) {
            if (kopf.indexOf(kopf[k]) != k)
                return QStringLiteral("Spalte „%1“ doppelt").arg(kopf[k]);
            if (kopf[k] != u"fremd" && (kopf[k].contains(u'=') || !Einstellung::setzbar(kopf[k])))
                return QStringLiteral("Spalte „%1“: Keine solche Einstellung").arg(kopf[k]);
        }
        return {};
    }

    // Every row applied to the template; each refusal named by row, key and
    // reason. False when one was refused or the list cannot be read.
    bool geraeteLesen(const Dateiergebnis& vorlage)
    {
        const ablage::Inhalt d = ablage::einlesen(m_t.aufruf.zweite, kHoechsteListe);
        if (!d) {
            m_t.konsole.hinweis(m_t.aufruf.zweite + QStringLiteral(": ") + d.fehler);
            return false;
        }
        const QStringList zeilen = QString::fromUtf8(d.bytes).split(u'\n');
        QStringList kopf, fehler;
        QChar trenner;
        for (qsizetype i = 0; i < zeilen.size(); ++i) {
            const QString zeile = zeilen[i].endsWith(u'\r') ? zeilen[i].chopped(1) : zeilen[i];
            if (zeile.trimmed().isEmpty())
                continue;
            const QString wo = QStringLiteral("%1, Zeile %2").arg(m_t.aufruf.zweite).arg(i + 1);
            if (kopf.isEmpty()) {
                trenner = zeile.contains(u';') ? u';' : u',';
                kopf = empfaengerliste::felder(zeile, trenner).value_or(QStringList());
                if (const QString f = kopfFehler(kopf); !f.isEmpty()) {
                    fehler.append(wo + QStringLiteral(": ") + f);
                    break;
                }
                continue;
            }
            const auto felder = empfaengerliste::felder(zeile, trenner);
            if (!felder || felder->size() != kopf.size()) {
                fehler.append(wo + QStringLiteral(": %1 Felder, die Kopfzeile hat %2")
                                       .arg(felder ? felder->size() : 0).arg(kopf.size()));
                continue;
            }
            Geraet g{int(i + 1), vorlage, {}, false};
            QStringList zuweisungen;
            for (qsizetype k = 0; k < kopf.size(); ++k) {
                if (kopf[k] == u"fremd") {
                    const auto ja = jaNein(felder->at(k));
                    if (!ja)
                        fehler.append(wo + QStringLiteral(", fremd: ja oder nein"));
                    g.fremd = ja.value_or(false);
                } else if (!felder->at(k).isEmpty()) {  // empty: the template's value
                    zuweisungen.append(kopf[k] + u'=' + felder->at(k));
                }
            }
            for (const QString& f : zuweisungenAnwenden(zuweisungen, g.inhalt))
                fehler.append(wo + QStringLiteral(", ") + f);
            g.anlage = sicherung::listenname(g.inhalt.image);
            m_geraete.append(g);
        }
        if (m_geraete.isEmpty() && fehler.isEmpty())
            fehler.append(m_t.aufruf.zweite + QStringLiteral(": keine Geräte (eine Kopfzeile, dann je Gerät eine Zeile)"));
        for (const QString& f : fehler)
            m_t.konsole.hinweis(f);
        if (!fehler.isEmpty())
            m_t.konsole.hinweis(QStringLiteral("Serie nicht begonnen: kein Gerät beschrieben"));
        return fehler.isEmpty();
    }

    // The rows an earlier run wrote, by the journal. A last line without its
    // end (a run that died while writing it) is left out and closed.
    bool journalLesen()
    {
        if (!QFileInfo::exists(m_journal))
            return true;
        const ablage::Inhalt d = ablage::einlesen(m_journal, kHoechsteListe * 16);
        if (!d) {
            m_t.konsole.hinweis(m_journal + QStringLiteral(": ") + d.fehler);
            return false;
        }
        QStringList zeilen = QString::fromUtf8(d.bytes).split(u'\n');
        m_offen = !d.bytes.isEmpty() && !d.bytes.endsWith('\n');
        if (m_offen)
            m_t.konsole.hinweis(QStringLiteral("%1: letzte Zeile unvollständig, nicht gezählt").arg(m_journal));
        zeilen.removeLast();  // after the last end of line: empty, or the broken line
        for (const QString& z : zeilen) {
            const QStringList f = empfaengerliste::felder(z, u';').value_or(QStringList());
            if (f.size() == 6 && f[3] == kGeschrieben)
                m_erledigt.insert(f[1].toInt(), f[2]);
        }
        return true;
    }

    // The next row not yet written, or the end of the series.
    void weiter()
    {
        // A row counts as done when the journal has its line written with its
        // installation: a row put in above it since moves the lines.
        while (m_naechstes < m_geraete.size() && m_erledigt.contains(m_geraete[m_naechstes].zeile)) {
            const Geraet& g = m_geraete[m_naechstes];
            const QString dort = m_erledigt.value(g.zeile);
            if (dort != g.anlage) {
                m_t.konsole.hinweis(QStringLiteral("Journal: Zeile %1 war »%2«, jetzt »%3«: wird gefragt")
                                        .arg(g.zeile).arg(dort, g.anlage));
                break;
            }
            ++m_naechstes;
            m_t.konsole.information(QStringLiteral("Gerät %1 von %2: »%3« schon geschrieben (Journal)")
                                        .arg(m_naechstes).arg(m_geraete.size()).arg(g.anlage));
        }
        if (m_naechstes >= m_geraete.size())
            return ende(m_status);
        fragen();
    }

    void fragen()
    {
        const Geraet& g = m_geraete[m_naechstes];
        const QString frage = QStringLiteral("Gerät %1 von %2: »%3« anschließen, Enter – s überspringt, q beendet")
                                  .arg(m_naechstes + 1).arg(m_geraete.size()).arg(g.anlage);
        const bool terminal = ::isatty(STDIN_FILENO) == 1;
        // At a terminal only what is typed after the question answers it: an
        // Enter pressed while the last device was written must not write the
        // next row onto the device still connected.
        if (terminal) {
            ::tcflush(STDIN_FILENO, TCIFLUSH);
            m_antwort.clear();
        }
        m_t.konsole.frage(frage, terminal);
        if (m_antwort.contains('\n'))  // read ahead with an answer before
            return QTimer::singleShot(0, &m_kontext, [this] { antworten(); });
        m_eingabe = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(m_eingabe.get(), &QSocketNotifier::activated, &m_kontext, [this] { lesen(); });
    }

    // Standard input up to an end of line; its end is "q".
    void lesen()
    {
        char puffer[256];
        const ssize_t n = ::read(STDIN_FILENO, puffer, sizeof puffer);
        if (n < 0 && errno == EINTR)
            return;
        if (n > 0)
            m_antwort += QByteArray(puffer, int(n));
        else
            m_eingabeZuEnde = true;
        if (n > 0 && !m_antwort.contains('\n'))
            return;
        m_eingabe.reset();
        antworten();
    }

    // The answer, the first line read and not yet taken.
    void antworten()
    {
        const qsizetype ende_ = m_antwort.indexOf('\n');
        const QString antwort = QString::fromUtf8(m_antwort.left(ende_)).trimmed().toLower();
        m_antwort.remove(0, ende_ < 0 ? m_antwort.size() : ende_ + 1);
        if ((ende_ < 0 && m_eingabeZuEnde) || antwort == u"q") {
            m_t.konsole.information(ende_ < 0 ? QStringLiteral("Eingabe zu Ende: Serie beendet")
                                              : QStringLiteral("Serie beendet"));
            return ende(m_status);
        }
        if (antwort == u"s") {
            if (!journalSchreiben(m_geraete[m_naechstes], QStringLiteral("übersprungen"), {}, {}))
                return ende(Ausgabe);
            ++m_naechstes;
            return weiter();
        }
        // Only Enter (or "j") writes: any other answer is asked again.
        if (!antwort.isEmpty() && antwort != u"j") {
            m_t.konsole.hinweis(QStringLiteral("Antwort „%1“ nicht verstanden: Enter schreibt, s überspringt, q beendet")
                                    .arg(antwort));
            return fragen();
        }
        schreiben();
    }

    // The device written by the write command, on a link and a run of its own.
    void schreiben()
    {
        const Geraet& g = m_geraete[m_naechstes];
        m_lauf = std::make_unique<Lauf>([this](int status) {
            // The write is still on the stack: its link goes once it has returned.
            QTimer::singleShot(0, &m_kontext, [this, status] { geschrieben(status); });
        });
        m_anschluss = std::make_unique<Anschluss>(m_t.aufruf, m_t.konsole, *m_lauf, nullptr);
        const Teile t{m_t.aufruf, *m_lauf, m_t.konsole, m_t.datei, *m_anschluss, m_t.portwurzeln};
        Schreibquelle quelle;
        quelle.inhalt = g.inhalt;
        quelle.fremdErlaubt = g.fremd;
        m_schreiben = auftragWrite(t, std::move(quelle));
        m_schreiben->starten();
    }

    void geschrieben(int status)
    {
        const Geraet& g = m_geraete[m_naechstes];
        const QString sicherung = m_anschluss->sicherungspfad();
        m_schreiben.reset();
        m_anschluss.reset();
        m_lauf.reset();
        QString blatt, ergebnis = kGeschrieben;
        if (status == Erfolg)
            blatt = blattSchreiben(g);
        else if (status == FremdeAnlage)
            ergebnis = QStringLiteral("fremde Anlage");
        else
            ergebnis = status == Abgebrochen ? QStringLiteral("abgebrochen")
                                             : QStringLiteral("Fehler %1").arg(status);
        if (status == FremdeAnlage)
            m_t.konsole.hinweis(QStringLiteral("Zeile %1 übersprungen (fremd=ja in der Zeile schreibt trotzdem)")
                                    .arg(g.zeile));
        if (m_status == Erfolg && status != Erfolg)
            m_status = status;
        if (!journalSchreiben(g, ergebnis, sicherung, blatt))
            return ende(Ausgabe);
        ++m_naechstes;
        if (m_abbruch)
            return ende(Abgebrochen);
        weiter();
    }

    // The sheet as `gsmbv show --pdf` makes it; its path, or empty (said).
    QString blattSchreiben(const Geraet& g)
    {
        const QString pfad = QStringLiteral("%1/%2_%3.pdf").arg(m_blaetter).arg(g.zeile).arg(sicherName(g.anlage));
        const blatt::Kopf kopf{g.inhalt.werte.anlagenbezeichnung, QDate::currentDate(),
                               QStringLiteral("Gerät an %1, geschrieben").arg(m_t.aufruf.port)};
        QBuffer puffer;
        puffer.open(QIODevice::WriteOnly);
        QString fehler = ablage::ordnerAnlegen(m_blaetter);
        if (fehler.isEmpty() && !blatt::pdf(puffer, kopf, blatt::einstellungen(g.inhalt.image, g.inhalt.werte)))
            fehler = QStringLiteral("das Blatt lässt sich nicht zeichnen");
        if (fehler.isEmpty())
            fehler = ablage::dateiErsetzen(pfad, puffer.data());
        if (fehler.isEmpty())
            return pfad;
        m_t.konsole.hinweis(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(pfad, fehler));
        if (m_status == Erfolg)
            m_status = Ausgabe;
        return {};
    }

    // One line, flushed to the disk before the series goes on.
    bool journalSchreiben(const Geraet& g, const QString& ergebnis, const QString& sicherung, const QString& blatt)
    {
        QByteArray zeile;
        QFile f(m_journal);
        if (!f.open(QIODevice::Append)) {
            m_t.konsole.hinweis(QStringLiteral("Journal %1: %2").arg(m_journal, f.errorString()));
            return false;
        }
        if (f.size() == 0)
            zeile += "Zeit;Zeile;Anlage;Ergebnis;Sicherung;Blatt\n";
        if (m_offen)  // the broken line of a run that died stays a line of its own
            zeile += '\n';
        zeile += QStringList{QDateTime::currentDateTime().toString(Qt::ISODate), QString::number(g.zeile),
                             empfaengerliste::feldSchreiben(g.anlage), ergebnis,
                             empfaengerliste::feldSchreiben(sicherung), empfaengerliste::feldSchreiben(blatt)}
                     .join(u';')
                     .toUtf8()
                 + '\n';
        const bool ok = f.write(zeile) == zeile.size() && f.flush() && ::fsync(f.handle()) == 0;
        if (!ok)
            m_t.konsole.hinweis(QStringLiteral("Journal %1: %2").arg(m_journal, f.errorString()));
        m_offen = false;
        return ok;
    }

    QObject m_kontext;  // the events of standard input and the deferred steps
    QList<Geraet> m_geraete;
    QHash<int, QString> m_erledigt;  // CSV lines an earlier run wrote, with their installation
    qsizetype m_naechstes = 0;
    QString m_journal, m_blaetter;
    bool m_offen = false;    // the journal's last line has no end
    bool m_abbruch = false;  // Ctrl+C came
    int m_status = Erfolg;   // the first device's failure
    std::unique_ptr<QSocketNotifier> m_eingabe;
    QByteArray m_antwort;          // standard input read and not yet taken
    bool m_eingabeZuEnde = false;
    std::unique_ptr<Lauf> m_lauf;          // the device's run,
    std::unique_ptr<Anschluss> m_anschluss;  // link
    std::unique_ptr<Auftrag> m_schreiben;  // and write
};

} // namespace

std::unique_ptr<Auftrag> auftragSerie(const Teile& t)
{
    return std::make_unique<Serie>(t);
}

} // namespace cli
