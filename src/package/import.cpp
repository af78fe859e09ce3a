#include "package/import.h"

#include "formats/names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <memory>
#include <map>
#include <optional>
#include <sys/stat.h>

#include "formats/ceheader.h"
#include "formats/names.h"
#include "formats/project.h"
#include "model/error.h"
#include "package/cabfiles.h"
#include "package/layoutimport.h"
#include "platform/files.h"
#include "platform/picture.h"

namespace tessaro::package {

namespace {

constexpr std::size_t kMaxCabinetBytes = 64u << 20;
constexpr const char* kDefaultBackground = "WindowsMobile.JPG";

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Where the layout's pictures come from.
struct Source {
    std::string Layout;      // the layout's bytes
    std::string Where;       // "beside the layout", "in the cabinet"
    std::function<std::optional<std::string>(const std::string&)> Picture;
};

Source FromLayoutFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && std::size_t(st.st_size) > kMaxLayoutBytes)
        throw Error("The layout \"" + path + "\" is " + std::to_string(st.st_size) +
                    " bytes long; a home layout may be at most 8 MiB.");
    Source s;
    s.Layout = platform::ReadFile(path);
    s.Where = "beside the layout";
    const std::string folder = platform::FolderPart(path);
    s.Picture = [folder](const std::string& name) -> std::optional<std::string> {
        namespace fs = std::filesystem;
        std::error_code ec;
        std::string found = folder + name;
        if (!fs::is_regular_file(found, ec)) {
            // The phone's names ignore letter case.
            found.clear();
            for (const auto& item : fs::directory_iterator(folder.empty() ? "." : folder, ec))
                if (Lower(item.path().filename().string()) == Lower(name) && item.is_regular_file(ec)) {
                    found = item.path().string();
                    break;
                }
            if (found.empty()) return std::nullopt;
        }
        try {
            return platform::ReadFile(found);
        } catch (const Error&) {
            return std::nullopt;
        }
    };
    return s;
}

