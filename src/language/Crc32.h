#pragma once
// The CRC-32 of zip entries (polynomial 0xEDB88320, as zlib's crc32). Calls chain:
// Crc32(Crc32(0, a), b) is the CRC of a followed by b, so data may be fed in pieces.
// Processors with carry-less multiplication fold 64 bytes a step; others take a
// portable eight-bytes-a-step table path with the same results.
#include <cstddef>
#include <cstdint>

uint32_t Crc32(uint32_t crc, const void* data, size_t size);
// The portable path alone, for comparing against the fast one.
uint32_t Crc32Portable(uint32_t crc, const void* data, size_t size);
