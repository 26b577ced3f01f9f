#pragma once
// The text of a PDF as `pdftotext -layout` (Debian poppler-utils) extracts it:
// the words where they stand on the page, a form feed after each page.
#include <QProcess>
#include <QString>

inline QString pdfText(const QString& pfad)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                          pfad, QStringLiteral("-")});
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("<pdftotext: %1 %2>").arg(p.errorString(), QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}
