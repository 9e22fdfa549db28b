#include "framework/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include "framework/Exception.h"

extern "C" {
#include <jpeglib.h>
}

namespace {

// The library reports fatal errors through error_exit, which must not return. A C++
// exception may not travel through its C frames, so we jump back to DecodeInto instead.
struct TJumpError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Text[JMSG_LENGTH_MAX];
  int Code;
};

void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJumpError*>(info->err);
  error->Code = error->Manager.msg_code;
  error->Manager.format_message(info, error->Text);
  std::longjmp(error->Jump, 1);
}

void OutputNothing(j_common_ptr) {}

// Far beyond any picture of the layouts; a damaged header must not ask for gigabytes.
// 42 stands for the library's "image too big" code, which its public header leaves out.
constexpr std::size_t kMaxPictureBytes = std::size_t(64) << 20;

// Only trivially destructible objects live in this frame, so longjmp out of the library
// leaks nothing but what jpeg_destroy_decompress releases. Pixels go into a buffer that
// the caller sized after the header pass.
bool DecodeInto(const std::uint8_t* data, std::size_t size, TJpegPixels* out, TJumpError* error) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&error->Manager);
  error->Manager.error_exit = ErrorExit;
  error->Manager.output_message = OutputNothing;
  if (setjmp(error->Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out->Width = static_cast<int>(info.output_width);
  out->Height = static_cast<int>(info.output_height);
  std::size_t bytes = std::size_t(info.output_width) * info.output_height * 3;
  if (bytes > kMaxPictureBytes) {
    jpeg_destroy_decompress(&info);
    error->Code = 42;
    std::snprintf(error->Text, sizeof error->Text, "Picture too big");
    return false;
  }
  try {
    out->Rgb.resize(bytes);
  } catch (...) {
    jpeg_destroy_decompress(&info);
    throw;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out->Rgb.data() + std::size_t(info.output_scanline) * info.output_width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

TJpegPixels DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  TJpegPixels pixels;
  TJumpError error{};
  if (!data || size == 0) throw Exception("JPEG error #0: Empty input buffer");
  if (!DecodeInto(data, size, &pixels, &error))
    throw Exception("JPEG error #" + std::to_string(error.Code) + ": " + error.Text);
  return pixels;
}
