#pragma once
// Picture files: JPEG through libjpeg (baseline, colour) and Windows bitmaps.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/bitmap.h"

namespace tessaro::platform {

// The largest picture the program reads (a photo to crop a background from):
// a file declaring more pixels is refused before its pixels are allocated.
inline constexpr std::uint64_t kMaxPicturePixels = 50'000'000;
// The most memory the JPEG decoder may use for one picture.
inline constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

// Decodes JPEG data, the whole picture. Throws Error when the data is not a
// readable JPEG, "The JPEG picture is damaged: ..." (the decoder's words)
// when it is cut short or corrupt, and "The JPEG picture is too large: ..."
// for more than kMaxPicturePixels pixels or too much work.
Bitmap DecodeJpeg(std::string_view data);
// Encodes a baseline colour JPEG at `quality` (1..100).
std::string EncodeJpeg(const Bitmap& bmp, int quality);

// Reads a Windows bitmap (1, 4, 8, 24 and 32 bits, uncompressed; bottom-up or
// top-down). Throws Error naming the file when it is missing or damaged.
Bitmap ReadBmp(const std::string& path);
Bitmap DecodeBmp(std::string_view data);
// ReadBmp for support pictures read on every preview pass: a picture is read
// again only when its file changed (another file, size or change time) since
// it was last read here. Fails as ReadBmp.
Bitmap ReadBmpKept(const std::string& path);
// Writes a 24-bit uncompressed Windows bitmap. Throws Error when it cannot.
void WriteBmp(const std::string& path, const Bitmap& bmp);
std::string EncodeBmp(const Bitmap& bmp);

Bitmap ReadJpeg(const std::string& path);
void WriteJpeg(const std::string& path, const Bitmap& bmp, int quality);

// Loads a picture by its extension, case-insensitive: ".jpg" and ".jpeg" as
// JPEG, ".bmp" as bitmap; anything else throws
// "Unknown picture file extension (.%s)" with the extension (without dot).
Bitmap LoadPicture(const std::string& path);

} // namespace tessaro::platform
