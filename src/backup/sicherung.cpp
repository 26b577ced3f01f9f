#include "backup/sicherung.h"

#include "cfgfile/cfgdatei.h"
#include "cfgfile/cfgform.h"
#include "cfgfile/dateilesen.h"
#include "image/ansi.h"
#include "image/felder.h"
#include "systemfehler/ablage.h"
#include "systemfehler/systemfehler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace sicherung {
namespace {

// The time in a backup's file name.
const QString kZeitformat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// More backups of one installation within one second than this means
// something else is wrong.
constexpr int kHoechsteNummer = 999;

bool unsicher(QChar c)
{
    static const QString verboten = QStringLiteral("/\\:*?\"<>|");
    return verboten.contains(c) || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
}

QString ohneSteuerzeichen(const QString& text)
{
    QString out;
    for (QChar c : text)
        if (c.category() != QChar::Other_Control && c.category() != QChar::Other_Format)
            out.append(c);
    return out.trimmed();
}

// The installation name in a file, or why the file is no configuration.
std::pair<QString, QString> bezeichnungIn(const QFileInfo& fi)
{
    const Dateiinhalt datei = dateiLesen(fi.filePath());
    if (!datei)
        return {QString(), datei.fehler};
    if (const Formbefund befund = cfgFormPruefen(datei.bytes); !befund.passt())
        return {QString(), befund.text()};
    return {ohneSteuerzeichen(anlagenbezeichnung(cfgLesen(datei.bytes).image)), QString()};
}

// No backup: `satz` says why with the whole path, `grund` alone, about `ort`.
Versuch fehlschlag(const QString& satz, const QString& grund, const QString& ort)
{
    return {QString(), QStringLiteral("Konfiguration nicht gesichert: %1").arg(satz), grund, ort};
}

} // namespace

QString ordner()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
         + QStringLiteral("/gsmbv/sicherungen");
}

QString anlagenbezeichnung(const Konfigspeicher& k)
{
    return ansi::text(textLesen(k, bereich::Anlagenbezeichnung, true));
}

QString ohneBezeichnung()
{
    return QStringLiteral("ohne Bezeichnung");
}

QString dateiname(const QString& anlagenbezeichnung, const QDateTime& zeit, int nummer)
{
    QString name;
    for (QChar c : anlagenbezeichnung)
        name.append(unsicher(c) ? QLatin1Char('_') : c);
    // A leading dot hides the file; blanks and dots at the end trouble other
    // systems the folder may be copied to.
    const auto rand = [](QChar c) { return c.isSpace() || c == QLatin1Char('.'); };
    while (!name.isEmpty() && rand(name.front()))
        name.remove(0, 1);
    name.truncate(70);
    while (!name.isEmpty() && rand(name.back()))
        name.chop(1);
    if (name.isEmpty())
        name = ohneBezeichnung();
    name += QLatin1Char('_') + zeit.toString(kZeitformat);
    if (nummer > 1)
        name += QLatin1Char('_') + QString::number(nummer);
    return name + QStringLiteral(".cfg");
}

Versuch anlegen(const Konfigspeicher& bild, const QDateTime& zeit, const QString& ordner)
{
    if (const QString grund = ablage::ordnerAnlegen(ordner); !grund.isEmpty())
        return fehlschlag(QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(QDir::toNativeSeparators(ordner)),
                          QStringLiteral("Ordner nicht anlegbar (%1)").arg(grund), ordner);
    const QString bezeichnung = anlagenbezeichnung(bild);
    const QByteArray inhalt = cfgSchreiben(bild);

    for (int nummer = 1; nummer <= kHoechsteNummer; ++nummer) {
        const QString pfad = QDir(ordner).filePath(dateiname(bezeichnung, zeit, nummer));
        // The name is taken first, by creating the file only when it does not
        // exist; two programs that back up at the same second get two files.
        QFile platz(pfad);
        errno = 0;
        if (!platz.open(QIODevice::WriteOnly | QIODevice::NewOnly, ablage::kPrivat)) {
            const int nummer = errno;
            const QFileInfo fi(pfad);
            if (fi.exists() || fi.isSymLink())
                continue;
            const QString grund = systemfehler::datei(platz, nummer);
            return fehlschlag(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(pfad), grund), grund, pfad);
        }
        platz.close();
        // Then the content replaces the empty file as a whole.
        const QString grund = ablage::dateiErsetzen(pfad, inhalt, ablage::kPrivat);
        if (grund.isEmpty())
            return {pfad, QString(), QString(), QString()};
        if (QFileInfo(pfad).size() == 0)
            QFile::remove(pfad);  // the empty file that took the name, nothing else
        return fehlschlag(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(pfad), grund), grund, pfad);
    }
    const QString grund = QStringLiteral("zu viele Sicherungen von „%1“ in derselben Sekunde").arg(bezeichnung);
    return fehlschlag(grund, grund, ordner);
}

Versuch anlegen(const Konfigspeicher& bild)
{
    return anlegen(bild, QDateTime::currentDateTime(), ordner());
}

QList<Eintrag> liste(const QString& ordner)
{
    static const QRegularExpression form(
        QStringLiteral("^(.*)_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:_(\\d{1,3}))?\\.cfg$"));
    QList<Eintrag> alle;
    const QFileInfoList dateien = QDir(ordner).entryInfoList({QStringLiteral("*.cfg")}, QDir::Files, QDir::Name);
    for (const QFileInfo& fi : dateien) {
        // Empty: a backup that is just being written, or no configuration at all.
        if (fi.size() == 0)
            continue;
        Eintrag e{fi.completeBaseName(), fi.lastModified(), 1, fi.filePath(), QString()};
        if (const auto m = form.match(fi.fileName()); m.hasMatch()) {
            const QDateTime zeit = QDateTime::fromString(m.captured(2), kZeitformat);
            if (zeit.isValid()) {
                e.anlagenbezeichnung = m.captured(1);
                e.zeit = zeit;
                e.nummer = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
            }
        }
        const auto [inhalt, fehler] = bezeichnungIn(fi);
        e.fehler = fehler;
        if (fehler.isEmpty())
            e.anlagenbezeichnung = inhalt;
        if (e.anlagenbezeichnung.isEmpty())
            e.anlagenbezeichnung = ohneBezeichnung();
        alle.append(e);
    }
    std::stable_sort(alle.begin(), alle.end(), [](const Eintrag& a, const Eintrag& b) {
        if (a.zeit != b.zeit)
            return a.zeit > b.zeit;
        return a.nummer > b.nummer;
    });
    return alle;
}

} // namespace sicherung
