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
#include <QSysInfo>
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

// The memory file's and the side record's extensions.
const QString kSpeicherendung = QStringLiteral("speicher");
const QString kVorSchreibenEndung = QStringLiteral("vorschreiben");

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

Versuch dateiFehlschlag(const QString& pfad, const QString& grund)
{
    return fehlschlag(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(pfad), grund), grund, pfad);
}

// A file name taken by creating an empty file only when it does not exist:
// two programs that back up at the same second get two names.
enum class Platz { Genommen, Besetzt, Fehler };
Platz platzNehmen(const QString& pfad, QString& grund)
{
    QFile platz(pfad);
    errno = 0;
    if (platz.open(QIODevice::WriteOnly | QIODevice::NewOnly, ablage::kPrivat))
        return Platz::Genommen;
    const int nummer = errno;
    const QFileInfo fi(pfad);
    if (fi.exists() || fi.isSymLink())
        return Platz::Besetzt;
    grund = systemfehler::datei(platz, nummer);
    return Platz::Fehler;
}

} // namespace

QString ordner()
{
    if (const QString eigener = qEnvironmentVariable("GSMBV_SICHERUNGEN"); !eigener.isEmpty())
        return QFileInfo(eigener).absoluteFilePath();
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

QString listenname(const Konfigspeicher& k)
{
    const QString name = ohneSteuerzeichen(anlagenbezeichnung(k));
    return name.isEmpty() ? ohneBezeichnung() : name;
}

QString rechnername()
{
    return QSysInfo::machineHostName();
}

QString dateiname(const QString& anlagenbezeichnung, const QDateTime& zeit, int nummer, const QString& rechner)
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
    QString maschine;
    for (QChar c : rechner)
        maschine.append(c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-'))
                            ? c : QLatin1Char('-'));
    maschine.truncate(63);
    const auto randZeichen = [](QChar c) { return c == QLatin1Char('.') || c == QLatin1Char('-'); };
    while (!maschine.isEmpty() && randZeichen(maschine.front()))
        maschine.remove(0, 1);
    while (!maschine.isEmpty() && randZeichen(maschine.back()))
        maschine.chop(1);
    if (!maschine.isEmpty())
        name += QLatin1Char('@') + maschine;
    return name + QStringLiteral(".cfg");
}

QString speicherpfad(const QString& cfgPfad)
{
    const QFileInfo fi(cfgPfad);
    return QDir(fi.path()).filePath(fi.completeBaseName() + QLatin1Char('.') + kSpeicherendung);
}

namespace {

QString vorSchreibenPfad(const QString& cfgPfad)
{
    const QFileInfo fi(cfgPfad);
    return QDir(fi.path()).filePath(fi.completeBaseName() + QLatin1Char('.') + kVorSchreibenEndung);
}

// The files of the backup `pfad` and their content, in the order they are
// filled: the memory file and the side record first, the *.cfg last.
QList<std::pair<QString, QByteArray>> dateienVon(const Inhalt& inhalt, const QString& pfad)
{
    QList<std::pair<QString, QByteArray>> dateien;
    if (inhalt.speicher.size() == kGeraeteBytes)
        dateien.append({speicherpfad(pfad), inhalt.speicher});
    if (inhalt.vorSchreiben)
        dateien.append({vorSchreibenPfad(pfad), inhalt.vorSchreiben->toUtf8() + '\n'});
    dateien.append({pfad, cfgSchreiben(inhalt.bild)});
    return dateien;
}

// One attempt under one name: every file's name taken (Besetzt when one is
// not free), then each filled. What the attempt took is given back when it
// does not complete.
Platz versuchen(const QList<std::pair<QString, QByteArray>>& dateien, QString& grund, QString& ort)
{
    QStringList genommen;
    const auto freigeben = [&genommen] {
        for (const QString& p : genommen)
            QFile::remove(p);  // only what this attempt created
    };
    for (const auto& [pfad, inhalt] : dateien) {
        const Platz p = platzNehmen(pfad, grund);
        if (p != Platz::Genommen) {
            freigeben();
            ort = pfad;
            return p;
        }
        genommen.append(pfad);
    }
    for (const auto& [pfad, inhalt] : dateien) {
        grund = ablage::dateiErsetzen(pfad, inhalt, ablage::kPrivat);
        if (!grund.isEmpty()) {
            freigeben();
            ort = pfad;
            return Platz::Fehler;
        }
    }
    return Platz::Genommen;
}

} // namespace

