#include "formats/homelayout.h"

#include <cstdint>
#include <vector>

#include "formats/color.h"
#include "formats/config.h"
#include "formats/cp1251.h"
#include "formats/markup.h"
#include "formats/names.h"
#include "formats/scheme.h"
#include "model/foreign.h"
#include "model/catalogue.h"
#include "model/normalise.h"

namespace tessaro::formats {

namespace {

using model::TPluginItem;
using model::TPlugins;

constexpr const char* kSpacerClsId = "{E09043DF-510E-4841-B652-388316977A7A}";
constexpr const char* kDevicePicturePath = "IPSM\\Application Data\\Home\\";

// n / d rounded to the nearest integer, halves to the even neighbour (d > 0).
std::int64_t RoundHalfEven(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d, r = n % d;
    if (r < 0) --q, r += d; // floor division
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return q;
}

std::string Num(std::int64_t v) { return std::to_string(v); }

std::string Esc(std::string_view v) { return EscapeMarkup(v); }

// A picture's file name as a document text. File names on this system are
// UTF-8, which the writer's code-page conversion would encode a second time;
// a UTF-8 name is brought to the code page first (as the title is).
std::string FileNameText(std::string_view name) {
    return IsUtf8(name) ? Utf8ToCp1251(name) : std::string(name);
}

std::string PluginHead(const TPlugins& e, std::string_view prefix) {
    std::string s = "<plugin file=\"" + Esc(e.DllName) + "\" name=\"" + Esc(e.Name) + "\" clsid=\"{" +
                    Esc(e.ClsId) + "}\" height=\"" + Num(e.Height) + "\"><background><format state=\"selected\" ";
    if (!e.BgImage.empty())
        s += "bgimage=\"" + std::string(kDevicePicturePath) + Esc(FileNameText(e.BgImage)) + "\"";
    else if (e.Transparent)
        s += "bgcolor=\"transparent\"";
    else
        s += "bgcolor=\"" + ColorToHex(e.BgColor) + "\"";
    s += "/></background>";
    s += prefix;
    return s;
}

std::string LabelElement(const TPluginItem& it, std::string_view tag) {
    std::string size = Num(it.FontSize);
    return "<label x=\"" + Num(it.X) + "\" y=\"" + Num(it.Y) + "\"><format state=\"selected\" fgcolor=\"" +
           ColorToHex(it.SelColor) + "\" font-weight=\"" + Esc(it.SelWeight) + "\" font-size=\"" + size +
           "\" /><format state=\"unselected\" fgcolor=\"" + ColorToHex(it.UnselColor) + "\" font-weight=\"" +
           Esc(it.UnselWeight) + "\" font-size=\"" + size + "\" /><text>" + Esc(it.Text) + std::string(tag) +
           "</text></label>";
}

std::string ClockPart(const char* element, const TPluginItem& it) {
    return std::string("<") + element + " x=\"" + Num(it.X) + "\" y=\"" + Num(it.Y) + "\" fgcolor=\"" +
           ColorToHex(it.UnselColor) + "\" font-weight=\"" + Esc(it.UnselWeight) + "\" font-size=\"" +
           Num(it.FontSize) + "\" />";
}

std::string TimeElement(const TPluginItem& it) { return ClockPart("time", it); }
std::string DateElement(const TPluginItem& it) { return ClockPart("date", it); }

std::string ClockGroup(const TPluginItem& time, const TPluginItem& date) {
    std::string parts;
    if (time.Visible) parts += TimeElement(time);
    if (date.Visible) parts += DateElement(date);
    return parts.empty() ? parts : "<clock>" + parts + "</clock>";
}

std::string AnalogTime(const TPlugins& e) {
    const std::int64_t h = e.Height, p = e.Items[2].Y;
    const std::int64_t inset = RoundHalfEven(h, 2) - RoundHalfEven(h * p, 200);
    const std::int64_t size = h - 2 * inset;
    const TPluginItem& hands = e.Items[0];
    return "<analogtime x=\"" + Num(hands.X + inset) + "\" y=\"" + Num(e.Top + inset) + "\" width=\"" + Num(size) +
           "\" height=\"" + Num(size) + "\" Hcolor=\"" + ColorToHex(hands.SelColor) + "\" Mcolor=\"" +
           ColorToHex(hands.UnselColor) + "\" handHwidth=\"" + Num(e.Items[1].X) + "\" handMwidth=\"" +
           Num(e.Items[1].Y) + "\"/>";
}

// The line of one entry; empty for a name that is no kind.
std::string EntryLine(const TPlugins& e, const model::Document& doc) {
    const auto& it = e.Items;
    using model::Kind;
    const Kind kind = model::KindOf(e.Name);
    if (kind == Kind::None) return {};
    const auto& tags = model::Catalogue()[std::size_t(kind)].Tags;
    // The labels of the slots the kind writes: the first always, the others
    // when shown.
    auto labels = [&] {
        std::string s = LabelElement(it[0], tags[0] ? tags[0] : "");
        if (tags[1] && it[1].Visible) s += LabelElement(it[1], tags[1]);
        if (tags[2] && it[2].Visible) s += LabelElement(it[2], tags[2]);
        return s;
    };
    constexpr const char* kNoEventHidden = "<format state=\"noevent\" visible=\"false\"/>";
    constexpr const char* kNoCallHidden = "<format state=\"nocall\" visible=\"false\"/>";
    constexpr const char* kNoCallShown = "<format state=\"nocall\" visible=\"true\"/>";

    if (kind == Kind::AllDayEvent)
        return PluginHead(e, it[1].Visible ? "" : kNoEventHidden) + labels() + "</plugin>";
    if (kind == Kind::Calendar)
        return PluginHead(e, "") + labels() + "</plugin>";
    if (kind == Kind::CallProgress)
        return PluginHead(e, it[1].Visible ? "" : kNoCallHidden) + labels() + "</plugin>";
    if (kind == Kind::CarrierSim)
        return PluginHead(e, "") + labels() + ClockGroup(it[1], it[2]) + "</plugin>";
    if (kind == Kind::Clock)
        return PluginHead(e, "") + ClockGroup(it[0], it[1]) + "</plugin>";
    if (kind == Kind::MessagingCounts)
        return PluginHead(e, "") + labels() + "</plugin>";
    if (kind == Kind::MissedCalls)
        return PluginHead(e, it[1].Visible ? kNoCallShown : kNoCallHidden) + labels() +
               "</plugin>";
    if (kind == Kind::OwnerInfo)
        return PluginHead(e, "") + labels() + "</plugin>";
    if (kind == Kind::Profile)
        return PluginHead(e, "") + labels() + "</plugin>";
    if (kind == Kind::AnalogClock)
        return PluginHead(e, "") + "<speed FullRefreshWaitMS=\"15000\" ScrollWaitMS=\"60\"/>" + AnalogTime(e) +
               "</plugin>";
    if (kind == Kind::IconBar) {
        const std::string icons = ColorToHex(doc.Scheme[19]);
        if (e.Transparent && e.TransparencyLevel == 255)
            return "<plugin clsid=\"{837FC251-FE69-43ad-84E0-EBCEDEBA0884}\" name=\"Iconbar\" height=\"0\">"
                   "<iconbar bgcolor=\"transparent\" fgcolor=\"" +
                   icons + "\" y=\"0\" x=\"0\"/></plugin>";
        return "<plugin clsid=\"{837FC251-FE69-43ad-84E0-EBCEDEBA0884}\" name=\"iconbar\" height=\"20\">"
               "<iconbar fgcolor=\"" +
               icons + "\" /><background bgimage=\"IPSM\\Application Data\\Home\\iconbar.jpg\" /></plugin>";
    }
    if (kind == Kind::MRU) {
        std::string s = "<plugin clsid=\"{79EFB752-CB70-446d-B317-499723482B3D}\" name=\"MRU\" height=\"" +
                        Num(e.Height) +
                        "\"><background><format state=\"selected\" bgcolor=\"transparent\"/></background>"
                        "<format state=\"selected\" bgcolor=\"transparent\"/><mru y=\"" +
                        Num(it[0].Y) + "\" x=\"" + Num(it[0].X) + "\" max-buttons=\"" + Esc(it[1].Extra) +
                        "\" icon-size=\"" + Esc(it[0].Extra) + "\"/>";
        if (it[1].Visible)
            s += "<appname x=\"" + Num(it[1].X) + "\" y=\"" + Num(it[1].Y) + "\" font-size=\"" + Num(it[1].FontSize) +
                 "\" fgcolor=\"" + ColorToHex(it[1].UnselColor) + "\" font-weight=\"" + Esc(it[1].UnselWeight) +
                 "\"/>";
        return s + "</plugin>";
    }
    if (kind == Kind::WMPlayer)
        return "<plugin clsid=\"{22CF74AC-E022-4c2d-BCE0-FBA9FB53BEFA}\" ctrlcolour=\"#2554B0\" name =\"WMP_plugin\" "
               "maingfx=\"media_remote.bmp\" selgfx=\"media_remote_sel.bmp\" ctrloffset=\"80\" "
               "transparent=\"#ccccff\" height=\"20\" bgcolor=\"COLOR_HOMEHIGHLIGHT\"><background "
               "b-border-width=\"0\"/></plugin>";
    return {};
}

// Appends `line` converted from Windows-1251 to UTF-8, and CR LF. Every byte
// 0x80..0xFF becomes its character (the unassigned 0x98 becomes U+FFFD); the
// Cyrillic letters take two bytes D0/D1 xx, the rest two or three.
void AppendConverted(std::string& out, const std::string& line) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (static_cast<unsigned char>(line[i]) < 0x80) continue;
        out.append(line, plain, i - plain);
        AppendCp1251AsUtf8(out, static_cast<unsigned char>(line[i]));
        plain = i + 1;
    }
    out.append(line, plain, std::string::npos);
    out += "\r\n";
}

