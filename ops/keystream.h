// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ops {

// The key file's bytes as an endless stream: after its last byte it begins again at its first.
// A key of at most kCacheLimit bytes is read once and then repeated from memory.
class KeyStream {
public:
    static constexpr std::size_t kCacheLimit = std::size_t{256} << 10;

    // Takes the key's size now; the key stays open for as long as the stream is used. `path` names
    // it in failures.
    KeyStream(fileio::File &key, const std::string &path);

    // The next n key bytes. Throws Failure: "Read beyond end of file" for an empty key (or one
    // that shrank meanwhile), the I/O report of a failed read.
    void fill(unsigned char *out, std::size_t n);

private:
    std::size_t chunk(std::size_t n) const;

    fileio::File &m_key;
    std::string m_path;
    std::int64_t m_size = 0;
    std::int64_t m_position = 0;
    std::unique_ptr<unsigned char[]> m_cache;
};

} // namespace ops
