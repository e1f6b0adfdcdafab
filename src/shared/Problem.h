#pragma once

#include <exception>
#include <string>
#include <utility>

// Base of every error that reaches a user: it carries one complete sentence.
class Problem : public std::exception {
public:
    explicit Problem(std::string description) : text_(std::move(description)) {}

    const std::string& description() const noexcept { return text_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};
