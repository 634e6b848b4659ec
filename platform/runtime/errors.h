// The runtime's error types. A raised error that nothing catches is fatal:
// the program's entry reports it (see fatal_error.h) and ends with exit code 1.
#pragma once

#include <stdexcept>
#include <string>

// The general error type that every raised error of the program derives from.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A failed checked file operation. The message names the operation, the
// file's Windows path and the host's reason.
class EInOutError : public Exception {
  public:
    EInOutError(const std::string& operation, const std::string& path, const std::string& reason)
        : Exception(operation + " failed for " + path + ": " + reason), Operation(operation),
          Path(path), Reason(reason) {}
    std::string Operation;
    std::string Path;
    std::string Reason;
};

// A registry operation that the registry class could not carry out.
class ERegistryException : public Exception {
  public:
    explicit ERegistryException(const std::string& message) : Exception(message) {}
};
