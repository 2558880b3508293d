#include "ConsoleText.h"

#include "TextCodec.h"

namespace tools {

std::size_t CompleteUtf8(std::string_view bytes) {
    // Look back over at most three continuation bytes for the start of the
    // last character.
    std::size_t start = bytes.size();
    for (int back = 0; back < 4 && start > 0; ++back) {
        const auto b = static_cast<unsigned char>(bytes[start - 1]);
        if ((b & 0xC0) != 0x80) {
            const std::size_t need = b >= 0xF0 && b < 0xF8   ? 4
                                     : b >= 0xE0 && b < 0xF0 ? 3
                                     : b >= 0xC0 && b < 0xE0 ? 2
                                                             : 1;
            const std::size_t have = bytes.size() - (start - 1);
            return have < need ? start - 1 : bytes.size();
        }
        --start;
    }
    return bytes.size();
}

WideTextBuffer::WideTextBuffer(Writer write) : write_(std::move(write)) {
    setp(buffer_, buffer_ + sizeof buffer_);
}

WideTextBuffer::~WideTextBuffer() {
    hand(true);
}

bool WideTextBuffer::hand(bool all) {
    pending_.append(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_, buffer_ + sizeof buffer_);
    const std::size_t n = all ? pending_.size() : CompleteUtf8(pending_);
    if (n == 0) return true;
    const std::u16string text = settings::Utf8ToUtf16(std::string_view(pending_).substr(0, n));
    pending_.erase(0, n);
    return write_(text);
}

WideTextBuffer::int_type WideTextBuffer::overflow(int_type c) {
    if (!hand(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int WideTextBuffer::sync() {
    return hand(false) ? 0 : -1;
}

} // namespace tools
