// QtTest's checks as failures of the running GoogleTest test: QVERIFY and
// QCOMPARE, and the QTRY_ waits built on them, would otherwise report to a
// QtTest run that is not there and leave the test passing. Window tests
// include this instead of <QTest>.
#pragma once

#include <QTest>

#include <gtest/gtest.h>

#undef QVERIFY
#define QVERIFY(statement)                                                                         \
    do {                                                                                           \
        if (!static_cast<bool>(statement)) {                                                       \
            ADD_FAILURE() << "not so (in time): " #statement;                                      \
            return;                                                                                \
        }                                                                                          \
    } while (false)

#undef QCOMPARE
#define QCOMPARE(actual, expected)                                                                 \
    do {                                                                                           \
        if (!((actual) == (expected))) {                                                           \
            ADD_FAILURE() << "not equal (in time): " #actual " is "                                \
                          << ::testing::PrintToString(actual) << ", " #expected " is "             \
                          << ::testing::PrintToString(expected);                                   \
            return;                                                                                \
        }                                                                                          \
    } while (false)
