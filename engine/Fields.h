// An area and the areas read with it in one press: its fields.
//
// An area names its fields in its own section (FIELD0, FIELD1, ...), in the
// order the user set. One press reads the area and then each field, each with
// its own group, delimiter and blank rule, each with its own picture and
// verdict (PressSetup.h). Fields go one level deep: a field that names fields of its own is
// read alone, so no list of names can lead round in a circle. A name that
// leads nowhere (no such area, the area itself, a name given twice) stays in
// the list as a reading of nothing with its mark, so that it is told and
// asked about rather than dropped or written as a silent empty column.
#pragma once

#include "ProfileLayout.h"
#include "Reading.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct Field {
    std::u16string name;
    FieldMark mark = FieldMark::None;

    bool operator==(const Field&) const = default;
};

// The field names stored for area, in order, unchecked.
std::vector<std::u16string> FieldNames(std::u16string_view area, const profile::Reader& read);

// The fields of area, each marked against the profile's areas (the editor's
// list, ARIALIST).
std::vector<Field> ReadFields(std::u16string_view area, const profile::Reader& read);

// Stores names as the fields of area. Keys are written only where they
// change something: an area that never had fields and gets none keeps its
// section byte for byte. False when a write failed.
using Writer = std::function<bool(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view value)>;
bool WriteFields(std::u16string_view area, const std::vector<std::u16string>& names,
                 const profile::Reader& read, const Writer& write);

// Whether every reading of a press is complete.
bool PressComplete(const std::vector<Reading>& readings);

// Whether a press can be written without a look: every reading complete,
// none empty (nothing was on the screen there), and no field marked (a
// field that names fields of its own included).
bool PressWritable(const std::vector<Reading>& readings);

// The answer of a press: the texts joined by the first reading's (the
// current area's) delimiter.
std::u16string JoinReadings(const std::vector<Reading>& readings);

// "指定刻みに変更" on the answer of a press: the answer as it was read gets
// every field snapped with its own delimiter; an answer the user edited is
// snapped as one text with the current area's delimiter.
std::u16string SnapReadings(std::u16string_view answer, const std::vector<Reading>& readings,
                            double step);

} // namespace engine
