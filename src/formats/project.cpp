#include "formats/project.h"

#include <cstdint>

#include "formats/names.h"
#include "model/error.h"

namespace tessaro::formats {

namespace {

class Writer {
public:
    void Text(std::string_view s) {
        out_ += s;
        out_ += "\r\n";
    }
    void Int(std::int64_t v) { Text(std::to_string(v)); }
    void Colour(model::Color c) { Int(std::int32_t(c)); }
    void Bool(bool b) { Text(b ? "TRUE" : "FALSE"); }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    // The next line; past the end of the text, empty.
    std::string Text() {
        ++line_;
        if (pos_ >= text_.size()) return {};
        std::size_t end = text_.find('\n', pos_);
        std::string_view l = text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        return std::string(l);
    }
    bool Bool() { return Text() == "TRUE"; }
    std::int32_t Int() {
        std::string s = Text();
        std::size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
        bool ok = i < s.size();
        std::int64_t v = 0;
        for (std::size_t k = i; ok && k < s.size(); ++k) {
            if (s[k] < '0' || s[k] > '9') ok = false;
            else if ((v = v * 10 + (s[k] - '0')) > std::int64_t(INT32_MAX) + 1) ok = false; // any leading zeros
        }
        if (ok && s[0] == '-') v = -v;
        if (!ok || v < INT32_MIN || v > INT32_MAX) Fail("'" + s + "' is not a valid integer value");
        return std::int32_t(v);
    }
    model::Color Colour() { return model::Color(Int()); }
    // A companion file name: empty, or a bare name of a file beside the project
    // that is not one of the program's own files (opening copies companions
    // into the program folder, where they would replace them). The pictures a
    // design names itself pass here; opening checks what they would replace.
    std::string FileName(const char* what) {
        std::string s = Text();
        try {
            CheckPictureName(s, what);
        } catch (const Error& e) {
            Fail(e.what());
        }
        if (IsReservedName(s) && DesignPictureName(s).empty())
            Fail("The " + std::string(what) + " name \"" + s +
                 "\" is the name of one of the program's own files, which it would replace.");
        return s;
    }
    [[noreturn]] void Fail(const std::string& why) const {
        throw Error("Line " + std::to_string(line_) + ": " + why);
    }
    int LineNumber() const { return line_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 0;
};

} // namespace

std::string FormatProject(const model::Theme& doc) {
    Writer w;
    std::string_view bg = doc.BackgroundImage;
    if (auto p = bg.find_last_of("/\\"); p != std::string_view::npos) bg = bg.substr(p + 1);
    w.Text(bg);
    w.Int(doc.SplitLines);
    w.Colour(doc.DefaultBgColor);
    w.Bool(doc.DefaultTransparent);
    w.Int(doc.DefaultFontSize);
    w.Text(doc.DefaultSelWeight);
    w.Text(doc.DefaultUnselWeight);
    w.Colour(doc.DefaultSelColor);
    w.Colour(doc.DefaultUnselColor);
    const int n = model::CountEntries(doc);
    w.Int(n - 1);
    for (int i = 0; i < n; ++i) {
        const model::TPlugins& e = doc.Plugins[i];
        w.Bool(e.Used);
        w.Text(e.Name);
        w.Text(e.ClsId);
        w.Text(e.DllName);
        w.Int(e.Height);
        w.Int(e.Top);
        w.Colour(e.BgColor);
        w.Bool(e.Transparent);
        w.Int(e.TransparencyLevel);
        w.Text(e.CustomImage);
        w.Text(e.BgImage);
        for (const model::TPluginItem& it : e.Items) {
            w.Bool(it.Visible);
            w.Int(it.X);
            w.Int(it.Y);
            w.Int(it.FontSize);
            w.Text(it.SelWeight);
            w.Text(it.UnselWeight);
            w.Text(it.Text);
            w.Colour(it.SelColor);
            w.Colour(it.UnselColor);
            w.Text(it.Extra);
        }
    }
    return w.Take();
}

ProjectData ParseProject(std::string_view text) {
    Reader r(text);
    ProjectData d;
    d.Background = r.FileName("background picture");
    d.SplitLines = r.Int();
    d.DefaultBgColor = r.Colour();
    d.DefaultTransparent = r.Bool();
    d.DefaultFontSize = r.Int();
    d.DefaultSelWeight = r.Text();
    d.DefaultUnselWeight = r.Text();
    d.DefaultSelColor = r.Colour();
    d.DefaultUnselColor = r.Colour();
    const std::int64_t m = r.Int();
    if (m + 1 > model::kMaxEntries)
        r.Fail("the project holds " + std::to_string(m + 1) + " entries, more than the 1001 a layout can hold");
    for (std::int64_t i = 0; i <= m; ++i) {
        model::TPlugins e;
        e.Used = r.Bool() ? 1 : 0;
        e.Name = r.Text();
        e.ClsId = r.Text();
        e.DllName = r.Text();
        e.Height = r.Int();
        e.Top = r.Int();
        e.BgColor = r.Colour();
        e.Transparent = r.Bool() ? 1 : 0;
        e.TransparencyLevel = r.Int();
        e.CustomImage = r.FileName("custom bar picture");
        e.BgImage = r.FileName("entry background picture");
        for (model::TPluginItem& it : e.Items) {
            it.Visible = r.Bool() ? 1 : 0;
            it.X = r.Int();
            it.Y = r.Int();
            it.FontSize = r.Int();
            it.SelWeight = r.Text();
            it.UnselWeight = r.Text();
            it.Text = r.Text();
            it.SelColor = r.Colour();
            it.UnselColor = r.Colour();
            it.Extra = r.Text();
        }
        d.Entries.push_back(std::move(e));
    }
    return d;
}

} // namespace tessaro::formats
