// The folder list's lines: ancestors from "/", then visible sub-folders sorted without regard
// to case; odd names and unreadable folders never break it.
#include "browsing/core/folderentries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orv;

TEST(FolderEntries, AncestorsThenSortedSubfolders)
{
    QTemporaryDir tmp;
    QDir d(tmp.path());
    for (const char* n : {"beta", "Zulu", "Alpha", "gamma dir", ".hidden", "new\nline", "apple"})
        ASSERT_TRUE(d.mkdir(QString::fromUtf8(n)));
    QFile(d.filePath(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    ASSERT_EQ(::symlink("beta", QFile::encodeName(d.filePath(QStringLiteral("link"))).constData()), 0);

    const FolderEntries fe = folderEntries(tmp.path() + QStringLiteral("/./"));
    ASSERT_GE(fe.currentIndex, 1);
    EXPECT_EQ(fe.entries.front().path, QStringLiteral("/"));
    EXPECT_EQ(fe.entries[fe.currentIndex].path, QDir::cleanPath(tmp.path()));
    EXPECT_TRUE(fe.entries[fe.currentIndex].open);
    QStringList subs;
    for (qsizetype i = fe.currentIndex + 1; i < fe.entries.size(); ++i) {
        EXPECT_FALSE(fe.entries[i].open);
        EXPECT_EQ(fe.entries[i].depth, fe.entries[fe.currentIndex].depth + 1);
        subs << fe.entries[i].label;
    }
    // Capitals sort among the small letters, not ahead of them.
    EXPECT_EQ(subs, (QStringList{QStringLiteral("Alpha"), QStringLiteral("apple"), QStringLiteral("beta"),
                                 QStringLiteral("gamma dir"), QStringLiteral("link"), QStringLiteral("new\nline"),
                                 QStringLiteral("Zulu")}));
    EXPECT_TRUE(fe.readable);
}

TEST(FolderEntries, VanishedFolderAndBadNames)
{
    QTemporaryDir tmp;
    const QByteArray bad = QFile::encodeName(tmp.path()) + "/caf\xe9";
    ASSERT_EQ(::mkdir(bad.constData(), 0755), 0);
    const FolderEntries fe = folderEntries(tmp.path());
    ASSERT_EQ(fe.entries.size(), fe.currentIndex + 2);
    EXPECT_FALSE(fe.entries.back().label.isEmpty());
    ::rmdir(bad.constData());

    const FolderEntries gone = folderEntries(tmp.path() + QStringLiteral("/missing"));
    EXPECT_FALSE(gone.readable);
    EXPECT_EQ(gone.entries.size(), gone.currentIndex + 1);
    EXPECT_FALSE(canEnterFolder(tmp.path() + QStringLiteral("/missing")));
    EXPECT_TRUE(canEnterFolder(tmp.path()));
    EXPECT_EQ(cleanFolderPath(QStringLiteral("/a/b/../c/")), QStringLiteral("/a/c"));
    EXPECT_EQ(cleanFolderPath(QStringLiteral("/..")), QStringLiteral("/"));
}
