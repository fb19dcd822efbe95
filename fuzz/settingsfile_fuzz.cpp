// libFuzzer target for the settings file reader, and the writer on what it read or on names
// and values made of the input.
#include "common/core/settingsfile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The sections that hold keys, in order; an empty section is never written.
QList<QPair<QString, QList<QPair<QString, QString>>>> content(const orv::SettingsDocument& doc)
{
    QList<QPair<QString, QList<QPair<QString, QString>>>> out;
    for (const orv::SettingsSection& s : doc.sections)
        if (!s.entries.isEmpty())
            out.append({s.name, s.entries});
    return out;
}

// Written and read again, the document is the same, and so is its file.
void roundTrip(const orv::SettingsDocument& doc)
{
    const QByteArray written = orv::serializeSettingsFile(doc);
    orv::SettingsDocument again;
    if (!orv::parseSettingsFile(written, again) || content(again) != content(doc)
        || orv::serializeSettingsFile(again) != written)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    orv::SettingsDocument doc;
    if (orv::parseSettingsFile(bytes, doc))
        roundTrip(doc);
    else if (!doc.sections.isEmpty())
        std::abort();

    // The input as UTF-16 code units (lone surrogates, NULs and controls included), cut at
    // U+FFFF into section, key and value, again and again.
    QList<QString> fields{QString()};
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        char16_t unit;
        std::memcpy(&unit, data + i, 2);
        if (unit == 0xFFFF)
            fields.append(QString());
        else
            fields.last().append(QChar(unit));
    }
    orv::SettingsDocument built;
    for (qsizetype i = 0; i + 2 < fields.size(); i += 3)
        built.set(built.sectionIndex(fields[i]), fields[i + 1], fields[i + 2]);
    roundTrip(built);
    return 0;
}
