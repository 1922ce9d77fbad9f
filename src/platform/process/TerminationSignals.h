#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (log-out, kill, Ctrl+C in a terminal) into a normal quit of
// the event loop, so the socket is removed and everything is flushed as on "Quit Pobi". The
// handler only writes to a pipe; the quit itself runs on the main thread. A second signal of
// the same kind ends the process at once, should the first quit hang.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // One per process; the handlers stay installed until it is destroyed.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
