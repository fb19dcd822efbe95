#pragma once

#include "platform/desktoplauncher.h"

#include <QList>
#include <QString>

namespace orv::test {

// Records every hand-over to the desktop and starts nothing. Every call answers `result`.
class RecordingDesktopLauncher final : public DesktopLauncher {
public:
    enum class Kind { Document, Help, Settings, Program };
    struct Call {
        Kind kind;
        QString target;       // the document, help file or program; empty for Settings
        QString parameters;   // Program only, as given
        friend bool operator==(const Call&, const Call&) = default;
    };

    QList<Call> calls;
    bool result = true;

    bool openDocument(const QString& target) override { return record({Kind::Document, target, {}}); }
    bool openHelp(const QString& path) override { return record({Kind::Help, path, {}}); }
    bool openSettings() override { return record({Kind::Settings, {}, {}}); }
    bool runProgram(const QString& program, const QString& parameters) override
    {
        return record({Kind::Program, program, parameters});
    }

private:
    bool record(Call call)
    {
        calls.append(std::move(call));
        return result;
    }
};

} // namespace orv::test
