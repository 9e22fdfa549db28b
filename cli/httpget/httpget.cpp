// httpget URL OUTFILE [--read-timeout MS] [--events] [--location]
// One GET into OUTFILE, as the wizard downloads an archive part. Exit 0 on success; on an
// exception exit 1 with "<ExceptionClassName>: <message>" on stderr; 2 for a bad command line.
// With --events the work events go to stdout as "begin <max>", "work <count>", "end".
// With --location redirects are followed by the client's own redirect handling.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "http/NetException.h"
#include "http/NetHTTP.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define MIRPAN_FSEEK _fseeki64
#else
#include <unistd.h>
#define MIRPAN_FSEEK fseeko
#endif

namespace {

constexpr int32_t DefaultReadTimeout = 12000;  // the wizard's setting

// The download target. Each block goes to the file in one write of its own: the client
// hands over whole 32 KiB blocks, and a stdio buffer would only copy them once more and
// split them into smaller writes.
class TFileStream : public TNetStream {
 public:
  explicit TFileStream(const char* fileName) : FFile(std::fopen(fileName, "w+b")) {
    if (FFile == nullptr) throw Exception(NetFormat("Cannot open file %s", fileName));
    std::setvbuf(FFile, nullptr, _IONBF, 0);
  }
  ~TFileStream() override {
    if (FFile != nullptr) std::fclose(FFile);
  }

  void Close() {
    std::FILE* file = FFile;
    FFile = nullptr;
    if (std::fclose(file) != 0) throw Exception("Stream write error");
  }

  int64_t Position() const override { return FPosition; }
  void SetPosition(int64_t position) override {
    FPosition = position;
    Seek();
  }
  int64_t Size() const override { return FSize; }
  // Growth is left to the writes that follow: extending the file ahead of them costs the
  // file system more than the writes alone. A cut must reach the file at once.
  void SetSize(int64_t size) override {
    if (size < FSize) Truncate(size);
    FSize = size;
    SetPosition(FPosition > size ? size : FPosition);
  }
  void Write(const void* buffer, size_t count) override {
    if (std::fwrite(buffer, 1, count, FFile) != count) throw Exception("Stream write error");
    FPosition += static_cast<int64_t>(count);
    if (FPosition > FSize) FSize = FPosition;
  }
  size_t Read(void* buffer, size_t count) override {
    size_t done = std::fread(buffer, 1, count, FFile);
    FPosition += static_cast<int64_t>(done);
    return done;
  }

 private:
  void Truncate(int64_t size) {
    if (std::fflush(FFile) != 0) throw Exception("Stream write error");
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(FFile)));
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool failed = !SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle);
#else
    bool failed = ftruncate(fileno(FFile), static_cast<off_t>(size)) != 0;
#endif
    if (failed) throw Exception("Stream write error");
  }

  void Seek() {
    if (MIRPAN_FSEEK(FFile, FPosition, SEEK_SET) != 0) throw Exception("Stream read error");
  }

  std::FILE* FFile;
  int64_t FPosition = 0;
  int64_t FSize = 0;
};

std::string OneLine(const std::string& text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
  }
  return line;
}

int Usage() {
  std::fputs("usage: httpget URL OUTFILE [--read-timeout MS] [--events] [--location]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const char* url = argv[1];
  const char* outFile = argv[2];
  int32_t readTimeout = DefaultReadTimeout;
  bool events = false;
  bool location = false;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--events") == 0) {
      events = true;
    } else if (std::strcmp(argv[i], "--location") == 0) {
      location = true;
    } else if (std::strcmp(argv[i], "--read-timeout") == 0 && i + 1 < argc) {
      readTimeout = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
    } else {
      return Usage();
    }
  }

  try {
    TFileStream stream(outFile);
    TNetHTTP http;
    http.ReadTimeout = readTimeout;
    http.HandleRedirects = location;
    if (events) {
      http.OnWorkBegin = [](TNetComponent*, TWorkMode, int32_t max) {
        std::printf("begin %d\n", static_cast<int>(max));
      };
      http.OnWork = [](TNetComponent*, TWorkMode, int32_t count) {
        std::printf("work %d\n", static_cast<int>(count));
      };
      http.OnWorkEnd = [](TNetComponent*, TWorkMode) { std::printf("end\n"); };
    }
    http.Get(url, stream);
    // The client hands back the last redirect of a chain too long to follow, with no body.
    if (http.Response().ResponseCode() / 100 == 3) {
      throw ENetException("Too many redirects, the last: " + http.Response().ResponseText);
    }
    stream.Close();
  } catch (const Exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", error.ClassName(), OneLine(error.Message()).c_str());
    return 1;
  }
  std::fflush(stdout);
  return 0;
}
