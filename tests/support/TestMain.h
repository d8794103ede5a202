#pragma once

#include "ui/AppSetup.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#ifdef Q_OS_WIN
#include <QFile>
#include <QSettings>
// Windows keeps a user's settings where no environment variable moves them (%APPDATA% and the
// registry of the Wine prefix): each test program starts without what an earlier one left, as
// a new HOME gives it on Linux (the programs run one after another under Wine).
inline void dnForgetWindowsSettings() {
    QFile::remove(QSettings(QSettings::IniFormat, QSettings::UserScope, "qorvel").fileName());
    QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\qorvel"), QSettings::NativeFormat)
        .clear();
}
#else
inline void dnForgetWindowsSettings() {}
#endif

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
        dnForgetWindowsSettings();                                                                 \
        QApplication app(argc, argv);                                                              \
        setUpApplication(app);                                                                     \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
