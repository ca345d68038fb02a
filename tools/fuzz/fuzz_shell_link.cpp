// Shortcut files: any bytes decode without harm, and what a decoded link encodes to
// decodes to the same link.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/ShellLinkFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto link = DecodeShellLink(bytes);
    if (!link)
        return 0;
    const std::string encoded = EncodeShellLink(*link);
    const auto back = DecodeShellLink(encoded);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(back->target == link->target);
    FUZZ_CHECK(back->arguments == link->arguments);
    FUZZ_CHECK(back->workingDir == link->workingDir);
    FUZZ_CHECK(back->description == link->description);
    FUZZ_CHECK(back->iconPath == link->iconPath);
    FUZZ_CHECK(back->iconIndex == link->iconIndex);
    return 0;
}
