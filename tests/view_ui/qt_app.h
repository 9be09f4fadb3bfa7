#pragma once
// One application object for all widget tests of the program, offscreen unless the
// caller chose a platform. It lives until the process ends: Qt's own exit-time
// clean-up must find it still there.
#include <QApplication>

inline QApplication& test_app()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "view_ui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}
