#pragma once

#include "common/core/prompts.h"

#include <QHash>
#include <QIcon>

class QFileDialog;
class QMessageBox;

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
    std::optional<quint32> colour(quint32 initial) override;

private:
    // Qt gives every standard button of every box an icon of its own, and each leaves pixmaps
    // in Qt's pixmap cache until that fills (10 MB): a long session grew by about a kilobyte a
    // question. One icon per kind of button, kept here, serves every box.
    void shareButtonIcons(QMessageBox& box);
    QHash<int, QIcon> buttonIcons_;
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
