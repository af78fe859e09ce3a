#include "check/layoutcheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#include "formats/cp1251.h"
#include "model/catalogue.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/picture.h"
#include "platform/raster.h"
#include "preview/preview.h"

namespace tessaro::check {

namespace {

constexpr int kScreenWidth = preview::kWidth;       // 176
constexpr int kScreenHeight = preview::kViewHeight; // 200: taller layouts scroll
constexpr int kBackgroundWidth = 176;
constexpr int kBackgroundHeight = 200;
constexpr std::size_t kQuoteLength = 40; // characters of a text quoted in a message

std::string Num(long long v) { return std::to_string(v); }

// A text from the design made fit for a message: control characters (which
// could drive a terminal or break a line of output) become '?'.
std::string Printable(std::string utf8) {
    for (char& c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return utf8;
}

// A text for a message, in quotes, shortened to kQuoteLength characters.
std::string Quote(const std::string& utf8) {
    std::size_t chars = 0, i = 0;
    for (; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (chars++ == kQuoteLength) break;
    }
    return "\"" + Printable(utf8.substr(0, i)) + (i < utf8.size() ? "...\"" : "\"");
}

// How far the ink of a text reaches from its pen start. The advance width
// counts the empty side of the last glyph too; the preview shows only ink,
// so a text whose cell passes the edge by that empty side is still inside.
// The end of the text is drawn as the preview draws it, on a small scratch
// picture, and its last inked column found. Sizes beyond the valid font sizes
// keep the advance width (they are reported as invalid anyway).
long long InkWidth(platform::TextEngine& fonts, const preview::SlotText& text, int advance,
                   const platform::FontMetrics& m) {
    const int em = text.Font.Height == 0 ? 12 : std::abs(text.Font.Height);
    if (em > 200 || advance <= 0) return advance;
    const int pad = 4 + em / 4;
    const int width = std::min(advance, 2 * em) + 2 * pad;
    const int x0 = width - pad - advance; // the pen ends `pad` columns from the right
    platform::Bitmap scratch(width, m.CellHeight() + 2 * pad, 0xFFFFFF);
    fonts.DrawText(scratch, x0, pad, text.Font.Face, text.Font.Height, text.Font.Bold, text.Utf8, 0);
    const std::uint32_t blank = platform::ToNative(0xFFFFFF);
    for (int x = width - 1; x >= 0; --x)
        for (int y = 0; y < scratch.Height(); ++y)
            if (scratch.Row(y)[x] != blank) return (long long)x + 1 - x0;
    return advance;
}

std::string Range(long long lo, long long hi) { return Num(lo) + ".." + Num(hi); }

bool Outside(long long v, long long lo, long long hi) { return v < lo || v > hi; }

// A whole number in decimal text (optional sign, digits only), as the
// maximum-buttons field is read; nothing for any other text.
std::optional<long long> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return text[0] == '-' ? -v : v;
}

class Checker {
public:
    Checker(const model::Theme& theme, const PictureSource& pictures, platform::TextEngine& fonts)
        : theme_(theme), pictures_(pictures), fonts_(fonts) {}

    std::vector<Finding> Run() {
        count_ = model::CountEntries(theme_);
        if (count_ > 0) {
            const model::TPlugins& last = theme_.Plugins[std::size_t(count_ - 1)];
            layoutHeight_ = (long long)last.Top + last.Height;
        }
        CheckBackground();
        for (int i = 0; i < count_; ++i) CheckEntry(i);
        return std::move(findings_);
    }

private:
    void Add(Severity level, const char* code, int entry, std::string message) {
        Finding f;
        f.Level = level;
        f.Code = code;
        f.Entry = entry;
        if (entry >= 0) f.Kind = Printable(formats::Cp1251ToUtf8(theme_.Plugins[std::size_t(entry)].Name));
        f.Message = std::move(message);
        findings_.push_back(std::move(f));
    }

    bool Scrolls() const { return layoutHeight_ > kScreenHeight; }

    // The path of a picture the design names, or nothing when it is not there.
    std::optional<std::string> FindPicture(const std::string& name) const {
        if (name.empty()) return std::nullopt;
        for (const std::string& folder : pictures_.PictureFolders) {
            std::string dir = folder;
            if (!dir.empty() && dir.back() != '/') dir += '/';
            if (platform::FileExists(dir + name)) return dir + name;
        }
        if (platform::FileExists(pictures_.AppDir + name)) return pictures_.AppDir + name;
        return std::nullopt;
    }

