#include "uitestutil.h"

#include <QCoreApplication>
#include <filesystem>

#include "support/program_folder.h"

namespace fs = std::filesystem;

namespace tessaro::uitest {

std::string MakeProgramFolder(const QString& tag) {
    const fs::path dir = fs::temp_directory_path() /
                         ("tessaro_ui_" + tag.toStdString() + "_" +
                          std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    testsupport::CopyProgramFolder(TESSARO_PROGRAM_DIR, dir);
    return dir.string() + "/";
}

void RemoveFolder(const std::string& dir) {
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace tessaro::uitest
