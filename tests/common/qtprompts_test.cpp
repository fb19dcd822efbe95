// Rule: a file dialog shows each filter's label exactly as written, with none of the masks
// added to it, and lists the files its masks let through in either letter case, and no others.
#include "common/qtprompts.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
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
    QTRY_COMPARE(shownFiles(dialog), (QStringList{QStringLiteral("A.BMP"), QStringLiteral("b.dib")}));

    dialog.selectNameFilter(qtNameFilter(kFilters[1]));
    QTRY_COMPARE(shownFiles(dialog), QStringList{QStringLiteral("C.Pal")});
}

TEST(QtPrompts, NameFilterSpellsEachLetterBothWays)
{
    EXPECT_EQ(qtNameFilter({QStringLiteral("Shows (*.sli)"), {QStringLiteral("*.sli"), QStringLiteral("a_1?.x")}}),
              QStringLiteral("Shows (*.sli) (*.[sS][lL][iI] [aA]_1?.[xX])"));
}
