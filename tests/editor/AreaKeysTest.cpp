// An area's keys: read, compared, shown to the reading check and stored
// through one table.
#include "AreaKeys.h"

#include "ProfileDocument.h"
#include "TextCodec.h"

#include <gtest/gtest.h>

using namespace editor;

namespace {

const std::u16string kSection = u"認識エリアA";

// A profile in memory, read as the editor reads one.
struct Profile {
    settings::ProfileDocument doc;
    explicit Profile(std::u16string_view text)
        : doc(*settings::Encode(settings::FileEncoding::Cp932, text)) {}
    profile::Reader reader() const {
        return [this](std::u16string_view s, std::u16string_view k) {
            return doc.read(s, k).value_or(std::u16string());
        };
    }
    void store(const std::vector<settings::KeyWrite>& writes) {
        for (const auto& w : writes)
            ASSERT_EQ(doc.write(w.section, w.key, w.value), settings::WriteStatus::Ok);
    }
};

std::vector<std::u16string> Keys(const std::vector<settings::KeyWrite>& writes) {
    std::vector<std::u16string> out;
    for (const auto& w : writes)
        out.push_back(w.section == kSection ? w.key : w.section + u"." + w.key);
    return out;
}

} // namespace

TEST(AreaKeys, StoredInTheEditorsOrderTheNewKeysOnlyOnceSet) {
    const Profile none(u"");
    AreaTexts shown{u"c", u"1", u"2", u"3", u"4", u"128", u",", u"", 2};
    const auto writes = AreaWrites(u"A", shown, std::nullopt, none.reader());
    EXPECT_EQ(Keys(writes),
              (std::vector<std::u16string>{u"ENDDATA.AREA", u"CHRGROP", u"COMMENT", u"LEFT", u"TOP",
                                           u"WIDTH", u"HEIGHT", u"BWLEVELT", u"区切り"}));
    EXPECT_EQ(writes[0].value, u"A");
    EXPECT_EQ(writes[1].value, u" 2");
    EXPECT_EQ(writes[3].value, u"1");

    // Set, or stored before (then also when cleared): written after the
    // delimiter; the monitor last.
    shown.blank = u"4";
    shown.writeUnread = true;
    auto all = AreaWrites(u"A", shown, engine::Monitor{{0, 0, 1280, 800}, 150}, none.reader());
    ASSERT_EQ(all.size(), 13u);
    EXPECT_EQ(Keys(all).back(), u"MONITORSCALE");
    EXPECT_EQ(all[9].value + all[10].value + all[11].value + all[12].value,
              u"4True0,0,1280,800150");
    const Profile used(u"[認識エリアa]\nblankwidth=4\nWRITEUNREAD=False\nMONITOR=0,0,9,9\n");
    shown.blank.clear();
    shown.writeUnread = false;
    all = AreaWrites(u"A", shown, std::nullopt, used.reader());
    ASSERT_EQ(all.size(), 13u);
    EXPECT_EQ(all[9].key + all[9].value + all[10].key + all[10].value + all[11].value +
                  all[12].value,
              u"BLANKWIDTHWRITEUNREADFalse");
    // A monitor of unknown scale stores no scale.
    all = AreaWrites(u"A", shown, engine::Monitor{{0, 0, 8, 8}, 0}, used.reader());
    EXPECT_EQ(all.back().key + all.back().value, u"MONITORSCALE");
}

