#pragma once
// The one error type of the core. Its message is the text the user sees: the
// designer shows it in a message box, the command line prints it on stderr.
#include <stdexcept>
#include <string>

namespace tessaro {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessaro
