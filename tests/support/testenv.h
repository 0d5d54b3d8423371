#pragma once

#include <QString>
#include <QtTest/QtTest>

class QWidget;

namespace testenv {

/// Pins what makes tests flaky: a fresh temporary HOME with its XDG folders, a private runtime
/// folder, no session bus, the C locale, a fixed time zone and QStandardPaths test mode. Call
/// before the application object exists.
void prepare();

/// Path of the built program, for tests that start it as a process.
QString programPath();

/// Reads a whole file as UTF-8; empty when it cannot be opened.
QString readFile(const QString& path);
QByteArray readBytes(const QString& path);
bool writeBytes(const QString& path, const QByteArray& bytes);

/// Types text into a widget key by key, also characters QTest::keyClicks cannot (non-ASCII).
void typeText(QWidget* widget, const QString& text);

/// Shows a top-level widget and makes it the active window, so focus changes work offscreen.
bool showActive(QWidget* window);

} // namespace testenv

#define MRV_TEST_MAIN_IMPL(AppClass, TestObject) \
    int main(int argc, char** argv) \
    { \
        testenv::prepare(); \
        AppClass app(argc, argv); \
        TestObject tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }

/// Test main for tests that need no widgets.
#define MRV_TEST_GUILESS_MAIN(TestObject) MRV_TEST_MAIN_IMPL(QCoreApplication, TestObject)
/// Test main for widget tests (offscreen platform).
#define MRV_TEST_WIDGETS_MAIN(TestObject) MRV_TEST_MAIN_IMPL(QApplication, TestObject)
