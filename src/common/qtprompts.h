#pragma once

#include "common/core/prompts.h"

class QFileDialog;

namespace orv {

// Prompts shown as real Qt dialogs, parented to the active window.
class QtPrompts final : public Prompts {
public:
    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                         PromptButtons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& start, const QList<FileFilter>& filters) override;
    QString saveFileName(const QString& title, const QString& start, const QList<FileFilter>& filters) override;
};

// File dialogs are the program's own, not the desktop's: a desktop dialog adds the masks to a
// label or cuts the label short at its first parenthesis, and the labels must read as written.
// `start` is the folder shown first, or a file name proposed in the name box (with its folder,
// or alone for the current folder).
void setUpFileDialog(QFileDialog& dialog, const QString& title, const QString& start,
                     const QList<FileFilter>& filters);

// Qt's text for one filter entry: the label, then its masks in a form that ignores letter case
// ("*.[bB][mM][pP]"), which the dialog is told to hide.
QString qtNameFilter(const FileFilter& filter);

// The program joins message lines with a lone CR; dialogs need LF to break lines.
QString displayText(const QString& text);

} // namespace orv