std::string StripExtension(std::string s) {
    auto dot = s.rfind('.');
    if (dot != std::string::npos) s.erase(dot);
    return s;
}

std::string BareName(std::string_view path) {
    auto p = path.find_last_of("/\\");
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

// The title as a document text. File names on this system are UTF-8 while the
// document's texts are Windows-1251 bytes, which the writer converts: a UTF-8
// name is brought to the code page first, so that it is not encoded twice.
std::string TitleText(std::string_view fileName) {
    std::string title = TitleOf(fileName);
    return IsUtf8(title) ? Utf8ToCp1251(title) : title;
}

} // namespace

std::string TitleOf(std::string_view fileName) {
    return StripExtension(StripExtension(BareName(fileName)));
}

std::string BuildHomeLayout(model::Document& doc, std::string_view fileName) {
    model::MarkPictureIconBars(doc);
    const model::Document& d = doc;
    return BuildLayoutText(d, fileName);
}

std::string BuildLayoutText(const model::Document& doc, std::string_view fileName) {
    std::vector<std::string> lines;
    std::vector<std::size_t> verbatim; // lines written as held, without conversion
    const int n = model::CountEntries(doc);
    lines.reserve(std::size_t(n) * 2 + 40);
    lines.push_back(std::string("<?xml version=\"1.0\"?><home><author>") + kAuthor + "</author><contacturl>" +
                    kContactUrl + "</contacturl><title>" + Esc(TitleText(fileName)) +
                    "</title><version>1.0</version>");
    const char* border = doc.SplitLines == 1 ? "b-border-color=\"transparent\" b-border-width=\"0\""
                                             : "b-border-color=\"COLOR_HOMERULE\" b-border-width=\"1\"";
    lines.push_back(std::string("<default font-face=\"nina\" font-weight=\"normal\" font-size=\"14\" padding-left=\"0\" "
                                "padding-right=\"0\" bgcolor=\"transparent\" fgcolor=\"COLOR_HOMETEXT\" "
                                "padding-top=\"0\" ") +
                    border + "><format state=\"selected\" fgcolor=\"COLOR_HOMEHIGHLIGHTTEXT\"/></default>");
    lines.push_back("<background bgimage=\"" + Esc(FileNameText(BareName(doc.BGI))) +
                    "\" valign=\"bottom\" bgcolor=\"COLOR_GRADRIGHT\" />");
    lines.push_back("<scheme>");
    for (int slot : kSchemeWriteOrder)
        lines.push_back(std::string("<color name=\"") + SchemeColorNames[slot] + "\" value=\"" +
                        ColorToHex(doc.Scheme[slot]) + "\" />");
    lines.push_back("</scheme>");
    if (n > 0 && doc.Plugins[0].Top > 0)
        lines.push_back(std::string("<plugin clsid=\"") + kSpacerClsId + "\" height=\"" + Num(doc.Plugins[0].Top) +
                        "\"/>");
    for (int i = 0; i < n; ++i) {
        const TPlugins& e = doc.Plugins[i];
        if (i > 0) {
            const TPlugins& prev = doc.Plugins[i - 1];
            const std::int64_t bottom = std::int64_t(prev.Top) + prev.Height;
            if (bottom < e.Top)
                lines.push_back(std::string("<plugin clsid=\"") + kSpacerClsId + "\" height=\"" +
                                Num(e.Top - bottom) + "\"></plugin>");
        }
        if (model::IsForeignPlugin(e)) {
            verbatim.push_back(lines.size());
            lines.push_back(model::ForeignElement(e));
            continue;
        }
        std::string line = EntryLine(e, doc);
        if (!line.empty()) lines.push_back(std::move(line));
    }
    lines.push_back("</home>");

    std::size_t total = 3;
    for (const auto& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total + total / 8);
    out += "\xEF\xBB\xBF";
    std::size_t next = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (next < verbatim.size() && verbatim[next] == i) {
            ++next;
            out += lines[i];
            out += "\r\n";
        } else {
            AppendConverted(out, lines[i]);
        }
    }
    return out;
}

void WriteHomeLayout(model::Document& doc, std::string_view fileName) {
    WriteWorkFile(doc.AppDir + kWorkLayout, BuildHomeLayout(doc, fileName));
}

} // namespace tessaro::formats
