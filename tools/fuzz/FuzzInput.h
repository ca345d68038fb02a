#pragma once
// Splitting one fuzz input into the several things a target needs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/UString.h"

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    uint8_t Byte()
    {
        if (rest_.empty())
            return 0;
        const auto b = static_cast<uint8_t>(rest_[0]);
        rest_.remove_prefix(1);
        return b;
    }
    // A 16-bit little-endian length, then that many bytes (fewer at the end).
    std::string Part()
    {
        const size_t length = Byte() | (static_cast<size_t>(Byte()) << 8);
        const std::string part(rest_.substr(0, length));
        rest_.remove_prefix(part.size());
        return part;
    }
    std::string Rest()
    {
        const std::string all(rest_);
        rest_ = {};
        return all;
    }

private:
    std::string_view rest_;
};

// UTF-16 code units taken two bytes at a time, so that lone surrogates and every
// other unit come through as they would from a UTF-16 file.
inline UString Units(std::string_view bytes)
{
    UString out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
    return out;
}

// A violated property: abort, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            __builtin_printf("FUZZ_CHECK failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                       \
            __builtin_abort();                                                                                         \
        }                                                                                                              \
    } while (0)
