#define _GNU_SOURCE /* memmem */
/* The practical limit for a download on this machine: one GET, then receives of up to 1 MiB
 * until the server closes, each written with write(2) in 32 KiB pieces, as the client does
 * with a body. No parsing beyond the end of the head.
 *   BareLoop PORT PATH OUTFILE */
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

enum { kReceive = 1 << 20, kWrite = 32768 };

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: BareLoop PORT PATH OUTFILE\n");
    return 2;
  }
  int s = socket(AF_INET, SOCK_STREAM, 0);
  struct sockaddr_in peer;
  memset(&peer, 0, sizeof peer);
  peer.sin_family = AF_INET;
  peer.sin_port = htons((unsigned short)atoi(argv[1]));
  peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, (struct sockaddr*)&peer, sizeof peer) != 0) return perror("connect"), 1;
  char request[512];
  int length = snprintf(request, sizeof request,
                        "GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n", argv[2]);
  if (send(s, request, (size_t)length, 0) != length) return perror("send"), 1;
  int out = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) return perror(argv[3]), 1;
  static char buffer[kReceive];
  int inBody = 0;
  ssize_t got;
  while ((got = recv(s, buffer, kReceive, 0)) > 0) {
    char* data = buffer;
    if (!inBody) {
      char* end = memmem(buffer, (size_t)got, "\r\n\r\n", 4); /* head fits the first read */
      if (end == NULL) continue;
      inBody = 1;
      got -= end + 4 - buffer;
      data = end + 4;
    }
    for (ssize_t at = 0; at < got; at += kWrite) {
      size_t piece = got - at < kWrite ? (size_t)(got - at) : kWrite;
      if (write(out, data + at, piece) != (ssize_t)piece) return perror("write"), 1;
    }
  }
  close(out);
  close(s);
  return 0;
}
