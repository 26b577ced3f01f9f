// The command line and the window read the same device into the same file:
// `gsmbv read` against the window's read followed by its save.
#include "ablaufhilfe.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace ablauf;

namespace {

QByteArray datei(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestAblaufCli : public QObject {
    Q_OBJECT
private slots:
    void gleicheDatei_data()
    {
        QTest::addColumn<QByteArray>("speicher");
        QTest::newRow("Standard") << simStandardSpeicher();
        QTest::newRow("unbeschrieben") << QByteArray(kGeraeteBytes, char(0xFF));
        QByteArray ohneKonto = simStandardSpeicher();
        ohneKonto[56] = 0;  // monitoring off: the read stores the emptied numbers back
        QTest::newRow("Guthaben 0 mit Nummern") << ohneKonto;
        QByteArray andere = simStandardSpeicher();
        andere.replace(256, 11, "07201234567");  // operator "Andere": monitoring cleared
        QTest::newRow("Betreiber Andere") << andere;
        QByteArray zeit = simStandardSpeicher();
        zeit[4] = char(0x08);
        zeit[5] = char(0x3A);
        QTest::newRow("Kontrollruf aus, Stunde 0x3A") << zeit;
        for (quint32 saat : {7u, 99u, 2024u}) {
            QByteArray zufall(kGeraeteBytes, '\0');
            QRandomGenerator g(saat);
            for (auto& c : zufall)
                c = char(g.bounded(256));
            QTest::newRow(qPrintable(QStringLiteral("zufällig %1").arg(saat))) << zufall;
        }
    }
    void gleicheDatei()
    {
        QFETCH(QByteArray, speicher);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString fensterDatei = dir.filePath(QStringLiteral("fenster.cfg"));
        const QString cliDatei = dir.filePath(QStringLiteral("gsmbv.cfg"));

        Stand f(simOptionen(speicher));
        const std::optional<Ausgang> a = f.ausfuehren("MNU_Lesen");
        QVERIFY(a);
        QVERIFY(f.ruhend());
        const bool gelesen = *a == Ausgang::Erfolg;
        if (gelesen) {
            f.door.dateinamen.enqueue(fensterDatei);
            f.k->MNU_Save_Click();
            QVERIFY(QFile::exists(fensterDatei));
        }

        QProcess p;
        p.setProgram(qEnvironmentVariable("GSMBV_BIN_DIR") + QStringLiteral("/gsmbv"));
        p.setArguments({QStringLiteral("read"), QStringLiteral("--port"), f.sim.pfad(), QStringLiteral("--output"), cliDatei,
                        QStringLiteral("--timeout"), QStringLiteral("5")});
        bool fertig = false;
        connect(&p, &QProcess::finished, this, [&] { fertig = true; });
        p.start();
        QVERIFY(warten([&] { return fertig; }, 20000));
        QVERIFY(p.exitStatus() == QProcess::NormalExit);

        if (gelesen) {
            QCOMPARE(p.exitCode(), 0);
            const QByteArray fenster = datei(fensterDatei);
            QVERIFY(!fenster.isEmpty());
            QCOMPARE(datei(cliDatei), fenster);
        } else {
            // A decode the window reports as failed is a transfer error on the
            // command line too, and no file is written.
            QCOMPARE(p.exitCode(), 3);
            QVERIFY(!QFile::exists(cliDatei));
        }
    }
};

QTEST_MAIN(TestAblaufCli)
#include "test_ablauf_cli.moc"
