#include "editor/textbox.h"

#include "editor/core/textformat.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

namespace orv {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette p = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    setPalette(p);
}

QString TextBox::text() const { return editorTextFromDocument(document()->toRawText()); }

QString TextBox::selectedText() const { return editorTextFromDocument(textCursor().selectedText()); }

bool TextBox::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (menuKeys_.contains(QKeySequence(key->keyCombination()))) {
            // Left unaccepted, so the menu entry's shortcut runs.
            e->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

void TextBox::focusInEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusInEvent(e);
    Q_EMIT gotFocus();
}

QMimeData* TextBox::createMimeDataFromSelection() const
{
    auto* mime = new QMimeData;
    mime->setText(selectedText());
    return mime;
}

} // namespace orv
