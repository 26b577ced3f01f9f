#pragma once
// SIGINT, SIGTERM and SIGHUP (the terminal or the SSH session closed) of a
// command-line program taken on the event loop (from a signalfd), so that an
// interrupted program still ends properly: the device left with ESC, the
// simulated device's memory saved.
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

class Abbruchsignale : public QObject {
public:
    // Blocks SIGINT, SIGTERM and SIGHUP. Call first thing in main(), before
    // any thread exists, so that no thread receives them.
    static void blockieren();

    // `gemeldet` runs on the event loop once for each signal received. When
    // the signalfd cannot be made (offen() is false) the signals are unblocked
    // again and keep their usual effect; fehler() is the system's error number.
    explicit Abbruchsignale(std::function<void()> gemeldet, QObject* parent = nullptr);
    ~Abbruchsignale() override;

    bool offen() const { return m_fd >= 0; }
    int fehler() const { return m_fehler; }

private:
    int m_fd = -1;
    int m_fehler = 0;
    std::unique_ptr<QSocketNotifier> m_meldung;
};
