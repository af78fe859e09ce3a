#pragma once
// Small helpers the test programs share.
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

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

} // namespace tessaro::testsupport
