#include "doorqt/qtdoor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTranslator>
#include <QUrl>

void QtDoor::einrichten()
{
    static QtDoor tuer;
    Door::standardSetzen(&tuer);
}

Door::Antwort QtDoor::meldung(const QString& text, Icon icon, Knoepfe knoepfe, const QString& titel)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(titel.isEmpty() ? programmTitel() : titel);
    box.setText(text);
    switch (icon) {
    case Icon::Keins: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Kritisch: box.setIcon(QMessageBox::Critical); break;
    case Icon::Warnung: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Frage: box.setIcon(QMessageBox::Question); break;
    }
    switch (knoepfe) {
    case Knoepfe::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Knoepfe::OkAbbrechen: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Knoepfe::JaNein: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Antwort::Ok;
    case QMessageBox::Cancel: return Antwort::Abbrechen;
    case QMessageBox::Yes: return Antwort::Ja;
    case QMessageBox::No: return Antwort::Nein;
    // Closed without a button: the answer that changes nothing.
    default: return knoepfe == Knoepfe::JaNein ? Antwort::Nein
           : knoepfe == Knoepfe::OkAbbrechen ? Antwort::Abbrechen : Antwort::Ok;
    }
}

void QtDoor::beep()
{
    QApplication::beep();
}

namespace {
QString dialog(const Door::Dateidialog& d, bool speichern)
{
    QFileDialog fd(QApplication::activeWindow(), d.titel);
    if (!d.filter.isEmpty())
        fd.setNameFilter(d.filter);
    fd.setDefaultSuffix(d.endung);
    fd.setAcceptMode(speichern ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(speichern ? QFileDialog::AnyFile : d.ordner ? QFileDialog::Directory : QFileDialog::ExistingFile);
    // Overwriting is asked by the program itself, in its own words.
    fd.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QFileInfo fi(d.name);
    if (d.ordner) {
        fd.setOption(QFileDialog::ShowDirsOnly, true);
        if (fi.isDir())
            fd.setDirectory(fi.absoluteFilePath());
    } else if (!d.name.contains(QLatin1Char('*'))) {
        if (fi.dir().exists() && fi.isAbsolute())
            fd.setDirectory(fi.absolutePath());
        fd.selectFile(fi.fileName());
    }
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return {};
    return fd.selectedFiles().constFirst();
}
} // namespace

QString QtDoor::dateiSpeichern(const Dateidialog& d)
{
    return dialog(d, true);
}

QString QtDoor::dateiOeffnen(const Dateidialog& d)
{
    return dialog(d, false);
}

bool QtDoor::starten(const QString& programm, const QStringList& argumente)
{
    return QProcess::startDetached(programm, argumente);
}

bool QtDoor::anzeigen(const QString& pfad)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(pfad)))
        return true;
    // A platform without desktop services (or without a launcher it knows)
    // still has the desktop's own opener.
    const QString oeffner = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !oeffner.isEmpty() && QProcess::startDetached(oeffner, {pfad});
}

bool QtDoor::druckdialog(QPrinter& drucker)
{
    QPrintDialog dialog(&drucker, QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    return dialog.exec() == QDialog::Accepted;
}

void deutschEinrichten()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString pfad = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* t = new QTranslator(qApp);
    // "qt_de" pulls in qtbase_de and the other module catalogues.
    if (t->load(QStringLiteral("qt_de"), pfad) || t->load(QStringLiteral("qtbase_de"), pfad))
        QCoreApplication::installTranslator(t);
    else
        delete t;
}