    void CheckBackground() {
        const std::string& name = theme_.BackgroundImage;
        const std::string shown = Quote(formats::Cp1251ToUtf8(name));
        if (name.empty()) {
            Add(Severity::Error, kMissingPicture, -1, "the layout names no background picture");
            return;
        }
        const std::optional<std::string> path = FindPicture(name);
        if (!path) {
            Add(Severity::Error, kMissingPicture, -1,
                "the background picture " + shown + " is not there");
            return;
        }
        // The preview and the phone take the background as a JPEG picture.
        platform::Bitmap picture;
        try {
            picture = platform::ReadJpeg(*path);
        } catch (const std::exception& e) {
            Add(Severity::Error, kMissingPicture, -1,
                "the background picture " + shown + " cannot be read: " + Printable(e.what()));
            return;
        }
        if (picture.Width() != kBackgroundWidth || picture.Height() != kBackgroundHeight)
            Add(Severity::Error, kBackgroundSize, -1,
                "the background picture " + shown + " is " + Num(picture.Width()) + " x " +
                    Num(picture.Height()) + "; the phone's background is " +
                    Num(kBackgroundWidth) + " x " + Num(kBackgroundHeight));
    }

    void CheckEntry(int i) {
        const model::TPlugins& e = theme_.Plugins[std::size_t(i)];
        if (i > 0) {
            const model::TPlugins& prev = theme_.Plugins[std::size_t(i - 1)];
            const long long prevBottom = (long long)prev.Top + prev.Height;
            if (e.Top < prevBottom)
                Add(Severity::Error, kOverlap, i,
                    "starts at " + Num(e.Top) + ", above the bottom of entry " + Num(i - 1) +
                        " (" + Num(prevBottom) + ")");
        }
        const long long bottom = (long long)e.Top + e.Height;
        if (bottom > model::kLayoutLimit)
            Add(Severity::Error, kBeyondCanvas, i,
                "ends at " + Num(bottom) + ", below the " + Num(model::kLayoutLimit) +
                    "-pixel limit of the layout");

        if (model::KindIndex(e.Name) < 0) {
            Add(Severity::Warning, kUnknownKind, i,
                Quote(formats::Cp1251ToUtf8(e.Name)) +
                    " is not a kind this designer knows: the home layout leaves it out and "
                    "the preview does not draw it");
            return;
        }

        CheckTexts(i, e);
        if (e.Name == "MRU") CheckMru(i, e);
        else if (e.Name == "Icon Bar") CheckIconBar(i, e);
        else if (e.Name == "AnalogClock") CheckClock(i, e);

        // The icon bar's own background picture is made when the layout is
        // built; every other entry picture must be there already.
        if (!e.BgImage.empty() && e.Name != "Icon Bar" && !FindPicture(e.BgImage))
            Add(Severity::Error, kMissingPicture, i,
                "the entry's background picture " + Quote(formats::Cp1251ToUtf8(e.BgImage)) +
                    " is not there");
    }

    // An element's place inside its entry; true when it lies inside.
    bool CheckPlace(int i, const model::TPlugins& e, int k, const char* what) {
        const model::TPluginItem& s = e.Items[std::size_t(k)];
        if (s.X < 0 || s.Y < 0 || s.X >= kScreenWidth || s.Y >= e.Height) {
            Add(Severity::Warning, kElementOutside, i,
                std::string(what) + " " + Num(k + 1) + " lies at (" + Num(s.X) + ", " + Num(s.Y) +
                    "), outside the entry (" + Num(kScreenWidth) + " x " + Num(e.Height) + ")");
            return false;
        }
        return true;
    }

