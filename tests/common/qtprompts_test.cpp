// Rule: a file dialog shows each filter's label exactly as written, with none of the masks
// added to it, and lists the files its masks let through in either letter case, and no others.
#include "common/qtprompts.h"
#include "eventually.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
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

} // namespace

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
