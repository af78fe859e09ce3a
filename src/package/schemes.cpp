#include "package/schemes.h"

#include <algorithm>
#include <filesystem>

#include "formats/names.h"
#include "formats/scheme.h"
#include "model/error.h"
#include "platform/files.h"

namespace tessaro::package {

using model::Document;

namespace {

void ShowDefaults(const model::Theme& doc, StateFormats& w) {
    w.FontSize = std::clamp(doc.DefaultFontSize, kMinFontSize, kMaxFontSize);
    w.SelColor = doc.DefaultSelColor;
    w.UnselColor = doc.DefaultUnselColor;
    w.BgColor = doc.DefaultBgColor;
    w.SelWeight = doc.DefaultSelWeight;
    w.UnselWeight = doc.DefaultUnselWeight;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

} // namespace

void LoadDefaultFormats(const model::Theme& doc, StateFormats& w) {
    w.Mode = FormatMode::Default;
    w.Caption = "Default Settings";
    ShowDefaults(doc, w);
    w.Transparent = doc.DefaultTransparent;
    w.BackgroundControls = true;
}

void LoadElementFormats(const Document& doc, StateFormats& w, const std::string& caption) {
    w.Mode = FormatMode::Element;
    w.Caption = caption;
    const auto& it = doc.EditItem;
    w.FontSize = std::clamp(it.FontSize, kMinFontSize, kMaxFontSize);
    w.SelColor = it.SelColor;
    w.UnselColor = it.UnselColor;
    w.SelWeight = it.SelWeight;
    w.UnselWeight = it.UnselWeight;
    w.BackgroundControls = false;
}

void SetFontSize(Document& doc, StateFormats& w, int size) {
    w.FontSize = std::clamp(size, kMinFontSize, kMaxFontSize);
    if (w.Mode == FormatMode::Default) doc.DefaultFontSize = w.FontSize;
    if (w.Mode == FormatMode::Element) doc.EditItem.FontSize = w.FontSize;
}

void SetSelWeight(Document& doc, StateFormats& w, const std::string& weight) {
    w.SelWeight = weight;
    if (w.Mode == FormatMode::Default) doc.DefaultSelWeight = weight;
    if (w.Mode == FormatMode::Element) doc.EditItem.SelWeight = weight;
}

void SetUnselWeight(Document& doc, StateFormats& w, const std::string& weight) {
    w.UnselWeight = weight;
    if (w.Mode == FormatMode::Default) doc.DefaultUnselWeight = weight;
    if (w.Mode == FormatMode::Element) doc.EditItem.UnselWeight = weight;
}

void SetSelColor(Document& doc, StateFormats& w, model::Color c) {
    w.SelColor = c;
    if (w.Mode == FormatMode::Default) doc.DefaultSelColor = c;
    if (w.Mode == FormatMode::Element) doc.EditItem.SelColor = c;
}

void SetUnselColor(Document& doc, StateFormats& w, model::Color c) {
    w.UnselColor = c;
    if (w.Mode == FormatMode::Default) doc.DefaultUnselColor = c;
    if (w.Mode == FormatMode::Element) doc.EditItem.UnselColor = c;
}

void SetBgColor(Document& doc, StateFormats& w, model::Color c) {
    if (w.Mode != FormatMode::Default) return;
    w.BgColor = c;
    doc.DefaultBgColor = c;
}

void SetTransparent(Document& doc, StateFormats& w, bool on) {
    if (w.Mode != FormatMode::Default) return;
    w.Transparent = on;
    doc.DefaultTransparent = on;
}

void LoadFromCurrentScheme(Document& doc, StateFormats& w) {
    doc.DefaultSelWeight = "bold";
    doc.DefaultUnselWeight = "bold";
    doc.DefaultSelColor = doc.Scheme[29];
    doc.DefaultUnselColor = doc.Scheme[31];
    doc.DefaultBgColor = doc.Scheme[30];
    ShowDefaults(doc, w);
}

void ApplyDefaultsToEntries(model::Theme& doc) {
    const int n = model::CountEntries(doc);
    for (int i = 0; i < n; ++i) {
        auto& e = doc.Plugins[std::size_t(i)];
        e.BgColor = doc.DefaultBgColor;
        for (auto& it : e.Items) {
            it.FontSize = doc.DefaultFontSize;
            it.SelColor = doc.DefaultSelColor;
            it.UnselColor = doc.DefaultUnselColor;
            it.SelWeight = doc.DefaultSelWeight;
            it.UnselWeight = doc.DefaultUnselWeight;
        }
    }
}

void ChoosePreset(Document& doc, StateFormats& w, const std::string& name) {
    model::Scheme scheme = formats::ReadColorScheme(doc.AppDir + name);
    doc.Scheme = scheme;
    doc.DefaultBgColor = scheme[30];
    LoadDefaultFormats(doc, w);
    ApplyDefaultsToEntries(doc);
}

std::string ChooseSchemeFile(Document& doc, const std::string& path) {
    const std::string name = platform::FileNamePart(path);
    const std::string target = doc.AppDir + name;
    // Read and checked before the copy: a file that is no scheme, or would
    // replace a preset or a program file, never lands in the program folder.
    const std::string text = platform::ReadFile(path);
    formats::CheckArrival(doc.AppDir, name, text, formats::Arrival::Scheme, "scheme file");
    model::Scheme scheme;
    try {
        scheme = formats::ParseColorScheme(text);
    } catch (const Error& e) {
        throw Error("Cannot read the colour scheme \"" + path + "\". " + e.what());
    }
    if (!SameFile(path, target)) platform::WriteFileAtomic(target, text);
    doc.Scheme = scheme;
    doc.DefaultSelColor = scheme[29];
    doc.DefaultUnselColor = scheme[31];
    doc.DefaultBgColor = scheme[30];
    return name;
}

} // namespace tessaro::package
