#pragma once
// What the preview and the raster code need from a text engine: metrics,
// widths and drawing of the two faces ("Nina", "Arial"). The engine of the
// font files in the program folder is FontSet (platform/fonts.h, QtGui);
// the preview reaches it only through OpenTextEngine, so a program that draws
// no text links no font code at all.
#include <memory>
#include <string>
#include <string_view>

#include "platform/bitmap.h"

namespace tessaro::platform {

// How a font places text: the cell is Ascent + Descent pixels high, the base
// line lies Ascent pixels below the cell's top.
struct FontMetrics {
    int Ascent = 0;
    int Descent = 0;
    int CellHeight() const { return Ascent + Descent; }
};

class TextEngine {
public:
    virtual ~TextEngine() = default;
    // Faces, heights and weights as FontSet takes them.
    virtual FontMetrics Metrics(std::string_view face, int height, bool bold) = 0;
    virtual int TextWidth(std::string_view face, int height, bool bold, std::string_view utf8) = 0;
    virtual int DrawText(Bitmap& bmp, int x, int y, std::string_view face, int height, bool bold,
                         std::string_view utf8, Color colour) = 0;
    // DrawText on a cell filled first with *cell (the text's width by the
    // font's cell height, clipped); no fill for nullptr.
    virtual int DrawCell(Bitmap& bmp, int x, int y, std::string_view face, int height, bool bold,
                         std::string_view utf8, Color colour, const Color* cell) = 0;
};

// The text engine for the program folder `appDir` (ending in '/'); nothing is
// read before its first use. Defined in fontengine.cpp (the font files, read
// with QtGui) for every program that draws text. A program built without
// fonts defines its own, which throws Error saying that text cannot be drawn.
std::unique_ptr<TextEngine> OpenTextEngine(const std::string& appDir);

} // namespace tessaro::platform
