// At start-up the user hears once when the settings will not be kept or were reset, and
// nothing when all is well.
#include "common/core/settingsnotice.h"
#include "common/core/settingsstore.h"
#include "scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using orv::PromptAnswer;
using orv::PromptIcon;
using orv::SettingsStore;

namespace {

const QString kApp = u"Orvane Viewer"_s;

class SettingsNoticeTest : public ::testing::Test {
protected:
    void SetUp() override { QLoggingCategory::setFilterRules(u"orvane.settings.warning=false"_s); }
    QTemporaryDir dir;
    orv::test::ScriptedPrompts prompts;
};

TEST_F(SettingsNoticeTest, SaysNothingWhenAllIsWell)
{
    SettingsStore fresh(dir.path());
    EXPECT_FALSE(orv::tellWhenSettingsAreNotKept(fresh, prompts, kApp));
    fresh.write(kApp, u"A"_s, u"k"_s, u"v"_s);
    SettingsStore again(dir.path());
    EXPECT_FALSE(orv::tellWhenSettingsAreNotKept(again, prompts, kApp));
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(SettingsNoticeTest, NamesTheFileThatCannotBeWritten)
{
    // The settings folder's place is taken by a plain file.
    QFile blocker(dir.filePath(kApp));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(dir.path());
    prompts.expectMessage(PromptAnswer::Ok);
    EXPECT_TRUE(orv::tellWhenSettingsAreNotKept(store, prompts, kApp));
    ASSERT_EQ(prompts.asked().size(), 1);
    const auto& q = prompts.asked().first();
    EXPECT_TRUE(q.text.startsWith(u"Settings cannot be kept: "_s + store.filePath(kApp))) << q.text.toStdString();
    EXPECT_TRUE(q.text.contains(qt_error_string(ENOTDIR))) << q.text.toStdString();
    EXPECT_EQ(q.title, kApp);
    EXPECT_EQ(q.icon, PromptIcon::Exclamation);
    // The program still reads back what it writes.
    store.write(kApp, u"A"_s, u"k"_s, u"v"_s);
    EXPECT_EQ(store.read(kApp, u"A"_s, u"k"_s), u"v"_s);
}

TEST_F(SettingsNoticeTest, SaysWhereAnUnreadableFileWent)
{
    SettingsStore store(dir.path());
    ASSERT_TRUE(QDir().mkpath(store.filePath(kApp)));
    prompts.expectMessage(PromptAnswer::Ok);
    EXPECT_TRUE(orv::tellWhenSettingsAreNotKept(store, prompts, kApp));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked().first().text.startsWith(u"The settings file could not be read; it was kept as "_s
                                                        + store.filePath(kApp) + u".corrupt-"_s));
    EXPECT_FALSE(prompts.asked().first().text.contains(u"cannot be kept"_s));
}

} // namespace
