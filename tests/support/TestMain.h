#pragma once
#include <QCoreApplication>
#include <QTest>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#endif

// The tests of one folder build into one program (dtu_unit_tests,
// dtu_ui_tests...) that holds a QtTest class per module. Each class
// registers under its file's name and the program runs the one its first
// argument names, passing the rest to QtTest:
//   build/tests/dtu_unit_tests tst_frame_codec -v2
// Without an argument the program lists the tests it holds.
namespace TestRegistry {
using Entry = int (*)(int argc, char *argv[]);
// Registers `entry` under the base name of `sourceFile`; returns true.
bool Add(const char *sourceFile, Entry entry);
} // namespace TestRegistry

// What QTEST_MAIN does, for the class of one test.
template <typename App, typename TestObject>
int RunQtTest(int argc, char *argv[])
{
    App app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestObject test;
    return QTest::qExec(&test, argc, argv);
}

// The flag's name is made unique with __COUNTER__: in a unity build several
// test files share one translation unit.
#define DTU_TEST_JOIN_(a, b) a##b
#define DTU_TEST_JOIN(a, b) DTU_TEST_JOIN_(a, b)
#define DTU_TEST_REGISTER(entry)                                                                              \
    namespace {                                                                                               \
    const bool DTU_TEST_JOIN(dtuTestRegistered, __COUNTER__) = TestRegistry::Add(__FILE__, entry);            \
    }
#define DTU_TEST_WITH(App, TestObject) DTU_TEST_REGISTER((&RunQtTest<App, TestObject>))
// A test without windows (a QCoreApplication).
#define DTU_TEST_GUILESS(TestObject) DTU_TEST_WITH(QCoreApplication, TestObject)
// A test that shows widgets (a QApplication).
#define DTU_TEST_WIDGETS(TestObject) DTU_TEST_WITH(QApplication, TestObject)
// A test with a main of its own, such as one that runs itself as a child
// process (which it starts with its test name as the first argument).
#define DTU_TEST_ENTRY(function) DTU_TEST_REGISTER(&function)
