// libFuzzer target for the picture loader's own checks before Qt's readers and for its JPEG
// decoder: bitmap, icon, cursor, GIF and JPEG files, told apart by their first bytes.
#include "picturefuzzing.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);   // Qt's image format plug-ins
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString why = orv::fuzzing::checkPictureFile(bytes);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        std::abort();
    }
    return 0;
}
