#include "shell/startzeit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {
const QElapsedTimer& seitStart()
{
    static const QElapsedTimer uhr = [] {
        QElapsedTimer u;
        u.start();
        return u;
    }();
    return uhr;
}
// Started with the program's static objects, before main.
[[maybe_unused]] const QElapsedTimer& kStart = seitStart();

// Waits for the first expose of the window; the line is written one event
// pass later, when that expose has been painted.
class Beobachter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Expose && !m_gemeldet) {
            m_gemeldet = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    std::printf("gezeigt %lld\n", static_cast<long long>(seitStart().elapsed()));
                    std::fflush(stdout);
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(o, e);
    }

private:
    bool m_gemeldet = false;
};
} // namespace

void startzeitMelden(QWidget& hauptfenster)
{
    if (!qEnvironmentVariableIsSet("GSMBV_BENCH_STARTZEIT"))
        return;
    hauptfenster.winId();  // creates the window now, so that its first expose is seen
    if (QWindow* w = hauptfenster.windowHandle())
        w->installEventFilter(new Beobachter(w));
}
