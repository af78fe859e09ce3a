#pragma once
// Small helpers the test programs share.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

#include "model/error.h"

namespace tessaro::testsupport {

// The bytes of a file; empty when it cannot be read.
inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The message of the Error that `f` throws, or "no error".
inline std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

// A fresh, empty scratch folder "tessaro-TAG-PID" under the system's
// temporary folder (anything left there is removed), ending in '/'.
inline std::string FreshFolder(const std::string& tag) {
    const auto dir = std::filesystem::temp_directory_path() / ("tessaro-" + tag + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

} // namespace tessaro::testsupport
