// gsmbv write: a configuration file into the device, in three operations:
// the backup read of what the device held, the write, and the read back
// that checks every page written. A write that breaks off is read back as
// well, to say what each page now holds.
#include "backup/sicherung.h"
#include "cfgfile/cfgdatei.h"
#include "cli/anschluss.h"
#include "cli/auftrag.h"
#include "cli/konsole.h"
#include "cli/lauf.h"
#include "cli/seiten.h"
#include "linktext/linktext.h"

namespace cli {
namespace {

class Schreiben final : public Auftrag {
public:
    Schreiben(const Teile& t, Schreibquelle quelle) : Auftrag(t), m_quelle(std::move(quelle)) {}

    void starten() override
    {
        if (m_quelle.inhalt) {
            m_datei = *m_quelle.inhalt;
        } else if (!m_quelle.waehlen) {
            const Dateiladung datei = dateiLaden(m_t.aufruf.datei, m_t.aufruf.erzwingen);
            if (!datei.fehler.isEmpty())
                return ende(m_t.konsole.dateifehler(m_t.aufruf.datei, datei.fehler));
            anpassungenNennen(m_t.konsole, datei.inhalt);
            // --strict: nothing reaches the device that is not as the file has it.
            if (const qsizetype n = datei.inhalt.anpassungen.size(); n > 0 && m_t.aufruf.streng)
                return ende(m_t.konsole.dateifehler(
                    m_t.aufruf.datei, QStringLiteral("mit --strict abgewiesen: %1 angepasst")
                                          .arg(n == 1 ? QStringLiteral("1 Einstellung")
                                                      : QStringLiteral("%1 Einstellungen").arg(n))));
            m_datei = datei.inhalt;
            // --set: the values go into the loaded file before anything is sent.
            if (!m_t.aufruf.zuweisungen.isEmpty() && !werteSetzen(m_t.aufruf, m_t.konsole, m_datei)) {
                m_t.konsole.hinweis(QStringLiteral("Gerät nicht beschrieben"));
                return ende(Konfigurationsdatei);
            }
        }
        if (!m_t.anschluss.verbinden(QStringLiteral("Gerät nicht beschrieben")))
            return;
        // The guard and --dry-run need the device's configuration even with --no-backup.
        if (m_t.aufruf.sichern || waechter() || m_t.aufruf.probe)
            return sicherungLesen();
        schreiben();
    }

private:
    // Whether the guard against another installation's device is on.
    bool waechter() const { return !m_quelle.fremdErlaubt && !m_t.aufruf.fremd; }

    // The device's configuration before it is overwritten, read as `read`
    // reads it and kept as a backup (not with --no-backup). A read that fails
    // stops the command before anything is written.
    void sicherungLesen()
    {
        if (m_t.aufruf.sichern)
            m_t.konsole.setLesetext(QStringLiteral("sichere Konfigurationsdaten ..."));
        m_t.anschluss.verbindung().konfigurationLesen(
            [this, dekoder = m_t.anschluss.bildDekoder(m_bild)](const QByteArray& bytes) {
                m_vorher = bytes;
                return dekoder(bytes);
            },
            m_t.anschluss.bericht(Auswirkung::NichtBeschrieben, [this] { gelesen(); }),
            [this] { Grundeinstellung(m_bild); });
    }

    // The device read: the backup (as a plain read when nothing will be
    // written), the guard, then the write.
    void gelesen()
    {
        if (m_quelle.waehlen && !m_quelle.inhalt) {
            const auto gewaehlt = m_quelle.waehlen(m_bild);
            if (!gewaehlt)
                return;
            m_datei = *gewaehlt;
        }
        const QString fremd = waechter() ? fremdeAnlage(m_bild, m_datei.image) : QString();
        const bool schreibt = fremd.isEmpty() && !m_t.aufruf.probe;
        if (m_t.aufruf.sichern)
            m_t.anschluss.sichern(m_bild, schreibt ? std::optional(sicherung::listenname(m_datei.image))
                                                   : std::nullopt);
        m_t.konsole.zwischenstand();
        if (!fremd.isEmpty()) {
            m_t.konsole.meldung(fremd, QStringLiteral("GSM-Boravilon"));
            m_t.konsole.hinweis(m_t.aufruf.befehl == Befehl::Serie
                                    ? QStringLiteral("Gerät nicht beschrieben")
                                    : QStringLiteral("Gerät nicht beschrieben (--force-name schreibt trotzdem)"));
            return ende(FremdeAnlage);
        }
        if (m_t.aufruf.probe)
            return vorschau();
        if (m_t.anschluss.portOeffnen(KeineVerbindung, QStringLiteral("Gerät nicht beschrieben")))
            schreiben();
    }

    // --dry-run: the settings the write would change, the device's as read
    // (as `read` saves them) against the file's after the rules; nothing written.
    void vorschau()
    {
        const Unterschiede u = unterschiede(cfgLesen(cfgSchreiben(m_bild)), m_datei);
        if (!m_t.konsole.ergebnis(u.text))
            return ende(Ausgabe);
        m_t.konsole.information(
            u.anzahl == 0 ? QStringLiteral("Gerät nicht beschrieben (--dry-run): keine Einstellung würde sich ändern")
                          : QStringLiteral("Gerät nicht beschrieben (--dry-run): %1")
                                .arg(u.anzahl == 1 ? QStringLiteral("1 Einstellung würde sich ändern")
                                                   : QStringLiteral("%1 Einstellungen würden sich ändern").arg(u.anzahl)));
        ende(Erfolg);
    }

