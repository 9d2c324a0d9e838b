// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace fileio {

// What a failed operation tells, as fields each front end composes its own line from: the
// design's text, which the window shows as it stands, the file it concerns and the system's error
// number, or a reason in words where no error number says it. The one exception type the
// operations throw.
class Failure : public std::runtime_error {
public:
    // Whether the design's text ends with the file's name ("Cannot open file PATH") or leaves it out.
    enum class Naming { Apart, AtTheEnd };

    explicit Failure(const std::string &text, std::string path = {}, int sysErrno = 0, std::string why = {},
                     Naming naming = Naming::Apart)
        : std::runtime_error(naming == Naming::AtTheEnd ? text + " " + path : text), m_head(text),
          m_path(std::move(path)), m_errno(sysErrno), m_why(std::move(why)), m_naming(naming)
    {
    }

    // The design's text, the file in it where it names one.
    std::string text() const { return what(); }
    // The text without the file: what comes before it where the text ends with it.
    const std::string &head() const { return m_head; }
    bool namesFileAtTheEnd() const { return m_naming == Naming::AtTheEnd; }
    // The file it concerns; empty when it concerns none.
    const std::string &path() const { return m_path; }
    // The system's error number of the failed call; 0 when none failed.
    int sysErrno() const { return m_errno; }
    // Why, in words: the reason given, else the system's text for the error number, else "".
    std::string reason() const;
    // The reason given in words, without the system's text; often empty.
    const std::string &why() const { return m_why; }

private:
    std::string m_head;
    std::string m_path;
    int m_errno;
    std::string m_why;
    Naming m_naming;
};

// The reason an error number gives in words: the system's text, or the file layer's own for its
// negative numbers ("not a regular file", "changed while it was read", ...); "" for 0.
std::string errorText(int err);

[[noreturn]] void failWith(const std::string &text, const std::string &path = {}, int err = 0);
[[noreturn]] void cannotOpenFile(const std::string &path, int err);
[[noreturn]] void cannotCreateFile(const std::string &path, int err, const std::string &why = {});
[[noreturn]] void streamReadError(const std::string &path, int err);
[[noreturn]] void streamWriteError(const std::string &path, int err);

} // namespace fileio
