// CP932 through the Win32 code-page functions.
#include "TextCodec.h"

#include <windows.h>

namespace settings {

std::optional<std::string> Cp932FromUtf16(std::u16string_view text) {
    if (text.empty()) return std::string();
    const auto* src = reinterpret_cast<const wchar_t*>(text.data());
    const int srcLen = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, src, srcLen, nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, src, srcLen, out.data(), n, nullptr,
                        &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
    std::u16string out;
    // Convert character by character so that an invalid byte becomes one
    // U+FFFD and the rest still decodes.
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t len = CharLength(FileEncoding::Cp932, bytes, i);
        wchar_t wc[2] = {};
        const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                          static_cast<int>(len), wc, 2);
        if (n <= 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        for (int k = 0; k < n; ++k)
            out.push_back(static_cast<char16_t>(wc[k]));
        i += len;
    }
    return out;
}

} // namespace settings
