#pragma once

#include "apphost.h"
#include "controls.h"
#include "samplesdir.h"
#include "eventually.h"

#include "browser/mainm.h"
#include "browser/statuspanels.h"
#include "browsing/core/folderbrowser.h"
#include "browsing/filelistview.h"
#include "browsing/folderlistview.h"

#include <QTest>
#include <gtest/gtest.h>

namespace orv::test {

// The main window's lists and status bar, reached by their names.
inline FolderListView& folderList(const MainM& m) { return control<FolderListView>(m, "dirDrive"); }
inline FileListView& fileList(const MainM& m) { return control<FileListView>(m, "fileFilter"); }
inline StatusPanels& statusPanels(const MainM& m) { return control<StatusPanels>(m, "StatusBar"); }

// A started program on fakes whose browser stands in `folder` with its file list filled; the
// dialogs asked on the way are forgotten.
struct StartedProgram {
    AppHost h;
    MainM* m = nullptr;

    explicit StartedProgram(const QString& folder = samplesDir())
    {
        h.app->Main();
        m = h.app->findMainM();
        m->browser().enter(folder);
        EXPECT_EVENTUALLY(!fileList(*m).isLoading());
        h.prompts.clear();
    }

    // Clicks the file list's entry with this name, as the user does.
    void click(const QString& name)
    {
        FileListView& list = fileList(*m);
        for (int row = 0; row < list.count(); ++row) {
            const QModelIndex i = list.model()->index(row, 0);
            if (i.data().toString() == name) {
                list.setCurrentIndex(i);
                m->fileFilter_Click();
                return;
            }
        }
        ADD_FAILURE() << "no entry " << name.toStdString();
    }
};

} // namespace orv::test
