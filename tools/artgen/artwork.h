#pragma once

#include <QImage>

namespace orv {

// The program's own artwork, drawn in one palette so the banner, the icon and the window
// symbols belong together. Every picture comes back ARGB32 at the asked size.
class Artwork
{
public:
    // Splash banner: name, tagline, version over a dusk landscape.
    static QImage banner(QSize size, const QString& name, const QString& version);
    // The name written bottom to top on the banner's sky, for narrow side panels.
    static QImage verticalBanner(QSize size, const QString& name);
    // Program icon: a lens over a folder. Below 40 pixels the details that would blur are left out.
    static QImage icon(int size);
    // The icon as scalable vector graphics on a 256-unit grid, with every detail.
    static QByteArray iconSvg();
    // Window symbols: a speaker sending sound waves, a film strip, a pair of quavers.
    static QImage speaker(int size);
    static QImage filmStrip(int size);
    static QImage note(int size);

    // The editor's document windows: a written page.
    static QImage textDocument(int size);
    // The text editor's toolbar buttons, 23 by 22 pixels: a raised face, or a pressed (sunken)
    // one with the symbol one pixel down and right.
    enum class ToolbarSymbol { New, Open, Cut, Copy, Paste };
    static QImage toolbarButton(ToolbarSymbol symbol, bool pressed);
};

} // namespace orv
