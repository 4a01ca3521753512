#pragma once

#include <QObject>

class QSocketNotifier;

namespace dovrelle {

// Turns SIGINT and SIGTERM into a Qt signal delivered by the event loop (the handler only
// writes the signal number into a pipe). One instance at a time; the default handlers come back
// when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPipe();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace dovrelle
