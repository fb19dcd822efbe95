#pragma once

#include "common/core/prompts.h"

#include <QList>
#include <QString>
#include <deque>

namespace orv::test {

// Prompts for tests: answers come from a script in order, every question is recorded, and a
// question nobody scripted is recorded as unexpected and answered with the safe default
// (Ok / No / Cancel), so a test can fail on it instead of blocking.
class ScriptedPrompts final : public Prompts {
public:
    struct Asked {
        QString kind;  // "message", "input", "open", "save"
        QString text;
        QString title;
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
    };

    void expectMessage(PromptAnswer answer) { answers_.push_back({answer, {}, false}); }
    void expectInput(std::optional<QString> text) { answers_.push_back({PromptAnswer::Ok, text, true}); }

    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& folder, const QList<FileFilter>& filters) override;
    QString saveFileName(const QString& title, const QString& folder, const QList<FileFilter>& filters) override;

    const QList<Asked>& asked() const { return asked_; }
    int unexpected() const { return unexpected_; }
    bool allAnswered() const { return answers_.empty(); }
    void clear() { asked_.clear(); unexpected_ = 0; answers_.clear(); }

private:
    QString fileName(const QString& kind, const QString& title, const QString& folder);
    struct Answer {
        PromptAnswer answer;
        std::optional<QString> text;
        bool isInput;
    };
    std::deque<Answer> answers_;
    QList<Asked> asked_;
    int unexpected_ = 0;
};

} // namespace orv::test
