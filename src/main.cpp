#include "app/application.h"
#include "app/intro.h"
#include "common/appcontext.h"
#include "common/core/settingsstore.h"
#include "common/qtprompts.h"
#include "platform/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/trayicons.h"
#include "platform/volumelist.h"

#include <QApplication>

int main(int argc, char** argv)
{
    orv::RealProcessEnvironment process;  // before anything can change the current folder
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(orv::AppContext::AppName);
    QApplication::setApplicationVersion(QStringLiteral("1.7.2"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::programIcon());

    orv::SettingsStore store(orv::SettingsStore::defaultRoot());
    orv::QtPrompts prompts;
    orv::QtScreenMetrics screen;
    orv::StorageVolumeList volumes;
    orv::QtTrayIcons tray;

    orv::AppContext ctx(store, prompts, {&screen, &volumes, &tray, &process});
    orv::Application app(ctx);
    app.Main();
    return QApplication::exec();
}
