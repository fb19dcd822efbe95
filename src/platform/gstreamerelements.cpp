#include "platform/gstreamerelements.h"

#include <QLoggingCategory>

#include <gst/gst.h>

namespace orv {

namespace {

Q_LOGGING_CATEGORY(lcVideo, "orvane.video")

// What the player, its video output and its audio output make, by factory name.
constexpr const char* kPlayerElements[] = {
    "uridecodebin", "decodebin", "typefind", "input-selector", "queue", "identity", "tee", "capsfilter",
    "videoconvert", "videoscale", "audioconvert", "audioresample", "volume", "autoaudiosink",
};

QStringList lookUp()
{
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        qCWarning(lcVideo, "GStreamer does not start: %s", error ? error->message : "no reason given");
        g_clear_error(&error);
        return {QStringLiteral("gstreamer")};
    }
    QStringList missing;
    for (const char* name : kPlayerElements) {
        if (GstElementFactory* factory = gst_element_factory_find(name))
            gst_object_unref(factory);
        else
            missing.append(QString::fromLatin1(name));
    }
    if (!missing.isEmpty())
        qCWarning(lcVideo, "Videos cannot play: GStreamer lacks %s", qUtf8Printable(missing.join(u", ")));
    return missing;
}

} // namespace

QStringList missingPlayerElements()
{
    static const QStringList missing = lookUp();
    return missing;
}

} // namespace orv
