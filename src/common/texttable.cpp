#include "common/texttable.h"

#include "common/appcontext.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace orv {

TextRow::TextRow(QAction* entry, int text) : set_([entry](const QString& s) { entry->setText(s); }), text_(text) {}

TextRow::TextRow(QMenu* menu, int text) : set_([menu](const QString& s) { menu->setTitle(s); }), text_(text) {}

TextRow::TextRow(QAbstractButton* button, int text)
    : set_([button](const QString& s) { button->setText(s); }), text_(text)
{
}

TextRow::TextRow(QGroupBox* frame, int text) : set_([frame](const QString& s) { frame->setTitle(s); }), text_(text) {}

TextRow::TextRow(QLabel* label, int text) : set_([label](const QString& s) { label->setText(s); }), text_(text) {}

TextRow::TextRow(Setter set, int text) : set_(std::move(set)), text_(text) {}

void TextTable::apply(const AppContext& ctx) const
{
    for (const TextRow& row : rows_)
        row.set(ctx.text(row.text()));
}

} // namespace orv
