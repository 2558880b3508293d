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
    a.settings = engine::ReadAreaSettings(a.AriaName);
    a.AreaLeft = a.settings.left;
    a.AreaTop = a.settings.top;
    a.AreaWidth = a.settings.width;
    a.AreaHeight = a.settings.height;
    a.ChrGroup = a.settings.group;
    a.Kugiri = a.settings.blanks.kugiri;
    a.BlankWidth = a.settings.blanks.minGap;
    a.Stored = !a.AriaName.empty() && FUMIni::IniHasSection(profile::AreaSection(a.AriaName));
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
