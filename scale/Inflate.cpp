#include "Inflate.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int kMaxBits = 15;
// Codes up to this length are decoded with one table look-up; the rare
// longer ones bit by bit.
constexpr int kFastBits = 10;

// Reads the stream's bits, least significant first. Past the end of the
// input it reads zeros and counts them, so a stream that ends too early is
// caught once its block is done.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : m_in(data), m_end(data + size) {}

    void Refill()
    {
        if (m_count > 56)
            return;
        if (m_end - m_in >= 8) {
            // Eight bytes at once; the ones beyond the whole bytes that fit
            // are loaded again, to the same places, by the next refill.
            uint64_t word;
            std::memcpy(&word, m_in, 8);
            m_bits |= word << m_count;
            const int bytes = (63 - m_count) >> 3;
            m_in += bytes;
            m_count += bytes * 8;
            return;
        }
        while (m_count <= 56) {
            uint64_t byte = 0;
            if (m_in < m_end)
                byte = *m_in++;
            else
                ++m_padding;
            m_bits |= byte << m_count;
            m_count += 8;
        }
    }
    // Up to 32 bits; Refill first when fewer may be buffered.
    uint32_t Peek(int n) const { return static_cast<uint32_t>(m_bits & ((uint64_t{1} << n) - 1)); }
    void Drop(int n)
    {
        m_bits >>= n;
        m_count -= n;
    }
    uint32_t Take(int n)
    {
        if (m_count < n)
            Refill();
        const uint32_t v = Peek(n);
        Drop(n);
        return v;
    }
    // Drops what is left of the current byte.
    void AlignToByte() { Drop(m_count % 8); }
    // Whether the reader has used bits beyond the end of the input.
    bool Overrun() const { return static_cast<int64_t>(m_padding) * 8 > m_count; }
    // The unread whole bytes, buffered ones first, for a stored block.
    bool TakeBytes(uint8_t* out, size_t n)
    {
        while (n && m_count >= 8) {
            *out++ = static_cast<uint8_t>(m_bits);
            Drop(8);
            --n;
        }
        if (Overrun() || static_cast<size_t>(m_end - m_in) < n)
            return false;
        if (n) {
            // The buffer is empty now, but for the bits of the bytes at m_in
            // that the last refill loaded beyond its whole bytes: these bytes
            // are about to be skipped, and a later refill would merge their
            // bits into those of the bytes after them.
            m_bits = 0;
            m_count = 0;
        }
        std::memcpy(out, m_in, n);
        m_in += n;
        return true;
    }
    // Where the first byte after the ones read is, once the reader is
    // byte-aligned; the bytes still buffered are given back.
    const uint8_t* Rewind()
    {
        const int64_t buffered = m_count / 8 - static_cast<int64_t>(m_padding);
        if (buffered > 0)
            m_in -= buffered;
        m_bits = 0;
        m_count = 0;
        m_padding = 0;
        return m_in;
    }

private:
    const uint8_t* m_in;
    const uint8_t* m_end;
    uint64_t m_bits = 0;
    int m_count = 0;
    size_t m_padding = 0;
};

// A canonical Huffman code: its lengths' counts, its symbols in code order
// and a table of every code up to kFastBits long, indexed by the stream's
// next bits: (symbol << 4) | length, or 0 for a longer code.
struct Huffman {
    uint16_t count[kMaxBits + 1];
    uint16_t symbol[288];
    uint16_t fast[1u << kFastBits];
};

uint32_t Reverse(uint32_t code, int length)
{
    uint32_t r = 0;
    for (int i = 0; i < length; ++i) {
        r = (r << 1) | (code & 1);
        code >>= 1;
    }
    return r;
}

// False for an over-subscribed set of lengths; an incomplete one is allowed
// (a block with one distance code has one).
bool Build(Huffman& h, const uint8_t* lengths, int n)
{
    std::memset(h.count, 0, sizeof h.count);
    for (int i = 0; i < n; ++i)
        ++h.count[lengths[i]];
    h.count[0] = 0;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
        left <<= 1;
        left -= h.count[len];
        if (left < 0)
            return false;
    }
    uint16_t offset[kMaxBits + 2] = {};
    for (int len = 1; len <= kMaxBits; ++len)
        offset[len + 1] = static_cast<uint16_t>(offset[len] + h.count[len]);
    for (int i = 0; i < n; ++i) {
        if (lengths[i])
            h.symbol[offset[lengths[i]]++] = static_cast<uint16_t>(i);
    }
    std::memset(h.fast, 0, sizeof h.fast);
    uint32_t code = 0;
    int k = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
        for (int i = 0; i < h.count[len]; ++i, ++code) {
            const uint16_t sym = h.symbol[k++];
            if (len > kFastBits)
                continue;
            const uint16_t entry = static_cast<uint16_t>((sym << 4) | len);
            for (uint32_t j = Reverse(code, len); j < (1u << kFastBits); j += 1u << len)
                h.fast[j] = entry;
        }
        code <<= 1;
    }
    return true;
}

