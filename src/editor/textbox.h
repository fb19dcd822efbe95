#pragma once

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

namespace orv {

// A document's text box: plain text that wraps at the window's width, a vertical scroll bar
// only, and a selection that stays shown while another window has the focus. Keys that are
// shortcuts of the document's menus run those entries instead of the box's own editing.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setMenuShortcuts(QList<QKeySequence> keys) { menuKeys_ = std::move(keys); }

    // The whole text and the selection in the editor's form: every line break a single LF,
    // no-break spaces kept.
    QString text() const;
    QString selectedText() const;

Q_SIGNALS:
    void gotFocus();

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    // What a copy or a drag carries; the text box's own would turn no-break spaces into spaces.
    QMimeData* createMimeDataFromSelection() const override;

private:
    QList<QKeySequence> menuKeys_;
};

} // namespace orv
