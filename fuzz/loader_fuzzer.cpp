// Template loading from an arbitrary profile, then a read of an arbitrary
// small picture with what was loaded, as the command-line reader and the
// main window do: never a crash, never a read outside the picture or the
// templates (the build checks every container access), the loaded
// templates always usable; and one of two checks, as the input asks: the
// answer is that of the literal matcher, or what was loaded, stored again as
// the editor stores it (one character's keys after another, in a fresh
// profile of the encoding the input picks), loads again as the same
// templates. Each check costs about what the rest of a run does: one of them
// a run keeps the fuzzer at many runs a second, and it steers into both.
//
// Input: one byte for the group (0xFF: the group of the profile's current
// area, as the main window chooses it), one for the mismatch bound (its low
// three bits) and the check (the next bit), a picture (width, height, one
// byte per pixel), then the profile's bytes.
#include "AnswerText.h"
#include "AreaReader.h"
#include "ChrTemp.h"
#include "FuzzInput.h"
#include "LiteralMatcher.h"
#include "Numbers.h"
#include "ProfileDocument.h"
#include "ProfileLayout.h"

#include <algorithm>
#include <cmath>

namespace {

using settings::ProfileDocument;

// A name the editor registers: one its list and section hold faithfully,
// and no twin of another through ASCII letter case.
bool Registrable(const std::u16string& name, std::vector<std::u16string>& folded) {
    if (name.empty() || name.front() == u' ' || name.back() == u' ' || name.front() == u'\t' ||
        name.back() == u'\t' ||
        name.find_first_of(std::u16string_view(u"\\[]\r\n\0", 6)) != std::u16string::npos ||
        !settings::Utf16ToUtf8(name))
        return false;
    std::u16string f = name;
    for (char16_t& c : f)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    if (std::find(folded.begin(), folded.end(), f) != folded.end()) return false;
    folded.push_back(f);
    return true;
}

void CheckStoredAgain(const modTemp::ChrTempList& loaded, std::int32_t group, std::uint8_t form) {
    static const std::string kStarts[] = {"", std::string(settings::kUtf8Bom),
                                          std::string(settings::kUtf16LeBom)};
    std::vector<profile::CharTemplate> templates;
    std::vector<std::u16string> folded;
    // Templates of the heights that screens give, up to a line's worth of
    // rows in all: every write parses the profile again, so the time grows
    // with the square of the rows, and more rows reach no other code.
    int rows = 0;
    for (const auto& t : loaded)
        if (rows + t.height() <= 32 && Registrable(t.Chr, folded)) {
            templates.push_back(
                {t.Chr, profile::Decimal(t.width()), profile::Decimal(t.height()), t.BL});
            rows += t.height();
        }
    ProfileDocument doc(kStarts[form % 3]);
    std::u16string list;
    std::vector<std::u16string> written;
    for (const auto& w : profile::TemplateWrites(group, templates, list)) {
        const settings::WriteStatus status = doc.write(w.section, w.key, w.value);
        if (status != settings::WriteStatus::Ok) {
            // A name CP932 lacks switches the file to UTF-8, which is refused
            // when a value stored before would then be cut shorter (a name of
            // many half-width katakana: a byte each in CP932, three in UTF-8).
            FUZZ_CHECK(status == settings::WriteStatus::BadValue);
            FUZZ_CHECK(doc.encoding() == settings::FileEncoding::Cp932);
            FUZZ_CHECK(std::any_of(written.begin(), written.end(), [](const std::u16string& v) {
                const auto bytes = settings::ValueBytes(settings::FileEncoding::Utf8, v);
                return bytes && *bytes > settings::kMaxValueBytes;
            }));
            return;
        }
        written.push_back(w.value);
    }
    // A list beyond 254 bytes reads back cut (the editor refuses to grow it so).
    const auto listBytes = settings::ValueBytes(doc.encoding(), list);
    if (!listBytes || *listBytes > settings::kMaxValueBytes) return;

    const modTemp::TemplateSource source{
        [&doc](std::u16string_view s, std::u16string_view k) {
            return doc.read(s, k).value_or(std::u16string());
        },
        [&doc](std::u16string_view s) { return doc.hasSection(s); },
        {}};
    const auto again = modTemp::LoadChrTempList(group, source);
    FUZZ_CHECK(again.skipped.empty());
    FUZZ_CHECK(again.templates.size() == templates.size());
    std::sort(templates.begin(), templates.end(),
              [](const auto& a, const auto& b) { return a.chr < b.chr; });
    for (std::size_t i = 0; i < templates.size(); ++i) {
        const auto& t = again.templates[i];
        FUZZ_CHECK(t.Chr == templates[i].chr);
        FUZZ_CHECK(profile::Decimal(t.width()) == templates[i].width);
        FUZZ_CHECK(profile::Decimal(t.height()) == templates[i].height);
        FUZZ_CHECK(t.BL == templates[i].rows);
    }
}

void CheckTemplates(const modTemp::LoadedGroup& loaded, std::size_t listed) {
    FUZZ_CHECK(loaded.templates.size() + loaded.skipped.size() == listed);
    for (std::size_t i = 0; i < loaded.templates.size(); ++i) {
        const auto& t = loaded.templates[i];
        const int w = t.width(), h = t.height();
        FUZZ_CHECK(w >= 1 && w <= modTemp::kMaxTemplateWidth);
        FUZZ_CHECK(h >= 1 && h <= modTemp::kMaxTemplateHeight);
        FUZZ_CHECK(t.X == static_cast<float>(w) && t.Y == static_cast<float>(h));
        FUZZ_CHECK(t.BL.size() == static_cast<std::size_t>(h));
        FUZZ_CHECK(t.Rows.size() == static_cast<std::size_t>(h));
        FUZZ_CHECK(t.Dot.size() == static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        for (int r = 0; r < h; ++r) {
            FUZZ_CHECK((t.Rows[static_cast<std::size_t>(r)] >> w) == 0);
            for (int c = 0; c < w; ++c)
                FUZZ_CHECK(t.dot(c, r) ==
                           ((static_cast<std::uint32_t>(t.BL[static_cast<std::size_t>(r)]) >> c) & 1
                                ? 1.0f
                                : 0.0f));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
    const std::uint8_t groupByte = in.byte();
    static constexpr double kLimits[] = {3, 3, 3, 0, 1, 2.5, 4, 1000};
    const std::uint8_t optionByte = in.byte();
    const double limit = kLimits[optionByte % std::size(kLimits)];
    const bool storeAgain = (optionByte & 0x08) != 0;
    const engine::AreaImage image = in.image(48, 24);
    const ProfileDocument doc(in.rest());

    auto read = [&doc](std::u16string_view s, std::u16string_view k) {
        return doc.read(s, k).value_or(std::u16string());
    };
    const modTemp::TemplateSource source{
        read, [&doc](std::u16string_view s) { return doc.hasSection(s); }, {}};

    // The group: given, or that of the current area.
    std::int32_t group = groupByte;
    std::u16string kugiri;
    if (groupByte == 0xFF) {
        const auto area = profile::AreaSection(read(profile::kEndData, profile::kArea));
        const auto g = settings::RoundToInt32(settings::NumberValue(read(area, profile::kChrGrop)));
        if (!g) return 0;
        group = *g;
        kugiri = read(area, profile::kKugiri);
    }
    const auto names =
        profile::SplitCharList(read(profile::kChrSection, profile::CharListKey(group)));
    // Tall templates cost a read a row, and a row's key is looked for among
    // the rows before it, and they reach no code that shorter ones do not
    // (the height limit has its unit test; the picture is at most 24 rows):
    // the fuzzer keeps to heights up to 128 rows and 512 rows in all,
    // and so to many runs a second.
    double rows = 0;
    for (const auto& name : names) {
        const double y =
            settings::NumberValue(read(profile::CharSection(group, name), profile::kY));
        if (y > 128) return 0;
        if (y > 0) rows += y;
    }
    if (rows > 512) return 0;
    const auto loaded = modTemp::LoadChrTempList(group, source);
    CheckTemplates(loaded, names.size());

    const std::u16string answer = engine::ReadArea(image, loaded.templates, limit);
    if (storeAgain) {
        CheckStoredAgain(loaded.templates, group, groupByte);
    } else {
        // The same answer as the literal matcher, where that is quick enough.
        double work = 0;
        for (const auto& t : loaded.templates) {
            const double tw = t.width(), th = t.height(), h = image.height;
            work += 2 * tw * h + std::max(0.0, h - th) * tw * tw * th;
        }
        if (work * std::max(1, image.width) < 1e5)
            FUZZ_CHECK(answer == literal::Run(image, loaded.templates, limit));
    }

    const double step = settings::NumberValue(read(profile::kEndData, profile::kKizami));
    (void)engine::SnapToStep(answer, kugiri, step);
    (void)engine::SnapToStep(read(profile::kEndData, profile::kFileName), kugiri, step);
    return 0;
}
