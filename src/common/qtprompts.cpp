#include "common/qtprompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace orv {

QString displayText(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

PromptAnswer QtPrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                PromptButtons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setText(displayText(text));
    box.setWindowTitle(title);
    switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case PromptButtons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    }
    shareButtonIcons(box);
    switch (box.exec()) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default:
        // Escape or the close box.
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok
             : buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
}

void QtPrompts::shareButtonIcons(QMessageBox& box)
{
    for (QAbstractButton* button : box.buttons()) {
        const int kind = box.standardButton(button);
        auto shared = buttonIcons_.constFind(kind);
        if (shared == buttonIcons_.constEnd())
            buttonIcons_.insert(kind, button->icon());
        else
            button->setIcon(*shared);
    }
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title,
                                        const QString& defaultText)
{
    bool ok = false;
    const QString s = QInputDialog::getText(QApplication::activeWindow(), title, displayText(prompt),
                                            QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return s;
}

QString qtNameFilter(const FileFilter& filter)
{
    QStringList masks;
    for (const QString& mask : filter.masks) {
        QString any;
        for (const QChar c : mask) {
            const QChar lower = c.toLower();
            const QChar upper = c.toUpper();
            if (lower == upper)
                any += c;
            else
                any += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        }
        masks.append(any);
    }
    return filter.label + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void setUpFileDialog(QFileDialog& dialog, const QString& title, const QString& start,
                     const QList<FileFilter>& filters)
{
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(title);
    const QFileInfo info(start);
    if (start.isEmpty()) {
        // The dialog starts in the current folder.
    } else if (info.isDir()) {
        dialog.setDirectory(start);
    } else {
        // A proposed name: its folder is shown (the current one when it names none) and the
        // name stands in the name box.
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    QStringList names;
    for (const FileFilter& f : filters)
        names.append(qtNameFilter(f));
    dialog.setNameFilters(names);
}

namespace {

QString chosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

QString QtPrompts::openFileName(const QString& title, const QString& start, const QList<FileFilter>& filters)
{
    QFileDialog dialog(QApplication::activeWindow());
    setUpFileDialog(dialog, title, start, filters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

QString QtPrompts::saveFileName(const QString& title, const QString& start, const QList<FileFilter>& filters)
{
    QFileDialog dialog(QApplication::activeWindow());
    setUpFileDialog(dialog, title, start, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return chosenFile(dialog);
}

std::optional<quint32> QtPrompts::colour(quint32 initial)
{
    QColorDialog dialog(QColor::fromRgb(QRgb(initial)), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return quint32(dialog.selectedColor().rgb() & 0xFFFFFFu);
}

} // namespace orv
