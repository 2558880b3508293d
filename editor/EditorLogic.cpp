#include "EditorLogic.h"

#include "Numbers.h"
#include "ProfileDocument.h"
#include "ProfileLayout.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <utility>

namespace editor {

namespace {

bool IsProfileBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

float KyoukaiChk(float x) {
    const double v = static_cast<double>(x);
    // Rounded half to even; the remainder keeps the sign of the value.
    const double rounded = std::nearbyint(v);
    const double m = std::fmod(rounded, 10.0);
    const double base = std::floor(v / 10.0);
    return static_cast<float>(m >= 5.0 ? (base + 1.0) * 10.0 : base * 10.0);
}

CutRect FinishCut(CutRect cut) {
    if (cut.x1 > cut.x2) std::swap(cut.x1, cut.x2);
    if (cut.y1 > cut.y2) std::swap(cut.y1, cut.y2);
    cut.x1 = KyoukaiChk(cut.x1);
    cut.y1 = KyoukaiChk(cut.y1);
    cut.x2 = KyoukaiChk(cut.x2);
    cut.y2 = KyoukaiChk(cut.y2);
    return cut;
}

bool CutSizeAcceptable(double w, double h) {
    return w > 1 && h > 1 && w < kMaxCutWidth + 1 && h <= static_cast<double>(kMaxCutHeight);
}

std::optional<CellSize> LabelCutSize(std::u16string_view width, std::u16string_view height) {
    const auto w = FieldNumber(width);
    const auto h = FieldNumber(height);
    if (!w || !h || *w != std::floor(*w) || *h != std::floor(*h)) return std::nullopt;
    if (!CutSizeAcceptable(*w, *h)) return std::nullopt;
    return CellSize{static_cast<int>(*w), static_cast<int>(*h)};
}

std::int32_t PictureColour(const QImage& image, long long x, long long y) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return -1;
    const QRgb c = image.pixel(static_cast<int>(x), static_cast<int>(y));
    return static_cast<std::int32_t>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
}

std::vector<std::int32_t> RowMasks(const QImage& magnified, float left, float top, CellSize size) {
    return RowMasks(
        [&magnified](double x, double y) {
            return PictureColour(magnified, std::llround(x), std::llround(y));
        },
        left, top, size);
}

std::vector<std::int32_t> RowMasks(const std::function<std::int32_t(double, double)>& colourAt,
                                   float left, float top, CellSize size) {
    std::vector<std::int32_t> masks(static_cast<std::size_t>(std::max(size.h, 0)), 0);
    for (int i = 0; i < size.h; ++i) {
        for (int j = 0; j < size.w && j < 31; ++j) {
            const double x = static_cast<double>(left) + kCell * j + kCell / 2;
            const double y = static_cast<double>(top) + kCell * i + kCell / 2;
            if (colourAt(std::floor(x), std::floor(y)) == 0)
                masks[static_cast<std::size_t>(i)] |= static_cast<std::int32_t>(1u << j);
        }
    }
    return masks;
}

QImage Binarize(const QImage& area, double level, double boundWidth, double boundHeight) {
    QImage out(area.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    // The loops run while y <= height - 1 and x <= width - 1 of the fields;
    // pixels beyond the image would be dropped, so the image bounds them too.
    const auto count = [](double bound, int limit) {
        if (!(bound > 0)) return 0;
        return static_cast<int>(std::min<double>(std::floor(bound), limit));
    };
    const int h = count(boundHeight, area.height());
    const int w = count(boundWidth, area.width());
    const QImage src = area.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x)
            dst[x] = qRed(in[x]) <= level ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return out;
}

QImage Magnify(const QImage& image, int factor) {
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    QImage out(src.width() * factor, src.height() * factor, QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* first = reinterpret_cast<QRgb*>(out.scanLine(y * factor));
        for (int x = 0; x < src.width(); ++x)
            std::fill_n(first + static_cast<std::ptrdiff_t>(x) * factor, factor, in[x]);
        for (int r = 1; r < factor; ++r)
            std::copy_n(first, out.width(), reinterpret_cast<QRgb*>(out.scanLine(y * factor + r)));
    }
    return out;
}

std::optional<double> FieldNumber(std::u16string_view text) {
    std::size_t i = 0;
    const auto blank = [&](char16_t c) { return IsProfileBlank(c) || c == u'\u3000'; };
    while (i < text.size() && blank(text[i]))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
        std::size_t expDigits = 0;
        while (j < text.size() && IsDigit(text[j])) {
            ++j;
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
        i = j;
    }
    const std::size_t end = i;
    while (i < text.size() && blank(text[i]))
        ++i;
    if (i != text.size()) return std::nullopt;
    const double v = settings::NumberValue(text.substr(start, end - start));
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

bool AreaSizeAcceptable(double width, double height) {
    if (!(width >= 0) || !(height >= 0)) return false;
    if (width > kMaxAreaSide || height > kMaxAreaSide) return false;
    return width * height <= static_cast<double>(kMaxAreaPixels);
}

NameProblem CheckName(std::u16string_view name, settings::FileEncoding encoding) {
    if (name.find_first_of(std::u16string_view(u"[]=\r\n\0", 6)) != std::u16string_view::npos)
        return NameProblem::BadCharacter;
    if (!name.empty() && (IsProfileBlank(name.front()) || IsProfileBlank(name.back())))
        return NameProblem::BlankAtEnd;
    // The name is read back as a list value, which returns at most 254 bytes.
    if (StoredBytes(name, encoding) > settings::kMaxValueBytes) return NameProblem::TooLong;
    return NameProblem::None;
}

CharProblem CheckCharText(std::u16string_view text) {
    // A backslash can join with the list separator "\\"; brackets and line
    // breaks break the section name or the line.
    if (text.find_first_of(std::u16string_view(u"\\[]\r\n\0", 6)) != std::u16string_view::npos)
        return CharProblem::BadCharacter;
    return CharProblem::None;
}

std::u16string SectionIdentity(std::u16string_view name) {
    while (!name.empty() && IsProfileBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && IsProfileBlank(name.back()))
        name.remove_suffix(1);
    std::u16string out(name);
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return out;
}

std::optional<std::u16string> SectionTwin(std::u16string_view name,
                                          const std::vector<std::u16string>& names) {
    const std::u16string id = SectionIdentity(name);
    for (const auto& n : names)
        if (n != name && SectionIdentity(n) == id) return n;
    return std::nullopt;
}

std::size_t StoredBytes(std::u16string_view text, settings::FileEncoding encoding) {
    if (encoding == settings::FileEncoding::Cp932)
        if (const auto bytes = settings::Encode(encoding, text)) return bytes->size();
    if (const auto bytes = settings::Utf16ToUtf8(text)) return bytes->size();
    return text.size() * 3;
}

settings::FileEncoding ProfileEncoding(const std::filesystem::path& profile) {
    std::ifstream in(profile, std::ios::binary);
    char head[3] = {};
    if (in && in.read(head, 3) && std::string_view(head, 3) == settings::kUtf8Bom)
        return settings::FileEncoding::Utf8;
    return settings::FileEncoding::Cp932;
}

} // namespace editor