// -1 when the bits are no code of the table.
int Decode(BitReader& in, const Huffman& h)
{
    in.Refill();
    const uint16_t entry = h.fast[in.Peek(kFastBits)];
    if (entry) {
        in.Drop(entry & 15);
        return entry >> 4;
    }
    int code = 0;
    int first = 0;
    int index = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
        code |= static_cast<int>(in.Take(1));
        const int count = h.count[len];
        if (code - count < first)
            return h.symbol[index + (code - first)];
        index += count;
        first += count;
        first <<= 1;
        code <<= 1;
    }
    return -1;
}

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Inflates into a window of the last output, which it hands to the sink in
// pieces: a picture of megabytes is decompressed without a buffer of its
// size (fresh memory costs more than the decompression itself).
class Inflater {
public:
    Inflater(BitReader& in, size_t outSize, InflateSink& sink) : m_in(in), m_size(outSize), m_sink(sink) {}

    bool Ready() const { return m_window != nullptr; }

    bool Run()
    {
        bool last = false;
        while (!last) {
            last = m_in.Take(1) != 0;
            bool ok = false;
            switch (m_in.Take(2)) {
            case 0:
                ok = Stored();
                break;
            case 1:
                ok = Fixed();
                break;
            case 2:
                ok = Dynamic();
                break;
            default:
                break;
            }
            if (!ok || m_in.Overrun())
                return false;
        }
        return m_total == m_size && Flush();
    }

    uint32_t Adler() const { return (m_adlerB << 16) | m_adlerA; }

private:
    bool Stored()
    {
        m_in.AlignToByte();
        uint8_t header[4];
        if (!m_in.TakeBytes(header, 4))
            return false;
        size_t len = header[0] | (header[1] << 8);
        const size_t inverse = header[2] | (header[3] << 8);
        if ((len ^ 0xFFFF) != inverse || len > m_size - m_total)
            return false;
        while (len) {
            if (!Room(1))
                return false;
            const size_t n = len < kCapacity - m_fill ? len : kCapacity - m_fill;
            if (!m_in.TakeBytes(m_window.get() + m_fill, n))
                return false;
            m_fill += n;
            m_total += n;
            len -= n;
        }
        return true;
    }

    bool Fixed()
    {
        uint8_t lengths[288 + 30];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        std::memset(lengths + 288, 5, 30);
        return Build(m_lit, lengths, 288) && Build(m_dist, lengths + 288, 30) && Codes();
    }

    bool Dynamic()
    {
        static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        const int nlen = static_cast<int>(m_in.Take(5)) + 257;
        const int ndist = static_cast<int>(m_in.Take(5)) + 1;
        const int ncode = static_cast<int>(m_in.Take(4)) + 4;
        if (nlen > 286 || ndist > 30)
            return false;
        uint8_t lengths[320] = {};
        for (int i = 0; i < ncode; ++i)
            lengths[kOrder[i]] = static_cast<uint8_t>(m_in.Take(3));
        if (!Build(m_lit, lengths, 19))
            return false;
        int i = 0;
        while (i < nlen + ndist) {
            const int sym = Decode(m_in, m_lit);
            if (sym < 0)
                return false;
            if (sym < 16) {
                lengths[i++] = static_cast<uint8_t>(sym);
                continue;
            }
            uint8_t value = 0;
            int repeat;
            if (sym == 16) {
                if (i == 0)
                    return false;
                value = lengths[i - 1];
                repeat = 3 + static_cast<int>(m_in.Take(2));
            } else if (sym == 17) {
                repeat = 3 + static_cast<int>(m_in.Take(3));
            } else {
                repeat = 11 + static_cast<int>(m_in.Take(7));
            }
            if (i + repeat > nlen + ndist)
                return false;
            while (repeat--)
                lengths[i++] = value;
        }
        if (lengths[256] == 0) // a block must be able to end
            return false;
        return Build(m_lit, lengths, nlen) && Build(m_dist, lengths + nlen, ndist) && Codes();
    }

