#include "plan.h"

#include "cfgfile/cfgdatei.h"
#include "sim/simstandard.h"

#include <csignal>
#include <iterator>

namespace {

constexpr int kEchos = 1 + 13 * 257;  // "w", then per page its character and 256 bytes
constexpr int kLesen = 1 + 3328;      // "r" and the configuration
constexpr int kNachlauf = 30000;      // ms: any machine's echoes, the processes' start and end

// An echo of the write: the page boundaries often (a page's character, its
// first and its last byte), else anywhere.
int echoStelle(Zufall& z)
{
    if (z.ja(0.5)) {
        static const int stelle[] = {0, 1, 128, 256};
        return z.zahl(10) == 0 ? 1 : 2 + z.zahl(13) * 257 + stelle[z.zahl(4)];
    }
    return 1 + z.zahl(kEchos);
}

void fehlerWaehlen(Plan& p, Zufall& z, const QString& art)
{
    const int vorWrite = 1 + (p.sicherung ? kLesen + 1 : 0);  // bytes the device sends before the write's echoes
    if (art == QLatin1String("silent")) {
        p.fehler << art;
    } else if (art == QLatin1String("noecho")) {
        p.fehler << QStringLiteral("noecho@%1").arg(echoStelle(z));
    } else if (art == QLatin1String("stop")) {
        p.fehler << QStringLiteral("stop@%1").arg(z.zahl(3328));
    } else if (art == QLatin1String("noise")) {
        p.fehler << QStringLiteral("noise@%1").arg(z.wort() | 1u);
    } else if (art == QLatin1String("hangup")) {
        const int wo = z.zahl(10);
        const int n = wo < 7 ? vorWrite + echoStelle(z) : wo < 9 ? vorWrite + kEchos + 1 + z.zahl(kLesen) : 1 + z.zahl(vorWrite);
        p.fehler << QStringLiteral("hangup@%1").arg(n);
    } else if (art == QLatin1String("nostore")) {
        for (int i = 1 + z.zahl(3); i > 0; --i)
            if (const int s = z.zahl(13); !p.nichtGespeichert.contains(s)) {
                p.nichtGespeichert << s;
                p.fehler << QStringLiteral("nostore@%1").arg(s);
            }
    }
}

// The device's memory before the write: unwritten, the simulator's own, or
// another configuration; often with pages alike to the file's.
QByteArray vorherWaehlen(Zufall& z, const QByteArray& datei)
{
    const int wie = z.zahl(4);
    QByteArray b = wie == 0 ? QByteArray(3328, char(0xFF))
                 : wie == 1 ? simStandardSpeicher()
                            : cfgLesen(zufallsKonfiguration(z)).image.geraeteBytes();
    if (z.ja(0.5))
        for (int p = 0; p < 13; ++p)
            if (z.ja(0.3))
                b.replace(p * 256, 256, datei.mid(p * 256, 256));
    return b;
}

} // namespace

Plan planen(Zufall& z)
{
    static const char* arten[] = {"keiner", "silent", "noecho", "stop", "noise", "hangup", "nostore", "signal", "abziehen"};
    Plan p;
    p.art = QString::fromLatin1(arten[z.zahl(int(std::size(arten)))]);
    p.bytemodell = z.ja(0.5);
    p.sicherung = !z.ja(0.3);
    p.fristMs = 600 + 100 * z.zahl(5);
    p.baud = z.ja(0.1) ? 9600 : 0;
    p.datei = zufallsKonfiguration(z);
    p.vorher = vorherWaehlen(z, cfgLesen(p.datei).image.geraeteBytes());
    fehlerWaehlen(p, z, p.art);
    // A second fault now and then: the signals meet the waits and the read back.
    if (z.ja(p.art == QLatin1String("signal") ? 0.5 : 0.25)) {
        p.zweiter = QStringList{"noecho", "nostore", "noise", "stop"}[z.zahl(4)];
        fehlerWaehlen(p, z, p.zweiter);
    }
    const int dauer = p.baud ? 15000 : 2000;  // about how long a whole write takes
    p.nachMs = 150 + z.zahl(dauer);
    if (p.art == QLatin1String("signal")) {
        static const int signale[] = {SIGINT, SIGTERM, SIGHUP};
        const int welches = z.zahl(3);
        p.signal = signale[welches];
        p.art = QStringList{"SIGINT", "SIGTERM", "SIGHUP"}[welches];
        if (z.ja(0.25))
            p.signal2 = signale[z.zahl(3)], p.nach2Ms = z.zahl(1500);
    }
    p.simBeenden = p.art == QLatin1String("abziehen");
    return p;
}


int Plan::grenzeMs() const
{
    const int bytes = (sicherung ? kLesen + 1 : 0) + 2 * (kEchos + 1) + kLesen + 1;
    return 3 * fristMs + (baud ? bytes * 10000 / baud : 0) + kNachlauf;
}
