#include "package/project.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "formats/names.h"
#include "formats/project.h"
#include "formats/scheme.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/folderlock.h"
#include "platform/picture.h"

namespace tessaro::package {

void StartDocument(model::Document& doc, const std::string& appDir) {
    model::ResetDocument(doc);
    doc.ActivePluginsList = {};
    doc.AppDir = appDir;
    if (doc.AppDir.empty() || doc.AppDir.back() != '/') doc.AppDir += '/';
    doc.Scheme = formats::ReadColorScheme(doc.AppDir + "Default");
    doc.DefaultBgColor = doc.Scheme[30];
    doc.DefaultFontSize = 14;
    doc.DefaultSelWeight = "bold";
    doc.DefaultUnselWeight = "normal";
    doc.DefaultSelColor = doc.Scheme[29];
    doc.DefaultUnselColor = doc.Scheme[31];
    doc.DefaultTransparent = false;
    doc.BackgroundImage = "WindowsMobile.JPG";
    doc.BGI = "WindowsMobile.JPG";
}

void SaveProject(const model::Document& doc, const std::string& path) {
    const platform::ProgramFolderLock lock(doc.AppDir);
    // The project folder is named after the file; without a name (".trpf",
    // "dir/") it would be the folder above, or the root for a bare ".trpf".
    if (platform::WithoutExtension(platform::FileNamePart(path)).empty())
        throw Error("Cannot save the project as \"" + path + "\": it needs a file name.");
    const std::string folder = platform::WithoutExtension(path) + "/";
    platform::MakeFolder(folder);
    const std::string text = formats::FormatProject(doc);

    // Every companion is copied and checked before the project file is
    // written, so a failed save never leaves a project that looks whole. Each
    // copy replaces its file through a temporary one. A picture the program
    // folder does not hold has nothing to carry (the design lacks it already);
    // one that is there must arrive whole.
    std::vector<std::string> carried;
    auto carry = [&](const std::string& name) {
        if (name.empty() || std::find(carried.begin(), carried.end(), name) != carried.end()) return;
        carried.push_back(name);
        std::error_code ec;
        if (!std::filesystem::exists(doc.AppDir + name, ec)) return;
        try {
            platform::WriteFileAtomic(folder + name, platform::ReadFile(doc.AppDir + name));
        } catch (const Error& e) {
            throw Error("Cannot save the project: the file \"" + name +
                        "\" could not be copied into the project folder. " + e.what());
        }
    };
    carry(platform::FileNamePart(doc.BackgroundImage));
    formats::WriteUserScheme(doc, path);
    carry(formats::kUserScheme);
    const int n = model::CountEntries(doc);
    for (int i = 0; i < n; ++i) {
        carry(doc.Plugins[i].CustomImage);
        carry(doc.Plugins[i].BgImage);
    }
    platform::WriteFileAtomic(folder + platform::FileNamePart(path), text);
}

void OpenProject(model::Document& doc, const std::string& path) {
    const platform::ProgramFolderLock lock(doc.AppDir);
    // Everything that can fail is read and checked before the document or the
    // program folder is touched.
    const formats::ProjectData data = formats::ParseProject(platform::ReadFile(path));
    const std::string folder = platform::FolderPart(path);
    platform::LoadPicture(folder + data.Background);
    const std::string savedScheme = folder + formats::kUserScheme;
    const model::Scheme scheme = formats::ReadColorScheme(
        platform::FileExists(savedScheme) ? savedScheme : doc.AppDir + formats::kUserScheme);

    // The companions that lie beside the project, read once and checked
    // against the program's own files; a missing one is skipped.
    struct Companion {
        std::string Name;
        std::string Data;
    };
    std::vector<Companion> companions;
    auto gather = [&](const std::string& name, formats::Arrival how, const char* what) {
        if (name.empty()) return;
        for (const Companion& c : companions)
            if (c.Name == name) return;
        if (!platform::FileExists(folder + name)) return;
        std::string bytes = platform::ReadFile(folder + name);
        formats::CheckArrival(doc.AppDir, name, bytes, how, what);
        companions.push_back({name, std::move(bytes)});
    };
    gather(data.Background, formats::Arrival::Project, "background picture");
    gather(formats::kUserScheme, formats::Arrival::Scheme, "scheme file");
    for (const model::TPlugins& e : data.Entries) {
        gather(e.CustomImage, formats::Arrival::Project, "custom bar picture");
        gather(e.BgImage, formats::Arrival::Project, "entry background picture");
    }
    // A copy the program folder already holds (the project opened again) is
    // left as it is.
    for (const Companion& c : companions)
        platform::WriteFileAtomicIfChanged(doc.AppDir + c.Name, c.Data);

    doc.ActivePluginsList = {};
    model::ResetDocument(doc);
    doc.BGI = data.Background;
    doc.BackgroundImage = data.Background;
    doc.Scheme = scheme;
    doc.SplitLines = data.SplitLines;
    doc.DefaultBgColor = data.DefaultBgColor;
    doc.DefaultTransparent = data.DefaultTransparent;
    doc.DefaultFontSize = data.DefaultFontSize;
    doc.DefaultSelWeight = data.DefaultSelWeight;
    doc.DefaultUnselWeight = data.DefaultUnselWeight;
    doc.DefaultSelColor = data.DefaultSelColor;
    doc.DefaultUnselColor = data.DefaultUnselColor;
    for (std::size_t i = 0; i < data.Entries.size(); ++i) {
        doc.Plugins[i] = data.Entries[i];
        doc.ActivePluginsList.Lines.push_back(data.Entries[i].Name);
    }
}

model::Theme ReadProject(const std::string& path, const std::string& appDir) {
    const formats::ProjectData data = formats::ParseProject(platform::ReadFile(path));
    const std::string savedScheme = platform::FolderPart(path) + "user.scheme.xml";
    model::Theme theme;
    theme.Scheme = formats::ReadColorScheme(platform::FileExists(savedScheme)
                                                ? savedScheme
                                                : appDir + "user.scheme.xml");
    theme.BackgroundImage = data.Background;
    theme.SplitLines = data.SplitLines;
    theme.DefaultBgColor = data.DefaultBgColor;
    theme.DefaultTransparent = data.DefaultTransparent;
    theme.DefaultFontSize = data.DefaultFontSize;
    theme.DefaultSelWeight = data.DefaultSelWeight;
    theme.DefaultUnselWeight = data.DefaultUnselWeight;
    theme.DefaultSelColor = data.DefaultSelColor;
    theme.DefaultUnselColor = data.DefaultUnselColor;
    for (std::size_t i = 0; i < data.Entries.size(); ++i) theme.Plugins[i] = data.Entries[i];
    return theme;
}

} // namespace tessaro::package
