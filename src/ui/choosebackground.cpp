#include "ui/choosebackground.h"

#include "images/background.h"
#include "ui/stylewidgets.h"
#include "ui/tbgimageform.h"

namespace tessaro::ui {

void ChooseBackground(QWidget* parent, model::Document& doc, TBGImageForm& cropForm,
                      const PickFileFn& pickFile, const std::function<void()>& redraw) {
    images::BackgroundDialogs dialogs;
    dialogs.PickFile = [&](const std::string& filter) -> std::optional<std::string> {
        if (!pickFile)
            return std::nullopt;
        return pickFile(filter);
    };
    dialogs.Crop = [&](const platform::Bitmap& picture) { return cropForm.Crop(picture); };
    RunHandler(parent, [&] { images::ChooseBackground(doc, dialogs, redraw); });
}

} // namespace tessaro::ui
