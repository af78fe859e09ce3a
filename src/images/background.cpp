#include "images/background.h"

#include <algorithm>
#include <cctype>

#include "formats/names.h"
#include "images/crop.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"

namespace tessaro::images {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool IsJpegName(const std::string& path) {
    const std::string ext = Lower(platform::ExtensionOf(path));
    return ext == ".jpg" || ext == ".jpeg";
}

bool IsBareFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

} // namespace

PictureFit ClassifyBackground(int width, int height) {
    if (width > kScreenWidth && height > kScreenHeight)
        return PictureFit::NeedsCrop;
    if (width == kScreenWidth && height == kScreenHeight)
        return PictureFit::Exact;
    return PictureFit::TooSmall;
}

std::string StoredBackgroundName(const std::string& chosenPath) {
    return platform::ChangeExtension(platform::FileNamePart(chosenPath), ".jpg");
}

std::string StoreExactBackground(model::Document& doc, const std::string& chosenPath,
                                 const platform::Bitmap& picture) {
    const std::string name = StoredBackgroundName(chosenPath);
    // The source is read in full before the target is replaced, so choosing
    // the stored copy itself again cannot truncate it.
    const std::string data = IsJpegName(chosenPath) ? platform::ReadFile(chosenPath)
                                                    : platform::EncodeJpeg(picture, 100);
    // The bytes stored unchanged are decoded whole first: a damaged file must
    // not become the background the phone receives.
    if (IsJpegName(chosenPath)) platform::DecodeJpeg(data);
    formats::CheckArrival(doc.AppDir, name, data, formats::Arrival::Chosen, "background picture");
    platform::WriteFileAtomic(doc.AppDir + name, data);
    doc.BGI = name;
    return name;
}

platform::Bitmap StoreCroppedBackground(model::Document& doc, const std::string& chosenPath,
                                        const platform::Bitmap& result) {
    const std::string name = StoredBackgroundName(chosenPath);
    const std::string data = platform::EncodeJpeg(result, 100);
    platform::Bitmap shown = platform::DecodeJpeg(data);
    formats::CheckArrival(doc.AppDir, name, data, formats::Arrival::Chosen, "background picture");
    platform::WriteFileAtomic(doc.AppDir + name, data);
    doc.BGI = name;
    return shown;
}

bool DeletePreviousBackground(const model::Document& doc, const std::string& previousName,
                              const std::string& newName) {
    if (!IsBareFileName(previousName))
        return false;
    const std::string previous = Lower(previousName);
    if (previous == Lower(newName) || previous == Lower(kDefaultBackground))
        return false;
    const int n = model::CountEntries(doc);
    for (int i = 0; i < n; ++i) {
        const model::TPlugins& e = doc.Plugins[i];
        if (Lower(e.BgImage) == previous || Lower(e.CustomImage) == previous)
            return false;
    }
    return platform::DeleteFile(doc.AppDir + previousName);
}

void ChooseBackground(model::Document& doc, const BackgroundDialogs& dialogs,
                      const std::function<void()>& redraw) {
    const std::string previous = doc.BGI;
    bool stored = false;
    if (const std::optional<std::string> chosen = dialogs.PickFile(kGraphicFilesFilter)) {
        const platform::Bitmap picture = platform::LoadPicture(*chosen);
        switch (ClassifyBackground(picture.Width(), picture.Height())) {
        case PictureFit::NeedsCrop:
            if (const std::optional<platform::Bitmap> result = dialogs.Crop(picture)) {
                StoreCroppedBackground(doc, *chosen, *result);
                DeletePreviousBackground(doc, previous, doc.BGI);
                stored = true;
            }
            break;
        case PictureFit::Exact:
            StoreExactBackground(doc, *chosen, picture);
            stored = true;
            break;
        case PictureFit::TooSmall:
            throw Error("Image is Too Small");
        }
    }
    // The clock's composed picture is remade from the background on every
    // pass; taken as the background itself, each later pass would burn the
    // face over what earlier passes left (an old face, a white band), and the
    // user's picture would be lost. Only a picture chosen here replaces it.
    if (stored || doc.BGI != kAnalogBackground)
        doc.BackgroundImage = doc.BGI;
    if (redraw)
        redraw();
}

} // namespace tessaro::images
