// The dispatcher's decision table: tail tests in order, entry-dependent tests 1 and 2.
#include "browser/core/dispatchtable.h"

#include <gtest/gtest.h>

using namespace orv;

TEST(DispatchTable, TailRowsInOrder)
{
    const struct {
        const char* path;
        FileAction action;
    } rows[] = {
        {"/p/a.bmp", FileAction::ShowPicture}, {"/p/A.GIF", FileAction::ShowPicture},
        {"/p/a.Jpg", FileAction::ShowPicture}, {"/p/a.dib", FileAction::ShowPicture},
        {"/p/a.wmf", FileAction::ShowPicture}, {"/p/a.ico", FileAction::ShowPicture},
        {"/p/a.cur", FileAction::ShowPicture}, {"/p/a.txt", FileAction::OpenInEditor},
        {"/p/a.exe", FileAction::RunProgram},  {"/p/a.BAT", FileAction::RunProgram},
        {"/p/a.hlp", FileAction::OpenHelp},    {"/p/a.htm", FileAction::HandToSystem},
        {"/p/a.wav", FileAction::PlaySound},   {"/p/a.avi", FileAction::PlayVideo},
        {"/p/a.mod", FileAction::PlayModule},  {"/p/a.mdz", FileAction::PlayModule},
        {"/p/a.s3m", FileAction::PlayModule},  {"/p/a.itz", FileAction::PlayModule},
        {"/p/a.emf", FileAction::None},        {"/p/a.jpeg", FileAction::None},
        {"/p/mywav", FileAction::PlaySound},   {"/p/a.html", FileAction::None},
        {"/p/a.xm", FileAction::None},         {"/p/a.it", FileAction::None},
        {"", FileAction::None},                {"mp", FileAction::None},
    };
    for (const auto& r : rows) {
        for (int entry = 0; entry < 8; ++entry)
            EXPECT_EQ(planDispatch(QString::fromUtf8(r.path), entry).byTail, r.action) << r.path << " " << entry;
    }
}

TEST(DispatchTable, EntryDependentTests)
{
    for (int entry = 0; entry < 8; ++entry) {
        const bool modules = entry == 0 || entry == 1;
        const bool html = entry == 0 || entry == 5;
        EXPECT_EQ(planDispatch(QStringLiteral("/m/song.it"), entry).playModuleFirst, modules) << entry;
        EXPECT_EQ(planDispatch(QStringLiteral("/m/SONG.XM"), entry).playModuleFirst, modules) << entry;
        EXPECT_EQ(planDispatch(QStringLiteral("/w/page.HTML"), entry).handHtmlFirst, html) << entry;
        // "...xm" without a dot counts too: the test is on the tail of the whole path.
        EXPECT_EQ(planDispatch(QStringLiteral("/m/checkit"), entry).playModuleFirst, modules) << entry;
        EXPECT_FALSE(planDispatch(QStringLiteral("/m/song.mod"), entry).playModuleFirst);
        EXPECT_FALSE(planDispatch(QStringLiteral("/w/page.htm"), entry).handHtmlFirst);
    }
}
