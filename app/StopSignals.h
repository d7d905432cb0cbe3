#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C or a closed terminal) reach the event
// loop as `Received`, so that the window can close as Exit closes it and write its settings.
// A signal handler may do almost nothing: it writes the signal's number into a socket pair,
// whose other end the event loop watches. One object per process.
class CStopSignals : public QObject {
    Q_OBJECT
public:
    explicit CStopSignals(QObject* parent = nullptr);
    ~CStopSignals() override;
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

Q_SIGNALS:
    void Received(int signal);

private:
    void OnReadable();

    QSocketNotifier* notifier_ = nullptr;
};
