#pragma once

#include <QString>
#include <optional>

namespace orv {

enum class PromptIcon { None, Critical, Question, Exclamation, Information };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

// Every message box, input box and file or colour dialog of the program goes through this.
// The Qt implementation shows real dialogs; the scripted one in tests answers from a script
// and records every question, so no test ever blocks on a dialog.
// Texts may join lines with a lone CR (the program's own convention); implementations show
// each CR as a line break.
class Prompts {
public:
    virtual ~Prompts() = default;

    virtual PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                                 PromptButtons buttons) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // Empty when the user cancels. filter uses Qt's "Name (*.a *.b);;Other (*.c)" form.
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder, const QString& filter) = 0;
};

} // namespace orv
