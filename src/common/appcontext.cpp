#include "common/appcontext.h"

#include "common/core/settingsstore.h"
#include "common/core/version.h"

namespace orv {

const QString AppContext::AppName = ProgramName;
const QString AppContext::LangSection = QStringLiteral("Lang");
const QString AppContext::SiteAddress = QStringLiteral("https://orvane-viewer.org");

AppContext::AppContext(SettingsStore& store, Prompts& prompts, PlatformServices services)
    : store_(store), prompts_(prompts), services_(services)
{
}

QString AppContext::text(int n) const
{
    return store_.read(AppName, LangSection, QString::number(n));
}

} // namespace orv
