// The base of the program's own exceptions: a message, and nothing from the
// standard library's exception classes, whose string machinery would add a
// tenth to the executable.
#pragma once

#include <exception>
#include <string>
#include <utility>

class Failure : public std::exception {
public:
    explicit Failure(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};
