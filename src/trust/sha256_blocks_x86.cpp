// The SHA extensions' block function, compiled for them alone and used only
// where cpuid reports them, so the rest of the program runs on any x86-64.
#include <cpuid.h>
#include <immintrin.h>

#include "trust/sha256_blocks.h"

#define SHA_EXTENSIONS __attribute__((target("sha,ssse3,sse4.1")))

namespace {

// Four rounds on the words `w` (in order, lowest lane first), the state
// held as the instructions want it: A,B,E,F and C,D,G,H.
SHA_EXTENSIONS inline void FourRounds(__m128i& abef, __m128i& cdgh, __m128i w, int group) {
  const __m128i wk =
      _mm_add_epi32(w, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants + 4 * group)));
  cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
  // Two rounds shift the state by two places: the halves trade roles.
  abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0e));
}

// Words i..i+3 of the schedule from the four groups before them.
SHA_EXTENSIONS inline __m128i NextWords(__m128i minus16, __m128i minus12, __m128i minus8, __m128i minus4) {
  const __m128i minus7 = _mm_alignr_epi8(minus4, minus8, 4);
  return _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(minus16, minus12), minus7), minus4);
}

SHA_EXTENSIONS void ShaExtensionBlocks(std::uint32_t state[8], const unsigned char* blocks, std::size_t count) {
  const __m128i bigEndian = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  // Lanes named from the lowest: A,B,E,F is F,E,B,A in a register.
  const __m128i badc = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xb1);
  const __m128i hgfe = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1b);
  __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);
  __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xf0);

  for (; count > 0; --count, blocks += 64) {
    const __m128i startAbef = abef, startCdgh = cdgh;
    const __m128i* in = reinterpret_cast<const __m128i*>(blocks);
    __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(in + 0), bigEndian);
    __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), bigEndian);
    __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), bigEndian);
    __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), bigEndian);
    FourRounds(abef, cdgh, w0, 0);
    FourRounds(abef, cdgh, w1, 1);
    FourRounds(abef, cdgh, w2, 2);
    FourRounds(abef, cdgh, w3, 3);
    for (int group = 4; group < 16; group += 4) {
      w0 = NextWords(w0, w1, w2, w3);
      FourRounds(abef, cdgh, w0, group);
      w1 = NextWords(w1, w2, w3, w0);
      FourRounds(abef, cdgh, w1, group + 1);
      w2 = NextWords(w2, w3, w0, w1);
      FourRounds(abef, cdgh, w2, group + 2);
      w3 = NextWords(w3, w0, w1, w2);
      FourRounds(abef, cdgh, w3, group + 3);
    }
    abef = _mm_add_epi32(abef, startAbef);
    cdgh = _mm_add_epi32(cdgh, startCdgh);
  }

  // Back to A,B,C,D and E,F,G,H.
  const __m128i lanesAbef = _mm_shuffle_epi32(abef, 0x1b);
  const __m128i lanesGhcd = _mm_shuffle_epi32(cdgh, 0xb1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(lanesAbef, lanesGhcd, 0xf0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(lanesGhcd, lanesAbef, 8));
}

bool CpuHasShaExtensions() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_SSSE3) || !(ecx & bit_SSE4_1)) return false;
  return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_SHA);
}

}  // namespace

Sha256Blocks ShaExtensionSha256Blocks() {
  static const Sha256Blocks blocks = CpuHasShaExtensions() ? ShaExtensionBlocks : nullptr;
  return blocks;
}
