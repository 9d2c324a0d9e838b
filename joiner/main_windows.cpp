// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"
#include "joiner.h"

#include "fileio/file.h"
#include "fileio/wide_text.h"
#include "lists/set_names.h"

#include <windows.h>

namespace {

// The program's own file name as Windows knows it, in UTF-8.
std::string moduleName()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return lists::kWindowsJoinerName;
    return fileio::namePart(fileio::utf8FromWide(std::wstring_view(path, length)));
}

fileio::NativeHandle standardHandle(DWORD which)
{
    return reinterpret_cast<fileio::NativeHandle>(::GetStdHandle(which));
}

} // namespace

int main()
{
    // Windows calls and not the C library's streams carry the dialogue: no text mode can turn
    // its CR LF into CR CR LF.
    joiner::Console console(standardHandle(STD_INPUT_HANDLE), standardHandle(STD_OUTPUT_HANDLE));
    return joiner::runJoiner(console, moduleName());
}
