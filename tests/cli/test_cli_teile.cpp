// The parts of gsmbv that need no device: the command line, the port names,
// the door, and the tool's reports when the port
// refuses to open or a clock byte cannot be written.
#include "cli/aufruf.h"
#include "cli/clidoor.h"
#include "cli/fortschrittszeile.h"
#include "cli/werkzeug.h"
#include "link/transport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <utility>

Q_DECLARE_METATYPE(Door::Knoepfe)
Q_DECLARE_METATYPE(Door::Antwort)

using namespace cli;

namespace {

// Everything written to a temporary FILE*.
QByteArray inhalt(std::FILE* f)
{
    std::fflush(f);
    QFile d;
    return d.open(::fileno(f), QIODevice::ReadOnly) && d.seek(0) ? d.readAll() : QByteArray("<nicht lesbar>");
}

struct Datei {
    std::FILE* f = std::tmpfile();
    ~Datei() { std::fclose(f); }
};

// A port that answers from a script: ACK on opening, `antwort` on the first
// byte written, and that refuses to open or refuses writes from the n-th on.
class Skriptport : public Transport {
public:
    int schreibenBis = 0;  // writes from this one on fail; -1: opening fails for want of permission
    QByteArray antwort;
    QByteArray geschrieben;
    std::function<void(int n)> beimSchliessen;  // the open port is closed for the n-th time

    bool oeffnen(const QString&) override
    {
        m_offen = schreibenBis >= 0;
        if (m_offen)
            antworten(QByteArray(1, char(0x06)));
        return m_offen;
    }

    void schliessen() override
    {
        if (std::exchange(m_offen, false) && beimSchliessen)
            beimSchliessen(++m_schliessungen);
    }
    bool istOffen() const override { return m_offen; }
    bool schreiben(const QByteArray& b) override
    {
        if (!m_offen || m_schreibvorgaenge++ >= schreibenBis)
            return false;
        if (geschrieben.isEmpty())
            antworten(antwort);
        geschrieben += b;
        return true;
    }
    qint64 wartend() const override { return m_eingang.size(); }
    QByteArray lesen(qint64 n) override
    {
        const QByteArray b = m_eingang.left(n);
        m_eingang.remove(0, b.size());
        return b;
    }
    QString letzterFehler() const override { return schreibenBis < 0 ? QStringLiteral("Permission denied") : QString(); }
    Portursache ursache() const override
    {
        Portursache u;
        if (schreibenBis < 0) {
            u.art = Portursache::Art::KeineBerechtigung;
            u.gruppe = QStringLiteral("dialout");
        }
        return u;
    }

private:
    void antworten(const QByteArray& b)
    {
        m_eingang += b;
        QMetaObject::invokeMethod(this, [this] { emit datenDa(); }, Qt::QueuedConnection);
    }
    bool m_offen = false;
    int m_schreibvorgaenge = 0;
    int m_schliessungen = 0;
    QByteArray m_eingang;
};

} // namespace

