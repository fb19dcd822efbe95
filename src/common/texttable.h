#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;

namespace orv {

class AppContext;

// One row of a window's text table: a control and the number of the language text it shows.
// Menu entries, buttons and labels show it as their caption, menus and frames as their title;
// anything else (a window title, a tool tip, a list entry) names what to do with the text.
class TextRow {
public:
    using Setter = std::function<void(const QString&)>;

    TextRow(QAction* entry, int text);
    TextRow(QMenu* menu, int text);
    TextRow(QAbstractButton* button, int text);
    TextRow(QGroupBox* frame, int text);
    TextRow(QLabel* label, int text);
    TextRow(Setter set, int text);

    int text() const { return text_; }
    void set(const QString& value) const { set_(value); }

private:
    Setter set_;
    int text_;
};

// A window's language texts: which control shows which numbered text, in the order they are
// applied. Each window builds its table next to its controls and applies it in applyTexts();
// a text missing from the store gives an empty caption.
class TextTable {
public:
    TextTable() = default;
    TextTable(std::initializer_list<TextRow> rows) : rows_(rows) {}

    void apply(const AppContext& ctx) const;
    const QList<TextRow>& rows() const { return rows_; }

private:
    QList<TextRow> rows_;
};

} // namespace orv
