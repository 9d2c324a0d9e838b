#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nettle/sha2.h>

namespace digest {

using Sha256Digest = std::array<unsigned char, SHA256_DIGEST_SIZE>;

// SHA-256 through Nettle, which uses the processor's SHA instructions where it has them.
class Sha256 {
public:
    Sha256() { sha256_init(&m_context); }

    void update(const void *data, std::size_t n)
    {
        sha256_update(&m_context, n, static_cast<const std::uint8_t *>(data));
    }
    // The digest of every byte given since the start, and a fresh start.
    Sha256Digest finish();

private:
    sha256_ctx m_context;
};

// 64 lower-case hexadecimal digits.
std::string toHex(const Sha256Digest &digest);
// 64 hexadecimal digits of either case; nothing for any other text.
std::optional<Sha256Digest> digestFromHex(std::string_view text);

} // namespace digest
