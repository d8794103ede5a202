#pragma once

#include "LastViewStore.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "app/RecordCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <memory>

// The whole program on a database of its own, with the boxes answered from a script.
struct RecordsFixture {
    TestDatabase db;
    ScriptedPrompts prompts;
    std::unique_ptr<Program> program;

    void start() {
        // Every test starts on the goods view, whatever an earlier test left stored.
        lastViewStore()->remove("data");
        program = std::make_unique<Program>();
        program->mainForm().show();
    }
    TMainForm& window() const { return program->mainForm(); }
    RecordCommands& commands() const { return program->commands(); }

    template <class T = QLineEdit> T* find(const QString& name) const {
        T* widget = window().findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    // Types text key by key; characters without a key of their own arrive as an input
    // method would deliver them, one key event each.
    static void typeInto(QWidget* widget, const QString& text) {
        widget->setFocus();
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(widget, c.toLatin1());
            } else {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(widget, &press);
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(widget, &release);
            }
        }
    }
    void type(const QString& box, const QString& text) const { typeInto(find(box), text); }
    void setText(const QString& box, const QString& text) const { find(box)->setText(text); }
    void click(const QString& button) const {
        QAbstractButton* b = find<QAbstractButton>(button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void chooseView(TMainForm::View view) const {
        window().viewSelector()->setCurrentIndex(static_cast<int>(view));
    }
};
