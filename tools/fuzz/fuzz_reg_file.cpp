// The simulated machine's registry file: any bytes parse, and what is written
// parses back to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/sim/SimRegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto tree = sim::ParseRegFile(bytes);
    const std::string written = sim::SerializeRegFile(*tree);
    const auto again = sim::ParseRegFile(written);
    FUZZ_CHECK(sim::SerializeRegFile(*again) == written);
    return 0;
}
