#pragma once
// Runs blocking work (a connection attempt, a catalogue read) on a thread of
// its own and hands the result to the UI thread, unless the context object
// is gone by then.

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <functional>
#include <thread>

template <typename Result>
void runInBackground(QObject* context, std::function<Result()> work, std::function<void(Result)> done) {
    QPointer<QObject> guard(context);
    std::thread([guard, work = std::move(work), done = std::move(done)]() mutable {
        Result r = work();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, done = std::move(done), r = std::move(r)]() mutable {
                if (guard) done(std::move(r));
            },
            Qt::QueuedConnection);
    }).detach();
}
