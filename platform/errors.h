#pragma once
// The class library's conversion error: a text that should be a number is not one.
#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};
