// Rule: the file list fills off the UI thread, holds no selection after a refill, and reports
// only selections the user makes.
#include "browser/filelistview.h"

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
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"c.jpg", "A.txt", "b.JPG", "notes.doc", "caf\xff.jpg"}) {
            const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
        }
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("d.jpg")));
        m_view.resize(200, 300);
        m_view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_view));
    }

    // QTemporaryDir cannot name a file whose name is not UTF-8 to remove it.
    void TearDown() override { ::unlink((QFile::encodeName(m_dir.path()) + "/caf\xff.jpg").constData()); }

    // Runs `change` and waits for the refill it starts.
    void fill(const std::function<void()>& change)
    {
        QSignalSpy loaded(&m_view, &FileListView::loaded);
        change();
        EXPECT_TRUE(m_view.isLoading());
        ASSERT_TRUE(loaded.wait(10000));
        EXPECT_EQ(loaded.count(), 1);
        EXPECT_FALSE(m_view.isLoading());
    }

    QStringList rows() const
    {
        QStringList names;
        for (int row = 0; row < m_view.model()->rowCount(); ++row)
            names.append(m_view.model()->index(row, 0).data().toString());
        return names;
    }

    QTemporaryDir m_dir;
    FileListView m_view;
};

} // namespace

TEST_F(FileListViewTest, FillsWithMatchingFilesAndRefillsOnPatternChange)
{
    fill([&] { m_view.setFolder(m_dir.path()); });
    EXPECT_EQ(m_view.folder(), m_dir.path());
    EXPECT_EQ(m_view.count(), 4);
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("A.txt"), QStringLiteral("b.JPG"), QStringLiteral("c.jpg"),
                                   QFile::decodeName("caf\xff.jpg")}));
    EXPECT_FALSE(m_view.hasError());

    fill([&] { m_view.setPattern(QStringLiteral("*.txt;*.doc")); });
    EXPECT_EQ(m_view.pattern(), QStringLiteral("*.txt;*.doc"));
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("A.txt"), QStringLiteral("notes.doc")}));

    fill([&] { m_view.setFolder(m_dir.path() + QStringLiteral("/missing")); });
    EXPECT_EQ(m_view.count(), 0);
    EXPECT_TRUE(m_view.hasError());
}

TEST_F(FileListViewTest, KeyboardSelectionReportsClickAndRefillClearsSilently)
{
    fill([&] { m_view.setFolder(m_dir.path()); });
    QSignalSpy clicked(&m_view, &FileListView::fileClicked);

    QTest::keyClick(&m_view, Qt::Key_Down);
    ASSERT_EQ(clicked.count(), 1);
    const QString first = m_view.selectedName();
    EXPECT_FALSE(first.isEmpty());
    QTest::keyClick(&m_view, Qt::Key_Down);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_NE(m_view.selectedName(), first);
    EXPECT_EQ(QFile::decodeName(m_view.selectedRawName()), m_view.selectedName());

    fill([&] { m_view.setFolder(m_dir.path()); });
    EXPECT_TRUE(m_view.selectedName().isEmpty());
    EXPECT_TRUE(m_view.selectedRawName().isEmpty());
    EXPECT_EQ(clicked.count(), 2);
}

TEST_F(FileListViewTest, MouseSelectsWithLeftButtonOnlyAndRawNameSurvives)
{
    fill([&] { m_view.setFolder(m_dir.path()); });
    QSignalSpy clicked(&m_view, &FileListView::fileClicked);
    QSignalSpy right(&m_view, &FileListView::rightButtonPressed);

    const QPoint last = m_view.visualRect(m_view.model()->index(3, 0)).center();
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, {}, last);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(m_view.selectedRawName(), QByteArray("caf\xff.jpg"));

    const QPoint first = m_view.visualRect(m_view.model()->index(0, 0)).center();
    QTest::mousePress(m_view.viewport(), Qt::RightButton, {}, first);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).toPoint(), m_view.viewport()->mapToGlobal(first));
    EXPECT_EQ(m_view.selectedRawName(), QByteArray("caf\xff.jpg"));
    EXPECT_EQ(clicked.count(), 1);

    m_view.clearSelection();
    EXPECT_TRUE(m_view.selectedName().isEmpty());
    EXPECT_EQ(clicked.count(), 1);
}
