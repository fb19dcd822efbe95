#pragma once

#include "modwriter.h"

#include <QByteArray>
#include "support/samplesdir.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <zip.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace orv::test {

inline QString sampleFolder() { return samplesDir(); }

inline QString tunePath() { return QDir(sampleFolder()).filePath(QStringLiteral("tune.mod")); }

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A zip archive holding the given members, deflated, made with libzip in memory.
inline QByteArray zipOf(const std::vector<std::pair<QByteArray, QByteArray>>& members)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = target ? zip_open_from_source(target, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive)
        return {};
    zip_source_keep(target);
    for (const auto& [name, bytes] : members) {
        zip_source_t* s = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        zip_file_add(archive, name.constData(), s, ZIP_FL_OVERWRITE);
    }
    QByteArray out;
    if (zip_close(archive) == 0 && zip_source_open(target) == 0) {
        char chunk[65536];
        zip_int64_t got = 0;
        while ((got = zip_source_read(target, chunk, sizeof chunk)) > 0)
            out.append(chunk, qsizetype(got));
        zip_source_close(target);
    }
    zip_source_free(target);
    return out;
}

// A module with `channels` channels, every one of them playing for four 64-row patterns:
// arpeggios over two octaves on looped sine and square instruments.
inline QByteArray wideModule(int channels)
{
    ModSong song;
    song.title = "wide test song";
    song.channels = channels;
    for (int kind = 0; kind < 2; ++kind) {
        ModSample s;
        s.name = kind == 0 ? "sine" : "square";
        for (int i = 0; i < 64; ++i) {
            const double phase = 2.0 * std::numbers::pi * i / 32.0;
            s.data.push_back(std::int8_t(kind == 0 ? std::lround(90.0 * std::sin(phase)) : (i % 32 < 16 ? 60 : -60)));
        }
        s.volume = 40;
        s.loopStart = 0;
        s.loopLength = 64;
        song.samples.push_back(s);
    }
    for (int p = 0; p < 4; ++p) {
        const int pattern = song.addPattern();
        for (int row = 0; row < ModSong::rows; ++row) {
            for (int c = 0; c < channels; ++c) {
                if ((row + c) % 4 != 0)
                    continue;
                ModCell& cell = song.cell(pattern, row, c);
                cell.period = ModWriter::period(1 + (c + p) % 3, (row / 4 + c * 5) % 12);
                cell.sample = 1 + c % 2;
            }
        }
        song.order.push_back(pattern);
    }
    return ModWriter::encode(song);
}

// A song of a single row: a looped square on every channel, then a pattern break past the only
// order, so it ends after about a tenth of a second unless it repeats.
inline QByteArray oneRowModule()
{
    ModSong song;
    song.title = "one row";
    ModSample s;
    s.name = "square";
    for (int i = 0; i < 32; ++i)
        s.data.push_back(std::int8_t(i < 16 ? 100 : -100));
    s.loopStart = 0;
    s.loopLength = 32;
    song.samples.push_back(s);
    const int pattern = song.addPattern();
    for (int c = 0; c < song.channels; ++c) {
        ModCell& cell = song.cell(pattern, 0, c);
        cell.period = ModWriter::period("C-2");
        cell.sample = 1;
    }
    song.cell(pattern, 0, 0).effect = 0xD;
    song.order.push_back(pattern);
    return ModWriter::encode(song);
}

} // namespace orv::test
