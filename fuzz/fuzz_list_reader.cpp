// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the joiner's info.txt: the reader ends, holds no line longer than the cap, and
// hands back lines that together with their ends are no more than the file.
#include "recons_tool/joiner_failure.h"
#include "recons_tool/list_reader.h"
#include "recons_tool/name_limit.h"

#include "fileio/file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// One file in memory, refilled for every input.
int listFile()
{
    static const int fd = ::memfd_create("info.txt", MFD_CLOEXEC);
    require(fd >= 0, "no memory file");
    return fd;
}

void fill(int fd, const std::uint8_t *data, std::size_t size)
{
    require(::ftruncate(fd, 0) == 0, "ftruncate");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        require(n > 0, "pwrite");
        done += static_cast<std::size_t>(n);
    }
    require(::lseek(fd, 0, SEEK_SET) == 0, "lseek");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int fd = listFile();
    fill(fd, data, size);
    fileio::File file(fd);
    std::size_t lines = 0;
    std::size_t consumed = 0;
    try {
        recons_tool::ListReader reader(file);
        while (!reader.atEnd()) {
            const std::string line = reader.readLine();
            require(line.size() <= recons_tool::kMaxNameBytes + 1, "a line beyond the cap");
            require(line.find('\r') == std::string::npos, "a CR inside a line");
            require(line.find('\x1a') == std::string::npos, "a Ctrl-Z inside a line");
            consumed += line.size() + 1;
            require(consumed <= size + 1, "more text than the file holds");
            require(++lines <= size, "more lines than bytes");
        }
    } catch (const recons_tool::JoinerFailure &) {
        require(false, "reading a memory file failed");
    }
    file.release();
    return 0;
}
