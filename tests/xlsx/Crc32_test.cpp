#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "language/Crc32.h"

namespace {

uint32_t ZlibCrc(const std::string& s, size_t from, size_t length)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(s.data() + from), static_cast<uInt>(length)));
}

TEST(Crc32, KnownValues)
{
    EXPECT_EQ(0xCBF43926u, Crc32(0, "123456789", 9));
    EXPECT_EQ(0xCBF43926u, Crc32Portable(0, "123456789", 9));
    EXPECT_EQ(0u, Crc32(0, "", 0));
    const std::string fox = "The quick brown fox jumps over the lazy dog, then over it again and again.";
    EXPECT_EQ(ZlibCrc(fox, 0, fox.size()), Crc32(0, fox.data(), fox.size()));
}

// Every length and start around the folding path's 16- and 64-byte steps, and pieces
// split at odd places, give zlib's value on both paths.
TEST(Crc32, AgreesWithZlibAtEveryLengthOffsetAndSplit)
{
    std::string data;
    for (uint32_t i = 0, x = 7; i < 70000; ++i, x = x * 1103515245 + 12345)
        data += static_cast<char>(x >> 23);
    for (size_t from : {0, 1, 3, 8, 15}) {
        for (size_t length = 0; length < 300; ++length) {
            const uint32_t want = ZlibCrc(data, from, length);
            ASSERT_EQ(want, Crc32(0, data.data() + from, length)) << from << " " << length;
            ASSERT_EQ(want, Crc32Portable(0, data.data() + from, length)) << from << " " << length;
        }
    }
    const uint32_t whole = ZlibCrc(data, 0, data.size());
    EXPECT_EQ(whole, Crc32(0, data.data(), data.size()));
    for (size_t split : {1, 63, 64, 65, 4097, 65536, 69999}) {
        const uint32_t first = Crc32(0, data.data(), split);
        EXPECT_EQ(whole, Crc32(first, data.data() + split, data.size() - split)) << split;
        EXPECT_EQ(whole, Crc32Portable(Crc32Portable(0, data.data(), split), data.data() + split, data.size() - split))
            << split;
    }
}

}  // namespace