// The cabinet's number of a file ("THEME.001" -> 1), -1 for other names.
int FileNumber(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || name.size() - dot != 4) return -1;
    int n = 0;
    for (std::size_t i = dot + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

bool IsBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

Source FromCabinet(const std::string& path) {
    auto files = std::make_shared<std::vector<CabinetFile>>(ReadCabinetFiles(path, kMaxCabinetBytes));
    // device-visible name (lower case) -> index into files
    auto byName = std::make_shared<std::map<std::string, std::size_t>>();
    const CabinetFile* header = nullptr;
    std::map<int, std::string> byId;
    for (std::size_t i = 0; i < files->size(); ++i) {
        const int n = FileNumber((*files)[i].Name);
        if (n == 0) {
            if (header) throw Error("\"" + path + "\" holds two installer headers; it is not a theme cabinet.");
            header = &(*files)[i];
        } else if (n > 0) {
            byId[n] = std::to_string(i);
        }
    }
    Source s;
    s.Where = "in the cabinet";
    std::vector<std::pair<std::string, std::size_t>> layouts; // device path, file
    std::string scheme;
    if (header) {
        formats::CeInstall in;
        try {
            in = formats::ReadCeHeader(header->Data, byId);
        } catch (const Error& e) {
            throw Error("\"" + path + "\": " + e.what() + ".");
        }
        for (const auto& v : in.Values) {
            if (Lower(v.Key) != "hkcu\\controlpanel\\home\\scheme") continue;
            try {
                scheme = Lower(formats::StringValue(v, in.AppName));
            } catch (const Error&) {
                scheme.clear(); // a value naming an unknown folder names no layout of the cabinet
            }
        }
        for (const auto& f : in.Files) {
            const std::size_t index = std::stoul(f.Source);
            byName->emplace(Lower(f.Name), index);
            if (EndsWith(Lower(f.Name), ".home.xml")) layouts.emplace_back(Lower(f.DevicePath), index);
        }
    } else {
        for (std::size_t i = 0; i < files->size(); ++i) {
            const std::string& name = (*files)[i].Name;
            if (!IsBareName(name)) continue;
            byName->emplace(Lower(name), i);
            if (EndsWith(Lower(name), ".home.xml")) layouts.emplace_back(Lower(name), i);
        }
    }
    std::optional<std::size_t> layout;
    if (!scheme.empty())
        for (const auto& [device, index] : layouts)
            if (device == scheme) layout = index;
    if (!layout && layouts.size() == 1) layout = layouts.front().second;
    if (!layout)
        throw Error("\"" + path + "\" holds " +
                    (layouts.empty() ? std::string("no home layout") : "several home layouts and names none of them") +
                    "; it is not a theme cabinet.");
    const CabinetFile& chosen = (*files)[*layout];
    if (chosen.Data.size() > kMaxLayoutBytes)
        throw Error("The layout in \"" + path + "\" is larger than 8 MiB, more than a home layout may be.");
    s.Layout = chosen.Data;
    s.Picture = [files, byName](const std::string& name) -> std::optional<std::string> {
        auto it = byName->find(Lower(name));
        if (it == byName->end()) return std::nullopt;
        return (*files)[it->second].Data;
    };
    return s;
}

bool SameFile(const std::string& path, const std::string& data) {
    try {
        return platform::FileExists(path) && platform::ReadFile(path) == data;
    } catch (const Error&) {
        return false;
    }
}

class Pictures {
public:
    Pictures(std::string appDir, const Source& source, std::vector<std::string>& report)
        : appDir_(std::move(appDir)), source_(source), report_(report) {}

    // The name the picture `name` is kept under in the program folder, or
    // nothing when it cannot be brought in (the reason is reported).
    std::optional<std::string> Bring(const PictureUse& use, const char* what) {
        // A picture named again (every icon bar names "iconbar.jpg") is
        // looked at once.
        const auto key = std::make_pair(use.Use == PictureUse::Role::IconBar, use.Name);
        if (auto done = done_.find(key); done != done_.end()) {
            if (!done->second.first) report_.push_back("Line " + std::to_string(use.Line) + ": " + done->second.second);
            return done->second.first;
        }
        const std::size_t reported = report_.size();
        std::optional<std::string> kept = Look(use, what);
        std::string why;
        if (!kept && report_.size() > reported) why = report_.back().substr(report_.back().find(": ") + 2);
        done_.emplace(key, std::make_pair(kept, why));
        return kept;
    }

private:
    std::optional<std::string> Look(const PictureUse& use, const char* what) {
        const std::string line = "Line " + std::to_string(use.Line) + ": ";
        std::string name = use.Name;
        if (!IsBareName(name)) {
            report_.push_back(line + "The " + what + " \"" + name + "\" is no file name; it is left out.");
            return std::nullopt;
        }
        std::string stored = name;
        for (char& c : stored)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ':') c = '_';
        std::optional<std::string> data = source_.Picture(name);
        if (!data) {
            report_.push_back(line + "The " + what + " \"" + name + "\" is not " + source_.Where + "; it is left out.");
            return std::nullopt;
        }
        if (use.Use == PictureUse::Role::Background || use.Use == PictureUse::Role::IconBar) {
            platform::Bitmap picture;
            try {
                picture = Lower(platform::ExtensionOf(name)) == ".bmp" ? platform::DecodeBmp(*data)
                                                                       : platform::DecodeJpeg(*data);
            } catch (const Error&) {
                report_.push_back(line + "The " + what + " \"" + name + "\" is not a picture this designer reads; it is left out.");
                return std::nullopt;
            }
            if (use.Use == PictureUse::Role::IconBar) {
                if (picture.Width() != 176 || picture.Height() != 20) {
                    report_.push_back(line + "The " + what + " \"" + name + "\" is not 176 x 20 pixels; it is left out.");
                    return std::nullopt;
                }
                // The bar's own picture becomes a Custom bar's bitmap.
                data = platform::EncodeBmp(picture);
                stored = platform::WithoutExtension(stored) + ".bmp";
            } else if (Lower(platform::ExtensionOf(name)) == ".bmp") {
                report_.push_back(line + "The " + what + " \"" + name + "\" is not a JPEG picture; it is left out.");
                return std::nullopt;
            }
        }
        const std::string kept = FreeName(stored, *data);
        if (kept != stored)
            report_.push_back(line + "The " + what + " \"" + name + "\" is kept as \"" + kept + "\"" +
                              (IsReservedPictureName(stored) ? ", since the program folder has a file of its own by that name."
                                                            : "."));
        planned_[kept] = std::move(*data);
        return kept;
    }

public:
    // Writes the pictures into the program folder.
    void Write() {
        for (const auto& [name, data] : planned_)
            if (!SameFile(appDir_ + name, data)) platform::WriteFileAtomic(appDir_ + name, data);
    }

private:
    std::string FreeName(const std::string& wanted, const std::string& data) {
        std::string candidate = wanted;
        for (int n = 1;; ++n) {
            auto planned = planned_.find(candidate);
            const bool free = planned == planned_.end() ? (!IsReservedPictureName(candidate) || SameFile(appDir_ + candidate, data))
                                                         : planned->second == data;
            if (free) return candidate;
            candidate = platform::WithoutExtension(wanted) + "-" + std::to_string(n) + platform::ExtensionOf(wanted);
        }
    }

    std::string appDir_;
    const Source& source_;
    std::vector<std::string>& report_;
    std::map<std::string, std::string> planned_;
    std::map<std::pair<bool, std::string>, std::pair<std::optional<std::string>, std::string>> done_;
};

} // namespace

