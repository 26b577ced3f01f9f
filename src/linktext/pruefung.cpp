#include "linktext/pruefung.h"

#include "linktext/linktext.h"

#include "image/konfigspeicher.h"

#include <QList>
#include <QStringList>

namespace linktext {
namespace {

QString hex(std::uint8_t b)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

Pruefbefund pruefen(const QByteArray& gesendet, const QByteArray& gelesen)
{
    Pruefbefund b;
    QList<int> seiten;
    for (int p = 0; p < kGeraeteSeiten; ++p) {
        for (int o = 0; o < kZellen; ++o) {
            const qsizetype stelle = qsizetype(p) * kZellen + o;
            const bool da = stelle < gelesen.size();
            const auto soll = std::uint8_t(stelle < gesendet.size() ? gesendet.at(stelle) : char(0xFF));
            if (da && std::uint8_t(gelesen.at(stelle)) == soll)
                continue;
            if (seiten.isEmpty())
                b.detail = QStringLiteral("erste Abweichung: Seite %1, Zeichen %2: gesendet %3, gelesen %4")
                               .arg(p)
                               .arg(o + 1)
                               .arg(hex(soll), hex(da ? std::uint8_t(gelesen.at(stelle)) : 0));
            seiten.append(p);
            break;
        }
    }
    if (!seiten.isEmpty())
        b.meldung = QStringLiteral("Prüfung fehlgeschlagen: %1 %2 ab")
                        .arg(seitenMitNomen(seiten), seiten.size() == 1 ? QStringLiteral("weicht") : QStringLiteral("weichen"));
    return b;
}

} // namespace linktext
