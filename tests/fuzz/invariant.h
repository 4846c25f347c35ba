// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <cstdlib>

namespace kestrin::fuzz {

// A broken invariant is a finding: say which one, then abort so that
// libFuzzer keeps the input and the replay test fails.
inline void require(bool holds, const char *invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "reception invariant broken: %s\n", invariant);
    std::abort();
}

} // namespace kestrin::fuzz
