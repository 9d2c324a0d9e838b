// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace fileio {

// How the window shows a failure: the plain "Error" box of ReportError, or the
// application's default error box (caption = program name, error icon).
enum class FailureKind { Report, ErrorBox };

// The one exception type the operations throw. It carries the exact text the user sees.
class Failure : public std::runtime_error {
public:
    Failure(FailureKind kind, const std::string &text) : std::runtime_error(text), m_kind(kind) {}

    FailureKind kind() const { return m_kind; }
    std::string text() const { return what(); }

    // The text as its box shows it: the default box adds the full stop.
    std::string boxText() const;

private:
    FailureKind m_kind;
};

inline constexpr const char *kInvalidFileName = "Invalid file name";
inline constexpr const char *kInvalidFileSize = "Invalid file size";

// The default error box shows its text with a full stop when the last character sorts after ".".
std::string withFullStop(const std::string &text);

[[noreturn]] void reportError(const std::string &text);
[[noreturn]] void failWith(const std::string &text);
[[noreturn]] void cannotOpenFile(const std::string &path);
[[noreturn]] void cannotCreateFile(const std::string &path);
[[noreturn]] void streamReadError();
[[noreturn]] void streamWriteError();

} // namespace fileio
