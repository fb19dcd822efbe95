// Rule: the file list fills off the UI thread, holds no selection after a refill, and reports
// only selections the user makes.
#include "browsing/core/folderbrowser.h"
#include "browsing/filelistview.h"
#include "fakeplatform.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <unistd.h>

using orv::FileListView;

namespace {

class FileListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        for (const char* name : {"c.jpg", "A.txt", "b.JPG", "notes.doc", "caf\xff.jpg"}) {
            const QByteArray path = QFile::encodeName(dir_.path()) + '/' + name;
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
        }
        ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("d.jpg")));
        view_.setPattern(QStringLiteral("*.jpg;*.txt"));
        view_.resize(200, 300);
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }

    // QTemporaryDir cannot name a file whose name is not UTF-8 to remove it.
    void TearDown() override { ::unlink((QFile::encodeName(dir_.path()) + "/caf\xff.jpg").constData()); }

    // Runs `change` and waits for the refill it starts.
    void fill(const std::function<void()>& change)
    {
        QSignalSpy loaded(&view_, &FileListView::loaded);
        change();
        EXPECT_TRUE(view_.isLoading());
        ASSERT_TRUE(loaded.wait(10000));
        EXPECT_EQ(loaded.count(), 1);
        EXPECT_FALSE(view_.isLoading());
    }

    QStringList rows() const
    {
        QStringList names;
        for (int row = 0; row < view_.model()->rowCount(); ++row)
            names.append(view_.model()->index(row, 0).data().toString());
        return names;
    }

    QTemporaryDir dir_;
    FileListView view_;
};

} // namespace

TEST_F(FileListViewTest, FillsWithMatchingFilesAndRefillsOnPatternChange)
{
    fill([&] { view_.setFolder(dir_.path()); });
    EXPECT_EQ(view_.folder(), dir_.path());
    EXPECT_EQ(view_.count(), 4);
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("A.txt"), QStringLiteral("b.JPG"), QStringLiteral("c.jpg"),
                                   QFile::decodeName("caf\xff.jpg")}));
    EXPECT_FALSE(view_.hasError());

    fill([&] { view_.setPattern(QStringLiteral("*.txt;*.doc")); });
    EXPECT_EQ(view_.pattern(), QStringLiteral("*.txt;*.doc"));
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("A.txt"), QStringLiteral("notes.doc")}));

    fill([&] { view_.setFolder(dir_.path() + QStringLiteral("/missing")); });
    EXPECT_EQ(view_.count(), 0);
    EXPECT_TRUE(view_.hasError());
}

TEST_F(FileListViewTest, KeyboardSelectionReportsClickAndRefillClearsSilently)
{
    fill([&] { view_.setFolder(dir_.path()); });
    QSignalSpy clicked(&view_, &FileListView::fileClicked);

    QTest::keyClick(&view_, Qt::Key_Down);
    ASSERT_EQ(clicked.count(), 1);
    const QString first = view_.selectedName();
    EXPECT_FALSE(first.isEmpty());
    QTest::keyClick(&view_, Qt::Key_Down);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_NE(view_.selectedName(), first);
    EXPECT_EQ(QFile::decodeName(view_.selectedRawName()), view_.selectedName());

    fill([&] { view_.setFolder(dir_.path()); });
    EXPECT_TRUE(view_.selectedName().isEmpty());
    EXPECT_TRUE(view_.selectedRawName().isEmpty());
    EXPECT_EQ(clicked.count(), 2);
}

TEST_F(FileListViewTest, MouseSelectsWithLeftButtonOnlyAndRawNameSurvives)
{
    fill([&] { view_.setFolder(dir_.path()); });
    QSignalSpy clicked(&view_, &FileListView::fileClicked);
    QSignalSpy right(&view_, &FileListView::rightButtonPressed);

    const QPoint last = view_.visualRect(view_.model()->index(3, 0)).center();
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, last);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(view_.selectedRawName(), QByteArray("caf\xff.jpg"));

    const QPoint first = view_.visualRect(view_.model()->index(0, 0)).center();
    QTest::mousePress(view_.viewport(), Qt::RightButton, {}, first);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).toPoint(), view_.viewport()->mapToGlobal(first));
    EXPECT_EQ(view_.selectedRawName(), QByteArray("caf\xff.jpg"));
    EXPECT_EQ(clicked.count(), 1);

    view_.clearSelection();
    EXPECT_TRUE(view_.selectedName().isEmpty());
    EXPECT_EQ(clicked.count(), 1);
}

// A list that follows a folder browser shows the browser's folder with the browser's pattern.
TEST_F(FileListViewTest, FollowsTheBrowsersFolderAndPattern)
{
    orv::test::FakeVolumeList volumes;
    orv::test::FakeProcessEnvironment process;
    orv::FolderBrowser browser(volumes, process);
    browser.setPattern(QStringLiteral("*.doc"));
    view_.follow(browser);
    EXPECT_EQ(view_.pattern(), QStringLiteral("*.doc"));
    fill([&] { browser.enter(dir_.path()); });
    EXPECT_EQ(view_.folder(), dir_.path());
    EXPECT_EQ(rows(), QStringList{QStringLiteral("notes.doc")});
    fill([&] { browser.setPattern(QStringLiteral("*.TXT")); });
    EXPECT_EQ(rows(), QStringList{QStringLiteral("A.txt")});
}

// A deferred fill waits for its release; a later change of folder does not wait.
TEST_F(FileListViewTest, DeferredFillWaitsForReleaseUnlessTheFolderChangesAgain)
{
    view_.deferNextFill();
    view_.setFolder(dir_.path());
    EXPECT_FALSE(view_.isLoading());
    QTest::qWait(100);
    EXPECT_EQ(view_.count(), 0);
    fill([&] { view_.releaseFill(); });
    EXPECT_EQ(view_.count(), 4);

    view_.deferNextFill();
    view_.setPattern(QStringLiteral("*.txt"));
    EXPECT_EQ(view_.count(), 0);
    fill([&] { view_.setPattern(QStringLiteral("*.doc")); });
    EXPECT_EQ(rows(), QStringList{QStringLiteral("notes.doc")});
    view_.releaseFill();  // nothing waits any more: no second fill
    EXPECT_FALSE(view_.isLoading());
}

// Rows beyond the first layout slice are laid out too, and a selection near the top stays.
TEST_F(FileListViewTest, HugeFolderIsLaidOutToTheLastRowWithTheSelectionKept)
{
    QTemporaryDir big;
    constexpr int kFiles = 45000;
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray path = QFile::encodeName(big.path()) + "/f" + QByteArray::number(100000 + i) + ".jpg";
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    fill([&] { view_.setFolder(big.path()); });
    ASSERT_EQ(view_.count(), kFiles);
    view_.setCurrentIndex(view_.model()->index(3, 0));
    const QModelIndex last = view_.model()->index(kFiles - 1, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        view_.scrollTo(last);
        return view_.visualRect(last).isValid() && view_.viewport()->rect().intersects(view_.visualRect(last));
    }, 10000));
    EXPECT_EQ(view_.selectedName(), QStringLiteral("f100003.jpg"));
}
