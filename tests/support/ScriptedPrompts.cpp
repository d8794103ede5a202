#include "ScriptedPrompts.h"

#include <QWidget>

ScriptedPrompts::ScriptedPrompts() {
    Prompts::install(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    Prompts::install(nullptr);
}

QStringList ScriptedPrompts::texts(const QString& kind) const {
    QStringList out;
    for (const Shown& s : shown_) {
        if (kind.isEmpty() || s.kind == kind)
            out.append(s.text);
    }
    return out;
}

void ScriptedPrompts::record(const QString& kind, QWidget* owner, const QString& text) {
    QString ownerName;
    if (owner)
        ownerName = owner->window()->objectName();
    shown_.append({kind, text, ownerName});
    if (qEnvironmentVariableIsSet("DN_TEST_SHOW_PROMPTS"))
        qWarning("prompt %s: %s", qPrintable(kind), qPrintable(text));
}

void ScriptedPrompts::message(QWidget* owner, const QString& text) {
    record("message", owner, text);
}

void ScriptedPrompts::hint(QWidget* owner, const QString& text) {
    record("hint", owner, text);
}

bool ScriptedPrompts::confirm(QWidget* owner, const QString& text) {
    record("confirm", owner, text);
    return confirms_.isEmpty() ? false : confirms_.takeFirst();
}

bool ScriptedPrompts::confirmRemoval(QWidget* owner, const QString& text) {
    const bool ok = confirm(owner, text);
    shown_.last().cancelByDefault = true;
    return ok;
}

void ScriptedPrompts::error(QWidget* owner, const QString& text) {
    record("error", owner, text);
}

QString ScriptedPrompts::saveFileName(QWidget* owner) {
    record("save", owner, QString());
    return saves_.isEmpty() ? QString() : saves_.takeFirst();
}

QString ScriptedPrompts::saveFileNameAt(QWidget* owner, const QString& suggested,
                                        const QString& filter) {
    record("save", owner, suggested);
    filters_.append(filter);
    return saves_.isEmpty() ? QString() : saves_.takeFirst();
}

QString ScriptedPrompts::folderName(QWidget* owner, const QString& start) {
    record("folder", owner, start);
    return folders_.isEmpty() ? QString() : folders_.takeFirst();
}

QString ScriptedPrompts::openFileName(QWidget* owner) {
    record("open", owner, QString());
    return opens_.isEmpty() ? QString() : opens_.takeFirst();
}

Prompts::PrintSetupAnswer ScriptedPrompts::printSetup(QWidget* owner, QPrinter*, int, int) {
    record("printSetup", owner, QString());
    return {printSetups_.isEmpty() ? false : printSetups_.takeFirst(), false};
}
