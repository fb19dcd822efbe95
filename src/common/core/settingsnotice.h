#pragma once

#include <QString>

namespace orv {

class Prompts;
class SettingsStore;

// Said once, at start-up: the application's settings will not outlive this run (the file
// cannot be written), or an unreadable settings file was moved aside and the defaults apply.
// Returns whether there was something to say. Never asks when all is well.
bool tellWhenSettingsAreNotKept(SettingsStore& store, Prompts& prompts, const QString& app);

} // namespace orv
