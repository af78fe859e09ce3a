#pragma once
// The device-size preview: the surfaces the main window shows, the scroll
// bar state, and the pass that redraws them from the document.
//
// The preview holds no document state of its own: every pass starts from
// white surfaces and the stored document. The pass first applies the rules of
// model::Normalise (the only changes it makes to the document); the drawing
// after it reads the document only. It rewrites "iconbar.jpg" and
// "BackGroundImage with Analog Plugin.jpg" in doc.AppDir.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/names.h"
#include "model/document.h"
#include "model/normalise.h"
#include "platform/bitmap.h"
#include "platform/textengine.h"
#include "platform/raster.h"

namespace tessaro::preview {

constexpr int kWidth = 176;         // every surface
constexpr int kViewHeight = 200;    // the visible screen above the soft keys
constexpr int kCanvasHeight = 6000; // the preview canvas
constexpr int kScreenHeight = 220;  // view + soft-key strip
constexpr int kSoftKeyHeight = 20;

// Scheme slots the preview reads.
enum SchemeSlot : int {
    COLOR_HIGHLIGHT = 4,
    COLOR_HIGHLIGHTTEXT = 5,
    COLOR_TRAY1 = 17,
    COLOR_TRAY2 = 18,
    COLOR_TRAYICONS = 19,
    COLOR_WINDOWFRAME = 21,
    COLOR_BTNFACE = 22,
    COLOR_BTNTEXT = 23,
    COLOR_HOMERULE = 28,
    COLOR_HOMEHIGHLIGHT = 30,
};

// Pure white is the canvas's transparent colour; a colour that must stay
// visible is drawn as 0xFFFFFE instead.
constexpr model::Color kTransparent = 0xFFFFFF;
constexpr model::Color kVisibleWhite = 0xFFFFFE;
constexpr model::Color Visible(model::Color c) { return c == kTransparent ? kVisibleWhite : c; }

// The messages a pass may show.
using model::kAnalogBackground;
using model::kOneAdvancedBar;
using model::kOneAdvancedFace;
using model::kTransparencyScrollable;

// The vertical scroll bar beside the preview (range 0..Max, steps of 1).
struct ScrollState {
    bool Enabled = false;
    int Max = 0;
    int Position = 0;
};

// What the preview draws for text slot k (0..2) of entry e: the label text
// (converted to UTF-8) followed by the kind's sample value, in the slot's font
// (unselected weight and colour). Nothing when the kind has no text in that
// slot or the slot is hidden. The layout checker measures texts through this,
// so the two always agree.
struct SlotText {
    std::string Utf8;
    platform::TextFont Font;
};
std::optional<SlotText> TextOfSlot(const model::TPlugins& e, int k);

class IconBar;
class Clock;

class Preview {
public:
    using MessageFn = std::function<void(const std::string&)>;

    // Keeps a reference to `doc`; the surfaces start white, the scroll bar
    // disabled at 0..0. The fonts are loaded from doc.AppDir on first use.
    // Without `canvas` the 176 x 6000 preview canvas (Image1) stays empty and
    // every drawing on it is clipped away: for runs that use only what a pass
    // writes and changes in the document, never the screen.
    explicit Preview(model::Document& doc, bool canvas = true);
    ~Preview();
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    model::Document& Doc() { return doc_; }

    // Where informational messages go (the designer shows a message box, the
    // command line prints to stderr). Without a handler they are dropped.
    void SetMessageHandler(MessageFn fn) { message_ = std::move(fn); }
    void Message(const std::string& text) const {
        if (message_) message_(text);
    }

    // The whole pass: model::Normalise (its messages go to the handler),
    // then Draw.
    // Holds the program folder's lock (platform/folderlock.h): the pass
    // writes work pictures there.
    void DrawPlugins();

    // The drawing alone: soft-key strip, white canvas, background, every
    // entry (a second advanced icon bar or clock face left out), scroll range.
    // Changes no design field. A missing or bad picture (or a maximum-buttons
    // text that is no integer) throws Error with the file's message; what was
    // drawn stays.
    void Draw();

    // Composes entry i on TempImage and copies rows 0..Height of it to the
    // canvas at Top (clipped to the canvas; rows of a tall entry below the
    // work canvas are white, its bottom split line is drawn on the canvas).
    // A clock entry is drawn through AnalogClock(): its fields are loaded
    // from the entry, with the size maximum of its face style for a height
    // field maximum of 176 (an advanced face fits on the 200-pixel screen).
    // Throws as DrawPlugins.
    void DrawEntry(int i);

    // LayoutHeight of the document is 201 or more.
    bool IsScrolled();

    // Moves the visible window to canvas rows pos .. pos + 199; pos is
    // clamped to 0..ScrollBar1.Max.
    void ScrollBar1Change(int pos);

