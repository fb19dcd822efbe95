// Rule: a file dialog shows each filter's label exactly as written, with none of the masks
// added to it, and lists the files its masks let through in either letter case, and no others.
// Message boxes share one icon per kind of button, so answering questions costs no memory.
#include "common/qtprompts.h"
#include "eventually.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orv;

namespace {

const QList<FileFilter> kFilters = {
    {QStringLiteral("Bitmap files (*.dib, *.bmp)"), {QStringLiteral("*.bmp"), QStringLiteral("*.dib")}},
    {QStringLiteral("Jasc Palette Files (*.pal)"), {QStringLiteral("*.pal")}},
};

QStringList shownFiles(const QFileDialog& dialog)
{
    const auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!list)
        return names;
    for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
        names.append(list->model()->index(row, 0, list->rootIndex()).data().toString());
    names.sort();
    return names;
}

// Shows a message and answers it (OK where it has one) the moment it is up; returns its title
// and the icon of each of its buttons.
struct ShownMessage {
    QString title;
    QList<QIcon> buttonIcons;
    PromptAnswer answer = PromptAnswer::Cancel;
};

ShownMessage showAndAnswer(QtPrompts& prompts, PromptButtons buttons)
{
    ShownMessage shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        shown.title = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            shown.buttonIcons.append(button->icon());
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->buttons().first()->click();
    });
    poll.start(10);
    shown.answer = prompts.message(QStringLiteral("Line one\rline two"), QStringLiteral("Title"),
                                   PromptIcon::Critical, buttons);
    return shown;
}

// Buttons carry icons where the desktop's style says so, as under X11; the test platform's
// style says not.
class ButtonIconStyle : public QProxyStyle {
public:
    ButtonIconStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons ? 1 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

// Every box shows the same icon for the same button: a box that made its own left it behind
// in Qt's pixmap cache, and a long session grew with every question answered.
TEST(QtPrompts, MessageBoxesShareTheirButtonIcons)
{
    const QString style = QApplication::style()->name();
    QApplication::setStyle(new ButtonIconStyle);
    QtPrompts prompts;
    const ShownMessage first = showAndAnswer(prompts, PromptButtons::OkCancel);
    const ShownMessage second = showAndAnswer(prompts, PromptButtons::OkCancel);
    const ShownMessage other = showAndAnswer(prompts, PromptButtons::Ok);
    QApplication::setStyle(style);

    EXPECT_EQ(first.title, QStringLiteral("Title"));
    EXPECT_EQ(first.answer, PromptAnswer::Ok);
    EXPECT_EQ(other.answer, PromptAnswer::Ok);
    ASSERT_EQ(first.buttonIcons.size(), 2);
    ASSERT_EQ(second.buttonIcons.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(first.buttonIcons[i].isNull()) << i;
        EXPECT_EQ(second.buttonIcons[i].cacheKey(), first.buttonIcons[i].cacheKey()) << i;
    }
}

TEST(QtPrompts, FileDialogLabelsReadAsWrittenAndMasksIgnoreCase)
{
    QTemporaryDir dir;
    for (const char* name : {"A.BMP", "b.dib", "C.Pal", "d.txt", "e.bmp.bak"})
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);

    QFileDialog dialog;
    setUpFileDialog(dialog, QStringLiteral("Open a palette file"), dir.path(), kFilters);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Open a palette file"));
    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_TRUE(types);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), kFilters[0].label);
    EXPECT_EQ(types->itemText(1), kFilters[1].label);
    EXPECT_EQ(types->currentIndex(), 0);
    ASSERT_EVENTUALLY_EQ(shownFiles(dialog), (QStringList{QStringLiteral("A.BMP"), QStringLiteral("b.dib")}));

    dialog.selectNameFilter(qtNameFilter(kFilters[1]));
    ASSERT_EVENTUALLY_EQ(shownFiles(dialog), QStringList{QStringLiteral("C.Pal")});
}

// A proposed name stands in the name box, letter case kept, in its own folder when it has one.
TEST(QtPrompts, SaveDialogStartsWithTheProposedName)
{
    QTemporaryDir dir;
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    setUpFileDialog(dialog, QStringLiteral("Save As"), dir.filePath(QStringLiteral("Notes Draft.TXT")), {});
    EXPECT_EQ(QFileInfo(dialog.directory().path()).canonicalFilePath(), QFileInfo(dir.path()).canonicalFilePath());
    const auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text(), QStringLiteral("Notes Draft.TXT"));

    QFileDialog bare;
    bare.setAcceptMode(QFileDialog::AcceptSave);
    setUpFileDialog(bare, QStringLiteral("Save As"), QStringLiteral("Untitled.txt"), {});
    ASSERT_TRUE(bare.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")));
    EXPECT_EQ(bare.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("Untitled.txt"));
}

TEST(QtPrompts, NameFilterSpellsEachLetterBothWays)
{
    EXPECT_EQ(qtNameFilter({QStringLiteral("Shows (*.sli)"), {QStringLiteral("*.sli"), QStringLiteral("a_1?.x")}}),
              QStringLiteral("Shows (*.sli) (*.[sS][lL][iI] [aA]_1?.[xX])"));
}
