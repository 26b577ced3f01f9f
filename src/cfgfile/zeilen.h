#pragma once
// The lines of a configuration file, as the open command and the form check
// see them. Lines end with CR LF. A CR not followed by LF is a byte of the
// line: the writer puts relay and alarm texts raw into the file, CR included,
// so only the pair ends a line. A file without any CR LF pair has been
// converted to other line ends: then every LF ends a line (CR stays data), and
// a file without LF ends its lines at every CR. The last line may lack its
// line end; an empty rest behind the last line end is no line. At most
// `hoechstens` lines are returned; whatever follows is not looked at.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

QList<QByteArrayView> cfgZeilen(const QByteArray& datei, int hoechstens);
