// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace fileio {

// A failed step on a byte or text file, as the error number the user is told about.
// Linux errno values are mapped onto the small set of numbers the messages know.
class IoError {
public:
    enum class Cause { Errno, ShortRead, ShortWrite, BadNumber };

    static IoError fromErrno(int err) { return IoError(Cause::Errno, err); }
    static IoError shortRead() { return IoError(Cause::ShortRead, 0); }
    static IoError shortWrite() { return IoError(Cause::ShortWrite, 0); }
    static IoError badNumber() { return IoError(Cause::BadNumber, 0); }

    Cause cause() const { return m_cause; }
    int sysErrno() const { return m_errno; }

    // The number shown: 2, 3, 4, 5, 100, 101, 106, or the errno itself.
    int reportNumber() const;
    // The IoErrorReport text, without the full stop.
    std::string text() const;

private:
    IoError(Cause cause, int err) : m_cause(cause), m_errno(err) {}

    Cause m_cause;
    int m_errno;
};

// The text the default error box shows for this failure's error number.
std::string IoErrorReport(const IoError &error);

// Ends the operation through the default error box with the IoErrorReport text; `path` names the
// file whose step failed.
[[noreturn]] void failIo(const IoError &error, const std::string &path);
[[noreturn]] void failErrno(int err, const std::string &path);

} // namespace fileio
