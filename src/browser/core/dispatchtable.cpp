#include "browser/core/dispatchtable.h"

namespace orv {

namespace {

FileAction actionForTail(const QString& tail3)
{
    static const struct {
        const char* tail;
        FileAction action;
    } table[] = {
        {"bmp", FileAction::ShowPicture}, {"gif", FileAction::ShowPicture}, {"jpg", FileAction::ShowPicture},
        {"dib", FileAction::ShowPicture}, {"wmf", FileAction::ShowPicture}, {"ico", FileAction::ShowPicture},
        {"cur", FileAction::ShowPicture}, {"txt", FileAction::OpenInEditor}, {"exe", FileAction::RunProgram},
        {"bat", FileAction::RunProgram},  {"hlp", FileAction::OpenHelp},    {"htm", FileAction::HandToSystem},
        {"wav", FileAction::PlaySound},   {"avi", FileAction::PlayVideo},   {"mod", FileAction::PlayModule},
        {"mdz", FileAction::PlayModule},  {"s3m", FileAction::PlayModule},  {"itz", FileAction::PlayModule},
    };
    for (const auto& row : table)
        if (tail3 == QLatin1String(row.tail))
            return row.action;
    return FileAction::None;
}

} // namespace

QString asOwnKind(const QString& path)
{
    static const struct {
        const char* other;
        const char* own;
    } aliases[] = {
        {"jpeg", "jpg"}, {"jpe", "jpg"}, {"divx", "avi"}, {"avf", "avi"}, {"m15", "mod"}, {"mtm", "mod"},
        {"669", "mod"},  {"ult", "mod"}, {"med", "mod"},  {"asc", "txt"},
    };
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return path;
    const QString ext = path.mid(dot + 1).toLower();
    for (const auto& a : aliases)
        if (ext == QLatin1String(a.other))
            return path.left(dot + 1) + QLatin1String(a.own);
    return path;
}

DispatchPlan planDispatch(const QString& path, int filterEntry)
{
    DispatchPlan plan;
    const QString lower = path.toLower();
    if (filterEntry == 0 || filterEntry == 1) {
        const QString last2 = lower.right(2);
        plan.playModuleFirst = last2 == QLatin1String("xm") || last2 == QLatin1String("it");
    }
    if (filterEntry == 0 || filterEntry == 5)
        plan.handHtmlFirst = lower.right(4) == QLatin1String("html");
    plan.byTail = actionForTail(lower.right(3));
    return plan;
}

} // namespace orv
