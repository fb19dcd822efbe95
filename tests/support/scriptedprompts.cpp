#include "scriptedprompts.h"

#include <gtest/gtest.h>

namespace orv::test {

ScriptedPrompts::~ScriptedPrompts()
{
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) left: the questions never came";
}

bool ScriptedPrompts::nextIs(bool input, const Asked& question)
{
    asked_.append(question);
    if (!answers_.empty() && answers_.front().isInput == input)
        return true;
    ADD_FAILURE() << "unscripted " << question.kind.toStdString() << " prompt: \""
                  << question.text.toStdString() << "\" (title \"" << question.title.toStdString() << "\")"
                  << (answers_.empty() ? "" : input ? "; a message answer was next" : "; an input answer was next");
    return false;
}

PromptAnswer ScriptedPrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                      PromptButtons buttons)
{
    if (!nextIs(false, {QStringLiteral("message"), text, title, icon, buttons})) {
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok
             : buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
    const PromptAnswer a = answers_.front().answer;
    answers_.pop_front();
    return a;
}

std::optional<QString> ScriptedPrompts::input(const QString& prompt, const QString& title, const QString&)
{
    if (!nextIs(true, {QStringLiteral("input"), prompt, title, PromptIcon::None, PromptButtons::OkCancel}))
        return std::nullopt;
    const Answer a = answers_.front();
    answers_.pop_front();
    return a.text;
}

QString ScriptedPrompts::fileName(const QString& kind, const QString& title, const QString& folder)
{
    if (!nextIs(true, {kind, folder, title, PromptIcon::None, PromptButtons::OkCancel}))
        return {};
    const QString t = answers_.front().text.value_or(QString());
    answers_.pop_front();
    return t;
}

QString ScriptedPrompts::openFileName(const QString& title, const QString& folder, const QList<FileFilter>&)
{
    return fileName(QStringLiteral("open"), title, folder);
}

QString ScriptedPrompts::saveFileName(const QString& title, const QString& folder, const QList<FileFilter>&)
{
    return fileName(QStringLiteral("save"), title, folder);
}

} // namespace orv::test
