#include "AreaKeys.h"

#include <utility>

namespace editor {

namespace {

struct AreaKey {
    std::u16string_view name;
    // The text the key stores for an area, and an area taking a stored text.
    std::u16string (*store)(const AreaTexts&);
    void (*load)(AreaTexts&, std::u16string text);
    // What the editor shows where the key is missing or empty.
    std::u16string_view missing;
    // Written only once set or already stored.
    bool onceSet = false;
};

template <std::u16string AreaTexts::*field>
constexpr AreaKey Text(std::u16string_view name, std::u16string_view missing = {},
                       bool onceSet = false) {
    return {name, [](const AreaTexts& a) { return a.*field; },
            [](AreaTexts& a, std::u16string text) { a.*field = std::move(text); }, missing,
            onceSet};
}

const AreaKey kAreaKeys[] = {
    {profile::kChrGrop,
     [](const AreaTexts& a) { return profile::SignedNumberText(a.group); },
     [](AreaTexts& a, std::u16string text) { a.group = profile::GroupNumber(text).value_or(-1); },
     {}},
    Text<&AreaTexts::comment>(profile::kComment),
    Text<&AreaTexts::left>(profile::kLeft),
    Text<&AreaTexts::top>(profile::kTop),
    Text<&AreaTexts::width>(profile::kWidth),
    Text<&AreaTexts::height>(profile::kHeight),
    Text<&AreaTexts::level>(profile::kBwLevel, u"128"),
    Text<&AreaTexts::kugiri>(profile::kKugiri),
    Text<&AreaTexts::blank>(profile::kBlankWidth, {}, true),
    {profile::kWriteUnread,
     [](const AreaTexts& a) { return std::u16string(profile::FlagText(a.writeUnread)); },
     [](AreaTexts& a, std::u16string text) { a.writeUnread = profile::IsTrue(text); },
     {},
     true},
};

} // namespace

AreaTexts ReadArea(const profile::Reader& read, std::u16string_view area) {
    const std::u16string section = profile::AreaSection(area);
    AreaTexts out;
    for (const AreaKey& k : kAreaKeys)
        k.load(out, read(section, k.name));
    return out;
}

bool AreaNeedsStoring(const AreaTexts& shown, const AreaTexts& stored, bool hasSection) {
    if (!hasSection) return true;
    for (const AreaKey& k : kAreaKeys) {
        std::u16string was = k.store(stored);
        if (was.empty()) was = k.missing;
        if (k.store(shown) != was) return true;
    }
    return false;
}

profile::Source ShownAreaSource(std::u16string_view area, const AreaTexts& shown,
                                profile::Source stored) {
    const std::u16string section = profile::AreaSection(area);
    profile::Source out;
    out.read = [section, shown, read = stored.read](std::u16string_view s,
                                                    std::u16string_view k) -> std::u16string {
        if (profile::SameName(s, section))
            for (const AreaKey& key : kAreaKeys)
                if (profile::SameName(k, key.name)) return key.store(shown);
        return read(s, k);
    };
    out.hasSection = [section, has = stored.hasSection](std::u16string_view s) {
        return profile::SameName(s, section) || has(s);
    };
    return out;
}

std::vector<settings::KeyWrite> AreaWrites(std::u16string_view area, const AreaTexts& shown,
                                           const std::optional<engine::Monitor>& monitor,
                                           const profile::Reader& stored) {
    const std::u16string s = profile::AreaSection(area);
    std::vector<settings::KeyWrite> out{
        {std::u16string(profile::kEndData), std::u16string(profile::kArea), std::u16string(area)}};
    const auto write = [&](std::u16string_view key, std::u16string value) {
        out.push_back({s, std::u16string(key), std::move(value)});
    };
    for (const AreaKey& k : kAreaKeys) {
        std::u16string value = k.store(shown);
        if (k.onceSet) {
            AreaTexts unset;
            k.load(unset, std::u16string());
            if (value == k.store(unset) && stored(s, k.name).empty()) continue;
        }
        write(k.name, std::move(value));
    }
    if (monitor) {
        write(profile::kMonitor, engine::MonitorRectText(monitor->rect));
        write(profile::kMonitorScale, monitor->scalePercent > 0
                                          ? profile::Decimal(monitor->scalePercent)
                                          : std::u16string());
    } else if (!stored(s, profile::kMonitor).empty()) {
        write(profile::kMonitor, u"");
        write(profile::kMonitorScale, u"");
    }
    return out;
}

std::u16string AreaNotStoredText(std::u16string_view area, const store::WriteFailure& refusal,
                                 std::u16string_view path) {
    std::u16string why;
    switch (refusal.status) {
    case settings::WriteStatus::IoError:
        why =
            u"設定ファイルに書き込めませんでした。ファイルやフォルダが読み取り専用になっていないか"
            u"確かめてください。\n" +
            std::u16string(path);
        break;
    case settings::WriteStatus::UnsupportedFile:
        why = u"設定ファイルがこのプログラムでは書き込めない形式 (UTF-16 BE など) で保存されて"
              u"います。\n" +
              std::u16string(path);
        break;
    case settings::WriteStatus::BadName:
        why = u"エリア名に、設定ファイルに保存できない文字が含まれています。";
        break;
    case settings::WriteStatus::BadValue:
    case settings::WriteStatus::Ok:
        why = refusal.key + u" の値に、設定ファイルに保存できない文字が含まれています。";
        break;
    }
    return u"認識エリア「" + std::u16string(area) + u"」は記録されていません。\n" + why;
}

} // namespace editor
