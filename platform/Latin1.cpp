#include "platform/Latin1.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw {

bool narrowToLatin1(char* out, std::u16string_view text) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; text.size() - i >= 8; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i high = _mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF00)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) return false;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < text.size(); ++i) {
        if (text[i] >= 0x100) return false;
        out[i] = static_cast<char>(text[i]);
    }
    return true;
}

void widenToUtf16le(std::uint8_t* out, std::string_view text) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // x86 is little-endian: a byte and a zero byte after it are the UTF-16LE unit.
    for (; text.size() - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi8(v, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), _mm_unpackhi_epi8(v, _mm_setzero_si128()));
    }
#endif
    for (; i < text.size(); ++i) {
        out[2 * i] = static_cast<std::uint8_t>(text[i]);
        out[2 * i + 1] = 0;
    }
}

}  // namespace tw