    // The 176 x 220 screen as shown: background view, canvas rows from the
    // scroll position with pure white transparent, soft-key strip at rows
    // 200..219.
    platform::Bitmap Screen() const;

    // The entry drawn in the selected state on the selected canvas; -1 (or
    // any index that is not an entry in use) for none. While one is set,
    // every pass builds SelImage1 beside Image1: the same picture, except that
    // the rows of that entry show it as the phone shows the selected plugin:
    // its band filled with its BgImage picture (read from doc.AppDir), else
    // with its BgColor unless it is Transparent, and its labels in SelColor
    // and SelWeight over that band. Time and date elements and the MRU
    // application name keep their one (unselected) format, an MRU entry
    // keeps its transparent band, an icon bar is drawn as it is, and the
    // media remote's band takes the scheme's home highlight colour.
    // A failure in drawing the selected state (its band picture cannot be
    // read, say) does not stop the pass: the entry stays plain on the
    // selected canvas and the message is kept in SelectedProblem until the
    // next pass.
    void SetSelectedEntry(int i) { selected_ = i; }
    int SelectedEntry() const { return selected_; }

    // Screen() with the selected canvas in place of the preview canvas; the
    // plain screen when no selected canvas was built by the last pass.
    platform::Bitmap SelectedScreen() const;

    // Where the label cell of text slot `slot` (0..2) of entry i lies, in the
    // entry's own coordinates (the cell the pass draws: X, Y, text width,
    // font cell height). False when the slot is not drawn as text (hidden,
    // not a label of the kind, or no entry). Throws as DrawPlugins when the
    // fonts cannot be read.
    struct Cell {
        int X = 0, Y = 0, Width = 0, Height = 0;
    };
    bool TextCell(int i, int slot, Cell& cell);

    // Decodes doc.AppDir + doc.BackgroundImage (JPEG) into BGImage.
    void LoadBackground();

    // The icon bar window's renderers and bar images, and the clock window's
    // fields and picture; the windows and the pass share them.
    IconBar& IconBars() { return *iconBar_; }
    Clock& AnalogClock() { return *clock_; }
    // The text engine for doc.AppDir (opened again when the program folder
    // changes). Throws Error when the program has none.
    platform::TextEngine& Fonts();

    platform::Bitmap BGImage;   // 176 x 200 background view
    platform::Bitmap Image1;    // 176 x 6000 preview canvas
    platform::Bitmap Image2;    // 176 x 20 soft-key strip
    platform::Bitmap TempImage; // 176 x 220 work canvas
    platform::Bitmap SelImage1; // selected canvas, 176 x 6000 (empty: none)
    std::string SelectedProblem; // why the last pass drew the selected entry plain
    ScrollState ScrollBar1;
    // false: texts (labels, soft keys, the bands of unknown plugins) are left
    // out of the surfaces and no text engine is opened, for runs that want
    // only what a pass writes and changes in the document.
    bool DrawsText = true;

private:
    void DrawSoftKeys();
    void DrawTexts(const model::TPlugins& e, bool selected = false);
    void DrawSplitLines(const model::TPlugins& e);
    void DrawSelected(const model::TPlugins& e, const platform::Bitmap& plain);
    void FillBand(const model::TPlugins& e, model::Color& below);
    void CopyEntry(platform::Bitmap& canvas, const model::TPlugins& e, model::Color below);
    platform::Bitmap ComposeScreen(const platform::Bitmap& canvas) const;
    void DrawMru(const model::TPlugins& e);
    void DrawIconBarEntry(int i);
    void DrawClockEntry(int i);
    void DrawMediaRemote();
    void UpdateScrollRange();
    // The canvas is cleared only where the last pass drew and this one does
    // not: rows an entry is copied onto are overwritten whole anyway.
    // BeginCanvas starts a pass, FinishCanvas clears the rows left over (also
    // when the pass stops on an error, so no stale entry stays behind).
    void BeginCanvas();
    void FinishCanvas() noexcept;
    void MarkDrawn(long long top, long long rows);
    // A kept kWidth x rows work canvas for one entry.
    platform::Bitmap& WorkCanvas(int rows);

    model::Document& doc_;
    MessageFn message_;
    std::unique_ptr<platform::TextEngine> fonts_;
    std::string fontsDir_;
    std::unique_ptr<IconBar> iconBar_;
    std::unique_ptr<Clock> clock_;
    int selected_ = -1;
    // Canvas rows that may not be white; the canvas starts white.
    int drawnTop_ = kCanvasHeight, drawnBottom_ = 0;
    // The last pass's drawn rows, and the rows this pass wrote whole.
    int staleTop_ = kCanvasHeight, staleBottom_ = 0;
    std::vector<std::uint8_t> covered_;
    std::map<int, platform::Bitmap> workCanvases_; // by height
};

} // namespace tessaro::preview
