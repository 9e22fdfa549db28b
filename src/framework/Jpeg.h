#pragma once
// JPEG decoding for the pictures of the layouts. Kept apart from windows.h, whose
// `boolean` clashes with the JPEG library's.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TJpegPixels {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;  // 3 bytes a pixel, rows top to bottom
};

// Throws Exception("JPEG error #...: ...") when the data is not a readable JPEG picture.
TJpegPixels DecodeJpeg(const std::uint8_t* data, std::size_t size);
