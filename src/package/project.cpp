#include "package/project.h"

#include "formats/project.h"
#include "formats/scheme.h"
#include "model/error.h"
#include "platform/files.h"
#include "platform/folderlock.h"
#include "platform/picture.h"

namespace tessaro::package {

using platform::CopyFile;

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
    platform::CreateFolder(folder);
    const std::string text = formats::FormatProject(doc);
    platform::WriteFileAtomic(folder + platform::FileNamePart(path), text);

    auto carry = [&](const std::string& name) {
        if (!name.empty()) CopyFile(doc.AppDir + name, folder + name);
    };
    carry(platform::FileNamePart(doc.BackgroundImage));
    formats::WriteUserScheme(doc, path);
    carry("user.scheme.xml");
    const int n = model::CountEntries(doc);
    for (int i = 0; i < n; ++i) {
        carry(doc.Plugins[i].CustomImage);
        carry(doc.Plugins[i].BgImage);
    }
}

void OpenProject(model::Document& doc, const std::string& path) {
    const platform::ProgramFolderLock lock(doc.AppDir);
    // Everything that can fail is read and checked before the document or the
    // program folder is touched.
    const formats::ProjectData data = formats::ParseProject(platform::ReadFile(path));
    const std::string folder = platform::FolderPart(path);
    platform::LoadPicture(folder + data.Background);
    const std::string savedScheme = folder + "user.scheme.xml";
    const model::Scheme scheme = formats::ReadColorScheme(
        platform::FileExists(savedScheme) ? savedScheme : doc.AppDir + "user.scheme.xml");

    doc.ActivePluginsList = {};
    model::ResetDocument(doc);
    auto bringIn = [&](const std::string& name) {
        if (!name.empty()) CopyFile(folder + name, doc.AppDir + name);
    };
    doc.BGI = data.Background;
    doc.BackgroundImage = data.Background;
    bringIn(data.Background);
    bringIn("user.scheme.xml");
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
        bringIn(data.Entries[i].CustomImage);
        bringIn(data.Entries[i].BgImage);
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
