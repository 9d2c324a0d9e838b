// SPDX-License-Identifier: GPL-3.0-or-later
#include "joiner_failure.h"

namespace joiner {

namespace {

[[noreturn]] void throwAt(const fileio::IoError &error, const void *address)
{
    throw JoinerFailure{error, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address))};
}

} // namespace

// Not inlined, so that the return address is the call site of the step that failed.
[[gnu::noinline]] void failStep(const fileio::IoError &error)
{
    throwAt(error, __builtin_extract_return_addr(__builtin_return_address(0)));
}

[[gnu::noinline]] void failStep(int err)
{
    throwAt(fileio::IoError::fromErrno(err), __builtin_extract_return_addr(__builtin_return_address(0)));
}

} // namespace joiner
