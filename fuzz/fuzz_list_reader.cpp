// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the joiner's info.txt: the reader ends, holds no line longer than the cap, and
// hands back lines that together with their ends are no more than the file.
#include "memory_file.h"

#include "lists/part_list_reader.h"
#include "lists/name_limit.h"

#include <cstdint>
#include <string>
#include <string_view>

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static fuzz::MemoryFile list("info.txt");
    fileio::File &file = list.fill(std::string_view(reinterpret_cast<const char *>(data), size));
    std::size_t lines = 0;
    std::size_t consumed = 0;
    try {
        lists::PartListReader reader(file);
        while (!reader.atEnd()) {
            const std::string line = reader.readLine();
            require(line.size() <= lists::kMaxNameBytes + 1, "a line beyond the cap");
            require(line.find('\r') == std::string::npos, "a CR inside a line");
            require(line.find('\x1a') == std::string::npos, "a Ctrl-Z inside a line");
            consumed += line.size() + 1;
            require(consumed <= size + 1, "more text than the file holds");
            require(++lines <= size, "more lines than bytes");
        }
    } catch (const lists::ListReadError &) {
        require(false, "reading a memory file failed");
    }
    return 0;
}