TEST(AreaKeys, ReadAsStoredAndWhatIsStoredReadsBackUnchanged) {
    // Hand-edited: names in any case, a group no 32-bit integer holds.
    Profile p(u"[認識エリアa]\nLeft=812\ntop=7\nCHRGROP=1e10\nWRITEUNREAD=true\n");
    AreaTexts stored = ReadArea(p.reader(), u"A");
    EXPECT_EQ(stored.left + u"|" + stored.top + u"|" + stored.level, u"812|7|");
    EXPECT_EQ(stored.group, -1);
    EXPECT_FALSE(stored.writeUnread); // only the exact "True" is yes
    // Shown as loaded (a missing level shows as 128): nothing to store.
    AreaTexts shown = stored;
    shown.level = u"128";
    EXPECT_FALSE(AreaNeedsStoring(shown, stored, true));
    for (const auto& [text, group] : std::vector<std::pair<std::u16string, int>>{
             {u"", 0}, {u"abc", 0}, {u" 2", 2}, {u"2.5", 2}}) {
        p.store({{kSection, u"CHRGROP", text}});
        EXPECT_EQ(ReadArea(p.reader(), u"A").group, group) << std::string(text.begin(), text.end());
    }

    shown = {u"コメント", u"1", u"2", u"3", u"4", u"90", u" ", u"6", 3, true};
    p.store(AreaWrites(u"A", shown, std::nullopt, p.reader()));
    stored = ReadArea(p.reader(), u"A");
    EXPECT_FALSE(AreaNeedsStoring(shown, stored, true));
    EXPECT_EQ(stored.comment + stored.kugiri + stored.blank, u"コメント 6");
    EXPECT_TRUE(stored.writeUnread);
    shown.writeUnread = false;
    EXPECT_TRUE(AreaNeedsStoring(shown, stored, true));
}

TEST(AreaKeys, TheReadingCheckSeesTheShownAreaOverTheStoredProfile) {
    const Profile p(u"[認識エリアA]\nLEFT=1\nFIELD0=B\n[認識エリアB]\nLEFT=2\n");
    const AreaTexts shown{u"", u"50", u"", u"", u"", u"", u"", u"", 4, true};
    const profile::Source src =
        ShownAreaSource(u"A", shown, {p.reader(), [](std::u16string_view) { return false; }, {}});
    EXPECT_EQ(src.read(u"認識エリアa", u"left"), u"50");
    EXPECT_EQ(src.read(kSection, u"CHRGROP"), u" 4");
    EXPECT_EQ(src.read(kSection, u"WriteUnread"), u"True");
    EXPECT_EQ(src.read(kSection, u"FIELD0"), u"B"); // not an area key of the editor
    EXPECT_EQ(src.read(u"認識エリアB", u"LEFT"), u"2");
    EXPECT_TRUE(src.hasSection(kSection));
    EXPECT_FALSE(src.hasSection(u"認識エリアB"));
}

TEST(AreaNeedsStoring, AnUnstoredAreaOrAnyChangedFieldAsksToStore) {
    const AreaTexts stored{u"c", u"1", u"2", u"3", u"4", u"", u",", u"", 0};
    AreaTexts shown = stored;
    EXPECT_TRUE(AreaNeedsStoring(shown, stored, false)); // never stored
    shown.level = u"128"; // what the editor shows for a missing level
    EXPECT_FALSE(AreaNeedsStoring(shown, stored, true));
    const auto changed = [&](auto field, std::u16string value) {
        AreaTexts s = shown;
        s.*field = std::move(value);
        return AreaNeedsStoring(s, stored, true);
    };
    for (auto field :
         {&AreaTexts::comment, &AreaTexts::left, &AreaTexts::top, &AreaTexts::width,
          &AreaTexts::height, &AreaTexts::level, &AreaTexts::kugiri, &AreaTexts::blank})
        EXPECT_TRUE(changed(field, u"9"));
    shown.group = 1;
    EXPECT_TRUE(AreaNeedsStoring(shown, stored, true));
}

TEST(AreaKeys, ARefusedStoreSaysNothingWasStoredAndWhy) {
    using settings::WriteStatus;
    const auto told = [](WriteStatus status) {
        return AreaNotStoredText(u"A", {status, kSection, u"COMMENT", u"x"}, u"/p/Kavoren.ini");
    };
    for (const auto status : {WriteStatus::IoError, WriteStatus::UnsupportedFile,
                              WriteStatus::BadName, WriteStatus::BadValue})
        EXPECT_EQ(told(status).rfind(u"認識エリア「A」は記録されていません。\n", 0), 0u);
    // The file to look at, or the value at fault.
    EXPECT_NE(told(WriteStatus::IoError).find(u"読み取り専用になっていないか"),
              std::u16string::npos);
    EXPECT_NE(told(WriteStatus::UnsupportedFile).find(u"/p/Kavoren.ini"), std::u16string::npos);
    EXPECT_NE(told(WriteStatus::BadValue).find(u"COMMENT の値"), std::u16string::npos);
    EXPECT_NE(told(WriteStatus::BadName).find(u"エリア名"), std::u16string::npos);
}
