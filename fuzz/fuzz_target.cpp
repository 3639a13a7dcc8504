// libFuzzer entry point; TESSLE_FUZZ_CHECK names the check of fuzz/checks.h it runs.
#include "checks.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = fuzz_checks::TESSLE_FUZZ_CHECK(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "property failed: %s\n", failure.c_str());
        __builtin_trap();
    }
    return 0;
}