    bool Codes()
    {
        for (;;) {
            const int sym = Decode(m_in, m_lit);
            if (sym < 0)
                return false;
            if (sym < 256) {
                if (m_total == m_size || !Room(1))
                    return false;
                m_window[m_fill++] = static_cast<uint8_t>(sym);
                ++m_total;
                continue;
            }
            if (sym == 256)
                return true;
            const int l = sym - 257;
            if (l >= 29)
                return false;
            const size_t len = kLengthBase[l] + m_in.Take(kLengthExtra[l]);
            const int d = Decode(m_in, m_dist);
            if (d < 0 || d >= 30)
                return false;
            const size_t dist = kDistBase[d] + m_in.Take(kDistExtra[d]);
            if (dist > m_total || len > m_size - m_total || !Room(len))
                return false;
            uint8_t* to = m_window.get() + m_fill;
            const uint8_t* from = to - dist;
            if (dist >= len) {
                std::memcpy(to, from, len);
            } else if (dist == 1) {
                std::memset(to, *from, len);
            } else {
                for (size_t k = 0; k < len; ++k)
                    to[k] = from[k];
            }
            m_fill += len;
            m_total += len;
        }
    }

    // Makes room for `need` (at most 258) more bytes in the window: hands
    // what the sink has not had yet to it and keeps the last 32 KB, as far
    // back as a distance reaches.
    bool Room(size_t need)
    {
        if (m_fill + need <= kCapacity)
            return true;
        if (!Flush())
            return false;
        const size_t keep = m_fill < kReach ? m_fill : kReach;
        std::memmove(m_window.get(), m_window.get() + m_fill - keep, keep);
        m_fill = keep;
        m_flushed = keep;
        return true;
    }

    bool Flush()
    {
        const uint8_t* from = m_window.get() + m_flushed;
        const size_t n = m_fill - m_flushed;
        m_flushed = m_fill;
        if (!n)
            return true;
        AddToAdler(from, n);
        return m_sink.Take(from, n);
    }

    void AddToAdler(const uint8_t* p, size_t n)
    {
        while (n) {
            // 5552 bytes keep the sums below 2^32 between reductions.
            size_t chunk = n < 5552 ? n : 5552;
            n -= chunk;
            while (chunk--) {
                m_adlerA += *p++;
                m_adlerB += m_adlerA;
            }
            m_adlerA %= 65521;
            m_adlerB %= 65521;
        }
    }

    static constexpr size_t kReach = 32768;
    static constexpr size_t kCapacity = kReach + 65536;

    BitReader& m_in;
    size_t m_size;
    InflateSink& m_sink;
    std::unique_ptr<uint8_t[]> m_window{new (std::nothrow) uint8_t[kCapacity]};
    size_t m_fill = 0;    // bytes in the window
    size_t m_flushed = 0; // of them, the ones the sink has had
    size_t m_total = 0;   // bytes of output so far
    uint32_t m_adlerA = 1;
    uint32_t m_adlerB = 0;
    Huffman m_lit;
    Huffman m_dist;
};

// Copies the output into one buffer.
class BufferSink final : public InflateSink {
public:
    explicit BufferSink(uint8_t* out) : m_out(out) {}
    bool Take(const uint8_t* data, size_t n) override
    {
        std::memcpy(m_out, data, n);
        m_out += n;
        return true;
    }

private:
    uint8_t* m_out;
};



} // namespace

bool InflateZlib(const uint8_t* data, size_t size, size_t outSize, InflateSink& sink)
{
    if (!data || size < 6)
        return false;
    const unsigned cmf = data[0];
    const unsigned flg = data[1];
    // Deflate, a window of at most 32 KB, no preset dictionary.
    if ((cmf & 15) != 8 || (cmf >> 4) > 7 || (cmf * 256 + flg) % 31 != 0 || (flg & 0x20))
        return false;
    BitReader in(data + 2, size - 2);
    Inflater inflater(in, outSize, sink);
    if (!inflater.Ready() || !inflater.Run())
        return false;
    in.AlignToByte();
    const uint8_t* rest = in.Rewind();
    if (data + size - rest < 4)
        return false;
    const uint32_t check = (uint32_t{rest[0]} << 24) | (uint32_t{rest[1]} << 16) | (uint32_t{rest[2]} << 8) | rest[3];
    return check == inflater.Adler();
}

bool InflateZlib(const uint8_t* data, size_t size, uint8_t* out, size_t outSize)
{
    if (!out && outSize)
        return false;
    BufferSink sink(out);
    return InflateZlib(data, size, outSize, sink);
}
