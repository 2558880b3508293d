#include "Fields.h"

#include "AnswerText.h"

#include <algorithm>

namespace engine {

std::vector<std::u16string> FieldNames(std::u16string_view area, const profile::Reader& read) {
    const std::u16string section = profile::AreaSection(area);
    return profile::ReadNumberedList(read, section, profile::FieldKey);
}

std::vector<Field> ReadFields(std::u16string_view area, const profile::Reader& read) {
    const std::vector<std::u16string> areas =
        profile::ReadNumberedList(read, profile::kAriaList, profile::ListKey);
    std::vector<Field> fields;
    for (auto& name : FieldNames(area, read)) {
        Field f{std::move(name)};
        const bool seen = std::any_of(fields.begin(), fields.end(),
                                      [&f](const Field& g) { return g.name == f.name; });
        if (f.name == area)
            f.mark = FieldMark::Self;
        else if (seen)
            f.mark = FieldMark::Duplicate;
        else if (std::find(areas.begin(), areas.end(), f.name) == areas.end())
            f.mark = FieldMark::MissingArea;
        else if (!read(profile::AreaSection(f.name), profile::FieldKey(0)).empty())
            f.mark = FieldMark::HasFields;
        fields.push_back(std::move(f));
    }
    return fields;
}

bool WriteFields(std::u16string_view area, const std::vector<std::u16string>& names,
                 const profile::Reader& read, const Writer& write) {
    const std::u16string section = profile::AreaSection(area);
    bool ok = true;
    std::int64_t i = 0;
    for (const auto& name : names) {
        if (name.empty()) continue; // an empty entry would end the list
        const std::u16string key = profile::FieldKey(i++);
        if (read(section, key) != name) ok = write(section, key, name) && ok;
    }
    // Entries left from a longer list are emptied (the list ends at the
    // first); where there are none, nothing is written.
    for (;; ++i) {
        const std::u16string key = profile::FieldKey(i);
        if (read(section, key).empty()) break;
        ok = write(section, key, u"") && ok;
    }
    return ok;
}

bool PressComplete(const std::vector<Reading>& readings) {
    return std::all_of(readings.begin(), readings.end(),
                       [](const Reading& r) { return r.complete(); });
}

bool PressWritable(const std::vector<Reading>& readings) {
    return PressComplete(readings) &&
           std::none_of(readings.begin(), readings.end(), [](const Reading& r) {
               return r.text.empty() || r.mark != FieldMark::None;
           });
}

std::u16string JoinReadings(const std::vector<Reading>& readings) {
    std::u16string out;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (i > 0) out += readings.front().area.blanks.kugiri;
        out += readings[i].text;
    }
    return out;
}

std::u16string SnapReadings(std::u16string_view answer, const std::vector<Reading>& readings,
                            double step) {
    const std::u16string kugiri =
        readings.empty() ? std::u16string() : readings.front().area.blanks.kugiri;
    if (readings.size() < 2 || answer != JoinReadings(readings))
        return SnapToStep(answer, kugiri, step);
    std::u16string out;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (i > 0) out += kugiri;
        out += SnapToStep(readings[i].text, readings[i].area.blanks.kugiri, step);
    }
    return out;
}

} // namespace engine
