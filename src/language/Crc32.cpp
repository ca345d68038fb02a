#include "language/Crc32.h"

#include <array>
#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define SETUP_CRC32_CLMUL 1
#include <immintrin.h>
#endif

namespace {

// Slicing by eight: table k gives the CRC of a byte followed by k zero bytes.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables MakeTables()
{
    Tables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k)
            t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
    return t;
}
constexpr Tables kTables = MakeTables();

// On the inverted register, as the folding path works too.
uint32_t TableCrc(uint32_t c, const unsigned char* p, size_t n)
{
    for (; n >= 8; n -= 8, p += 8) {
        // Byte by byte, so that the byte order of the machine does not matter.
        const uint32_t lo = c ^ (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
        c = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
            kTables[4][lo >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        c = kTables[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c;
}

#ifdef SETUP_CRC32_CLMUL
#define SETUP_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

SETUP_CLMUL_TARGET inline __m128i Load(const unsigned char* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x times x^k mod P, in its two halves, added to the next lane.
SETUP_CLMUL_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// Folding by carry-less multiplication (Gopal et al., "Fast CRC Computation for
// Generic Polynomials Using PCLMULQDQ"): four 128-bit lanes folded 64 bytes a
// step, then into one lane and reduced to 32 bits. Takes a multiple of 16 bytes,
// at least 64.
SETUP_CLMUL_TARGET uint32_t FoldCrc(uint32_t c, const unsigned char* p, size_t n)
{
    alignas(16) static const uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[] = {0x01db710641, 0x01f7011641};
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    p += 64, n -= 64;
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    for (; n >= 64; p += 64, n -= 64) {
        x1 = Fold(x1, k, Load(p));
        x2 = Fold(x2, k, Load(p + 16));
        x3 = Fold(x3, k, Load(p + 32));
        x4 = Fold(x4, k, Load(p + 48));
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = Fold(x1, k, x2);
    x1 = Fold(x1, k, x3);
    x1 = Fold(x1, k, x4);
    for (; n >= 16; p += 16, n -= 16)
        x1 = Fold(x1, k, Load(p));

    // 128 bits to 64, then to 32 by Barrett reduction.
    const __m128i mask = _mm_setr_epi32(-1, 0, -1, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), x2);
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2 = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10), mask);
    x2 = _mm_clmulepi64_si128(x2, k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

bool HasClmul()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return has;
}
#endif

}  // namespace

uint32_t Crc32Portable(uint32_t crc, const void* data, size_t size)
{
    return ~TableCrc(~crc, static_cast<const unsigned char*>(data), size);
}

uint32_t Crc32(uint32_t crc, const void* data, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    uint32_t c = ~crc;
#ifdef SETUP_CRC32_CLMUL
    if (size >= 64 && HasClmul()) {
        const size_t whole = size & ~size_t{15};
        c = FoldCrc(c, p, whole);
        p += whole;
        size -= whole;
    }
#endif
    return ~TableCrc(c, p, size);
}
