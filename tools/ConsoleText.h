// Text for a Windows console window. A console shows what it is handed as
// bytes in its own code page (CP932 on Japanese Windows, 437 or 850
// elsewhere), so the reader's UTF-8 would come out garbled; handed as wide
// text (WriteConsoleW) it shows every character. Output redirected to a file
// or a pipe stays UTF-8.
#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace tools {

// The length of the longest start of bytes that ends at a character's end:
// an incomplete UTF-8 sequence at the end is left for more bytes to come.
// Bytes that can never be part of a character count as ended.
std::size_t CompleteUtf8(std::string_view bytes);

// A stream buffer that collects UTF-8 and hands it on as UTF-16 text at each
// flush (and whenever its buffer is full), never splitting a character.
class WideTextBuffer : public std::streambuf {
public:
    using Writer = std::function<bool(std::u16string_view)>;
    explicit WideTextBuffer(Writer write);
    ~WideTextBuffer() override;

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool hand(bool all);

    Writer write_;
    std::string pending_;
    char buffer_[1024];
};

} // namespace tools
