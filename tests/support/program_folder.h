#pragma once
// A fresh program folder for a test: the shipped support files of the build's
// program folder, without its programs and without the work files that runs
// of the designer or the command line leave there.
#include <array>
#include <filesystem>
#include <string_view>

namespace tessaro::testsupport {

inline bool IsWorkFile(std::string_view name) {
    static constexpr std::array<std::string_view, 9> kWork = {
        "temp", "user.scheme.xml", "iconbar.jpg", "BackGroundImage with Analog Plugin.jpg",
        "CF.inf", "CF.cab", "Theme.cab", "Theme.home.xml", "MyTheme.home.xml"};
    for (auto w : kWork)
        if (name == w) return true;
    return false;
}

// Copies the support files of `from` (recursively) into `to`, which must exist.
inline void CopyProgramFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    for (const auto& item : fs::recursive_directory_iterator(from)) {
        const fs::path rel = fs::relative(item.path(), from);
        if (item.is_directory()) {
            fs::create_directories(to / rel);
        } else if (item.is_regular_file() &&
                   (item.status().permissions() & fs::perms::owner_exec) == fs::perms::none &&
                   !IsWorkFile(item.path().filename().string())) {
            fs::create_directories((to / rel).parent_path());
            fs::copy_file(item.path(), to / rel, fs::copy_options::overwrite_existing);
        }
    }
}

} // namespace tessaro::testsupport
