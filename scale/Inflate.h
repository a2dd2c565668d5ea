#pragma once
// Decompression of a zlib stream (a deflate stream with its two-byte header
// and Adler-32 check), as the art generator's PNG pictures carry them.
#include <cstddef>
#include <cstdint>

// Decompresses `size` bytes of a zlib stream into exactly `outSize` bytes at
// `out`. False when the stream is damaged, does not check out, or would give
// more or fewer bytes than `outSize`; `out` then holds no meaningful data.
// Never reads or writes outside the two buffers.
bool InflateZlib(const uint8_t* data, size_t size, uint8_t* out, size_t outSize);
