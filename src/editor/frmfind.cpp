#include "editor/frmfind.h"

#include "editor/core/editing.h"
#include "editor/core/textformat.h"
#include "editor/texteditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace orv {

frmFind::frmFind(TextEditor& editor, SearchState& state)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint),
      editor_(editor), state_(state)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Label1_ = new QLabel(QStringLiteral("Fi&nd What:"), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    // Several lines, so a selection with line breaks can be searched for; long lines scroll.
    Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1_->setTabChangesFocus(true);
    Text1_->setFixedSize(fontMetrics().averageCharWidth() * 34, fontMetrics().lineSpacing() * 2 + 12);
    Text1_->installEventFilter(this);
    Label1_->setBuddy(Text1_);

    chkCase_ = new QCheckBox(QStringLiteral("Match &Case"), this);
    chkCase_->setObjectName(QStringLiteral("chkCase"));
    Frame1_ = new QGroupBox(QStringLiteral("Direction"), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    optDirection_[0] = new QRadioButton(QStringLiteral("&Up"), Frame1_);
    optDirection_[0]->setObjectName(QStringLiteral("optDirection0"));
    optDirection_[1] = new QRadioButton(QStringLiteral("&Down"), Frame1_);
    optDirection_[1]->setObjectName(QStringLiteral("optDirection1"));
    optDirection_[1]->setChecked(true);
    auto* directions = new QHBoxLayout(Frame1_);
    directions->addWidget(optDirection_[0]);
    directions->addWidget(optDirection_[1]);

    cmdFind_ = new QPushButton(QStringLiteral("&Find"), this);
    cmdFind_->setObjectName(QStringLiteral("cmdFind"));
    cmdFind_->setDefault(true);
    cmdFind_->setAutoDefault(false);
    cmdcancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdcancel_->setObjectName(QStringLiteral("cmdcancel"));
    cmdcancel_->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1_, 0, 0, Qt::AlignTop);
    grid->addWidget(Text1_, 0, 1, 1, 2);
    grid->addWidget(cmdFind_, 0, 3, Qt::AlignTop);
    grid->addWidget(chkCase_, 1, 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(Frame1_, 1, 2);
    grid->addWidget(cmdcancel_, 1, 3, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Text1_, chkCase_);
    setTabOrder(chkCase_, optDirection_[0]);
    setTabOrder(optDirection_[0], optDirection_[1]);
    setTabOrder(optDirection_[1], cmdFind_);
    setTabOrder(cmdFind_, cmdcancel_);

    connect(Text1_, &QPlainTextEdit::textChanged, this, &frmFind::Text1_Change);
    connect(chkCase_, &QCheckBox::clicked, this, &frmFind::chkCase_Click);
    for (int i = 0; i < 2; ++i)
        connect(optDirection_[i], &QRadioButton::clicked, this, [this, i] { optDirection_Click(i); });
    connect(cmdFind_, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdcancel_, &QPushButton::clicked, this, &frmFind::cmdcancel_Click);
}

void frmFind::Form_Load()
{
    cmdFind_->setEnabled(false);
    optDirection_[state_.searchDirection == SearchDirection::Up ? 0 : 1]->setChecked(true);
}

void frmFind::setSearchText(const QString& text)
{
    Text1_->setPlainText(text);
    Text1_->selectAll();
    if (state_.searchMatchCase)
        chkCase_->setChecked(true);
}

QString frmFind::searchText() const { return editorTextFromDocument(Text1_->document()->toRawText()); }

void frmFind::Text1_Change() { cmdFind_->setEnabled(!Text1_->document()->isEmpty()); }

void frmFind::chkCase_Click() { state_.searchMatchCase = chkCase_->isChecked(); }

void frmFind::optDirection_Click(int index)
{
    state_.searchDirection = index == 0 ? SearchDirection::Up : SearchDirection::Down;
}

void frmFind::cmdFind_Click()
{
    state_.searchText = searchText();
    editor_.findInActiveDocument();
}

void frmFind::cmdcancel_Click()
{
    state_.cancelled(searchText(), chkCase_->isChecked());
    close();
}

bool frmFind::eventFilter(QObject* watched, QEvent* e)
{
    // Enter in the box is the default button's, as in any dialog; the box takes line breaks
    // only from a pasted or selected text.
    if (watched == Text1_ && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            if (cmdFind_->isEnabled())
                cmdFind_->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            cmdcancel_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void frmFind::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        cmdcancel_->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace orv
