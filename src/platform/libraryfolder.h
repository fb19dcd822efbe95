#pragma once

#include <QString>

namespace orv {

// The folder of the program's own libraries (the media library and the module plug-in): a
// path fixed at build time relative to the executable's folder, lib/orvane-viewer beside bin
// once installed. Build tree and installed copy each find their own.
QString privateLibraryFolder();

} // namespace orv
