#pragma once
// One way to report a failure: a Problem carries its text (and, for a line of a settings file
// or a site file, the file and the line it is about) up to whoever shows it; a Result<T> is a
// value or the Problem that kept it from being made, and Result<void> an operation's success or
// its Problem.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace base {

class Problem {
public:
    explicit Problem(std::string text) : text_(std::move(text)) {}
    Problem(std::string file, int line, std::string text)
        : text_(std::move(text)), file_(std::move(file)), line_(line) {}

    // The line shown for it: "FILE:LINE: text" when it is about a line of a file, else the text.
    std::string Text() const;
    const std::string& What() const { return text_; }  // the text without file and line
    const std::string& File() const { return file_; }  // empty when it is about no file
    int Line() const { return line_; }

    // The same problem, found in a file: what a reader of lines says once it knows its file.
    Problem In(std::string file) const { return Problem(std::move(file), line_, text_); }

    bool operator==(const Problem&) const = default;

private:
    std::string text_;
    std::string file_;
    int line_ = 0;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : outcome_(std::move(value)) {}  // NOLINT: a value converts to its result
    Result(Problem problem) : outcome_(std::move(problem)) {}  // NOLINT: so does a problem

    explicit operator bool() const { return outcome_.index() == 0; }
    T& operator*() { return std::get<0>(outcome_); }
    const T& operator*() const { return std::get<0>(outcome_); }
    T* operator->() { return &std::get<0>(outcome_); }
    const T* operator->() const { return &std::get<0>(outcome_); }
    const Problem& Error() const { return std::get<1>(outcome_); }

private:
    std::variant<T, Problem> outcome_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Problem problem) : problem_(std::move(problem)) {}  // NOLINT: a problem converts

    explicit operator bool() const { return !problem_; }
    const Problem& Error() const { return *problem_; }

private:
    std::optional<Problem> problem_;
};

}  // namespace base
