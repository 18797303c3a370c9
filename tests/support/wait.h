// Waiting for something the event loop brings about, with a limit. Qt's QTRY_ macros report
// their failures to QTest only, so the tests here wait with this and assert on the result.
#pragma once

#include <QDeadlineTimer>
#include <QTest>

namespace testing_support {

// Processes events until condition() holds or ms milliseconds have passed; returns whether
// it held.
template <typename Condition>
bool WaitUntil(Condition condition, int ms = 1000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

}  // namespace testing_support
