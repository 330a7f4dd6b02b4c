#pragma once
#include <QtTest>

// The main of a QtTest class: DTU_TEST_GUILESS for a test without windows
// (a QCoreApplication), DTU_TEST_WIDGETS for one that shows widgets (a
// QApplication).
#define DTU_TEST_GUILESS(TestObject) QTEST_GUILESS_MAIN(TestObject)
#define DTU_TEST_WIDGETS(TestObject) QTEST_MAIN(TestObject)
