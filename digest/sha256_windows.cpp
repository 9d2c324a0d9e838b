// SPDX-License-Identifier: GPL-3.0-or-later
#include "sha256.h"

#include <algorithm>
#include <new>

#include <windows.h>

#include <bcrypt.h>

namespace digest {

namespace {

// CNG fails only when it cannot get what it needs to work with.
void check(NTSTATUS status)
{
    if (!BCRYPT_SUCCESS(status))
        throw std::bad_alloc();
}

// Opened once for the whole run.
BCRYPT_ALG_HANDLE algorithm()
{
    static const BCRYPT_ALG_HANDLE handle = [] {
        BCRYPT_ALG_HANDLE opened = nullptr;
        check(::BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
        return opened;
    }();
    return handle;
}

BCRYPT_HASH_HANDLE newHash()
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    check(::BCryptCreateHash(algorithm(), &hash, nullptr, 0, nullptr, 0, 0));
    return hash;
}

} // namespace

struct Sha256::State {
    BCRYPT_HASH_HANDLE hash = newHash();
    ~State() { ::BCryptDestroyHash(hash); }
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256 &&) noexcept = default;
Sha256 &Sha256::operator=(Sha256 &&) noexcept = default;

void Sha256::update(const void *data, std::size_t n)
{
    // BCryptHashData takes at most 4 GiB less one byte a call.
    constexpr std::size_t kMaxCall = std::size_t{1} << 30;
    auto *p = static_cast<PUCHAR>(const_cast<void *>(data));
    while (n > 0) {
        const std::size_t step = std::min(n, kMaxCall);
        check(::BCryptHashData(m_state->hash, p, static_cast<ULONG>(step), 0));
        p += step;
        n -= step;
    }
}

Sha256Digest Sha256::finish()
{
    Sha256Digest digest{};
    check(::BCryptFinishHash(m_state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    // A finished hash object takes no more data: the next digest starts on a new one.
    m_state = std::make_unique<State>();
    return digest;
}

} // namespace digest
