// SPDX-License-Identifier: GPL-3.0-or-later
#include "sha256.h"

#include <nettle/sha2.h>

namespace digest {

static_assert(std::tuple_size_v<Sha256Digest> == SHA256_DIGEST_SIZE);

struct Sha256::State {
    sha256_ctx context;
};

Sha256::Sha256() : m_state(std::make_unique<State>())
{
    sha256_init(&m_state->context);
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256 &&) noexcept = default;
Sha256 &Sha256::operator=(Sha256 &&) noexcept = default;

void Sha256::update(const void *data, std::size_t n)
{
    sha256_update(&m_state->context, n, static_cast<const std::uint8_t *>(data));
}

Sha256Digest Sha256::finish()
{
    Sha256Digest digest{};
    // Nettle starts the context afresh after taking the digest.
    sha256_digest(&m_state->context, digest.size(), digest.data());
    return digest;
}

} // namespace digest
