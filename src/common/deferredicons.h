#pragma once

namespace orv {

// Qt's styles build their standard icons (the menu bar's overflow button, folder icons) from
// PNG files, and the first such image read loads every image-format plug-in installed -- a
// few milliseconds on the way to the first window. Installed once, before the first widget,
// this wraps the application's style so that each standard icon is built only when it is
// first sized or painted; the icons are the style's very own.
void deferStandardIcons();

// Loads the image-format plug-ins on a worker thread, once, so the first icon or picture
// read on the UI thread finds them ready. Call it after the first window has painted.
void warmImageFormats();

} // namespace orv
