#include "ScreenShot.h"

#include <cstdio>
#include <vector>

bool RequestShot(HWND Window, const std::wstring& Path, int Margin) {
  RECT r;
  if (!GetWindowRect(Window, &r)) return false;
  InflateRect(&r, Margin, Margin);
  const std::wstring request = Path + L".request", picture = Path + L".bmp";
  DeleteFileW(picture.c_str());
  // Written under another name first, so the script never reads half a request.
  const std::wstring draft = Path + L".draft";
  std::FILE* file = _wfopen(draft.c_str(), L"w");
  if (!file) return false;
  std::fprintf(file, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(file);
  if (!MoveFileExW(draft.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  for (int i = 0; i < 400 && GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(25);
  return GetFileAttributesW(picture.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool LoadShot(const std::wstring& Path, TBitmap& Picture) {
  std::FILE* file = _wfopen((Path + L".bmp").c_str(), L"rb");
  if (!file) return false;
  std::vector<unsigned char> data;
  unsigned char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    data.insert(data.end(), chunk, chunk + n);
  std::fclose(file);
  auto word = [&](std::size_t at) {
    return at + 4 <= data.size() ? static_cast<long>(data[at] | data[at + 1] << 8 |
                                                     data[at + 2] << 16 | data[at + 3] << 24)
                                 : 0L;
  };
  const long offset = word(10), width = word(18), height = word(22);
  const int bits = data.size() > 29 ? data[28] : 0;
  if (bits != 24 || width <= 0 || height <= 0) return false;
  const long stride = (width * 3 + 3) / 4 * 4;
  if (static_cast<std::size_t>(offset + stride * height) > data.size()) return false;
  Picture.SetSize(width, height);
  for (long y = 0; y < height; ++y) {
    const unsigned char* row = &data[offset + (height - 1 - y) * stride];
    for (long x = 0; x < width; ++x)
      Picture.Bits()[y * width + x] = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
  }
  return true;
}
