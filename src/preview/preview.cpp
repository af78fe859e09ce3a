#include "preview/preview.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "formats/cp1251.h"
#include "model/catalogue.h"
#include "model/editing.h"
#include "model/foreign.h"
#include "model/error.h"
#include "platform/folderlock.h"
#include "platform/picture.h"
#include "platform/raster.h"
#include "preview/clock.h"
#include "preview/iconbar.h"

namespace tessaro::preview {

using platform::Bitmap;
using platform::Brush;
using platform::Pen;

namespace {

// The sample values of a kind's slots (nullptr: no text), nullptr for a name
// that is no kind.
const std::array<const char*, 3>* SamplesOf(const std::string& name) {
    const int k = model::KindIndex(name);
    return k < 0 ? nullptr : &model::Catalogue()[std::size_t(k)].Samples;
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

// A plugin this designer does not know: a labelled band of its height, so the
// layout around it shows where it stands.
void DrawPlaceholder(Bitmap& canvas, platform::TextEngine* fonts, const model::TPlugins& e) {
    const int bottom = int(std::clamp<long long>(e.Height, 1, kScreenHeight));
    platform::Rectangle(canvas, 0, 0, kWidth, bottom, Pen{0x808080, 1}, Brush{false, 0xE8E8E8});
    if (fonts && e.Height >= 10)
        platform::TextOut(canvas, *fonts, 4, std::max(0, std::min(2, e.Height - 12)), formats::Cp1251ToUtf8(e.Name),
                          platform::TextFont{"Nina", -11, false, 0x404040}, Brush{true, 0});
}

} // namespace

Preview::Preview(model::Document& doc, bool canvas)
    : BGImage(kWidth, kViewHeight), Image1(kWidth, canvas ? kCanvasHeight : 0), Image2(kWidth, kSoftKeyHeight),
      TempImage(kWidth, kScreenHeight), doc_(doc), iconBar_(std::make_unique<IconBar>(*this)),
      clock_(std::make_unique<Clock>(*this)) {}

Preview::~Preview() = default;

platform::TextEngine& Preview::Fonts() {
    if (!fonts_ || fontsDir_ != doc_.AppDir) {
        fonts_ = platform::OpenTextEngine(doc_.AppDir);
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
    for (const std::string& m : model::Normalise(doc_)) Message(m);
    Draw();
}

void Preview::Draw() {
    // The pass writes work pictures (iconbar.jpg, the background with the
    // clock face) into the program folder.
    const platform::ProgramFolderLock lock(doc_.AppDir);
    struct Pass {
        IconBar& Bars;
        explicit Pass(IconBar& b) : Bars(b) { Bars.BeginPass(); }
        ~Pass() { Bars.EndPass(); }
    } pass(*iconBar_);
    DrawSoftKeys();
    BeginCanvas();
    struct Finish {
        Preview& P;
        ~Finish() { P.FinishCanvas(); }
    } finish{*this};
    const bool withSelected = selected_ >= 0 && selected_ < model::CountEntries(doc_);
    if (withSelected) SelImage1 = Bitmap(kWidth, kCanvasHeight, kTransparent);
    else SelImage1 = Bitmap();
    SelectedProblem.clear();
    LoadBackground();

    const int n = model::CountEntries(doc_);
    bool advancedBar = false, advancedFace = false;
    for (int i = 0; i < n; ++i) {
        const model::TPlugins& e = doc_.Plugins[std::size_t(i)];
        const bool isBar = model::IsAdvancedBar(e);
        const bool isFace = model::IsAdvancedFace(e);
        // Only where Normalise could not remove the entry (the entry list did
        // not hold it): it is left out of the picture.
        if ((isBar && advancedBar) || (isFace && advancedFace)) continue;
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

void Preview::BeginCanvas() {
    staleTop_ = drawnTop_;
    staleBottom_ = drawnBottom_;
    drawnTop_ = kCanvasHeight;
    drawnBottom_ = 0;
    covered_.assign(std::size_t(kCanvasHeight), 0);
}

void Preview::FinishCanvas() noexcept {
    int y = staleTop_;
    while (y < staleBottom_) {
        if (covered_[std::size_t(y)]) {
            ++y;
            continue;
        }
        const int from = y;
        while (y < staleBottom_ && !covered_[std::size_t(y)]) ++y;
        platform::FillRect(Image1, 0, from, kWidth, y, kTransparent);
    }
    staleTop_ = kCanvasHeight;
    staleBottom_ = 0;
}

void Preview::MarkDrawn(long long top, long long rows) {
    const long long from = std::max<long long>(top, 0);
    const long long to = std::min<long long>(top + rows, kCanvasHeight);
    if (from >= to) return;
    drawnTop_ = std::min(drawnTop_, int(from));
    drawnBottom_ = std::max(drawnBottom_, int(to));
    if (!covered_.empty()) std::fill(covered_.begin() + from, covered_.begin() + to, 1);
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
    const model::TPlugins& e = doc_.Plugins[std::size_t(i)];
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

    const model::Kind kind = model::KindOf(e.Name);
    if (kind == model::Kind::IconBar) DrawIconBarEntry(i);
    else if (kind == model::Kind::AnalogClock) DrawClockEntry(i);
    else if (kind == model::Kind::WMPlayer) DrawMediaRemote();
    else if (kind == model::Kind::MRU) DrawMru(e);
    else if (model::IsForeignPlugin(e)) DrawPlaceholder(TempImage, DrawsText ? &Fonts() : nullptr, e);
    else DrawTexts(e);
    DrawSplitLines(e);

    if (e.Height < 0) return;
    CopyEntry(Image1, e, kTransparent);
    if (SelImage1.Empty()) return;
    if (i != selected_) {
        CopyEntry(SelImage1, e, kTransparent);
        return;
    }
    const Bitmap plain = TempImage;
    model::Color below = kTransparent;
    platform::FillRect(TempImage, 0, 0, kWidth, kScreenHeight, kTransparent);
    try {
        if (kind == model::Kind::IconBar || kind == model::Kind::MRU) {
            TempImage = plain;
        } else {
            FillBand(e, below);
            if (kind == model::Kind::AnalogClock || kind == model::Kind::WMPlayer) {
                // Pictures drawn by their own renderers: laid over the band as
                // they are, their transparent pixels showing it.
                platform::CopyRectKeyed(TempImage, 0, 0, kWidth, kScreenHeight, plain, 0, 0, kWidth,
                                        kScreenHeight, kTransparent);
            } else {
                DrawTexts(e, true);
                DrawSplitLines(e);
            }
        }
    } catch (const std::exception& err) {
        // The plain picture stays whole: the selected entry is shown plain
        // and the reason kept for the view that asked for it.
        SelectedProblem = err.what();
        TempImage = plain;
        below = kTransparent;
    }
    CopyEntry(SelImage1, e, below);
    TempImage = plain;
}

void Preview::DrawSplitLines(const model::TPlugins& e) {
    if (doc_.SplitLines != 0 || e.Name == "AnalogClock") return;
    const Pen rule{doc_.Scheme[COLOR_HOMERULE], 1};
    platform::Line(TempImage, 0, 0, kWidth, 0, rule);
    platform::Line(TempImage, 0, e.Height, kWidth, e.Height, rule);
}

void Preview::CopyEntry(Bitmap& canvas, const model::TPlugins& e, model::Color below) {
    const bool split = doc_.SplitLines == 0 && e.Name != "AnalogClock";
    const Pen rule{doc_.Scheme[COLOR_HOMERULE], 1};
    const long long rows = (long long)e.Height + 1;
    const int copied = int(std::min<long long>(rows, kScreenHeight));
    if (&canvas == &Image1) MarkDrawn(e.Top, copied);
    platform::CopyRows(canvas, e.Top, TempImage, 0, copied);
    if (rows > kScreenHeight) {
        // A tall entry: what lies below the work canvas is empty (or, in the
        // selected state, its band colour).
        const long long top = (long long)e.Top + kScreenHeight;
        const long long bottom = std::min<long long>((long long)e.Top + rows, kCanvasHeight);
        if (top < bottom)
            platform::FillRect(canvas, 0, int(std::max<long long>(top, 0)), kWidth, int(bottom),
                               kTransparent);
        const long long bandEnd = std::min<long long>((long long)e.Top + e.Height, kCanvasHeight);
        if (below != kTransparent && top < bandEnd)
            platform::FillRect(canvas, 0, int(std::max<long long>(top, 0)), kWidth, int(bandEnd),
                               below);
        const long long line = (long long)e.Top + e.Height;
        if (split && line >= 0 && line < kCanvasHeight) {
            if (&canvas == &Image1) MarkDrawn(line, 1);
            platform::Line(canvas, 0, int(line), kWidth, int(line), rule);
        }
    }
}

void Preview::FillBand(const model::TPlugins& e, model::Color& below) {
    const int rows = std::clamp(e.Height, 0, kScreenHeight);
    auto fill = [&](model::Color c) {
        below = Visible(c);
        platform::FillRect(TempImage, 0, 0, kWidth, rows, below);
    };
    if (e.Name == "WMPlayer") return fill(doc_.Scheme[COLOR_HOMEHIGHLIGHT]);
    if (!e.BgImage.empty()) {
        const Bitmap picture = platform::LoadPicture(doc_.AppDir + e.BgImage);
        const int w = std::min(picture.Width(), kWidth), h = std::min(picture.Height(), rows);
        // White in the picture is a colour here, not the canvas's key.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) TempImage.SetPixel(x, y, Visible(picture.Pixel(x, y)));
        return;
    }
    if (!e.Transparent) fill(e.BgColor);
}

namespace {

// Time and date elements (and the MRU application name) are written with one
// format only: the phone draws them alike in both states.
bool HasSelectedFormat(const std::string& kind, int slot) {
    if (kind == "Carrier/Sim") return slot == 0;
    if (kind == "Clock" || kind == "MRU") return false;
    return true;
}

} // namespace

std::optional<SlotText> TextOfSlot(const model::TPlugins& e, int k) {
    const auto* samples = SamplesOf(e.Name);
    if (!samples || k < 0 || k > 2) return std::nullopt;
    const model::TPluginItem& slot = e.Items[std::size_t(k)];
    if (!(*samples)[std::size_t(k)] || !slot.Visible) return std::nullopt;
    return SlotText{formats::Cp1251ToUtf8(slot.Text) + (*samples)[std::size_t(k)],
                    platform::TextFont{"Nina", -std::max(slot.FontSize, -INT_MAX),
                                       slot.UnselWeight == "bold", Visible(slot.UnselColor)}};
}

void Preview::DrawTexts(const model::TPlugins& e, bool selected) {
    if (!DrawsText) return;
    for (int k = 0; k < 3; ++k) {
        const std::optional<SlotText> text = TextOfSlot(e, k);
        if (!text) continue;
        const model::TPluginItem& slot = e.Items[std::size_t(k)];
        platform::TextFont font = text->Font;
        if (selected && HasSelectedFormat(e.Name, k)) {
            font.Bold = slot.SelWeight == "bold";
            font.Colour = Visible(slot.SelColor);
        }
        // Selected labels lie on the entry's band, not on cells of their own.
        platform::TextOut(TempImage, Fonts(), slot.X, slot.Y, text->Utf8, font,
                          selected ? Brush{true, 0} : Brush{false, kTransparent});
    }
}

bool Preview::TextCell(int i, int slot, Cell& cell) {
    if (i < 0 || i >= model::CountEntries(doc_) || slot < 0 || slot > 2) return false;
    const model::TPlugins& e = doc_.Plugins[std::size_t(i)];
    const model::TPluginItem& item = e.Items[std::size_t(slot)];
    if (!item.Visible) return false;
    if (e.Name == "MRU" && slot == 0) {
        // The icon strip: as wide as the pass draws it, at least one button.
        long long n = 1;
        try {
            n = std::max(1, StrToInt(e.Items[1].Extra));
        } catch (const Error&) {
        }
        const int pitch = item.Extra == "16" ? 17 : item.Extra == "32" ? 32 : 0;
        if (pitch == 0) return false;
        cell = {item.X, item.Y, int(std::min<long long>(pitch * n + 1, kWidth * 2)),
                pitch == 17 ? 16 : 32};
        return true;
    }
    const auto* samples = SamplesOf(e.Name);
    if (!samples || !(*samples)[std::size_t(slot)]) return false;
    const bool sel = i == selected_ && !SelImage1.Empty() && HasSelectedFormat(e.Name, slot);
    const platform::TextFont font{"Nina", -std::max(item.FontSize, -INT_MAX),
                                  (sel ? item.SelWeight : item.UnselWeight) == "bold", 0};
    const std::string text = formats::Cp1251ToUtf8(item.Text) + (*samples)[std::size_t(slot)];
    cell = {item.X, item.Y, platform::TextWidth(Fonts(), text, font),
            Fonts().Metrics(font.Face, font.Height, font.Bold).CellHeight()};
    return true;
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
    const model::TPlugins& e = doc_.Plugins[std::size_t(i)];
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

Bitmap Preview::Screen() const { return ComposeScreen(Image1); }

Bitmap Preview::SelectedScreen() const { return ComposeScreen(SelImage1.Empty() ? Image1 : SelImage1); }

Bitmap Preview::ComposeScreen(const Bitmap& canvas) const {
    Bitmap s(kWidth, kScreenHeight);
    platform::CopyRows(s, 0, BGImage, 0, std::min(kViewHeight, BGImage.Height()));
    const std::uint32_t key = platform::ToNative(kTransparent);
    for (int y = 0; y < kViewHeight; ++y) {
        const int cy = ScrollBar1.Position + y;
        if (cy < 0 || cy >= canvas.Height()) continue;
        const std::uint32_t* in = canvas.Row(cy);
        std::uint32_t* out = s.Row(y);
        for (int x = 0; x < kWidth; ++x)
            if (in[x] != key) out[x] = in[x];
    }
    platform::CopyRows(s, kViewHeight, Image2, 0, kSoftKeyHeight);
    return s;
}

} // namespace tessaro::preview
