#pragma once
// Pieces the cabinet builder and the device loader share: the failure they
// report on stderr, whole-file reading, letter case folding and ownership of
// glib objects and errors.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <glib-object.h>

namespace cabtool {

// A problem that ends the run; the message is what the user reads.
struct Failure {
    std::string Message;
};

inline std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The bytes of the file at `path`. Throws Failure when it cannot be opened
// or read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure{"cannot open \"" + path + "\": " + std::strerror(errno)};
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        throw Failure{"cannot read \"" + path + "\""};
    return s.str();
}

// Owns one GObject reference.
template <typename T> struct Ref {
    T* p = nullptr;
    explicit Ref(T* q = nullptr) : p(q) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p)
            g_object_unref(p);
    }
};

// `what`, followed by the error's own message when there is one; frees the
// error.
inline std::string WithError(std::string what, GError* error) {
    if (error) {
        what += ": ";
        what += error->message;
        g_error_free(error);
    }
    return what;
}

} // namespace cabtool
