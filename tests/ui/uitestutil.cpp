#include "uitestutil.h"

#include <QCoreApplication>
#include <filesystem>

namespace fs = std::filesystem;

namespace tessaro::uitest {

std::string MakeProgramFolder(const QString& tag) {
    const fs::path dir = fs::temp_directory_path() /
                         ("tessaro_ui_" + tag.toStdString() + "_" +
                          std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path src = TESSARO_PROGRAM_DIR;
    for (const auto& e : fs::recursive_directory_iterator(src)) {
        const fs::path rel = fs::relative(e.path(), src);
        if (e.is_directory()) {
            fs::create_directories(dir / rel);
        } else if (e.is_regular_file()) {
            const auto perms = e.status().permissions();
            if ((perms & fs::perms::owner_exec) != fs::perms::none) continue; // programs
            fs::copy_file(e.path(), dir / rel, fs::copy_options::overwrite_existing);
        }
    }
    return dir.string() + "/";
}

void RemoveFolder(const std::string& dir) {
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace tessaro::uitest
