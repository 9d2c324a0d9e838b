// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

#include "fileio/wide_text.h"

#include <windows.h>

namespace joiner {

namespace {

HANDLE nativeOf(const fileio::File &file)
{
    return reinterpret_cast<HANDLE>(file.handle());
}

bool isConsole(const fileio::File &file)
{
    DWORD mode = 0;
    return ::GetConsoleMode(nativeOf(file), &mode) != 0;
}

int lastError()
{
    const DWORD err = ::GetLastError();
    return err == 0 ? ERROR_GEN_FAILURE : static_cast<int>(err);
}

} // namespace

// A console shows UTF-16 whatever its code page, so the UTF-8 text goes to it as that; a pipe or
// a file gets the bytes themselves, CR LF and all, never a CR added.
int Console::put(std::string_view text)
{
    if (!isConsole(m_output))
        return m_output.write(text.data(), text.size());
    std::wstring wide;
    if (!fileio::wideFromUtf8(text, wide))
        return ERROR_NO_UNICODE_TRANSLATION;
    for (std::size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        if (!::WriteConsoleW(nativeOf(m_output), wide.data() + done, static_cast<DWORD>(wide.size() - done), &written,
                             nullptr))
            return lastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        done += written;
    }
    return 0;
}

// From a console the line comes as UTF-16 and is taken as UTF-8, whatever the console's code
// page; from a pipe or a file the bytes come as they are.
int Console::get(char &c, bool &ended)
{
    ended = false;
    if (!isConsole(m_input)) {
        std::size_t got = 0;
        const int err = m_input.read(&c, 1, got);
        ended = got == 0;
        return err;
    }
    if (m_typed.empty()) {
        wchar_t typed[512];
        DWORD count = 0;
        if (!::ReadConsoleW(nativeOf(m_input), typed, sizeof typed / sizeof typed[0], &count, nullptr))
            return lastError();
        if (count == 0) {
            ended = true;
            return 0;
        }
        m_typed = fileio::utf8FromWide(std::wstring_view(typed, count));
    }
    c = m_typed.front();
    m_typed.erase(0, 1);
    return 0;
}

} // namespace joiner