bool IsReservedPictureName(const std::string& name) {
    return formats::IsReservedName(name);
}

ImportResult ImportTheme(const std::string& path, const std::string& appDir) {
    std::string dir = appDir;
    if (dir.empty() || dir.back() != '/') dir += '/';
    const Source source = EndsWith(Lower(path), ".cab") ? FromCabinet(path) : FromLayoutFile(path);
    ParsedLayout parsed;
    try {
        parsed = ReadHomeLayout(source.Layout);
    } catch (const Error& e) {
        throw Error("\"" + path + "\": " + e.what());
    }
    ImportResult result{std::move(parsed.Theme), std::move(parsed.Report)};
    model::Theme& t = result.theme;
    Pictures pictures(dir, source, result.report);
    for (const PictureUse& use : parsed.Pictures) {
        switch (use.Use) {
        case PictureUse::Role::Background:
            if (auto kept = pictures.Bring(use, "background picture")) {
                t.BackgroundImage = *kept;
            } else {
                t.BackgroundImage = kDefaultBackground;
                result.report.back() += " The design keeps the program's background.";
            }
            break;
        case PictureUse::Role::EntryBackground: {
            model::TPlugins& e = t.Plugins[std::size_t(use.Entry)];
            e.BgImage = pictures.Bring(use, "plugin background picture").value_or("");
            break;
        }
        case PictureUse::Role::IconBar: {
            model::TPlugins& e = t.Plugins[std::size_t(use.Entry)];
            if (auto kept = pictures.Bring(use, "icon bar picture")) {
                e.Items[0].X = 2; // Custom: the bar shows its own picture
                e.Items[0].Y = 1;
                e.CustomImage = *kept;
            } else {
                result.report.back() += " The bar becomes a Normal (gradient) bar.";
            }
            break;
        }
        }
    }
    pictures.Write();
    return result;
}

void UseImportedTheme(model::Document& doc, const model::Theme& theme) {
    static_cast<model::Theme&>(doc) = theme;
    doc.BGI = theme.BackgroundImage;
    doc.ActivePluginsList = {};
    const int n = model::CountEntries(doc);
    for (int i = 0; i < n; ++i) doc.ActivePluginsList.Lines.push_back(doc.Plugins[std::size_t(i)].Name);
    doc.EditIndex = 0;
    doc.CurrentKind.clear();
}

} // namespace tessaro::package
