// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory_file.h"

#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

MemoryFile::MemoryFile(const char *name) : m_file(::memfd_create(name, MFD_CLOEXEC))
{
    require(m_file.isOpen(), "no memory file");
}

fileio::File &MemoryFile::fill(std::string_view bytes)
{
    const int fd = m_file.handle();
    require(::ftruncate(fd, 0) == 0, "ftruncate");
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        require(n > 0, "pwrite");
        done += static_cast<std::size_t>(n);
    }
    require(::lseek(fd, 0, SEEK_SET) == 0, "lseek");
    return m_file;
}

} // namespace fuzz
