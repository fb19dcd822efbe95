#pragma once

#include <QString>

namespace orv {

// What the file list's click does with a file, decided by the tail of its path and the
// file-type entry shown.
enum class FileAction {
    None,
    ShowPicture,
    OpenInEditor,
    RunProgram,
    OpenHelp,
    HandToSystem,
    PlaySound,
    PlayVideo,
    PlayModule,
};

struct DispatchPlan {
    // Made only with entries 0 or 1: a path ending in "xm" or "it" plays as a module.
    bool playModuleFirst = false;
    // Made only with entries 0 or 5: a path ending in "html" goes to the system.
    bool handHtmlFirst = false;
    // Always made, on the last three characters taken before either test above.
    FileAction byTail = FileAction::None;
};

// No dot is looked for: the tests are on the tail of the whole path, lower-cased.
DispatchPlan planDispatch(const QString& path, int filterEntry);

// A file handed over from outside (the command line, a drop, the desktop's "Open with") comes
// by its type, and the desktop entry claims whole types: the type's other extensions that the
// program opens as well (".jpeg" and ".jpe" for JPEG, ".divx" for AVI, the module formats the
// plug-in reads as ".mod", ".asc" for text) are read as the program's own. The browser's list
// never shows them, so its clicks are planned as before.
QString asOwnKind(const QString& path);

} // namespace orv
