#include "setup/sha256_blocks.h"

#include <immintrin.h>

// Only this function is compiled for the SHA extensions and SSE4.1; the
// rest of the program stays Pentium code. It is entered only after CPUID
// reported the extensions (ProcessorHasShaExtensions), so the instructions
// it holds never run on a processor without them. force_align_arg_pointer:
// 32-bit Windows keeps the stack to 4 bytes, the 16-byte values need 16.
__attribute__((target("sha,sse4.1"), force_align_arg_pointer)) void
CompressBlocksWithShaExtensions(std::uint32_t* state, const std::uint8_t* blocks,
                                std::size_t count) {
    // The instructions want the state as ABEF and CDGH, and the message
    // words big-endian.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        // message[g % 4] holds words 4g .. 4g+3 of the schedule.
        __m128i message[4];
#pragma GCC unroll 16
        for (int g = 0; g < 16; ++g) {
            __m128i words;
            if (g < 4) {
                words = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * g)), byteSwap);
            } else {
                __m128i sum = _mm_sha256msg1_epu32(message[g & 3], message[(g + 1) & 3]);
                sum = _mm_add_epi32(sum, _mm_alignr_epi8(message[(g + 3) & 3],
                                                         message[(g + 2) & 3], 4));
                words = _mm_sha256msg2_epu32(sum, message[(g + 3) & 3]);
            }
            message[g & 3] = words;
            __m128i withConstants = _mm_add_epi32(
                words,
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants + 4 * g)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, withConstants);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(withConstants, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
