#pragma once
// The error the workbook connection raises: a readable message (UTF-8) for
// a statement it refuses or a workbook it cannot write.

#include <stdexcept>

namespace platform {

class ConnectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace platform
