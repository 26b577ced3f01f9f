#include "sim/simfehler.h"

#include <algorithm>

namespace {

// A non-negative decimal number that fits into `grenze`.
std::optional<qint64> zahl(const QString& s, qint64 grenze)
{
    if (s.isEmpty() || s.size() > 18)
        return std::nullopt;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const qint64 n = s.toLongLong();
    if (n > grenze)
        return std::nullopt;
    return n;
}

} // namespace

bool SimFehler::hinzufuegen(const QString& angabe, QString* meldung)
{
    SimFehler neu = *this;
    const QStringList teile = angabe.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (teile.isEmpty()) {
        if (meldung)
            *meldung = QStringLiteral("leere Fehlerangabe");
        return false;
    }
    for (const QString& roh : teile) {
        const QString t = roh.trimmed();
        const qsizetype at = t.indexOf(QLatin1Char('@'));
        const QString name = at < 0 ? t : t.left(at);
        const QString arg = at < 0 ? QString() : t.mid(at + 1);
        const bool mitArg = at >= 0;
        bool ok = true;
        if (name == QLatin1String("silent") && !mitArg) {
            neu.stumm = true;
        } else if (name == QLatin1String("noise")) {
            neu.rauschen = true;
            if (mitArg) {
                const auto n = zahl(arg, 0xFFFFFFFFll);
                ok = n && *n != 0;
                if (ok)
                    neu.rauschSaat = std::uint32_t(*n);
            }
        } else if (name == QLatin1String("noecho") && mitArg) {
            const auto n = zahl(arg, 0x7FFFFFFF);
            ok = n && *n >= 1;
            if (ok)
                neu.keinEcho = int(*n);
        } else if (name == QLatin1String("stop") && mitArg) {
            const auto n = zahl(arg, 0x7FFFFFFF);
            ok = n.has_value();
            if (ok)
                neu.stopp = int(*n);
        } else if (name == QLatin1String("nostore") && mitArg) {
            const auto n = zahl(arg, 12);
            ok = n.has_value();
            if (ok && !neu.nichtSpeichern.contains(int(*n))) {
                neu.nichtSpeichern.append(int(*n));
                std::sort(neu.nichtSpeichern.begin(), neu.nichtSpeichern.end());
            }
        } else if (name == QLatin1String("hangup") && mitArg) {
            const auto n = zahl(arg, 0x7FFFFFFFFFFFll);
            ok = n.has_value();
            if (ok)
                neu.auflegen = *n;
        } else {
            ok = false;
        }
        if (!ok) {
            if (meldung)
                *meldung = QStringLiteral("unbekannte Fehlerangabe \"%1\" (erlaubt: silent, noecho@N, stop@N, "
                                          "noise, noise@SAAT, hangup@N, nostore@N)").arg(t);
            return false;
        }
    }
    *this = neu;
    return true;
}
