#pragma once
// Choosing the main background picture: the size check, storing a 176 x 200
// picture as a JPEG in the program folder, finishing a crop, and removing the
// picture that was replaced.
#include <functional>
#include <optional>
#include <string>

#include "formats/names.h"
#include "model/document.h"
#include "platform/bitmap.h"

namespace tessaro::images {

// The filter the open dialog shows for background and entry pictures.
inline constexpr const char* kGraphicFilesFilter = "Graphic Files|*.jpg;*.jpeg;*.bmp";
// The default background loaded at start; never deleted.
inline constexpr const char* kDefaultBackground = formats::kDefaultPicture;
// The background with the analog clock face burned in, written by the clock
// drawing; it is never the background the clock is drawn from.
inline constexpr const char* kAnalogBackground = formats::kClockBackground;

enum class PictureFit {
    NeedsCrop, // wider than 176 and taller than 200
    Exact,     // exactly 176 x 200
    TooSmall,  // anything else, also larger in one direction only
};

PictureFit ClassifyBackground(int width, int height);

// The name a chosen picture is stored under in the program folder: its file
// name with the extension replaced by ".jpg" ("C:/pics/sky.bmp" -> "sky.jpg").
std::string StoredBackgroundName(const std::string& chosenPath);

// Stores an exactly 176 x 200 picture chosen at `chosenPath` as
// AppDir + StoredBackgroundName: a JPEG source byte for byte, a bitmap
// encoded at quality 100. A JPEG source is decoded whole before it is stored.
// Sets doc.BGI to the stored name and returns it. Throws Error when the
// source cannot be read or is damaged, the name is refused
// (formats::CheckArrival) or the file cannot be written (the document is then
// unchanged).
std::string StoreExactBackground(model::Document& doc, const std::string& chosenPath,
                                 const platform::Bitmap& picture);

// Finishes a crop: encodes `result` (176 x 200) at quality 100, saves it as
// AppDir + StoredBackgroundName(chosenPath), sets doc.BGI to that name and
// returns the decoded JPEG (what is shown is what is stored). Throws Error
// when the name is refused (formats::CheckArrival) or the file cannot be
// written (the document is then unchanged).
platform::Bitmap StoreCroppedBackground(model::Document& doc, const std::string& chosenPath,
                                        const platform::Bitmap& result);

// Deletes AppDir + previousName after a crop replaced it with newName, unless
// deleting it would lose something: it is the file just written (names equal,
// letter case ignored), the default picture "WindowsMobile.JPG", a name that
// is not a bare file name (empty, ".", "..", or holding a folder separator),
// or a picture that an in-use entry still names as its BgImage or
// CustomImage. Returns whether a file was deleted.
bool DeletePreviousBackground(const model::Document& doc, const std::string& previousName,
                              const std::string& newName);

// What ChooseBackground needs from the window: the open dialog and the crop
// window.
struct BackgroundDialogs {
    // Shows the open dialog with `filter`; returns the chosen path, or nothing
    // when the user cancels.
    std::function<std::optional<std::string>(const std::string& filter)> PickFile;
    // Shows the crop window over `picture`; returns the 176 x 200 result, or
    // nothing when the user leaves the window without cropping.
    std::function<std::optional<platform::Bitmap>(const platform::Bitmap& picture)> Crop;
};

// The main window's background button. Picks a file; a picture larger than
// 176 x 200 in both directions goes through the crop window (afterwards the
// previous background file is deleted as DeletePreviousBackground allows);
// one of exactly 176 x 200 is stored as it is. In the end, also when the
// dialog was cancelled or the crop window was left without cropping,
// doc.BackgroundImage := doc.BGI and `redraw` runs; when nothing was stored
// and doc.BGI names the clock's composed picture (kAnalogBackground),
// doc.BackgroundImage keeps the picture the clock is drawn from.
// Throws Error "Image is Too Small" for any other size, and the picture
// loader's Error for a file that is no readable picture; in both cases
// nothing changes and there is no redraw.
void ChooseBackground(model::Document& doc, const BackgroundDialogs& dialogs,
                      const std::function<void()>& redraw);

} // namespace tessaro::images
