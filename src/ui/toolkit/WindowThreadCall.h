#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace pagesmith {

// Runs work on the thread that owns context and returns its result. A worker
// waits until the window thread has carried it out, so widgets are touched by
// one thread only; on the window thread itself the work runs at once (a
// blocking queued call there would wait for itself).
template <typename Work>
std::invoke_result_t<Work> callOnWindowThread(QObject* context, Work work) {
    using Result = std::invoke_result_t<Work>;
    if (QThread::currentThread() == context->thread())
        return work();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(context, std::move(work), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(context, std::move(work), Qt::BlockingQueuedConnection, &result);
        return result;
    }
}

} // namespace pagesmith
