/* The practical limit for extraction on this machine: for each entry of a manifest, read
 * its data in 1 MiB blocks, inflate into a fixed buffer, run CRC-32 and write(2) the
 * output. No directory parsing, no checks beyond the CRC: what any extractor must at
 * least do.
 *   RefInflate MANIFEST ARCHIVE DESTDIR
 * Manifest lines: data-offset compressed-size method crc32 path (path last, may hold
 * spaces). */
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

enum { kBlock = 1 << 20, kOut = 1 << 20 };

static void MakeParents(char* path) {
  for (char* p = path + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    if (mkdir(path, 0777) != 0 && errno != EEXIST) perror(path);
    *p = '/';
  }
}

static int WriteAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put <= 0) return -1;
    data += put;
    size -= (size_t)put;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: RefInflate MANIFEST ARCHIVE DESTDIR\n");
    return 2;
  }
  FILE* manifest = fopen(argv[1], "r");
  int archive = open(argv[2], O_RDONLY);
  if (!manifest || archive < 0) return 2;
  unsigned char* in = malloc(kBlock);
  unsigned char* out = malloc(kOut);
  z_stream z;
  memset(&z, 0, sizeof z);
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return 2;
  char line[8192], path[8192];
  int bad = 0;
  while (fgets(line, sizeof line, manifest)) {
    long long offset, size;
    int method, used = 0;
    unsigned long expected;
    if (sscanf(line, "%lld %lld %d %lx %n", &offset, &size, &method, &expected, &used) < 4)
      continue;
    line[strcspn(line, "\n")] = '\0';
    snprintf(path, sizeof path, "%s/%s", argv[3], line + used);
    MakeParents(path);
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
      perror(path);
      bad = 1;
      continue;
    }
    uLong crc = crc32(0, Z_NULL, 0);
    inflateReset(&z);
    for (long long done = 0; done < size;) {
      size_t n = size - done < kBlock ? (size_t)(size - done) : kBlock;
      if (pread(archive, in, n, offset + done) != (ssize_t)n) break;
      if (method == 0) {
        crc = crc32(crc, in, (uInt)n);
        WriteAll(fd, in, n);
      } else {
        z.next_in = in;
        z.avail_in = (uInt)n;
        int result;
        do {
          z.next_out = out;
          z.avail_out = kOut;
          result = inflate(&z, Z_NO_FLUSH);
          size_t got = kOut - z.avail_out;
          crc = crc32(crc, out, (uInt)got);
          WriteAll(fd, out, got);
        } while (result == Z_OK && (z.avail_in > 0 || z.avail_out == 0));
      }
      done += (long long)n;
    }
    close(fd);
    if (crc != expected) bad = 1;
  }
  inflateEnd(&z);
  return bad;
}
