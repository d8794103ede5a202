#pragma once

#include "ScriptedPrompts.h"
#include "TestDatabase.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "app/RecordCommands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

// The whole program on a database of its own, with the boxes answered from a script.
struct RecordsFixture {
    TestDatabase db;
    ScriptedPrompts prompts;
    std::unique_ptr<Program> program;

    void start() {
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
    void type(const QString& box, const QString& text) const {
        QLineEdit* edit = find(box);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    void setText(const QString& box, const QString& text) const { find(box)->setText(text); }
    void click(const QString& button) const {
        QAbstractButton* b = find<QAbstractButton>(button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void chooseView(TMainForm::View view) const {
        window().viewSelector()->setCurrentIndex(static_cast<int>(view));
    }
};
