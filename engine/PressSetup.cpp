#include "PressSetup.h"

#include "Fields.h"
#include "Numbers.h"

#include <algorithm>

namespace engine {

namespace {

bool SameTemplates(const modTemp::ChrTempList& a, const modTemp::ChrTempList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const modTemp::ChrTemp& x, const modTemp::ChrTemp& y) {
                          return x.Chr == y.Chr && x.X == y.X && x.Y == y.Y && x.BL == y.BL;
                      });
}

} // namespace

bool AreaSetup::has(SetupProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

bool AreaSetup::readable() const {
    return mark == FieldMark::None || mark == FieldMark::HasFields;
}

const GroupReaders::Group& GroupReaders::get(std::int32_t group,
                                             const modTemp::TemplateSource& source) {
    Group& g = groups_[group];
    if (loaded_.insert(group).second || !g.reader) {
        const std::uint64_t version = source.version ? source.version() : 0;
        if (g.reader && version != 0 && version == g.version) return g; // as loaded
        g.version = version;
        modTemp::LoadedGroup loaded = modTemp::LoadChrTempList(group, source);
        if (!g.reader || !SameTemplates(g.reader->templates(), loaded.templates))
            g.reader = std::make_shared<AreaReader>(std::move(loaded.templates));
        g.skipped = std::move(loaded.skipped);
    }
    return g;
}

const std::shared_ptr<AreaReader>& GroupReaders::none() {
    if (!none_) none_ = std::make_shared<AreaReader>(modTemp::ChrTempList());
    return none_;
}

std::u16string CurrentArea(const profile::Reader& read) {
    return read(profile::kEndData, profile::kArea);
}

namespace {

// One area of a setup already started.
AreaSetup SetUpOne(std::u16string_view name, const profile::Source& profile,
                   const modTemp::TemplateSource& templates, GroupReaders& readers) {
    AreaSetup a;
    a.settings = ReadAreaSettings(name, profile.read);
    a.rect = ScreenRect(a.settings);
    a.reader = readers.none();
    if (name.empty()) {
        a.problems.push_back(SetupProblem::NoAreaChosen);
    } else if (!profile.hasSection(profile::AreaSection(name))) {
        a.problems.push_back(SetupProblem::NoSection);
    }
    if (!a.settings.group) {
        a.problems.push_back(SetupProblem::UnusableGroup);
    } else {
        const GroupReaders::Group& g = readers.get(*a.settings.group, templates);
        a.reader = g.reader;
        a.skipped = g.skipped;
        if (a.reader->templates().empty()) a.problems.push_back(SetupProblem::NoCharacters);
    }
    if (AreaPixels(a.settings.width) == 0 || AreaPixels(a.settings.height) == 0)
        a.problems.push_back(SetupProblem::NoSize);
    if (!a.rect) a.problems.push_back(SetupProblem::TooLarge);
    return a;
}

} // namespace

AreaSetup SetUpArea(std::u16string_view name, const profile::Source& profile,
                    const modTemp::TemplateSource& templates, GroupReaders& readers) {
    readers.startSetup();
    return SetUpOne(name, profile, templates, readers);
}

PressSetup SetUpPress(std::u16string_view area, const profile::Source& profile,
                      const modTemp::TemplateSource& templates, GroupReaders& readers) {
    readers.startSetup();
    PressSetup p;
    p.area = SetUpOne(area, profile, templates, readers);
    p.step = settings::NumberValue(profile.read(profile::kEndData, profile::kKizami));
    if (area.empty()) return p;
    for (Field& f : ReadFields(area, profile.read)) {
        AreaSetup field;
        if (f.mark == FieldMark::None || f.mark == FieldMark::HasFields) {
            field = SetUpOne(f.name, profile, templates, readers);
        } else {
            field.settings.name = std::move(f.name);
            field.reader = readers.none();
        }
        field.mark = f.mark;
        p.fields.push_back(std::move(field));
    }
    return p;
}

std::vector<PixelRect> PressRects(const PressSetup& press, const std::vector<Monitor>& monitors) {
    std::vector<PixelRect> rects;
    const auto add = [&](const AreaSetup& a) {
        if (!a.readable() || !a.rect || a.rect->empty()) return;
        if (Coverage(*a.rect, monitors) == Grab::Off) return;
        if (std::find(rects.begin(), rects.end(), *a.rect) == rects.end()) rects.push_back(*a.rect);
    };
    add(press.area);
    for (const AreaSetup& f : press.fields)
        add(f);
    return rects;
}

std::vector<Reading> ReadPress(const PressSetup& press, const ScreenShot& shot) {
    std::vector<Reading> readings;
    readings.reserve(1 + press.fields.size());
    readings.push_back(ReadShot(press.area.settings, press.area.rect, shot, *press.area.reader));
    for (const AreaSetup& f : press.fields) {
        Reading r;
        if (f.readable()) {
            r = ReadShot(f.settings, f.rect, shot, *f.reader);
        } else {
            r.area = f.settings;
            r.verdict.grab = Grab::Failed;
        }
        r.mark = f.mark;
        readings.push_back(std::move(r));
    }
    return readings;
}

} // namespace engine