class TestCliTeile : public QObject {
    Q_OBJECT
private slots:
    // The command line, one row: the arguments (and GSMBV_PORT) -> what was
    // understood, or the reason the arguments are wrong ("! ...").
    void aufruf_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<QString>("umgebung");  // GSMBV_PORT
        QTest::addColumn<QString>("erwartet");
        const auto zeile = [](const char* name, QStringList a, const char* erwartet, const char* umgebung = "") {
            QTest::newRow(name) << a << QString::fromUtf8(umgebung) << QString::fromUtf8(erwartet);
        };
        zeile("= forms, any order", {"read", "--output=b c.cfg", "--timeout=2.5", "--port=/dev/ttyUSB0"}, "read p=/dev/ttyUSB0 o=b c.cfg t=2500");
        zeile("log, shortest timeout", {"log", "--port", "/dev/pts/3", "--timeout", "0.001"}, "log p=/dev/pts/3 t=1");
        zeile("clock --set, longest timeout", {"clock", "--set", "--port", "COM3", "--timeout", "86400"}, "clock p=COM3 t=86400000 set");
        zeile("values attached, -o -", {"log", "-p/dev/ttyUSB0", "-o-", "-t0.5"}, "log p=/dev/ttyUSB0 o=- t=500");
        zeile("write, every option", {"write", "--force", "--no-verify", "--no-backup", "-q", "--transcript", "m.txt", "--force-name", "--dry-run", "-p", "COM1", "f.cfg"},
              "write p=COM1 f.cfg force no-verify no-backup force-name dry-run -q m=m.txt");
        zeile("diff -p, two files", {"diff", "-p", "COM1", "a.cfg", "b.cfg"}, "! diff --port vergleicht das Gerät mit einer Konfigurationsdatei");
        zeile("restore two", {"restore", "-p", "COM1", "a.cfg", "b.cfg"}, "! restore nimmt höchstens eine Sicherung");
        zeile("--port wins", {"clock", "-p", "COM3"}, "clock p=COM3", "COM2");
        zeile("show takes no GSMBV_PORT", {"show", "a.cfg"}, "show a.cfg", "COM1");
        zeile("GSMBV_PORT not a port", {"log"}, "! GSMBV_PORT: \"COM9\" ist kein Port: COM1 bis COM4 oder ein Gerätepfad", "COM9");
        zeile("unknown command", {"lesen"}, "! unbekannter Befehl \"lesen\"");
        zeile("option first", {"--port", "COM1", "read"}, "! zuerst den Befehl angeben, dann \"--port\"");
        zeile("read without port", {"read", "--output", "a.cfg"}, "! read braucht --port (oder GSMBV_PORT)");
        zeile("-p and --port", {"clock", "-p", "COM1", "--port", "COM2"}, "! --port ist mehrfach angegeben");
        const char* frist = "! --timeout braucht Sekunden größer als 0 und bis 86400, z. B. 5 oder 0.5";
        zeile("timeout 0.0001", {"log", "-p", "COM1", "--timeout", "0.0001"}, frist);
        zeile("timeout comma", {"log", "-p", "COM1", "--timeout", "0,5"}, frist);
        zeile("read without output", {"read", "-p", "COM1"}, "! read braucht --output");
        zeile("diff, one file", {"diff", "a"}, "! diff braucht zwei Konfigurationsdateien, oder --port und eine");
        zeile("set without values", {"set", "a.cfg", "-o", "b.cfg"}, "! set braucht Werte: SCHLÜSSEL=WERT, --from oder --empfaenger");
        zeile("restore --no-backup, none named", {"restore", "-p", "COM1", "--no-backup"},
              "! restore ohne SICHERUNG liest das Gerät zuerst: --no-backup nur mit SICHERUNG");
        zeile("write two files", {"write", "-p", "COM1", "a.cfg", "b.cfg"}, "! write nimmt genau eine Konfigurationsdatei");
        zeile("pdf without name", {"show", "f.cfg", "--pdf"}, "! --pdf braucht einen Dateinamen");
        zeile("unknown short option", {"log", "-p", "COM1", "-x"}, "! -x gibt es bei log nicht");
        // Values by key: after the file (set) or with --set (write); lists from CSV (set), one list as CSV (show).
        zeile("set", {"set", "a.cfg", "x.y=1", "--empfaenger", "lines[0].recipients=l.csv", "-o", "n.cfg", "name=", "--from", "w.json", "--empfaenger=analog.recipients=a=b.csv"},
              "set o=n.cfg a.cfg from=w.json listen=lines[0].recipients=l.csv|analog.recipients=a=b.csv werte=x.y=1|name=");
        zeile("write --set twice", {"write", "-p", "COM1", "--set", "a=1", "f.cfg", "--set=b=c=d"}, "write p=COM1 f.cfg werte=a=1|b=c=d");
        zeile("show --empfaenger", {"show", "--empfaenger", "mains_failure.recipients", "f.cfg"}, "show f.cfg liste=mains_failure.recipients");
        zeile("set, no assignment", {"set", "a.cfg", "b.cfg"}, "! set: \"b.cfg\" ist keine Zuweisung SCHLÜSSEL=WERT");
        zeile("show --empfaenger, no list", {"show", "--empfaenger", "lines[8].recipients", "f.cfg"}, "! \"lines[8].recipients\" ist keine Empfängerliste: "
              "lines[0].recipients bis lines[7].recipients, mains_failure.recipients oder analog.recipients");
    }

    void aufruf()
    {
        QFETCH(QStringList, argumente);
        QFETCH(QString, umgebung);
        const Aufruf a = aufrufLesen(argumente, umgebung);
        QStringList t{a.befehl == Befehl::Keiner ? QString() : befehlsname(a.befehl)};
        const std::pair<bool, QString> teile[] = {
            {a.hilfe, "help"}, {!a.port.isEmpty(), "p=" + a.port}, {!a.ausgabe.isEmpty(), "o=" + a.ausgabe},
            {a.frist.has_value(), QStringLiteral("t=%1").arg(a.frist ? a.frist->count() : 0)}, {!a.datei.isEmpty(), a.datei},
            {!a.zweite.isEmpty(), a.zweite}, {a.stellen, "set"}, {a.json, "json"}, {a.erzwingen, "force"},
            {!a.pruefen, "no-verify"}, {!a.sichern, "no-backup"}, {a.fremd, "force-name"}, {a.probe, "dry-run"},
            {a.umfang == Aufruf::Umfang::Ausfuehrlich, "-v"}, {a.umfang == Aufruf::Umfang::Leise, "-q"},
            {!a.mitschrift.isEmpty(), "m=" + a.mitschrift}, {!a.werteDatei.isEmpty(), "from=" + a.werteDatei},
            {!a.listen.isEmpty(), "listen=" + a.listen.join('|')}, {!a.liste.isEmpty(), "liste=" + a.liste},
            {!a.zuweisungen.isEmpty(), "werte=" + a.zuweisungen.join('|')}};
        for (const auto& [ja, text] : teile)
            if (ja)
                t << text;
        QTEST(a.fehler.isEmpty() ? t.join(' ') : "! " + a.fehler, "erwartet");
    }

    // A port name -> its COM number or its path; "!": no port.
    void port_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("erwartet");
        for (auto [port, erwartet] : {std::pair{"COM1", "com=1"}, {"com4", "com=4"}, {"COM5", "!"}, {"COM0", "!"},
                                      {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"ttyS0", "ttyS0"}})
            QTest::newRow(port) << QString(port) << QString(erwartet);
    }

    void port()
    {
        QFETCH(QString, port);
        const auto p = portLesen(port);
        QString bild = !p ? QStringLiteral("!") : p->pfad;
        if (p && p->com)
            bild = QStringLiteral("com=%1%2").arg(p->com).arg(p->pfad);  // a path beside the number is a fault
        QTEST(bild, "erwartet");
    }

    // The progress line keeps its last column free: the bar goes first when the columns are few,
    // then the text is cut, then the count.
    void fortschritt()
    {
        const QString t = QStringLiteral("lese Konfigurationsdaten ...");
        QCOMPARE((QStringList{Fortschrittszeile::zeile(t, 3328, 1000, 50), Fortschrittszeile::zeile(t, 3328, 1000, 30),
                              Fortschrittszeile::zeile(t, 3328, 1000, 8), Fortschrittszeile::countdown(t, 5, 12)}),
                 (QStringList{"lese Konfigurationsdaten ... [##......] 1000/3328", "lese Konfigurations 1000/3328",
                              "1000/33", "lese Konfig"}));
    }

    // The door of a program without widgets that installed none: each message on
    // standard error, answered with the choice that changes nothing.
    void standardtuer_data()
    {
        QTest::addColumn<Door::Knoepfe>("knoepfe");
        QTest::addColumn<Door::Antwort>("antwort");
        QTest::newRow("OK/Abbrechen") << Door::Knoepfe::OkAbbrechen << Door::Antwort::Abbrechen;
        QTest::newRow("Ja/Nein") << Door::Knoepfe::JaNein << Door::Antwort::Nein;
    }

    void standardtuer()
    {
        QFETCH(Door::Knoepfe, knoepfe);
        QFETCH(Door::Antwort, antwort);
        Datei fehler;
        std::fflush(stderr);
        const int vorher = ::dup(STDERR_FILENO);
        QVERIFY(::dup2(::fileno(fehler.f), STDERR_FILENO) >= 0);
        Door& tuer = Door::aktuell();
        const Door::Antwort a = tuer.meldung(QStringLiteral("Verbindung nicht möglich"), Door::Icon::Kritisch, knoepfe);
        std::fflush(stderr);
        ::dup2(vorher, STDERR_FILENO);
        ::close(vorher);
        QCOMPARE(a, antwort);
        QCOMPARE(inhalt(fehler.f), QByteArray("Verbindung nicht m\xC3\xB6glich\n"));
        QVERIFY(tuer.dateiOeffnen({}).isEmpty() && !tuer.starten(QStringLiteral("true"), {}) && !tuer.anzeigen(QStringLiteral("/tmp")));
    }

    // The tool's own reports, one row: the arguments, how the scripted port
    // behaves, at which closing of the port Ctrl+C comes (at an operation's end,
    // before its report arrives) -> exit status, standard output, standard error
    // and the bytes the port took. No run leaves a file or a backup behind.
    void werkzeug_data()
    {
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<int>("schreibenBis");  // -1: the port refuses to open
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<int>("strgC");  // 0: none
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("aus");
        QTest::addColumn<QString>("fehler");
        QTest::addColumn<QByteArray>("geschrieben");
        const auto z = [](const char* name, const QStringList& argumente, int schreibenBis, const QByteArray& antwort, int strgC, int status,
                          const QByteArray& aus, const QString& fehler, const QByteArray& geschrieben) {
            QTest::newRow(name) << argumente << schreibenBis << antwort << strgC << status << aus << fehler << geschrieben;
        };
        const QByteArray uhr("\x09\x05\x0E\x15\x06>");
        // Reported at once: nobody waits 30 s for a port that cannot be opened.
        z("no permission names the group", {"read", "-p", "/dev/ttyGSMBV9", "-o", "@/a.cfg", "-t", "30"}, -1, uhr, 0, KeineVerbindung, "",
          "Verbindung nicht möglich\ngsmbv: Keine Berechtigung für /dev/ttyGSMBV9 – Benutzer in die Gruppe dialout "
          "aufnehmen und neu anmelden\ngsmbv: sudo usermod -aG dialout $USER\n", "");
        // The port takes "t" and "s" but no clock byte: no success reported.
        z("clock byte not written", {"clock", "-p", "/dev/ttyGSMBV9", "--set", "-t", "2"}, 2, uhr, 0, Uebertragungsfehler,
          "14:05:09   21.06.\n", "Fehler bei Datenübertragung\ngsmbv: Uhrzeit-Byte 1 nicht gesendet\n", "ts");
        // Ctrl+C came before the failure's report: "abgebrochen" is all it says.
        z("clock set fails, Ctrl+C before the report", {"clock", "-p", "/dev/ttyGSMBV9", "--set", "-t", "2"}, 2, uhr, 2, Abgebrochen,
          "14:05:09   21.06.\n", "gsmbv: abgebrochen\n", "ts");
        // The operation has succeeded, but Ctrl+C ended the run before its report
        // came: no file, no backup, nothing more on standard output.
        z("read, Ctrl+C before the report", {"read", "-p", "/dev/ttyGSMBV9", "-o", "@/a.cfg"}, 99, "r" + QByteArray(3328, char(0xFF)), 1,
          Abgebrochen, "", "gsmbv: abgebrochen\n", "r");
        z("log, Ctrl+C before the report", {"log", "-p", "/dev/ttyGSMBV9", "-o", "@/LOG.TXT"}, 99, QByteArray(513, char(0xFF)), 1, Abgebrochen,
          "", "gsmbv: abgebrochen\n", "l");
    }

    void werkzeug()
    {
        QFETCH(QStringList, argumente);
        QFETCH(int, schreibenBis);
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));  // the backups
        argumente.replaceInStrings(QStringLiteral("@"), dir.path());
        QFETCH(QByteArray, antwort);
        auto port = std::make_unique<Skriptport>();
        Skriptport* p = port.get();
        std::tie(p->schreibenBis, p->antwort) = std::tie(schreibenBis, antwort);
        Datei aus, fehler;
        {
            CliDoor door(fehler.f);
            const Aufruf a = aufrufLesen(argumente);
            QCOMPARE(a.fehler, QString());
            Werkzeug w(a, door, std::move(port), aus.f, fehler.f);
            QFETCH(int, strgC);
            p->beimSchliessen = [&w, strgC](int n) {
                if (n == strgC)
                    QMetaObject::invokeMethod(&w, &Werkzeug::unterbrechen, Qt::QueuedConnection);
            };
            QSignalSpy ende(&w, &Werkzeug::beendet);
            w.starten();
            QVERIFY(!ende.isEmpty() || ende.wait(5000));
            QCoreApplication::processEvents();  // a report still on its way
            QTEST(ende.at(0).at(0).toInt(), "status");
            QTEST(p->geschrieben, "geschrieben");
            QVERIFY(!p->istOffen());
        }
        QTEST(inhalt(aus.f), "aus");
        QTEST(QString::fromUtf8(inhalt(fehler.f)), "fehler");
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCliTeile)
#include "test_cli_teile.moc"
