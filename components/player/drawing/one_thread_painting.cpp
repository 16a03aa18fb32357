#include "components/player/drawing/one_thread_painting.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <memory>

namespace vizmo::player {

bool paintOnOneThread(const std::function<void()>& paint)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool && !pool->contains(QThread::currentThread())) {
        // Shared, so that it outlives the task however the two threads part.
        const auto done = std::make_shared<QSemaphore>();
        if (pool->tryStart([done, &paint] {
                paint();
                done->release();
            })) {
            done->acquire();
            return true;
        }
    }
    paint();
    return false;
}

}  // namespace vizmo::player
