#include "common/core/settingsnotice.h"

#include "common/core/prompts.h"
#include "common/core/settingsstore.h"

#include <QDir>

namespace orv {

bool tellWhenSettingsAreNotKept(SettingsStore& store, Prompts& prompts, const QString& app)
{
    const SettingsStore::Status status = store.check(app);
    QStringList lines;
    const QString file = QDir::toNativeSeparators(store.filePath(app));
    if (!status.setAside.isEmpty())
        lines << QStringLiteral("The settings file could not be read; it was kept as %1 and the default "
                                "settings apply.").arg(QDir::toNativeSeparators(status.setAside));
    if (!status.kept)
        lines << QStringLiteral("Settings cannot be kept: %1 cannot be written (%2).").arg(file, status.reason)
              << QStringLiteral("Changes made now last only until the program ends.");
    if (lines.isEmpty())
        return false;
    prompts.message(lines.join(QLatin1Char('\r')), app, PromptIcon::Exclamation, PromptButtons::Ok);
    return true;
}

} // namespace orv