    void CheckTexts(int i, const model::TPlugins& e) {
        for (int k = 0; k < 3; ++k) {
            const model::TPluginItem& s = e.Items[std::size_t(k)];
            // The font size of every text the home layout carries: the drawn
            // ones, and the first element of a label kind, written even when
            // it is hidden.
            const std::optional<preview::SlotText> text = preview::TextOfSlot(e, k);
            bool written = bool(text);
            if (!s.Visible && k == 0 && e.Name != "Clock") {
                model::TPluginItem shown = s;
                shown.Visible = 1;
                model::TPlugins probe;
                probe.Name = e.Name;
                probe.Items[0] = shown;
                written = bool(preview::TextOfSlot(probe, 0));
            }
            if (written && Outside(s.FontSize, 12, 200))
                Add(Severity::Error, kInvalidValue, i,
                    "the font size " + Num(s.FontSize) + " of element " + Num(k + 1) +
                        " is outside " + Range(12, 200));

            if (!text) continue;
            const bool inside = CheckPlace(i, e, k, "element");
            const platform::FontMetrics m =
                fonts_.Metrics(text->Font.Face, text->Font.Height, text->Font.Bold);
            const long long textBottom = (long long)s.Y + m.CellHeight();
            if (inside && textBottom > e.Height)
                Add(Severity::Warning, kElementOutside, i,
                    "the text of element " + Num(k + 1) + " ends at " + Num(textBottom) +
                        ", below the bottom of the entry (height " + Num(e.Height) + ")");
            if (s.X >= kScreenWidth) continue; // already outside the entry
            const int advance = platform::TextWidth(fonts_, text->Utf8, text->Font);
            long long right = (long long)s.X + advance;
            if (right > kScreenWidth) right = s.X + InkWidth(fonts_, *text, advance, m);
            if (right > kScreenWidth)
                Add(Severity::Warning, kTextOverflow, i,
                    "the text " + Quote(text->Utf8) + " of element " + Num(k + 1) + " ends at " +
                        Num(right) + ", " + Num(right - kScreenWidth) +
                        (right - kScreenWidth == 1 ? " pixel" : " pixels") +
                        " past the right edge of the " + Num(kScreenWidth) +
                        "-pixel screen");
        }
    }

    void CheckMru(int i, const model::TPlugins& e) {
        const model::TPluginItem& icons = e.Items[0];
        const std::string& size = icons.Extra;
        if (size != "16" && size != "32")
            Add(Severity::Error, kInvalidValue, i,
                "the icon size " + Quote(formats::Cp1251ToUtf8(size)) + " is neither 16 nor 32");
        const std::optional<long long> buttons = WholeNumber(e.Items[1].Extra);
        if (!buttons || Outside(*buttons, 1, 9))
            Add(Severity::Error, kInvalidValue, i,
                "the maximum number of buttons " + Quote(formats::Cp1251ToUtf8(e.Items[1].Extra)) +
                    " is not a whole number in " + Range(1, 9));
        if (!icons.Visible) return;
        if (!CheckPlace(i, e, 0, "element")) return;
        const int height = size == "16" ? 16 : size == "32" ? 32 : 0;
        const long long bottom = (long long)icons.Y + height;
        if (height && bottom > e.Height)
            Add(Severity::Warning, kElementOutside, i,
                "the icons of element 1 end at " + Num(bottom) +
                    ", below the bottom of the entry (height " + Num(e.Height) + ")");
    }

    void CheckIconBar(int i, const model::TPlugins& e) {
        const int style = e.Items[0].X;
        if (Outside(style, 0, 2))
            Add(Severity::Error, kInvalidValue, i,
                "the style " + Num(style) + " is none of 0 (Normal), 1 (Advanced), 2 (Custom)");
        if (style == 1 && Outside(e.Items[0].Y, 1, 6))
            Add(Severity::Error, kInvalidValue, i,
                "the template " + Num(e.Items[0].Y) + " is outside " + Range(1, 6));
        if (Outside(e.TransparencyLevel, 0, 255))
            Add(Severity::Error, kInvalidValue, i,
                "the transparency level " + Num(e.TransparencyLevel) + " is outside " + Range(0, 255));
        if (style == 1) {
            if (firstAdvancedBar_ < 0) firstAdvancedBar_ = i;
            else
                Add(Severity::Error, kSecondAdvanced, i,
                    "a second Advanced icon bar (entry " + Num(firstAdvancedBar_) +
                        " is the first): a layout holds one, and the preview removes this one");
        }
        const bool fullyTransparent = e.Transparent && e.TransparencyLevel == 255;
        if (e.Transparent && !fullyTransparent && Scrolls())
            Add(Severity::Warning, kTransparentScrolling, i,
                "the bar is partly transparent but the layout is " + Num(layoutHeight_) +
                    " pixels tall, taller than the " + Num(kScreenHeight) +
                    "-pixel screen: the preview clears the transparency");
        if (style == 2 && !fullyTransparent) {
            if (e.CustomImage.empty())
                Add(Severity::Error, kMissingPicture, i,
                    "the bar has the Custom style but names no picture");
            else if (!FindPicture(e.CustomImage))
                Add(Severity::Error, kMissingPicture, i,
                    "the bar's picture " + Quote(formats::Cp1251ToUtf8(e.CustomImage)) +
                        " is not there");
        }
    }

