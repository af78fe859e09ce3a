#include "package/layoutimport.h"

#include <QString>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "formats/cp1251.h"
#include "formats/scheme.h"
#include "model/catalogue.h"
#include "model/error.h"
#include "model/foreign.h"

namespace tessaro::package {

namespace {

using model::Color;
using model::TPluginItem;
using model::TPlugins;

constexpr std::string_view kSpacerId = "E09043DF-510E-4841-B652-388316977A7A";
constexpr std::string_view kIconBarId = "837FC251-FE69-43ad-84E0-EBCEDEBA0884";
constexpr std::string_view kMruId = "79EFB752-CB70-446d-B317-499723482B3D";
constexpr std::string_view kMediaId = "22CF74AC-E022-4c2d-BCE0-FBA9FB53BEFA";
constexpr int kIconBarHeight = 20;

// ------------------------------------------------------------------ decoding

// The file's text. Valid UTF-8 is taken as it is; otherwise the file comes
// from a writer that left code page bytes unconverted: the valid UTF-8
// sequences stand, every other byte is its Windows-1251 character (all of
// them when the declaration names that code page).
QString DecodeText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (formats::IsUtf8(bytes)) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    const std::string_view head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 200));
    std::string lowerHead(head);
    for (char& c : lowerHead) c = char(std::tolower(static_cast<unsigned char>(c)));
    const bool wholly1251 = lowerHead.find("1251") != std::string::npos && lowerHead.find("<?xml") != std::string::npos;
    std::string utf8;
    utf8.reserve(bytes.size() + bytes.size() / 4);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!wholly1251 && len > 1 && i + len <= bytes.size() && formats::IsUtf8(bytes.substr(i, len))) {
            utf8.append(bytes.substr(i, len));
            i += len;
            continue;
        }
        formats::AppendCp1251AsUtf8(utf8, c);
        ++i;
    }
    return QString::fromStdString(utf8);
}

// ------------------------------------------------------------------ the tree

