#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

// Runs `act` from inside the modal loop of the first dialog of type T that is shown, as a user
// would. The returned timer watches until then; dropping it stops the watch.
template <class T>
std::unique_ptr<QTimer> WhenModal(std::function<void(T&)> act) {
    auto timer = std::make_unique<QTimer>();
    QTimer* watch = timer.get();
    QObject::connect(watch, &QTimer::timeout, [watch, act = std::move(act)] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            watch->stop();
            act(*dialog);
        }
    });
    watch->start(5);
    return timer;
}
