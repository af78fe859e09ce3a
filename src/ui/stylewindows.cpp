#include "ui/stylewindows.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPointer>

#include "ui/choosebackground.h"
#include "ui/stylewidgets.h"
#include "ui/tadvopt.h"
#include "ui/tanalogclockform.h"
#include "ui/tbgimageform.h"
#include "ui/ticonbarform.h"

namespace tessaro::ui {

std::optional<std::string> PickFileWithDialog(QWidget* parent, const std::string& filter) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QtFileFilter(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<model::Color> PickColorWithDialog(QWidget* parent, model::Color initial) {
    const QColor c = QColorDialog::getColor(ToQColor(initial), parent, "Color",
                                            QColorDialog::DontUseNativeDialog);
    if (!c.isValid())
        return std::nullopt;
    return FromQColor(c);
}

namespace {

class StyleWindowsImpl : public StyleWindows {
  public:
    // Each window is built the first time it is opened: none of them shows
    // at start, and their controls keep their values from then on.
    StyleWindowsImpl(model::Document& doc, preview::Preview& preview, PickFileFn pickFile,
                     QWidget* parent, StyleWindowHooks hooks)
        : doc_(doc), preview_(preview), parent_(parent), pickFile_(std::move(pickFile)),
          hooks_(std::move(hooks)) {
        if (!pickFile_)
            pickFile_ = [parent](const std::string& f) { return PickFileWithDialog(parent, f); };
        pickColor_ = hooks_.PickColor;
        if (!pickColor_)
            pickColor_ = [parent](model::Color c) { return PickColorWithDialog(parent, c); };
    }
    ~StyleWindowsImpl() override {
        // The parent may have deleted them already.
        delete bgImage_.data();
        delete advopt_.data();
        delete iconBar_.data();
        delete clock_.data();
    }

    void OpenIconBar() override {
        if (!iconBar_) {
            iconBar_ = new TIconBarForm(preview_, pickFile_, pickColor_, parent_);
        }
        iconBar_->Open();
    }
    void OpenAnalogClock() override {
        if (!clock_) {
            clock_ = new TAnalogClockForm(preview_, pickColor_, hooks_.HeightFieldMax,
                                          hooks_.SetHeightField, parent_);
        }
        clock_->Open();
    }
    void OpenAdvancedOptions() override {
        if (!advopt_) {
            advopt_ = new Tadvopt(doc_, pickFile_, parent_);
        }
        advopt_->OpenFor(doc_.CurrentKind);
    }
    void ChooseBackground(const std::function<void()>& redraw) override {
        if (!bgImage_) {
            bgImage_ = new TBGImageForm(parent_);
        }
        ui::ChooseBackground(parent_, doc_, *bgImage_, pickFile_, redraw);
    }

  private:
    model::Document& doc_;
    preview::Preview& preview_;
    QWidget* parent_;
    PickFileFn pickFile_;
    PickColorFn pickColor_;
    StyleWindowHooks hooks_;
    QPointer<TBGImageForm> bgImage_;
    QPointer<Tadvopt> advopt_;
    QPointer<TIconBarForm> iconBar_;
    QPointer<TAnalogClockForm> clock_;
};

} // namespace

std::unique_ptr<StyleWindows> CreateStyleWindows(model::Document& doc, preview::Preview& preview,
                                                 PickFileFn pickFile, QWidget* parent,
                                                 StyleWindowHooks hooks) {
    return std::make_unique<StyleWindowsImpl>(doc, preview, std::move(pickFile), parent,
                                              std::move(hooks));
}

} // namespace tessaro::ui
