#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace pagesmith {

// Runs a function on the thread that owns context and returns its result. A
// caller on another thread waits until the owning thread has run it, so the
// widgets behind context are only ever touched by their own thread. The owning
// thread must keep its event loop running while others call in. Should context
// be destroyed before the call runs, the caller gets a default result. The
// context only names the thread and the lifetime; it is not changed.
template <typename Function>
std::invoke_result_t<Function> runOnThreadOf(const QObject* context, Function&& function) {
    using Result = std::invoke_result_t<Function>;
    if (QThread::currentThread() == context->thread())
        return function();
    auto* receiver = const_cast<QObject*>(context);
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(receiver, std::forward<Function>(function),
                                  Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            receiver, [&] { result = function(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

} // namespace pagesmith
