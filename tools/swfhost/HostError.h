// The one error type of the hosts: a one-line message for the user and the exit code.
#pragma once

#include "tools/swfhost/ExitCodes.h"

#include <stdexcept>
#include <string>

class HostError : public std::runtime_error {
public:
    HostError(ExitCode code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    ExitCode Code() const { return code_; }

private:
    ExitCode code_;
};
