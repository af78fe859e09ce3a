#include "preview/preview.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "formats/cp1251.h"
#include "model/editing.h"
#include "model/error.h"
#include "platform/picture.h"
#include "platform/raster.h"
#include "preview/clock.h"
#include "preview/iconbar.h"

namespace tessaro::preview {

using platform::Bitmap;
using platform::Brush;
using platform::Pen;

namespace {

constexpr const char* kPhone = "+79161234567";

// The sample value shown after each text slot's label; nullptr: the slot is
// not drawn as text.
struct Samples {
    const char* Name;
    const char* Slot[3];
};

constexpr Samples kSamples[] = {
    {"All-Day Event", {"Subject", nullptr, nullptr}},
    {"Calendar", {"Subject", "10:25", "Location"}},
    {"Call Progress", {kPhone, nullptr, nullptr}},
    {"Carrier/Sim", {"MTS-RUS", "10:25", "15.05.03"}},
    {"Clock", {"10:25", "12.05.03", nullptr}},
    {"Messaging Counts", {"0", "0", "0"}},
    {"Missed Calls", {"0", nullptr, nullptr}},
    {"MRU", {nullptr, "WMPlayer.exe", nullptr}},
    {"Owner Info", {"VELDA", kPhone, "I am a student!"}},
    {"Profile", {"normal", nullptr, nullptr}},
};

const Samples* SamplesOf(const std::string& name) {
    for (const Samples& s : kSamples)
        if (name == s.Name) return &s;
    return nullptr;
}

// Whole-number text as the platform's conversion reads it: optional blanks
// around, an optional sign, decimal digits.
int StrToInt(const std::string& text) {
    std::size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    bool neg = false;
    std::size_t j = i;
    if (j < n && (text[j] == '+' || text[j] == '-')) neg = text[j++] == '-';
    long long v = 0;
    bool ok = j < n;
    for (; j < n && ok; ++j) {
        if (!std::isdigit(static_cast<unsigned char>(text[j]))) ok = false;
        else v = v * 10 + (text[j] - '0');
        if (v > INT_MAX + (neg ? 1LL : 0LL)) ok = false;
    }
    if (!ok) throw Error("'" + text + "' is not a valid integer value");
    return int(neg ? -v : v);
}

} // namespace

Preview::Preview(model::Document& doc)
    : BGImage(kWidth, kViewHeight), Image1(kWidth, kCanvasHeight), Image2(kWidth, kSoftKeyHeight),
      TempImage(kWidth, kScreenHeight), doc_(doc), iconBar_(std::make_unique<IconBar>(*this)),
      clock_(std::make_unique<Clock>(*this)) {}

Preview::~Preview() = default;

platform::FontSet& Preview::Fonts() {
    if (!fonts_ || fontsDir_ != doc_.AppDir) {
        fonts_ = std::make_unique<platform::FontSet>(doc_.AppDir);
        fontsDir_ = doc_.AppDir;
    }
    return *fonts_;
}

bool Preview::IsScrolled() { return model::LayoutHeight(doc_) >= kViewHeight + 1; }

void Preview::LoadBackground() { BGImage = platform::ReadJpeg(doc_.AppDir + doc_.BackgroundImage); }

void Preview::DrawSoftKeys() {
    const model::Scheme& s = doc_.Scheme;
    const platform::TextFont font{"Arial", 16, true, s[COLOR_HIGHLIGHTTEXT]};
    platform::Rectangle(Image2, -1, 0, 88, 21, Pen{s[COLOR_WINDOWFRAME], 1},
                        Brush{false, s[COLOR_HIGHLIGHT]});
    if (DrawsText) platform::TextOut(Image2, Fonts(), 27, 2, "Start", font, Brush{true, 0});
    platform::Rectangle(Image2, 87, 0, 177, 21, Pen{s[COLOR_WINDOWFRAME], 1},
                        Brush{false, s[COLOR_BTNFACE]});
    if (DrawsText)
        platform::TextOut(Image2, Fonts(), 105, 2, "Contacts",
                      platform::TextFont{"Arial", 16, true, s[COLOR_BTNTEXT]}, Brush{true, 0});
}

void Preview::DrawPlugins() {
    DrawSoftKeys();
    ClearCanvas();
    LoadBackground();

    const int n = model::CountEntries(doc_);
    bool advancedBar = false, advancedFace = false;
    for (int i = 0; i < n; ++i) {
        const model::TPlugins& e = doc_.Plugins[std::size_t(i)];
        const bool isBar = e.Name == "Icon Bar" && e.Items[0].X == 1;
        const bool isFace = e.Name == "AnalogClock" && e.Items[0].Y == 1;
        if ((isBar && advancedBar) || (isFace && advancedFace)) {
            const char* message = isBar ? kOneAdvancedBar : kOneAdvancedFace;
            doc_.ActivePluginsList.Selected = i;
            model::RemoveEntry(doc_, i);
            if (model::CountEntries(doc_) < n) {
                DrawPlugins();
                Message(message);
                return;
            }
            // The entry list did not hold the entry, so it could not be
            // removed: leave it out of this picture rather than loop.
            Message(message);
            continue;
        }
        advancedBar = advancedBar || isBar;
        advancedFace = advancedFace || isFace;
        DrawEntry(i);
    }
    UpdateScrollRange();
}

void Preview::UpdateScrollRange() {
    const int h = model::CountEntries(doc_) > 0
                      ? int(std::max<long long>((long long)model::LayoutHeight(doc_) - kViewHeight, 0))
                      : 0;
    if (h > 0) {
        ScrollBar1.Enabled = true;
        ScrollBar1.Max = h;
        ScrollBar1.Position = std::min(ScrollBar1.Position, h);
    } else {
        // Not scrollable: the canvas goes back to its top so entries are not
        // shown shifted by a position the disabled bar can no longer change.
        ScrollBar1 = ScrollState{};
    }
}

void Preview::ClearCanvas() {
    if (drawnTop_ < drawnBottom_)
        platform::FillRect(Image1, 0, drawnTop_, kWidth, drawnBottom_, kTransparent);
    drawnTop_ = kCanvasHeight;
    drawnBottom_ = 0;
}

void Preview::MarkDrawn(long long top, long long rows) {
    const long long from = std::max<long long>(top, 0);
    const long long to = std::min<long long>(top + rows, kCanvasHeight);
    if (from >= to) return;
    drawnTop_ = std::min(drawnTop_, int(from));
    drawnBottom_ = std::max(drawnBottom_, int(to));
}

platform::Bitmap& Preview::WorkCanvas(int rows) {
    // Layouts use a few entry heights; a layout of many keeps the last few.
    if (workCanvases_.size() >= 16 && !workCanvases_.count(rows)) workCanvases_.clear();
    auto it = workCanvases_.find(rows);
    if (it == workCanvases_.end()) it = workCanvases_.emplace(rows, Bitmap(kWidth, rows)).first;
    return it->second;
}

void Preview::ScrollBar1Change(int pos) { ScrollBar1.Position = std::clamp(pos, 0, ScrollBar1.Max); }

void Preview::DrawEntry(int i) {
    model::TPlugins& e = doc_.Plugins[std::size_t(i)];
    // The entry is composed on a work canvas only as tall as the rows copied
    // to the canvas below, so nothing further down is cleared or drawn (every
    // drawing clips at the canvas's edge). The full-height work canvas is put
    // back afterwards, also when drawing fails.
    const int used = e.Height < 0 ? 0 : int(std::min<long long>((long long)e.Height + 1, kScreenHeight));
    platform::Bitmap& work = WorkCanvas(used);
    std::swap(TempImage, work);
    struct PutBack {
        platform::Bitmap& A;
        platform::Bitmap& B;
        ~PutBack() { std::swap(A, B); }
    } putBack{TempImage, work};
    platform::FillRect(TempImage, 0, 0, kWidth, used, kTransparent);

    const std::string& kind = e.Name;
    if (kind == "Icon Bar") DrawIconBarEntry(i);
    else if (kind == "AnalogClock") DrawClockEntry(i);
    else if (kind == "WMPlayer") DrawMediaRemote();
    else if (kind == "MRU") DrawMru(e);
    else DrawTexts(e);

    const bool split = doc_.SplitLines == 0 && kind != "AnalogClock";
    const Pen rule{doc_.Scheme[COLOR_HOMERULE], 1};
    if (split) {
        platform::Line(TempImage, 0, 0, kWidth, 0, rule);
        platform::Line(TempImage, 0, e.Height, kWidth, e.Height, rule);
    }

    if (e.Height < 0) return;
    const long long rows = (long long)e.Height + 1;
    const int copied = int(std::min<long long>(rows, kScreenHeight));
    MarkDrawn(e.Top, copied);
    platform::CopyRows(Image1, e.Top, TempImage, 0, copied);
    if (rows > kScreenHeight) {
        // A tall entry: what lies below the work canvas is empty.
        const long long top = (long long)e.Top + kScreenHeight;
        const long long bottom = std::min<long long>((long long)e.Top + rows, kCanvasHeight);
        if (top < bottom)
            platform::FillRect(Image1, 0, int(std::max<long long>(top, 0)), kWidth, int(bottom),
                               kTransparent);
        const long long line = (long long)e.Top + e.Height;
        if (split && line >= 0 && line < kCanvasHeight) {
            MarkDrawn(line, 1);
            platform::Line(Image1, 0, int(line), kWidth, int(line), rule);
        }
    }
}

void Preview::DrawTexts(const model::TPlugins& e) {
    const Samples* samples = SamplesOf(e.Name);
    if (!samples || !DrawsText) return;
    for (int k = 0; k < 3; ++k) {
        const model::TPluginItem& slot = e.Items[std::size_t(k)];
        if (!samples->Slot[k] || !slot.Visible) continue;
        const std::string text = formats::Cp1251ToUtf8(slot.Text) + samples->Slot[k];
        const platform::TextFont font{"Nina", -std::max(slot.FontSize, -INT_MAX), slot.UnselWeight == "bold",
                                      Visible(slot.UnselColor)};
        platform::TextOut(TempImage, Fonts(), slot.X, slot.Y, text, font,
                          Brush{false, kTransparent});
    }
}

void Preview::DrawMru(const model::TPlugins& e) {
    const model::TPluginItem& icons = e.Items[0];
    if (icons.Visible) {
        const long long n = StrToInt(e.Items[1].Extra);
        int pitch = 0, height = 0;
        const char* file = nullptr;
        if (icons.Extra == "32") pitch = 32, height = 32, file = "mru32.bmp";
        else if (icons.Extra == "16") pitch = 17, height = 16, file = "mru16.bmp";
        // The strip is read even when no button is shown: a missing strip
        // stops the pass like every other support picture.
        const Bitmap strip = file ? platform::ReadBmpKept(doc_.AppDir + file) : Bitmap();
        if (file && n > 0) {
            const long long w = std::min<long long>(pitch * n, INT_MAX / 2);
            // One pixel wider than the source; black shows the background.
            platform::CopyRectReplacing(TempImage, icons.X, icons.Y,
                                        int(std::min<long long>(icons.X + w + 1, INT_MAX / 2)),
                                        int(std::min<long long>((long long)icons.Y + height, INT_MAX)),
                                        strip, 0, 0, int(w), height, 0x000000,
                                        kTransparent);
        }
    }
    DrawTexts(e);
}

void Preview::DrawMediaRemote() {
    const Bitmap media = platform::ReadBmpKept(doc_.AppDir + "media_remote.bmp");
    platform::CopyRectKeyed(TempImage, 0, 0, kWidth, kSoftKeyHeight, media, 0, 0, kWidth,
                            kSoftKeyHeight, 0x000000);
}

void Preview::DrawIconBarEntry(int i) {
    model::TPlugins& e = doc_.Plugins[std::size_t(i)];
    if (e.Transparent && e.TransparencyLevel != 255 && IsScrolled()) {
        Message(kTransparencyScrollable);
        e.Transparent = 0;
    }
    const Bitmap tray = iconBar_->TrayIcons(Visible(doc_.Scheme[COLOR_TRAYICONS]));
    IconBar::DrawTray(TempImage, tray);
    if (e.Transparent && e.TransparencyLevel == 255) return;

    const int style = e.Items[0].X;
    if (style == 0) iconBar_->DrNr(i);
    else if (style == 1) iconBar_->DrAdv(e.Items[0].Y, i);
    else if (style == 2) iconBar_->DrCustom(i);
    else return;
    if (style != 0 || e.Transparent)
        platform::CopyRect(TempImage, 0, 0, kBarWidth, kBarHeight, iconBar_->LastWritten(), 0, 0,
                           kBarWidth, kBarHeight);
    IconBar::DrawTray(TempImage, tray);
}

void Preview::DrawClockEntry(int i) {
    const model::TPlugins& e = doc_.Plugins[std::size_t(i)];
    Clock& c = *clock_;
    const int face = e.Items[0].Y == kFaceAdvanced ? kFaceAdvanced : kFaceNone;
    c.Size.SetMax(Clock::SizeMaximum(face, 176, e.Top));
    c.Load(e);
    c.Dr(i);
    if (e.Height > 0) platform::CopyRows(TempImage, 0, c.Image1, 0, std::min(e.Height, c.Image1.Height()));
}

Bitmap Preview::Screen() const {
    Bitmap s(kWidth, kScreenHeight);
    platform::CopyRows(s, 0, BGImage, 0, std::min(kViewHeight, BGImage.Height()));
    const std::uint32_t key = platform::ToNative(kTransparent);
    for (int y = 0; y < kViewHeight; ++y) {
        const int cy = ScrollBar1.Position + y;
        if (cy < 0 || cy >= Image1.Height()) continue;
        const std::uint32_t* in = Image1.Row(cy);
        std::uint32_t* out = s.Row(y);
        for (int x = 0; x < kWidth; ++x)
            if (in[x] != key) out[x] = in[x];
    }
    platform::CopyRows(s, kViewHeight, Image2, 0, kSoftKeyHeight);
    return s;
}

} // namespace tessaro::preview
