// One press set up once, as a value: the area to read and the areas read
// with it (its fields), each with its rectangle, group, prepared templates,
// delimiter and blank rule, and the step of [ENDDATA]; and what is wrong
// with each, named. The main window, the editor's reading check and every
// command of tirelma-read set a press up here and only put its problems in
// their own words; nothing else turns an area's keys into a reading.
//
// The profile and the templates come in as sources (profile::Source): the
// program's profile file, the editor's fields over it, or a map in a test.
// Nothing is read from process-wide state.
//
// A press on the screen takes one picture: every rectangle it reads is
// copied at the same moment (PressRects, then the platform's one grab of
// them all), and each area's reading is cut from that picture (ReadPress).
// Fields read from pictures of different moments would make a row of
// values that was never on the screen.
#pragma once

#include "AreaReader.h"
#include "ChrTemp.h"
#include "ProfileLayout.h"
#include "Reading.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// What keeps an area from being read as the user expects, in the order
// they are looked at.
enum class SetupProblem {
    NoAreaChosen,  // no area is named ([ENDDATA] AREA is empty)
    NoSection,     // the area has no section in the profile
    UnusableGroup, // its CHRGROP names no group (no 32-bit integer)
    NoCharacters,  // its group has no character that loads
    NoSize,        // its WIDTH or HEIGHT is no whole pixel
    TooLarge,      // too large to read, or placed where no 32-bit integer reaches
};

// One area of a press, ready to read.
struct AreaSetup {
    AreaSettings settings;
    std::optional<PixelRect> rect;      // on the screen; nothing when TooLarge
    FieldMark mark = FieldMark::None;   // as a field of another area
    std::vector<SetupProblem> problems; // in the order above
    std::shared_ptr<AreaReader> reader; // its group's templates; never null
    std::vector<modTemp::SkippedTemplate> skipped;

    bool has(SetupProblem p) const;
    // Whether a press reads it: not a field named where no area is, the
    // area itself, or a name given twice.
    bool readable() const;
    const modTemp::ChrTempList& templates() const { return reader->templates(); }
};

struct PressSetup {
    AreaSetup area;
    std::vector<AreaSetup> fields;
    double step = 0; // 刻み of [ENDDATA]: "指定刻みに変更"
};

// The templates of each group, prepared for reading. A setup loads the
// groups it needs from its source, once each (not at all while the source's
// version says nothing changed since), and prepares a group again only when
// its templates differ from those prepared before: kept from one press to
// the next, an unchanged group costs next to nothing.
class GroupReaders {
public:
    struct Group {
        std::shared_ptr<AreaReader> reader;
        std::vector<modTemp::SkippedTemplate> skipped;
        std::uint64_t version = 0; // of the source it was loaded from (0: unknown)
    };

    // Starts a setup: every group is loaded afresh when next asked for.
    void startSetup() { loaded_.clear(); }
    const Group& get(std::int32_t group, const modTemp::TemplateSource& source);
    // A reader of no templates.
    const std::shared_ptr<AreaReader>& none();

private:
    std::map<std::int32_t, Group> groups_;
    std::set<std::int32_t> loaded_;
    std::shared_ptr<AreaReader> none_;
};

// The area the profile has chosen: [ENDDATA] AREA.
std::u16string CurrentArea(const profile::Reader& read);

// The area name set up from profile, its templates from templates.
AreaSetup SetUpArea(std::u16string_view name, const profile::Source& profile,
                    const modTemp::TemplateSource& templates, GroupReaders& readers);

// The press of area (an empty name is NoAreaChosen): the area, then each of
// its fields (Fields.h), and the step.
PressSetup SetUpPress(std::u16string_view area, const profile::Source& profile,
                      const modTemp::TemplateSource& templates, GroupReaders& readers);

// The rectangles of a press to copy from the screen, each once: those of
// the areas it reads that the monitors show at least in part.
std::vector<PixelRect> PressRects(const PressSetup& press, const std::vector<Monitor>& monitors);

// The press read from one picture of the screen: the area, then each field,
// each its own reading; a field that is not read is a reading of nothing
// (Grab::Failed) with its mark.
std::vector<Reading> ReadPress(const PressSetup& press, const ScreenShot& shot);

} // namespace engine
