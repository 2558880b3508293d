#include "MainSettings.h"

#include "Blanks.h"
#include "FUMIni.h"
#include "ProfileLayout.h"
#include "modPub.h"

#include <cmath>

namespace mainwin {

OutputSettings ReadOutputSettings() {
    OutputSettings s;
    s.OutFileName = FUMIni::IniRead(profile::kEndData, profile::kFileName);
    s.CommentBefore = profile::IsTrue(FUMIni::IniRead(profile::kEndData, profile::kCommentBefore));
    s.Kizami = FUMIni::NumberValue(FUMIni::IniRead(profile::kEndData, profile::kKizami));
    s.CsvMode = profile::IsTrue(FUMIni::IniRead(profile::kEndData, profile::kCsv));
    return s;
}

AreaData AriaDataGet() {
    AreaData a;
    a.AriaName = FUMIni::IniRead(profile::kEndData, profile::kArea);
    modPub::AriaName = a.AriaName;
    const std::u16string s = profile::AreaSection(a.AriaName);
    auto number = [&s](std::u16string_view key) {
        return static_cast<float>(FUMIni::NumberValue(FUMIni::IniRead(s, key)));
    };
    a.AreaLeft = number(profile::kLeft);
    a.AreaTop = number(profile::kTop);
    a.AreaWidth = number(profile::kWidth);
    a.AreaHeight = number(profile::kHeight);
    a.ChrGroup =
        FUMIni::RoundToInt32Or(FUMIni::NumberValue(FUMIni::IniRead(s, profile::kChrGrop)), 0);
    a.Kugiri = FUMIni::IniRead(s, profile::kKugiri);
    a.BlankWidth = engine::BlankWidthValue(FUMIni::IniRead(s, profile::kBlankWidth));
    a.Stored = !a.AriaName.empty() && FUMIni::IniHasSection(s);
    return a;
}

FirstStep NextFirstStep(const AreaData& area, std::size_t templateCount) {
    if (!area.Stored) return FirstStep::NoArea;
    if (AreaPixels(area.AreaWidth) == 0 || AreaPixels(area.AreaHeight) == 0)
        return FirstStep::NoPlace;
    if (templateCount == 0) return FirstStep::NoCharacters;
    return FirstStep::None;
}

} // namespace mainwin
