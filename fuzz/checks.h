#pragma once

// The properties behind the fuzzers, one function per place where outside data comes in. The
// fuzzers call them on generated inputs; the normal test suite replays the saved inputs through
// them. Each returns an empty string when every property holds, otherwise what failed.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz_checks {

// The bytes are the store file; the three names the game reads are read from it, then one is
// saved and everything read again.
std::string store(const std::uint8_t* data, std::size_t size);

// The first two bytes choose PSwap positions, the third how many characters (up to 24) of the
// position string after them are searched; 1 input in 8 also seeds MapList by hand.
std::string solver(const std::uint8_t* data, std::size_t size);

// The bytes are a page address, and also the seed of addresses the site really uses.
std::string site(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz_checks