// UTF-16 to UTF-8 straight into a std::string (short values stay within it).
std::string Utf8(QStringView v) {
    const char16_t* u = v.utf16();
    qsizetype ascii = 0;
    while (ascii < v.size() && u[ascii] < 0x80) ++ascii;
    if (ascii == v.size()) return std::string(u, u + ascii); // the usual case
    std::string out;
    out.reserve(std::size_t(v.size()) + 8);
    for (qsizetype i = 0; i < v.size(); ++i) {
        char32_t c = v[i].unicode();
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < v.size() && v[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), v[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = 0xFFFD;
        if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
        } else {
            if (c < 0x10000) {
                out += char(0xE0 | (c >> 12));
            } else {
                out += char(0xF0 | (c >> 18));
                out += char(0x80 | ((c >> 12) & 0x3F));
            }
            out += char(0x80 | ((c >> 6) & 0x3F));
        }
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

struct Node {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attrs;
    std::vector<Node> Kids;
    // Only for <text> elements, the one place a layout has mixed content:
    // Texts[i] stands before Kids[i]; the last after them all.
    std::vector<std::string> Texts;
    qint64 Begin = 0, End = 0;      // character offsets of the element in the text
    int Line = 0;

    const std::string* Attr(std::string_view name) const {
        for (const auto& [k, v] : Attrs)
            if (k == name) return &v;
        return nullptr;
    }
    std::string AttrOr(std::string_view name, std::string_view fallback = {}) const {
        const std::string* v = Attr(name);
        return v ? *v : std::string(fallback);
    }
};

Node ReadTree(const QString& text) {
    QXmlStreamReader xml(text);
    Node root;
    std::vector<Node*> stack;
    qint64 previous = 0;
    bool rootSeen = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (int(stack.size()) >= kMaxNesting)
                throw Error("The layout is nested deeper than " + std::to_string(kMaxNesting) +
                            " elements (line " + std::to_string(xml.lineNumber()) + "); it is not a home layout.");
            Node n;
            n.Name = Utf8(xml.name());
            const QXmlStreamAttributes attrs = xml.attributes();
            n.Attrs.reserve(std::size_t(attrs.size()));
            for (const QXmlStreamAttribute& a : attrs)
                n.Attrs.emplace_back(Utf8(a.qualifiedName()), Utf8(a.value()));
            if (n.Name == "text") n.Texts.emplace_back();
            // The reader may have taken the '<' of this element with the
            // token before it.
            n.Begin = text.lastIndexOf(u'<', previous);
            if (n.Begin < 0 || QStringView(text).mid(n.Begin + 1, xml.name().size()) != xml.name())
                n.Begin = text.indexOf(u'<' + xml.name().toString(), std::max<qint64>(previous - 8, 0));
            n.Line = int(xml.lineNumber());
            if (stack.empty()) {
                if (n.Name != "home")
                    throw Error("The file is not a home layout: its root element is <" + n.Name +
                                ">, not <home>.");
                rootSeen = true;
                root = std::move(n);
                stack.push_back(&root);
            } else {
                Node& parent = *stack.back();
                parent.Kids.push_back(std::move(n));
                if (!parent.Texts.empty()) parent.Texts.emplace_back();
                stack.push_back(&parent.Kids.back());
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (!stack.empty()) {
                stack.back()->End = xml.characterOffset();
                stack.pop_back();
            }
        } else if (token == QXmlStreamReader::Characters) {
            if (!stack.empty() && !stack.back()->Texts.empty()) stack.back()->Texts.back() += Utf8(xml.text());
        }
        previous = xml.characterOffset();
    }
    if (xml.hasError()) {
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            throw Error(std::string(rootSeen ? "The layout is cut short" : "The file holds no XML") +
                        " (line " + std::to_string(xml.lineNumber()) + "); it is not a complete home layout.");
        throw Error("The file is not a home layout: " + xml.errorString().toStdString() + " at line " +
                    std::to_string(xml.lineNumber()) + ", column " + std::to_string(xml.columnNumber()) + ".");
    }
    if (!rootSeen) throw Error("The file holds no XML element; it is not a home layout.");
    return root;
}

// ------------------------------------------------------------------ values

std::optional<std::int32_t> ParseInt(std::string_view s) {
    std::int32_t v = 0;
    if (s.empty()) return std::nullopt;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<Color> ParseColor(std::string_view s) {
    if (s.size() != 7 || s[0] != '#') return std::nullopt;
    std::uint32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = s[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        rgb = rgb << 4 | std::uint32_t(d);
    }
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// Class ids and names compared without regard to ASCII letter case.
bool SameId(std::string_view a, std::string_view b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

std::string WithoutBraces(std::string s) {
    if (s.size() >= 2 && s.front() == '{' && s.back() == '}') return s.substr(1, s.size() - 2);
    return s;
}

// The file-name part of a path with either kind of separator.
std::string FileNamePart(const std::string& path) {
    const std::size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? path : path.substr(p + 1);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Whitespace that only lays the file out (a run holding a line break) is
// removed from both ends of a text.
std::string WithoutLayout(std::string s) {
    const char* ws = " \t\r\n";
    std::size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos) return HasLineBreak(s) ? std::string() : s;
    if (HasLineBreak(std::string_view(s).substr(0, b))) s.erase(0, b);
    std::size_t e = s.find_last_not_of(ws);
    if (HasLineBreak(std::string_view(s).substr(e + 1))) s.erase(e + 1);
    return s;
}

bool IsLayout(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// The same integer rounding as the writer: n / d to the nearest, halves even.
std::int64_t RoundHalfEven(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d, r = n % d;
    if (r < 0) --q, r += d;
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return q;
}

std::int64_t ClockInset(std::int64_t h, std::int64_t p) { return RoundHalfEven(h, 2) - RoundHalfEven(h * p, 200); }

// ------------------------------------------------------------------ importer

// The tags of the three slots of the label kinds.
struct LabelKind {
    const char* Kind;
    std::array<const char*, 3> Tags;
};
constexpr LabelKind kLabelKinds[] = {
    {"All-Day Event", {"subject", nullptr, nullptr}},
    {"Calendar", {"subject", "time", "location"}},
    {"Call Progress", {"progress", nullptr, nullptr}},
    {"Carrier/Sim", {"carrier", nullptr, nullptr}},
    {"Clock", {nullptr, nullptr, nullptr}},
    {"Messaging Counts", {"unreadSMS", "unreadMMS", "unreadEmail"}},
    {"Missed Calls", {"calls", nullptr, nullptr}},
    {"Owner Info", {"name", "phone", "notes"}},
    {"Profile", {"profile", nullptr, nullptr}},
    {"AnalogClock", {nullptr, nullptr, nullptr}},
};

const LabelKind* LabelKindOf(std::string_view name) {
    for (const LabelKind& k : kLabelKinds)
        if (name == k.Kind) return &k;
    return nullptr;
}

class Importer {
public:
    Importer(const QString& text, ParsedLayout& out) : text_(text), out_(out), t_(out.Theme) {}

    void Run(const Node& root) {
        std::array<bool, model::kSchemeSize> found{};
        t_.SplitLines = 1;
        for (const Node& n : root.Kids) {
            if (n.Name == "default") Default(n);
            else if (n.Name == "background") Background(n);
            else if (n.Name == "scheme") Scheme(n, found);
            else if (n.Name != "plugin" && n.Name != "author" && n.Name != "contacturl" && n.Name != "title" &&
                     n.Name != "version")
                Note(n, "<" + n.Name + "> is not part of a layout this designer writes; it is left out.");
        }
        // Colours the file does not carry: the scheme reader's fallbacks.
        if (!found[17]) t_.Scheme[17] = t_.Scheme[15];
        if (!found[18]) t_.Scheme[18] = t_.Scheme[16];
        if (!found[19]) t_.Scheme[19] = t_.Scheme[20];
        t_.DefaultBgColor = t_.Scheme[30];
        t_.DefaultSelColor = t_.Scheme[29];
        t_.DefaultUnselColor = t_.Scheme[31];
        t_.DefaultTransparent = false;
        t_.DefaultFontSize = 14;
        t_.DefaultSelWeight = "bold";
        t_.DefaultUnselWeight = "normal";

        for (const Node& n : root.Kids)
            if (n.Name == "plugin") Plugin(n);
        if (trayIcons_) t_.Scheme[19] = *trayIcons_;
        const TPlugins* last = count_ > 0 ? &t_.Plugins[std::size_t(count_ - 1)] : nullptr;
        const std::int64_t bottom = last ? std::int64_t(last->Top) + last->Height : 0;
        if (running_ > bottom)
            out_.Report.push_back("The empty space of " + std::to_string(running_ - bottom) +
                                  " pixels after the last plugin is left out.");
    }

private:
    void Note(const Node& n, const std::string& what) {
        out_.Report.push_back("Line " + std::to_string(n.Line) + ": " + what);
    }

    // Every attribute of `n` outside `known` is reported.
    void OnlyKnown(const Node& n, std::initializer_list<std::string_view> known, std::string_view where) {
        for (const auto& [k, v] : n.Attrs)
            if (std::find(known.begin(), known.end(), k) == known.end())
                Note(n, std::string(where) + " " + k + "=\"" + v + "\" is left out.");
    }

    // Attributes that must hold one fixed value in a layout this designer writes.
    void Expect(const Node& n, std::string_view name, std::string_view value, std::string_view what) {
        const std::string* v = n.Attr(name);
        if (v && *v != value) Note(n, std::string(what) + " " + std::string(name) + "=\"" + *v + "\" is left out.");
    }

    // A document text from UTF-8: a character Windows-1251 does not have
    // becomes "?", and is reported.
    // Line breaks (which a character reference can put even into an
    // attribute) become blanks: every text of a design is one line.
    std::string DocText(const Node& n, const std::string& utf8) {
        std::string s = formats::Utf8ToCp1251(utf8);
        if (std::count(s.begin(), s.end(), '?') != std::count(utf8.begin(), utf8.end(), '?'))
            Note(n, "\"" + utf8 + "\" holds characters the Windows-1251 code page does not have; each became \"?\".");
        if (HasLineBreak(s)) {
            Note(n, "A line break in \"" + utf8 + "\" became a blank; a text of the design is one line.");
            std::replace(s.begin(), s.end(), '\r', ' ');
            std::replace(s.begin(), s.end(), '\n', ' ');
        }
        return s;
    }

    std::int32_t Int(const Node& n, std::string_view name, std::int32_t fallback) {
        const std::string* v = n.Attr(name);
        if (!v) return fallback;
        if (auto i = ParseInt(*v)) return *i;
        Note(n, "<" + n.Name + " " + std::string(name) + "=\"" + *v + "\"> is not a whole number; " +
                    std::to_string(fallback) + " is used.");
        return fallback;
    }

    Color Colour(const Node& n, std::string_view name, Color fallback) {
        const std::string* v = n.Attr(name);
        if (!v) return fallback;
        if (auto c = ParseColor(*v)) return *c;
        Note(n, "<" + n.Name + " " + std::string(name) + "=\"" + *v + "\"> is not a colour this designer can hold; it is left out.");
        return fallback;
    }

    // ---- layout-wide parts

    void Default(const Node& n) {
        const std::string what = "The default format's";
        Expect(n, "font-face", "nina", what);
        Expect(n, "font-weight", "normal", what);
        Expect(n, "font-size", "14", what);
        Expect(n, "padding-left", "0", what);
        Expect(n, "padding-right", "0", what);
        Expect(n, "padding-top", "0", what);
        Expect(n, "bgcolor", "transparent", what);
        Expect(n, "fgcolor", "COLOR_HOMETEXT", what);
        OnlyKnown(n, {"font-face", "font-weight", "font-size", "padding-left", "padding-right", "padding-top", "bgcolor",
                      "fgcolor", "b-border-color", "b-border-width"},
                  what);
        const std::string width = n.AttrOr("b-border-width", "0"), colour = n.AttrOr("b-border-color", "transparent");
        const bool on = width == "1" && colour == "COLOR_HOMERULE";
        t_.SplitLines = on ? 0 : 1;
        if (!on && !((width == "0") && colour == "transparent"))
            Note(n, "The split lines b-border-color=\"" + colour + "\" b-border-width=\"" + width +
                        "\" are left out; Split Lines is Off.");
        for (const Node& k : n.Kids) {
            if (k.Name == "format" && k.AttrOr("state") == "selected") {
                Expect(k, "fgcolor", "COLOR_HOMEHIGHLIGHTTEXT", "The default selected format's");
                OnlyKnown(k, {"state", "fgcolor"}, "The default selected format's");
            } else {
                Note(k, "<" + k.Name + "> in the default format is left out.");
            }
        }
    }

    void Background(const Node& n) {
        Expect(n, "valign", "bottom", "The background's");
        Expect(n, "bgcolor", "COLOR_GRADRIGHT", "The background's");
        OnlyKnown(n, {"bgimage", "valign", "bgcolor"}, "The background's");
        if (const std::string* img = n.Attr("bgimage")) {
            t_.BackgroundImage = FileNamePart(*img);
            out_.Pictures.push_back({PictureUse::Role::Background, -1, t_.BackgroundImage, n.Line});
        }
    }

    void Scheme(const Node& n, std::array<bool, model::kSchemeSize>& found) {
        for (const Node& c : n.Kids) {
            if (c.Name != "color") {
                Note(c, "<" + c.Name + "> in the scheme is left out.");
                continue;
            }
            const std::string name = c.AttrOr("name");
            int slot = -1;
            for (int s = 0; s < model::kSchemeSize; ++s)
                if (name == formats::SchemeColorNames[std::size_t(s)]) slot = s;
            if (slot < 0) {
                Note(c, "The colour \"" + name + "\" is not one of the scheme's 32; it is left out.");
                continue;
            }
            const auto colour = ParseColor(c.AttrOr("value"));
            if (!colour) {
                Note(c, "The value \"" + c.AttrOr("value") + "\" of " + name + " is not a colour; it is left out.");
                continue;
            }
            t_.Scheme[std::size_t(slot)] = *colour;
            found[std::size_t(slot)] = true;
        }
    }

    // ---- entries

    TPlugins& NewEntry(const Node& n, const char* kind, std::int32_t height) {
        if (count_ >= model::kMaxEntries)
            throw Error("Line " + std::to_string(n.Line) + ": the layout holds more than " +
                        std::to_string(model::kMaxEntries) + " plugins, more than a design can hold.");
        TPlugins& e = t_.Plugins[std::size_t(count_++)];
        e = TPlugins{};
        e.Used = 1;
        e.Name = kind;
        e.Top = std::int32_t(running_);
        e.Height = height;
        e.BgColor = t_.DefaultBgColor;
        e.Transparent = t_.DefaultTransparent;
        const int k = model::KindIndex(kind);
        if (k < 0) return e;
        const model::KindInfo& info = model::Catalogue()[std::size_t(k)];
        e.ClsId = info.ClsId;
        e.DllName = info.DllName;
        for (int s = 0; s < 3; ++s) {
            TPluginItem& it = e.Items[std::size_t(s)];
            it.Visible = 1;
            it.X = info.Pos[std::size_t(2 * s)];
            it.Y = info.Pos[std::size_t(2 * s + 1)];
            it.FontSize = t_.DefaultFontSize;
            it.SelWeight = t_.DefaultSelWeight;
            it.UnselWeight = t_.DefaultUnselWeight;
            it.Text = info.Labels[std::size_t(s)];
            it.SelColor = t_.DefaultSelColor;
            it.UnselColor = t_.DefaultUnselColor;
        }
        if (e.Name == "MRU") {
            e.Items[0].Extra = "32";
            e.Items[1].Extra = "5";
        }
        return e;
    }

    // Moves the running position by `height`; a layout may be 6000 pixels tall.
    void Advance(const Node& n, std::int64_t height) {
        running_ += std::max<std::int64_t>(height, 0);
        if (running_ > model::kLayoutLimit)
            throw Error("Line " + std::to_string(n.Line) + ": the layout is taller than " +
                        std::to_string(model::kLayoutLimit) + " pixels, more than a design can hold.");
    }

    std::int32_t Height(const Node& n) {
        std::int32_t h = Int(n, "height", 0);
        if (h < 0) {
            Note(n, "The height " + std::to_string(h) + " is negative; 0 is used.");
            h = 0;
        }
        return std::min<std::int32_t>(h, model::kLayoutLimit + 1);
    }

    void Plugin(const Node& n) {
        const std::string clsid = WithoutBraces(n.AttrOr("clsid"));
        const std::string* name = n.Attr("name");
        if (!name && SameId(clsid, kSpacerId)) {
            if (!n.Kids.empty()) Note(n, "What the empty space holds is left out.");
            Advance(n, Height(n));
            return;
        }
        if (SameId(clsid, kIconBarId) && name && SameId(*name, "iconbar")) return IconBar(n);
        if (SameId(clsid, kMruId) && name && *name == "MRU") return Mru(n);
        if (SameId(clsid, kMediaId) && name && *name == "WMP_plugin") return Media(n);
        if (name) {
            const int k = model::KindIndex(*name);
            if (k >= 0 && LabelKindOf(*name) && SameId(clsid, model::Catalogue()[std::size_t(k)].ClsId))
                return Kind(n, model::Catalogue()[std::size_t(k)].Name, clsid);
        }
        Foreign(n, clsid);
    }

    void Foreign(const Node& n, const std::string& clsid) {
        std::string name = DocText(n, n.AttrOr("name"));
        for (char& c : name)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        if (name.empty()) name = clsid.empty() ? "Plugin" : "Plugin {" + DocText(n, clsid) + "}";
        if (model::KindIndex(name) >= 0) name += " (plugin)";
        TPlugins& e = NewEntry(n, "", Height(n));
        e.Name = name;
        e.ClsId = DocText(n, clsid);
        e.DllName = DocText(n, n.AttrOr("file"));
        const QString element = text_.mid(n.Begin, n.End - n.Begin);
        model::SetForeignElement(e, Utf8(element));
        Advance(n, e.Height);
    }

    void IconBar(const Node& n) {
        const Node* bar = nullptr;
        std::string picture;
        for (const Node& k : n.Kids) {
            if (k.Name == "iconbar") bar = &k;
            else if (k.Name == "background" && k.Attr("bgimage")) picture = FileNamePart(*k.Attr("bgimage"));
            else Note(k, "<" + k.Name + "> in the icon bar is left out.");
        }
        const bool transparent = bar && bar->AttrOr("bgcolor") == "transparent" && picture.empty();
        TPlugins& e = NewEntry(n, "Icon Bar", kIconBarHeight);
        if (bar) {
            OnlyKnown(*bar, {"bgcolor", "fgcolor", "x", "y"}, "The icon bar's");
            if (bar->Attr("fgcolor")) {
                const Color c = Colour(*bar, "fgcolor", t_.Scheme[19]);
                if (trayIcons_ && *trayIcons_ != c)
                    Note(*bar, "This icon bar's icon colour differs from the first bar's; the first is kept.");
                if (!trayIcons_) trayIcons_ = c;
            }
        }
        const int index = count_ - 1;
        if (transparent) {
            e.Transparent = 1;
            e.TransparencyLevel = 255;
            // Written with height 0, the bar keeps its 20 pixels in the design.
            Advance(n, kIconBarHeight);
            return;
        }
        e.Transparent = 0;
        e.BgImage = "iconbar.jpg";
        if (!picture.empty()) out_.Pictures.push_back({PictureUse::Role::IconBar, index, picture, n.Line});
        else Note(n, "The icon bar has no picture; it becomes a Normal (gradient) bar.");
        const std::int32_t h = Height(n);
        if (h != kIconBarHeight)
            Note(n, "The icon bar's height " + std::to_string(h) + " becomes 20, the height of every icon bar here.");
        Advance(n, h);
    }

    void Mru(const Node& n) {
        OnlyKnown(n, {"clsid", "name", "height"}, "The MRU plugin's");
        TPlugins& e = NewEntry(n, "MRU", Height(n));
        e.Items[1].Visible = 0;
        for (const Node& k : n.Kids) {
            if (k.Name == "background" || (k.Name == "format" && k.AttrOr("state") == "selected")) continue;
            if (k.Name == "mru") {
                OnlyKnown(k, {"x", "y", "max-buttons", "icon-size"}, "The MRU icons'");
                e.Items[0].X = Int(k, "x", e.Items[0].X);
                e.Items[0].Y = Int(k, "y", e.Items[0].Y);
                if (k.Attr("icon-size")) e.Items[0].Extra = DocText(k, *k.Attr("icon-size"));
                if (k.Attr("max-buttons")) e.Items[1].Extra = DocText(k, *k.Attr("max-buttons"));
            } else if (k.Name == "appname") {
                OnlyKnown(k, {"x", "y", "font-size", "fgcolor", "font-weight"}, "The MRU application name's");
                TPluginItem& it = e.Items[1];
                it.Visible = 1;
                it.X = Int(k, "x", it.X);
                it.Y = Int(k, "y", it.Y);
                it.FontSize = Int(k, "font-size", it.FontSize);
                it.UnselColor = Colour(k, "fgcolor", it.UnselColor);
                if (k.Attr("font-weight")) it.UnselWeight = DocText(k, *k.Attr("font-weight"));
            } else {
                Note(k, "<" + k.Name + "> in the MRU plugin is left out.");
            }
        }
        Advance(n, e.Height);
    }

    void Media(const Node& n) {
        const std::string what = "The media player's";
        Expect(n, "ctrlcolour", "#2554B0", what);
        Expect(n, "maingfx", "media_remote.bmp", what);
        Expect(n, "selgfx", "media_remote_sel.bmp", what);
        Expect(n, "ctrloffset", "80", what);
        Expect(n, "transparent", "#ccccff", what);
        Expect(n, "bgcolor", "COLOR_HOMEHIGHLIGHT", what);
        OnlyKnown(n, {"clsid", "ctrlcolour", "name", "maingfx", "selgfx", "ctrloffset", "transparent", "height", "bgcolor"},
                  what);
        for (const Node& k : n.Kids)
            if (!(k.Name == "background" && k.AttrOr("b-border-width") == "0" && k.Attrs.size() == 1))
                Note(k, "<" + k.Name + "> in the media player is left out.");
        NewEntry(n, "WMPlayer", 20);
        const std::int32_t h = Height(n);
        if (h != 20) Note(n, "The media player's height " + std::to_string(h) + " becomes 20.");
        Advance(n, h);
    }

    // The entry background: a picture, transparent, or a colour.
    void EntryBackground(const Node& bg, TPlugins& e) {
        for (const Node& f : bg.Kids) {
            if (f.Name != "format" || f.AttrOr("state") != "selected") {
                Note(f, "<" + f.Name + "> in a plugin background is left out.");
                continue;
            }
            OnlyKnown(f, {"state", "bgimage", "bgcolor"}, "The plugin background's");
            if (const std::string* img = f.Attr("bgimage")) {
                e.BgImage = FileNamePart(*img);
                out_.Pictures.push_back({PictureUse::Role::EntryBackground, count_ - 1, e.BgImage, f.Line});
            } else if (const std::string* c = f.Attr("bgcolor")) {
                if (*c == "transparent") {
                    e.Transparent = 1;
                } else if (auto colour = ParseColor(*c)) {
                    e.BgColor = *colour;
                    e.Transparent = 0;
                } else {
                    Note(f, "The plugin background colour \"" + *c + "\" is left out.");
                }
            }
        }
    }

    // The selected and unselected formats and the position of a label.
    void Label(const Node& label, TPluginItem& it) {
        it.Visible = 1;
        OnlyKnown(label, {"x", "y"}, "The label's");
        it.X = Int(label, "x", it.X);
        it.Y = Int(label, "y", it.Y);
        bool sizeSet = false;
        for (const Node& f : label.Kids) {
            if (f.Name == "text") continue;
            const std::string state = f.AttrOr("state");
            if (f.Name != "format" || (state != "selected" && state != "unselected")) {
                Note(f, "<" + f.Name + "> in a label is left out.");
                continue;
            }
            OnlyKnown(f, {"state", "fgcolor", "font-weight", "font-size"}, "The label format's");
            const bool sel = state == "selected";
            (sel ? it.SelColor : it.UnselColor) = Colour(f, "fgcolor", sel ? it.SelColor : it.UnselColor);
            if (f.Attr("font-weight")) (sel ? it.SelWeight : it.UnselWeight) = DocText(f, *f.Attr("font-weight"));
            if (f.Attr("font-size")) {
                const std::int32_t size = Int(f, "font-size", it.FontSize);
                if (sizeSet && size != it.FontSize)
                    Note(f, "The label's two font sizes differ; " + std::to_string(it.FontSize) + " is kept.");
                else it.FontSize = size;
                sizeSet = true;
            }
        }
    }

    // The value tag of a label (<subject/>) and the text before it.
    static const Node* TextOf(const Node& label) {
        for (const Node& k : label.Kids)
            if (k.Name == "text") return &k;
        return nullptr;
    }

    void ClockPart(const Node& part, TPluginItem& it) {
        OnlyKnown(part, {"x", "y", "fgcolor", "font-weight", "font-size"}, part.Name == "time" ? "The time's" : "The date's");
        it.Visible = 1;
        it.X = Int(part, "x", it.X);
        it.Y = Int(part, "y", it.Y);
        it.UnselColor = Colour(part, "fgcolor", it.UnselColor);
        if (part.Attr("font-weight")) it.UnselWeight = DocText(part, *part.Attr("font-weight"));
        it.FontSize = Int(part, "font-size", it.FontSize);
    }

    void Kind(const Node& n, const char* kind, const std::string& clsid) {
        OnlyKnown(n, {"file", "name", "clsid", "height"}, "The plugin's");
        TPlugins& e = NewEntry(n, kind, Height(n));
        e.ClsId = DocText(n, clsid);
        e.DllName = DocText(n, n.AttrOr("file"));
        const std::string k = kind;
        const LabelKind& tags = *LabelKindOf(k);
        const bool noEventKind = k == "All-Day Event" || k == "Call Progress" || k == "Missed Calls";
        // Slots written only when shown start hidden.
        if (k == "Calendar" || k == "Messaging Counts" || k == "Owner Info")
            e.Items[1].Visible = e.Items[2].Visible = 0;
        if (k == "Carrier/Sim") e.Items[1].Visible = e.Items[2].Visible = 0;
        if (k == "Clock") e.Items[0].Visible = e.Items[1].Visible = 0;
        std::array<bool, 3> seen{};
        for (const Node& c : n.Kids) {
            if (c.Name == "background") {
                EntryBackground(c, e);
            } else if (c.Name == "format" && noEventKind) {
                const std::string state = c.AttrOr("state"), visible = c.AttrOr("visible");
                const bool expected = (k == "All-Day Event" ? state == "noevent" : state == "nocall");
                if (!expected || (visible != "true" && visible != "false"))
                    Note(c, "The format state=\"" + state + "\" visible=\"" + visible + "\" is left out.");
                else e.Items[1].Visible = visible == "true";
            } else if (c.Name == "label" && tags.Tags[0]) {
                const Node* text = TextOf(c);
                const Node* tag = text && !text->Kids.empty() ? &text->Kids.front() : nullptr;
                int slot = -1;
                for (int s = 0; s < 3 && tag; ++s)
                    if (tags.Tags[std::size_t(s)] && tag->Name == tags.Tags[std::size_t(s)]) slot = s;
                if (slot < 0 || seen[std::size_t(slot)]) {
                    Note(c, std::string(slot < 0 ? "A label without a value this plugin shows" : "A second label with <" + tag->Name + "/>") +
                                " is left out.");
                    continue;
                }
                seen[std::size_t(slot)] = true;
                TPluginItem& it = e.Items[std::size_t(slot)];
                const bool keepVisible = noEventKind && slot == 1;
                const std::uint8_t visible = it.Visible;
                Label(c, it);
                if (keepVisible) it.Visible = visible;
                it.Text = DocText(c, WithoutLayout(text->Texts.front()));
                bool extra = text->Kids.size() > 1;
                for (std::size_t i = 1; i < text->Texts.size(); ++i) extra = extra || !IsLayout(text->Texts[i]);
                if (extra) Note(c, "What follows <" + tag->Name + "/> in the label is left out.");
            } else if (c.Name == "clock" && (k == "Carrier/Sim" || k == "Clock")) {
                const int first = k == "Clock" ? 0 : 1;
                for (const Node& part : c.Kids) {
                    if (part.Name == "time") ClockPart(part, e.Items[std::size_t(first)]);
                    else if (part.Name == "date") ClockPart(part, e.Items[std::size_t(first + 1)]);
                    else Note(part, "<" + part.Name + "> in the clock is left out.");
                }
            } else if (c.Name == "speed" && k == "AnalogClock") {
                if (c.AttrOr("FullRefreshWaitMS") != "15000" || c.AttrOr("ScrollWaitMS") != "60" || c.Attrs.size() != 2)
                    Note(c, "The clock's own refresh times are left out.");
            } else if (c.Name == "analogtime" && k == "AnalogClock") {
                AnalogTime(c, e);
            } else {
                Note(c, "<" + c.Name + "> in the " + k + " plugin is left out.");
            }
        }
        if (tags.Tags[0] && !seen[0])
            Note(n, "The " + k + " plugin has no <" + tags.Tags[0] + "/> label; the design shows its default one.");
        // The clock's place may differ from the running position.
        Advance(n, std::int64_t(e.Top) - running_ + e.Height);
    }

    void AnalogTime(const Node& a, TPlugins& e) {
        OnlyKnown(a, {"x", "y", "width", "height", "Hcolor", "Mcolor", "handHwidth", "handMwidth"}, "The analog clock's");
        const std::int64_t h = e.Height;
        const std::int32_t width = Int(a, "width", e.Height), height = Int(a, "height", width);
        if (height != width) Note(a, "The clock is not square; its width is kept.");
        const std::int64_t inset = (h - width) / 2;
        int length = -1;
        if (ClockInset(h, 70) == inset) length = 70;
        for (int p = 1; p <= 100 && length < 0; ++p)
            for (int q : {70 - p, 70 + p})
                if (length < 0 && q >= 1 && q <= 100 && ClockInset(h, q) == inset) length = q;
        if (length < 0 || h - 2 * ClockInset(h, length) != width) {
            if (length < 0) length = 70;
            Note(a, "No hand length gives a clock " + std::to_string(width) + " pixels wide in a plugin " +
                        std::to_string(h) + " pixels tall; the hands are " + std::to_string(length) + "% long.");
        }
        const std::int64_t used = ClockInset(h, length);
        TPluginItem& hands = e.Items[0];
        hands.X = std::int32_t(std::clamp<std::int64_t>(Int(a, "x", 0) - used, INT32_MIN, INT32_MAX));
        hands.Y = 0; // the face is part of the background picture
        hands.SelColor = Colour(a, "Hcolor", hands.SelColor);
        hands.UnselColor = Colour(a, "Mcolor", hands.UnselColor);
        e.Items[1].X = Int(a, "handHwidth", e.Items[1].X);
        e.Items[1].Y = Int(a, "handMwidth", e.Items[1].Y);
        e.Items[2].X = 1;
        e.Items[2].Y = length;
        if (const std::string* y = a.Attr("y"); y && ParseInt(*y)) {
            const std::int64_t top = std::int64_t(*ParseInt(*y)) - used;
            if (top > running_) {
                Note(a, "The analog clock stands " + std::to_string(top - running_) +
                            " pixels below its place; it keeps its place, and what follows moves down as far.");
                e.Top = std::int32_t(std::min<std::int64_t>(top, model::kLayoutLimit + 1));
            } else if (top < running_) {
                Note(a, "The analog clock would overlap what stands above it; it moves down " +
                            std::to_string(running_ - top) + " pixels.");
            }
        }
    }

    const QString& text_;
    ParsedLayout& out_;
    model::Theme& t_;
    std::int64_t running_ = 0;
    int count_ = 0;
    std::optional<Color> trayIcons_;
};

} // namespace

ParsedLayout ReadHomeLayout(std::string_view bytes) {
    if (bytes.size() > kMaxLayoutBytes)
        throw Error("The layout is " + std::to_string(bytes.size()) + " bytes long; a home layout may be at most 8 MiB.");
    const QString text = DecodeText(bytes);
    const Node root = ReadTree(text);
    ParsedLayout out;
    Importer(text, out).Run(root);
    return out;
}

} // namespace tessaro::package
