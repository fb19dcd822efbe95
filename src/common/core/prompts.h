#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orv {

enum class PromptIcon { None, Critical, Question, Exclamation, Information };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

// One entry of a file dialog's type list: its label, shown exactly as written, and the masks
// it lets through ("*.bmp"), which match names in either letter case.
struct FileFilter {
    QString label;
    QStringList masks;
};

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
    // The chosen path, empty when the user cancels. The first filter is selected at first.
    // `start` is the folder shown first, or a file name proposed in the name box.
    virtual QString openFileName(const QString& title, const QString& start, const QList<FileFilter>& filters) = 0;
    virtual QString saveFileName(const QString& title, const QString& start, const QList<FileFilter>& filters) = 0;
};

} // namespace orv
