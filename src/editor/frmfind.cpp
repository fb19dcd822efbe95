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

    Label1 = new QLabel(QStringLiteral("Fi&nd What:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    // Several lines, so a selection with line breaks can be searched for; long lines scroll.
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setTabChangesFocus(true);
    Text1->setFixedSize(fontMetrics().averageCharWidth() * 34, fontMetrics().lineSpacing() * 2 + 12);
    Text1->installEventFilter(this);
    Label1->setBuddy(Text1);

    chkCase = new QCheckBox(QStringLiteral("Match &Case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    Frame1 = new QGroupBox(QStringLiteral("Direction"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    optDirection[0] = new QRadioButton(QStringLiteral("&Up"), Frame1);
    optDirection[0]->setObjectName(QStringLiteral("optDirection0"));
    optDirection[1] = new QRadioButton(QStringLiteral("&Down"), Frame1);
    optDirection[1]->setObjectName(QStringLiteral("optDirection1"));
    optDirection[1]->setChecked(true);
    auto* directions = new QHBoxLayout(Frame1);
    directions->addWidget(optDirection[0]);
    directions->addWidget(optDirection[1]);

    cmdFind = new QPushButton(QStringLiteral("&Find"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdFind->setAutoDefault(false);
    cmdcancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdcancel->setObjectName(QStringLiteral("cmdcancel"));
    cmdcancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, Qt::AlignTop);
    grid->addWidget(Text1, 0, 1, 1, 2);
    grid->addWidget(cmdFind, 0, 3, Qt::AlignTop);
    grid->addWidget(chkCase, 1, 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(Frame1, 1, 2);
    grid->addWidget(cmdcancel, 1, 3, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Text1, chkCase);
    setTabOrder(chkCase, optDirection[0]);
    setTabOrder(optDirection[0], optDirection[1]);
    setTabOrder(optDirection[1], cmdFind);
    setTabOrder(cmdFind, cmdcancel);

    connect(Text1, &QPlainTextEdit::textChanged, this, &frmFind::Text1_Change);
    connect(chkCase, &QCheckBox::clicked, this, &frmFind::chkCase_Click);
    for (int i = 0; i < 2; ++i)
        connect(optDirection[i], &QRadioButton::clicked, this, [this, i] { optDirection_Click(i); });
    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdcancel, &QPushButton::clicked, this, &frmFind::cmdcancel_Click);
}

void frmFind::Form_Load()
{
    cmdFind->setEnabled(false);
    optDirection[state_.searchDirection == SearchDirection::Up ? 0 : 1]->setChecked(true);
}

void frmFind::setSearchText(const QString& text)
{
    Text1->setPlainText(text);
    Text1->selectAll();
    if (state_.searchMatchCase)
        chkCase->setChecked(true);
}

QString frmFind::searchText() const { return editorTextFromDocument(Text1->document()->toRawText()); }

void frmFind::Text1_Change() { cmdFind->setEnabled(!Text1->document()->isEmpty()); }

void frmFind::chkCase_Click() { state_.searchMatchCase = chkCase->isChecked(); }

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
    state_.cancelled(searchText(), chkCase->isChecked());
    close();
}

bool frmFind::eventFilter(QObject* watched, QEvent* e)
{
    // Enter in the box is the default button's, as in any dialog; the box takes line breaks
    // only from a pasted or selected text.
    if (watched == Text1 && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            if (cmdFind->isEnabled())
                cmdFind->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            cmdcancel->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void frmFind::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        cmdcancel->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace orv
