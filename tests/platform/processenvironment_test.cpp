// The process's folders keep the bytes of names that are not UTF-8, as the file list does.
#include "platform/core/processenvironment.h"
#include "support/rawname.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orv;

TEST(RealProcessEnvironment, FoldersNamedInBytesAreEnteredAndReported)
{
    QTemporaryDir dir;
    const QString folder = test::makeRawNamedFolder(dir.path(), test::notUtf8Name("d"));
    ASSERT_FALSE(folder.isEmpty());
    const QString before = QDir::currentPath();

    RealProcessEnvironment process;
    EXPECT_TRUE(process.arguments().isEmpty());  // until the start-up hands them over
    process.setArguments({folder});
    EXPECT_EQ(process.arguments(), QStringList{folder});

    ASSERT_TRUE(process.setCurrentFolder(folder));
    EXPECT_EQ(process.currentFolder(), folder);
    EXPECT_EQ(RealProcessEnvironment().launchFolder(), folder);
    EXPECT_FALSE(process.setCurrentFolder(folder + QStringLiteral("/missing")));
    EXPECT_EQ(process.currentFolder(), folder);
    EXPECT_FALSE(process.setCurrentFolder(QString()));
    ASSERT_TRUE(process.setCurrentFolder(before));

    EXPECT_EQ(process.executableFolder(), QCoreApplication::applicationDirPath());
}
