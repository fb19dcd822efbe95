#pragma once

#include "common/core/prompts.h"

namespace orv {

// Prompts shown as real Qt dialogs, parented to the active window.
class QtPrompts final : public Prompts {
public:
    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& filter) override;
};

// The program joins message lines with a lone CR; dialogs need LF to break lines.
QString displayText(const QString& text);

} // namespace orv
