#pragma once
// Decompression of a zlib stream (a deflate stream with its two-byte header
// and Adler-32 check), as the art generator's PNG pictures carry them.
#include <cstddef>
#include <cstdint>

// Receives the decompressed bytes in order, in pieces of any length (each
// good only during the call); false stops the decompression, which then
// fails.
class InflateSink {
public:
    virtual bool Take(const uint8_t* data, size_t n) = 0;

protected:
    ~InflateSink() = default;
};

// Decompresses `size` bytes of a zlib stream, exactly `outSize` bytes of
// output, handing them to `sink` as they come. False when the stream is
// damaged, does not check out, would give more or fewer bytes than
// `outSize`, or the sink stops it; the sink may have had some of the bytes
// by then. Never reads outside `data`.
bool InflateZlib(const uint8_t* data, size_t size, size_t outSize, InflateSink& sink);

// Decompresses `size` bytes of a zlib stream into exactly `outSize` bytes at
// `out`. False when the stream is damaged, does not check out, or would give
// more or fewer bytes than `outSize`; `out` then holds no meaningful data.
// Never reads or writes outside the two buffers.
bool InflateZlib(const uint8_t* data, size_t size, uint8_t* out, size_t outSize);
