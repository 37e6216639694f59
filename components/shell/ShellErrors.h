#pragma once
// The one exception the shell controls' toolbox raises: a message for the user or the log.
#include <stdexcept>
#include <string>

namespace ql::shellctl {

class EShellError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ql::shellctl
