#include "MainSettings.h"

#include "Blanks.h"
#include "Numbers.h"
#include "ProfileLayout.h"

#include <cmath>

namespace mainwin {

OutputSettings ReadOutputSettings(const profile::Reader& read) {
    OutputSettings s;
    s.OutFileName = read(profile::kEndData, profile::kFileName);
    s.CommentBefore = profile::IsTrue(read(profile::kEndData, profile::kCommentBefore));
    s.CsvMode = profile::IsTrue(read(profile::kEndData, profile::kCsv));
    s.TimeStamp = profile::IsTrue(read(profile::kEndData, profile::kTimeStamp));
    s.CsvHeader = profile::IsTrue(read(profile::kEndData, profile::kCsvHeader));
    s.WriteNotice = profile::IsTrue(read(profile::kEndData, profile::kWriteNotice));
    s.Clipboard = profile::IsTrue(read(profile::kEndData, profile::kClipboard));
    s.ClipboardLine = profile::IsTrue(read(profile::kEndData, profile::kClipboardLine));
    s.TypeInto = profile::IsTrue(read(profile::kEndData, profile::kTypeInto));
    s.TypeAfterKey = TypeAfterOf(read(profile::kEndData, profile::kTypeAfter));
    s.RunCommand = profile::IsTrue(read(profile::kEndData, profile::kRunCommand));
    s.Command = read(profile::kEndData, profile::kCommand);
    return s;
}

TypeAfter TypeAfterOf(std::u16string_view stored) {
    if (stored == TypeAfterText(TypeAfter::Tab)) return TypeAfter::Tab;
    if (stored == TypeAfterText(TypeAfter::Enter)) return TypeAfter::Enter;
    return TypeAfter::Nothing;
}

std::u16string_view TypeAfterText(TypeAfter after) {
    switch (after) {
    case TypeAfter::Tab:
        return u"Tab";
    case TypeAfter::Enter:
        return u"Enter";
    case TypeAfter::Nothing:
        break;
    }
    return {};
}

engine::PressSetup AriaDataGet(const profile::Source& profile, engine::GroupReaders& readers) {
    return engine::SetUpPress(engine::CurrentArea(profile.read), profile, profile, readers);
}

FirstStep NextFirstStep(const engine::AreaSetup& area) {
    using P = engine::SetupProblem;
    if (area.has(P::NoAreaChosen) || area.has(P::NoSection)) return FirstStep::NoArea;
    if (area.has(P::NoSize)) return FirstStep::NoPlace;
    if (area.has(P::UnusableGroup)) return FirstStep::UnusableGroup;
    if (area.has(P::NoCharacters)) return FirstStep::NoCharacters;
    return FirstStep::None;
}

} // namespace mainwin
