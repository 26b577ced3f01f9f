#pragma once
// File names as the system gives them. On Linux a name is any bytes; argv and
// the folders may hold names that are no UTF-8 (a file copied from an old
// system in Latin-1: "in_\xE4.cfg"). Such a name is carried in a QString with
// each byte that is no part of valid UTF-8 kept as the lone surrogate
// U+DC80 + byte, so that it goes back to the system unchanged and a message
// prints it as it was given. Qt's own conversions would put U+FFFD in its
// place, and the file opened or written would be another one.
#include <QByteArray>
#include <QString>

namespace dateiname {

// The system's bytes as a name: valid UTF-8 decoded, every other byte kept.
QString text(const QByteArray& bytes);
// The name as the system's bytes: what text() made of them, exactly; any
// other text as UTF-8. Also for output that shows a name as given.
QByteArray bytes(const QString& name);
// For a document that needs valid text (the sheet's origin): every kept byte
// as U+FFFD.
QString lesbar(const QString& name);

} // namespace dateiname
