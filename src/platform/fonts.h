#pragma once
// The two type faces the designer draws with. Both are read from font files
// kept in the program folder, so text renders the same on every machine:
//   "Nina"  -> fonts/DejaVuSansCondensed.ttf, fonts/DejaVuSansCondensed-Bold.ttf
//   "Arial" -> fonts/LiberationSans-Regular.ttf, fonts/LiberationSans-Bold.ttf
// A face is never looked up among the system's fonts: the files are opened
// directly (QRawFont), and glyphs are rasterised once per size and cached
// as two-level masks (coverage of half or more sets the pixel), so text has
// no antialiased edges that would blend with the transparent white.
//
// Create a QGuiApplication before drawing text (tests use the offscreen
// platform).
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/bitmap.h"
#include "platform/textengine.h"

namespace tessaro::platform {

class FontSet : public TextEngine {
public:
    // appDir is the program folder ending in '/'. Nothing is read until Load()
    // or the first use.
    explicit FontSet(std::string appDir);
    ~FontSet() override;
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    // Reads the four font files. Throws Error "Font file \"PATH\" is missing"
    // (or "... is not a usable font") naming the file. Loading twice does
    // nothing; a failed load is retried on the next use. Without Load, each
    // file is read (and fails so) the first time its face is used.
    void Load();

    // Fonts are chosen by face ("Nina" or "Arial", exact text; anything else
    // throws Error "Unknown font face \"...\""), height and weight. Height:
    // positive = cell height in pixels (internal leading included), negative =
    // character height (em size, internal leading excluded), 0 = character
    // height 12. The magnitude is limited to 1..512.
    FontMetrics Metrics(std::string_view face, int height, bool bold) override;

    // Advance width of UTF-8 text in pixels (each glyph's advance rounded).
    int TextWidth(std::string_view face, int height, bool bold, std::string_view utf8) override;

    // Draws the glyphs of UTF-8 text in `colour` with the cell's top-left at
    // (x, y), clipped to the bitmap. Returns the advance width.
    int DrawText(Bitmap& bmp, int x, int y, std::string_view face, int height, bool bold,
                 std::string_view utf8, Color colour) override;
    int DrawCell(Bitmap& bmp, int x, int y, std::string_view face, int height, bool bold,
                 std::string_view utf8, Color colour, const Color* cell) override;

private:
    struct Face;
    Face& Find(std::string_view face, int height, bool bold);
    Face& Remember(std::string_view face, int height, bool bold, Face& found);

    std::string appDir_;
    bool loaded_ = false;
    struct FileData;
    const FileData& FileOf(std::string_view face, bool bold);
    std::map<std::pair<std::string, bool>, std::shared_ptr<FileData>> files_;
    std::map<std::tuple<std::string, int, bool>, std::unique_ptr<Face>> cache_;
    Face* last_ = nullptr; // the face Find returned last, and what it was asked
    std::string lastFace_;
    int lastHeight_ = 0;
    bool lastBold_ = false;
};

} // namespace tessaro::platform
