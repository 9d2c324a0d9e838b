// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace digest {

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 through the system's library: Nettle on Linux (sha256_nettle.cpp), which uses the
// processor's SHA instructions where it has them; CNG on Windows (sha256_windows.cpp).
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(Sha256 &&) noexcept;
    Sha256 &operator=(Sha256 &&) noexcept;

    void update(const void *data, std::size_t n);
    // The digest of every byte given since the start, and a fresh start.
    Sha256Digest finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// 64 lower-case hexadecimal digits.
std::string toHex(const Sha256Digest &digest);
// 64 hexadecimal digits of either case; nothing for any other text.
std::optional<Sha256Digest> digestFromHex(std::string_view text);

} // namespace digest
