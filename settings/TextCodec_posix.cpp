// CP932 through iconv.
#include "TextCodec.h"

#include <bit>
#include <cerrno>
#include <iconv.h>

namespace settings {

namespace {

const char* Utf16Name() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const {
        // iconv_open's failure value is (iconv_t)-1 by definition.
        return cd_ != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

std::optional<std::string> Cp932FromUtf16(std::u16string_view text) {
    if (text.empty()) return std::string();
    // One converter per direction and thread, reset before each use.
    thread_local Iconv cd("CP932", Utf16Name());
    if (!cd.ok()) return std::nullopt;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t inLeft = text.size() * sizeof(char16_t);
    char* o = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty()) return out;
    thread_local Iconv cd(Utf16Name(), "CP932");
    if (!cd.ok()) {
        for (unsigned char b : bytes)
            out.push_back(b < 0x80 ? b : u'\uFFFD');
        return out;
    }
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    std::u16string buf(bytes.size() + 4, u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(buf.data());
        std::size_t outLeft = buf.size() * sizeof(char16_t);
        const std::size_t r = iconv(cd.get(), &in, &inLeft, &o, &outLeft);
        out.append(buf.data(), (buf.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An invalid or cut-off sequence: one replacement character per byte.
            out.push_back(u'\uFFFD');
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

} // namespace settings