    void CheckClock(int i, const model::TPlugins& e) {
        const int size = e.Height;
        if (Outside(size, 14, 176))
            Add(Severity::Error, kInvalidValue, i,
                "the clock size " + Num(size) + " is outside " + Range(14, 176));
        else if (Outside(e.Items[0].X, 0, kScreenWidth - size))
            Add(Severity::Error, kInvalidValue, i,
                "the clock's x position " + Num(e.Items[0].X) + " is outside " +
                    Range(0, kScreenWidth - size) + " for its size " + Num(size));
        const char* hands[2] = {"hour", "minute"};
        const int widths[2] = {e.Items[1].X, e.Items[1].Y};
        for (int h = 0; h < 2; ++h)
            if (Outside(widths[h], 1, 10))
                Add(Severity::Error, kInvalidValue, i,
                    std::string("the ") + hands[h] + " hand width " + Num(widths[h]) +
                        " is outside " + Range(1, 10));
        if (Outside(e.Items[2].Y, 1, 100))
            Add(Severity::Error, kInvalidValue, i,
                "the hand length " + Num(e.Items[2].Y) + "% is outside " + Range(1, 100));
        const int face = e.Items[0].Y;
        if (Outside(face, 0, 1))
            Add(Severity::Error, kInvalidValue, i,
                "the face style " + Num(face) + " is neither 0 (None) nor 1 (Advanced)");
        if (face != 1) return;
        if (Outside(e.Items[2].X, 1, 6))
            Add(Severity::Error, kInvalidValue, i,
                "the face template " + Num(e.Items[2].X) + " is outside " + Range(1, 6));
        if (firstAdvancedFace_ < 0) firstAdvancedFace_ = i;
        else
            Add(Severity::Error, kSecondAdvanced, i,
                "a second Advanced clock face (entry " + Num(firstAdvancedFace_) +
                    " is the first): a layout holds one, and the preview removes this one");
        if (Scrolls())
            Add(Severity::Warning, kFaceScrolling, i,
                "an Advanced face is burned into the background, which does not scroll, but the "
                "layout is " + Num(layoutHeight_) + " pixels tall, taller than the " +
                    Num(kScreenHeight) + "-pixel screen");
    }

    const model::Theme& theme_;
    const PictureSource& pictures_;
    platform::TextEngine& fonts_;
    int count_ = 0;
    long long layoutHeight_ = 0;
    int firstAdvancedBar_ = -1;
    int firstAdvancedFace_ = -1;
    std::vector<Finding> findings_;
};

void JsonString(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

} // namespace

std::vector<Finding> CheckLayout(const model::Theme& theme, const PictureSource& pictures,
                                 platform::TextEngine& fonts) {
    return Checker(theme, pictures, fonts).Run();
}

std::vector<Finding> CheckLayout(const model::Theme& theme, const PictureSource& pictures) {
    platform::FontSet fonts(pictures.AppDir);
    return CheckLayout(theme, pictures, fonts);
}

int CountErrors(const std::vector<Finding>& findings) {
    int n = 0;
    for (const Finding& f : findings) n += f.Level == Severity::Error;
    return n;
}

const char* SeverityName(Severity s) { return s == Severity::Error ? "error" : "warning"; }

std::string FormatFinding(const Finding& f) {
    std::string line = SeverityName(f.Level);
    line += ": ";
    if (f.Entry >= 0) line += "entry " + Num(f.Entry) + " (" + f.Kind + "): ";
    return line + f.Message + " [" + f.Code + "]";
}

std::string FindingsJson(const std::vector<Finding>& findings) {
    std::string out = "[";
    for (std::size_t n = 0; n < findings.size(); ++n) {
        const Finding& f = findings[n];
        out += n ? ",\n  {" : "\n  {";
        out += "\"severity\": ";
        JsonString(out, SeverityName(f.Level));
        out += ", \"code\": ";
        JsonString(out, f.Code);
        out += ", \"entry\": ";
        out += f.Entry >= 0 ? Num(f.Entry) : "null";
        out += ", \"kind\": ";
        if (f.Entry >= 0) JsonString(out, f.Kind);
        else out += "null";
        out += ", \"message\": ";
        JsonString(out, f.Message);
        out += "}";
    }
    out += findings.empty() ? "]" : "\n]";
    return out;
}

std::string BuildQuestion(int errors) {
    return "The layout has " + Num(errors) + (errors == 1 ? " error" : " errors") +
           ". Build the cabinet anyway?";
}

} // namespace tessaro::check
