#pragma once

// Waiting on a condition inside a GoogleTest test. Qt's QTRY_* macros report a timeout to
// QTest's own log and return, which GoogleTest never sees: the test would pass. These fail the
// GoogleTest test at the caller's line instead. Events are processed while waiting.

#include <QTest>
#include <gtest/gtest.h>

namespace orv::test {

// As long as QTRY_* waits by default.
inline constexpr int kEventuallyMs = 5000;

} // namespace orv::test

#define ORV_WAIT_UNTIL_(condition, timeoutMs) \
    ::QTest::qWaitFor([&]() -> bool { return static_cast<bool>(condition); }, timeoutMs)

// The condition comes true within 5 s (or the time given, in ms).
#define EXPECT_EVENTUALLY(condition) \
    EXPECT_TRUE(ORV_WAIT_UNTIL_(condition, ::orv::test::kEventuallyMs)) << "never came true: " #condition
#define ASSERT_EVENTUALLY(condition) \
    ASSERT_TRUE(ORV_WAIT_UNTIL_(condition, ::orv::test::kEventuallyMs)) << "never came true: " #condition
#define ASSERT_EVENTUALLY_WITHIN(condition, timeoutMs) \
    ASSERT_TRUE(ORV_WAIT_UNTIL_(condition, timeoutMs)) << "never came true: " #condition

// The two become equal within 5 s; on a timeout both values as they stand are shown.
#define EXPECT_EVENTUALLY_EQ(actual, expected)                             \
    do {                                                                   \
        static_cast<void>(ORV_WAIT_UNTIL_((actual) == (expected), ::orv::test::kEventuallyMs)); \
        EXPECT_EQ(actual, expected) << "after waiting";                    \
    } while (false)
#define ASSERT_EVENTUALLY_EQ(actual, expected)                             \
    do {                                                                   \
        static_cast<void>(ORV_WAIT_UNTIL_((actual) == (expected), ::orv::test::kEventuallyMs)); \
        ASSERT_EQ(actual, expected) << "after waiting";                    \
    } while (false)
