#pragma once
// Pictures in memory, as the loaders and the resampling pass them around.
#include <cstdint>
#include <vector>

// 24-bit blue-green-red pixels, the top row first, rows without padding.
struct Picture24 {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;

    bool Empty() const { return width <= 0 || height <= 0; }
    const uint8_t* Row(int y) const { return bgr.data() + static_cast<size_t>(y) * width * 3; }
    uint8_t* Row(int y) { return bgr.data() + static_cast<size_t>(y) * width * 3; }
};

// 32-bit blue-green-red-alpha pixels (not premultiplied), the top row first.
struct Picture32 {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;

    bool Empty() const { return width <= 0 || height <= 0; }
};
