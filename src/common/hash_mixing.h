// The multiplier of the small hash tables that spare repeated texts their
// look-ups (date texts, record labels, packed amounts): 2^64 divided by the
// golden ratio, made odd. Multiplying by it spreads every input bit over the
// high bits, from which the tables take their index.
#pragma once

#include <cstdint>

constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15u;
