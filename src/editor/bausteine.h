#pragma once
// Small helpers the tabs share.
#include <QString>

class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace bausteine {

QLabel* beschriftung(const QString& text, QWidget* parent);

// A field that only shows a value (the slider and spinner read-outs, the
// fixed battery values): no typing.
QLineEdit* anzeigefeld(const QString& name, const QString& text, int breite, QWidget* parent);

// A slider set to `wert` (clamped to its range) with its change handler run
// exactly once, whether or not the value changed.
template <class Handler>
void sliderSetzen(QSlider* s, int wert, Handler&& handler);

// The two-digit form of a check-call hour or minute: 7 -> "07".
QString zweistellig(int wert);

// The German day names of the check call's list, Monday first.
const QStringList& wochentage();

} // namespace bausteine

#include <QSignalBlocker>
#include <QSlider>

template <class Handler>
void bausteine::sliderSetzen(QSlider* s, int wert, Handler&& handler)
{
    {
        const QSignalBlocker b(s);
        s->setValue(wert);
    }
    handler();
}