    void schreiben()
    {
        m_t.anschluss.verbindung().konfigurationSchreiben(
            m_datei.image, m_datei.flags,
            m_t.anschluss.bericht(
                Auswirkung::TeilweiseBeschrieben,
                [this] {
                    if (!m_t.aufruf.pruefen) {
                        m_t.konsole.abschluss(
                            QStringLiteral("Konfiguration geschrieben: %1 Seiten").arg(seiten().size()));
                        return ende(Erfolg);
                    }
                    m_t.konsole.zwischenstand();
                    if (m_t.anschluss.portOeffnen(Uebertragungsfehler, linktext::nichtGeprueft()))
                        zuruecklesen();
                },
                [this](const Bericht& b) { nachlesen(b); }));
    }

    // The write broke off after a page character went out. On a new
    // connection (the device leaves a write when the line is closed and
    // opened again) a normal read shows what each page now holds, against the
    // file and the backup. A read that fails leaves only what the echoes
    // told. The run ends with the write's status, or Abgebrochen once Ctrl+C
    // came (another Ctrl+C ends the read as the first ended the write).
    void nachlesen(const Bericht& b)
    {
        m_ungeprueft = b.ungeprueft;
        m_status = b.status;
        Verbindung& v = m_t.anschluss.verbindung();
        if (!v.portOeffnen())
            return nichtNachgelesen(v.oeffnenFehlerText());
        m_t.konsole.setLesetext(QStringLiteral("prüfe Konfigurationsdaten ..."));
        v.konfigurationLesen(
            [this](const QByteArray& bytes) {
                m_zurueck = bytes;
                return true;
            },
            [this](const Vorgangsbericht& r) {
                if (m_t.lauf.beendet())
                    return;
                if (r.ausgang != Ausgang::Erfolg)
                    return nichtNachgelesen(linktext::detail(r));
                m_t.konsole.zwischenstand();
                if (m_t.lauf.unterbrochen())
                    m_t.konsole.abgebrochen();
                m_t.konsole.hinweis(haeltText(m_datei.image, m_datei.flags, m_vorher, m_zurueck));
                ende(m_t.lauf.unterbrochen() ? Abgebrochen : m_status);
            });
    }

    void nichtNachgelesen(const QString& grund)
    {
        if (m_t.lauf.unterbrochen())
            m_t.konsole.abgebrochen();
        m_t.konsole.hinweis(QStringLiteral("nicht zurückgelesen: ") + grund);
        m_t.konsole.hinweis(m_ungeprueft);
        ende(m_t.lauf.unterbrochen() ? Abgebrochen : m_status);
    }

    // A normal configuration read; its bytes are compared with what was
    // sent, page by page. A read that fails leaves the write unchecked: a failure.
    void zuruecklesen()
    {
        m_t.konsole.setLesetext(QStringLiteral("prüfe Konfigurationsdaten ..."));
        m_t.anschluss.verbindung().konfigurationLesen(
            [this](const QByteArray& bytes) {
                m_zurueck = bytes;
                return true;
            },
            m_t.anschluss.bericht(Auswirkung::NichtGeprueft, [this] { pruefen(); }));
    }

    void pruefen()
    {
        const Abweichung a = abweichungSuchen(m_datei.image, m_datei.flags, m_zurueck);
        if (!a.seiten.isEmpty()) {
            m_t.konsole.zwischenstand();
            m_t.konsole.meldung(pruefText(a), linktext::titel());
            m_t.konsole.hinweis(ersteAbweichungText(a));
            return ende(Uebertragungsfehler);
        }
        const QList<int> geprueft = seiten();
        m_t.konsole.schritt(QStringLiteral("zurückgelesen: %1 wie gesendet").arg(linktext::seitenMitNomen(geprueft)));
        m_t.konsole.abschluss(QStringLiteral("Konfiguration geschrieben und geprüft: %1 Seiten").arg(geprueft.size()));
        ende(Erfolg);
    }

    // The flagged pages of the device, ascending.
    QList<int> seiten() const
    {
        QList<int> s;
        for (int p = 0; p < kGeraeteSeiten; ++p)
            if (m_datei.flags[std::size_t(p)])
                s.append(p);
        return s;
    }

    Schreibquelle m_quelle;  // restore: the backup's memory instead of a file
    Dateiergebnis m_datei;   // the configuration file
    Konfigspeicher m_bild;   // the backup read's image
    QByteArray m_vorher;     // the backup read's bytes; empty: no backup read
    QByteArray m_zurueck;    // the device's bytes read back
    QString m_ungeprueft;    // a write that broke off: what its echoes confirmed,
    int m_status = 0;        // and the exit status it ends the run with
};

} // namespace

QString fremdeAnlage(const Konfigspeicher& geraet, const Konfigspeicher& inhalt)
{
    const QString ohne = sicherung::ohneBezeichnung();
    const QString hat = sicherung::listenname(geraet), soll = sicherung::listenname(inhalt);
    if (hat == ohne || hat == soll)
        return {};
    return QStringLiteral("Gerät enthält »%1«, ").arg(hat)
        + (soll == ohne ? QStringLiteral("Datei ist ohne Anlagenbezeichnung")
                        : QStringLiteral("Datei ist für »%1«").arg(soll));
}

std::unique_ptr<Auftrag> auftragWrite(const Teile& t, Schreibquelle quelle)
{
    return std::make_unique<Schreiben>(t, std::move(quelle));
}

} // namespace cli
