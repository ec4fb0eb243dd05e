#pragma once

#include <QTimer>
#include <QTimerEvent>

#include <chrono>

namespace nelvo::test {

// A timer that never runs out by itself: the test says when its interval has passed.
class ManualTimer : public QTimer {
public:
    ManualTimer() { setInterval(std::chrono::hours(24)); }

    // Times out now when running, as the event loop would at the end of the interval.
    void fire()
    {
        if (!isActive())
            return;
        QTimerEvent event(timerId());
        timerEvent(&event);
    }
};

}  // namespace nelvo::test
