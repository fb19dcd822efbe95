#include "scriptedprompts.h"

namespace orv::test {

PromptAnswer ScriptedPrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                      PromptButtons buttons)
{
    asked_.append({QStringLiteral("message"), text, title, icon, buttons});
    if (answers_.empty() || answers_.front().isInput) {
        ++unexpected_;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok
             : buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
    const PromptAnswer a = answers_.front().answer;
    answers_.pop_front();
    return a;
}

std::optional<QString> ScriptedPrompts::input(const QString& prompt, const QString& title, const QString&)
{
    asked_.append({QStringLiteral("input"), prompt, title, PromptIcon::None, PromptButtons::OkCancel});
    if (answers_.empty() || !answers_.front().isInput) {
        ++unexpected_;
        return std::nullopt;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a.text;
}

QString ScriptedPrompts::fileName(const QString& kind, const QString& title, const QString& folder)
{
    asked_.append({kind, folder, title, PromptIcon::None, PromptButtons::OkCancel});
    if (answers_.empty() || !answers_.front().isInput) {
        ++unexpected_;
        return {};
    }
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
