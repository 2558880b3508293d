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

AreaReader& GroupReaders::operator()(std::int32_t group) {
    auto& reader = readers_[group];
    if (!reader) reader = std::make_unique<AreaReader>(load_(group));
    return *reader;
}

Press ReadPress(std::u16string_view area, const profile::Reader& read) {
    Press p;
    p.area = ReadAreaSettings(area, read);
    p.fields = ReadFields(area, read);
    for (const Field& f : p.fields) {
        AreaSettings s;
        if (f.mark == FieldMark::None || f.mark == FieldMark::HasFields)
            s = ReadAreaSettings(f.name, read);
        else
            s.name = f.name;
        p.fieldAreas.push_back(std::move(s));
    }
    return p;
}

std::vector<Reading> ReadPressScreen(const Press& press, const ScreenView& screen,
                                     GroupReaders& readers) {
    std::vector<Reading> readings;
    readings.reserve(1 + press.fields.size());
    readings.push_back(ReadScreen(press.area, screen, readers(press.area.group)));
    for (std::size_t i = 0; i < press.fields.size() && i < press.fieldAreas.size(); ++i) {
        const FieldMark mark = press.fields[i].mark;
        const AreaSettings& area = press.fieldAreas[i];
        Reading r;
        if (mark == FieldMark::None || mark == FieldMark::HasFields) {
            r = ReadScreen(area, screen, readers(area.group));
        } else {
            r.area = area;
            r.verdict.grab = Grab::Failed;
        }
        r.mark = mark;
        readings.push_back(std::move(r));
    }
    return readings;
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
