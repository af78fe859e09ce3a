#pragma once
// Picture files: JPEG through libjpeg (baseline, colour) and Windows bitmaps.
#include <string>
#include <string_view>

#include "platform/bitmap.h"

namespace tessaro::platform {

// Decodes JPEG data. Throws Error when the data is not a readable JPEG.
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
