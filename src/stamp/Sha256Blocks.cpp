#include "stamp/Sha256Blocks.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>

bool Sha256ProcessorBlocksAvailable() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  const bool sha = b & (1u << 29);
  return ssse3 && sse41 && sha;
}

// The instructions keep the state as the lane pairs ABEF and CDGH, four rounds per group of
// four message words; the schedule for later groups comes from the four groups before.
__attribute__((target("sha,sse4.1,ssse3"))) void Sha256ProcessorBlocks(uint32_t State[8],
                                                                       const uint8_t* Data,
                                                                       size_t Count) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&State[0]));
  __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&State[4]));
  const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
  const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

  for (; Count > 0; --Count, Data += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i words[4];
#pragma GCC unroll 16
    for (int group = 0; group < 16; ++group) {
      __m128i& current = words[group % 4];
      if (group < 4) {
        current = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + 16 * group)), byteSwap);
      } else {
        const __m128i& older = words[(group + 1) % 4];
        const __m128i& previous = words[(group + 2) % 4];
        const __m128i& last = words[(group + 3) % 4];
        current = _mm_sha256msg1_epu32(current, older);
        current = _mm_add_epi32(current, _mm_alignr_epi8(last, previous, 4));
        current = _mm_sha256msg2_epu32(current, last);
      }
      __m128i message = _mm_add_epi32(
          current,
          _mm_load_si128(reinterpret_cast<const __m128i*>(Sha256RoundConstants + 4 * group)));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
      message = _mm_shuffle_epi32(message, 0x0E);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }

  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  dcba = _mm_blend_epi16(feba, dchg, 0xF0);
  hgfe = _mm_alignr_epi8(dchg, feba, 8);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&State[0]), dcba);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&State[4]), hgfe);
}

#else

bool Sha256ProcessorBlocksAvailable() { return false; }
void Sha256ProcessorBlocks(uint32_t*, const uint8_t*, size_t) {}

#endif
