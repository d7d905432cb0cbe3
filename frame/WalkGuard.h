#pragma once

#include <QObject>

class QEvent;
class QWidget;

// While the catalog is rebuilt, the window stays painted but takes no input: keys and clicks
// given then would otherwise wait and act on the new content once it is there (a click on the
// empty tree selecting an artist, a double-click in the empty list playing a track nobody
// chose). They are dropped instead. Only Stop gets through: a click on its button, or Esc. The
// keys that close the window ask for the close, which stops the walk first.
class CWalkGuard : public QObject {
    Q_OBJECT
public:
    explicit CWalkGuard(QWidget& stopButton, QObject* parent = nullptr);
    ~CWalkGuard() override;
    CWalkGuard(const CWalkGuard&) = delete;
    CWalkGuard& operator=(const CWalkGuard&) = delete;

    // Starts and ends dropping the application's input events.
    void SetActive(bool active);
    bool IsActive() const { return active_; }

    // Whether the guard lets `event`, sent to `receiver`, through. Input that is let through
    // reaches the Stop button only.
    bool Passes(QObject* receiver, QEvent* event);

Q_SIGNALS:
    void StopRequested();
    void CloseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& stopButton_;
    bool active_ = false;
};
