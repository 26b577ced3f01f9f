#include "link/portangaben.h"
#include "link/portursache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace {

// The path below a root that stands for `pfad` below /dev.
QString unterWurzel(const QString& pfad, const Portwurzeln& w)
{
    const QString dev = QStringLiteral("/dev/");
    return pfad.startsWith(dev) ? w.dev + QLatin1Char('/') + pfad.mid(dev.size()) : pfad;
}

QString zeileAus(const QString& datei)
{
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readLine(256)).trimmed();
}

// The USB device above the tty: the first of the next few parent folders of
// its device folder that names a product.
QString adapter(const QString& geraeteordner, const QString& sys)
{
    QDir d(geraeteordner);
    for (int stufe = 0; stufe < 4 && d.absolutePath().startsWith(sys) && d.absolutePath() != sys; ++stufe) {
        const QString produkt = zeileAus(d.filePath(QStringLiteral("product")));
        if (!produkt.isEmpty()) {
            const QString hersteller = zeileAus(d.filePath(QStringLiteral("manufacturer")));
            return hersteller.isEmpty() || produkt.startsWith(hersteller) ? produkt : hersteller + QLatin1Char(' ') + produkt;
        }
        if (!d.cdUp())
            break;
    }
    return {};
}

} // namespace

Portangaben portangaben(const QString& geraet, const Portwurzeln& w)
{
    Portangaben a;
    a.geraet = geraet;
    const QString knoten = unterWurzel(geraet, w);
    const QFileInfo fi(knoten);
    a.vorhanden = fi.exists();
    if (!a.vorhanden)
        return a;
    a.gruppe = portursache::gruppe(knoten);  // the group to join, as the hint of a refused open names it
    a.zugriff = ::access(QFile::encodeName(knoten).constData(), R_OK | W_OK) == 0;

    const QString echt = fi.canonicalFilePath();
    const QDir byId(w.dev + QStringLiteral("/serial/by-id"));
    const QFileInfoList namen = byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& n : namen)
        if (n.isSymLink() && n.canonicalFilePath() == echt) {
            a.stabil = QStringLiteral("/dev/serial/by-id/") + n.fileName();
            break;
        }

    const QString name = QFileInfo(echt).fileName();
    const QString sys = QDir(w.sys).canonicalPath();
    QString ordner = QFileInfo(w.sys + QStringLiteral("/class/tty/") + name + QStringLiteral("/device"))
                         .canonicalFilePath();
    // Newer kernels put the serial core's own devices (bus "serial-base",
    // drivers "port" and "ctrl") between the tty and the device of its driver.
    while (!ordner.isEmpty()
           && QFileInfo(QFileInfo(ordner + QStringLiteral("/subsystem")).canonicalFilePath()).fileName()
                  == QLatin1String("serial-base"))
        ordner = QFileInfo(ordner).path();
    if (!ordner.isEmpty()) {
        a.treiber = QFileInfo(QFileInfo(ordner + QStringLiteral("/driver")).canonicalFilePath()).fileName();
        a.adapter = adapter(ordner, sys);
    }
    return a;
}

QStringList sysfsPorts(const Portwurzeln& w)
{
    QStringList namen;
    const QDir tty(w.sys + QStringLiteral("/class/tty"));
    for (const QString& n : tty.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot))
        if (QFileInfo::exists(tty.filePath(n + QStringLiteral("/device/driver"))))
            namen.append(n);
    return namen;
}
