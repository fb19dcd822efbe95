#pragma once

#include "common/core/prompts.h"

#include <QList>
#include <QString>
#include <deque>

namespace orv::test {

// Prompts for tests: answers come from a script in order and every question is recorded. A
// question the test did not script (or of another kind than the next scripted answer) fails
// the running test and is answered with the safe default (Ok / No / Cancel) so it never blocks.
class ScriptedPrompts final : public Prompts {
public:
    struct Asked {
        QString kind;  // "message", "input", "open", "save"
        QString text;
        QString title;
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
    };

    ScriptedPrompts() = default;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;
    ~ScriptedPrompts() override;

    void expectMessage(PromptAnswer answer) { answers_.push_back({answer, {}, false}); }
    void expectInput(std::optional<QString> text) { answers_.push_back({PromptAnswer::Ok, text, true}); }

    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& folder, const QList<FileFilter>& filters) override;
    QString saveFileName(const QString& title, const QString& folder, const QList<FileFilter>& filters) override;

    const QList<Asked>& asked() const { return asked_; }
    bool allAnswered() const { return answers_.empty(); }
    void clear() { asked_.clear(); answers_.clear(); }

private:
    QString fileName(const QString& kind, const QString& title, const QString& folder);
    bool nextIs(bool input, const Asked& question);
    struct Answer {
        PromptAnswer answer;
        std::optional<QString> text;
        bool isInput;
    };
    std::deque<Answer> answers_;
    QList<Asked> asked_;
};

} // namespace orv::test
