#pragma once

#include "ui/AppSetup.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

// Every test program runs offscreen with a HOME and config folder of its own, so no test can
// touch the real desktop folder or settings.
#define DN_TEST_MAIN(TestClass)                                                                    \
    int main(int argc, char** argv) {                                                              \
        QTemporaryDir home;                                                                        \
        qputenv("HOME", home.path().toUtf8());                                                     \
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());                           \
        qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());                        \
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());                                          \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        if (qEnvironmentVariable("NOTE_TEST_BACKEND") == "server" &&                               \
            qEnvironmentVariableIsEmpty("NOTE_TEST_SERVER")) {                                     \
            fputs("NOTE_TEST_SERVER names no database server: skipped\n", stderr);                 \
            return 77;                                                                             \
        }                                                                                          \
        QApplication app(argc, argv);                                                              \
        setUpApplication(app);                                                                     \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