Versuch anlegen(const Inhalt& inhalt, const QString& ordner, const QDateTime& zeit, const QString& rechner)
{
    if (const QString grund = ablage::ordnerAnlegen(ordner); !grund.isEmpty())
        return fehlschlag(QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(QDir::toNativeSeparators(ordner)),
                          QStringLiteral("Ordner nicht anlegbar (%1)").arg(grund), ordner);
    const QString bezeichnung = anlagenbezeichnung(inhalt.bild);
    for (int nummer = 1; nummer <= kHoechsteNummer; ++nummer) {
        const QString pfad = QDir(ordner).filePath(dateiname(bezeichnung, zeit, nummer, rechner));
        QString grund, ort;
        switch (versuchen(dateienVon(inhalt, pfad), grund, ort)) {
        case Platz::Genommen: return {pfad, QString(), QString(), QString()};
        case Platz::Besetzt: continue;
        case Platz::Fehler: return dateiFehlschlag(ort, grund);
        }
    }
    const QString grund = QStringLiteral("zu viele Sicherungen von „%1“ in derselben Sekunde").arg(bezeichnung);
    return fehlschlag(grund, grund, ordner);
}

Versuch anlegen(const Inhalt& inhalt, const QString& ordner)
{
    return anlegen(inhalt, ordner, QDateTime::currentDateTime(), rechnername());
}

namespace {

// A backup's name: installation, date and time, number, machine.
const QRegularExpression& namensform()
{
    static const QRegularExpression form(QStringLiteral(
        "^(.*)_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:_(\\d{1,3}))?(?:@([A-Za-z0-9.-]+))?\\.cfg$"));
    return form;
}

// The side record beside a backup: the installation name written after it.
std::optional<QString> vorSchreibenLesen(const QString& cfgPfad)
{
    const QFileInfo fi(vorSchreibenPfad(cfgPfad));
    if (!fi.exists())
        return std::nullopt;
    const Dateiinhalt d = dateiLesen(fi.filePath());
    return ohneSteuerzeichen(QString::fromUtf8(d.bytes));
}

Eintrag eintragVon(const QFileInfo& fi)
{
    Eintrag e{fi.completeBaseName(), fi.lastModified(), 1, fi.filePath(), QString(), QString(), QString(), std::nullopt};
    if (const auto m = namensform().match(fi.fileName()); m.hasMatch()) {
        const QDateTime zeit = QDateTime::fromString(m.captured(2), kZeitformat);
        if (zeit.isValid()) {
            e.anlagenbezeichnung = m.captured(1);
            e.zeit = zeit;
            e.nummer = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
            e.rechner = m.captured(4);
        }
    }
    const auto [inhalt, fehler] = bezeichnungIn(fi);
    e.fehler = fehler;
    if (fehler.isEmpty())
        e.anlagenbezeichnung = inhalt;
    if (e.anlagenbezeichnung.isEmpty())
        e.anlagenbezeichnung = ohneBezeichnung();
    if (const QFileInfo speicher(speicherpfad(fi.filePath())); speicher.isFile() && speicher.size() == kGeraeteBytes)
        e.speicher = speicher.filePath();
    e.vorSchreiben = vorSchreibenLesen(fi.filePath());
    return e;
}

} // namespace

QList<Eintrag> liste(const QString& ordner)
{
    QList<Eintrag> alle;
    const QFileInfoList dateien = QDir(ordner).entryInfoList({QStringLiteral("*.cfg")}, QDir::Files, QDir::Name);
    for (const QFileInfo& fi : dateien) {
        // Empty: a backup that is just being written, or no configuration at all.
        if (fi.size() > 0)
            alle.append(eintragVon(fi));
    }
    std::stable_sort(alle.begin(), alle.end(), [](const Eintrag& a, const Eintrag& b) {
        if (a.zeit != b.zeit)
            return a.zeit > b.zeit;
        return a.nummer > b.nummer;
    });
    return alle;
}

std::optional<Eintrag> letzteVorSchreiben(const QList<Eintrag>& liste, const QString& anlage)
{
    for (const Eintrag& e : liste)
        if (e.vorSchreiben == anlage)
            return e;
    return std::nullopt;
}

Speicher speicherLesen(const QString& pfad)
{
    Speicher s;
    const QFileInfo fi(pfad);
    s.pfad = fi.suffix() == kSpeicherendung ? pfad : speicherpfad(pfad);
    if (!fi.exists() && !fi.isSymLink()) {
        s.fehler = systemfehler::text(ENOENT);
        return s;
    }
    if (!QFileInfo(s.pfad).exists()) {
        s.fehler = QStringLiteral("ohne Speicherabbild (keine .%1-Datei daneben)").arg(kSpeicherendung);
        return s;
    }
    const Dateiinhalt d = dateiLesen(s.pfad);
    if (!d)
        s.fehler = QStringLiteral("Speicherabbild %1: %2").arg(QFileInfo(s.pfad).fileName(), d.fehler);
    else if (d.bytes.size() != kGeraeteBytes)
        s.fehler = QStringLiteral("Speicherabbild %1 hat %2 statt %3 Bytes")
                       .arg(QFileInfo(s.pfad).fileName())
                       .arg(d.bytes.size())
                       .arg(kGeraeteBytes);
    else
        s.bytes = d.bytes;
    return s;
}

} // namespace sicherung
