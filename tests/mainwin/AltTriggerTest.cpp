// When Alt opens the main window: the keyboard as each tick of the watch
// sees it (what is down now, what was pressed since the previous tick).
#include "AltTrigger.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::KeyboardState;
using tray::AltTrigger;

// Look by look: a = Alt down, o = another key or button down, A = Alt
// pressed since the previous look, O = another pressed since then, - = all up.
KeyboardState Look(const char* k) {
    KeyboardState s;
    for (; *k; ++k) {
        s.altDown |= *k == 'a';
        s.otherDown |= *k == 'o';
        s.altPressed |= *k == 'A';
        s.otherPressed |= *k == 'O';
    }
    return s;
}

// The looks at which the main window opens, counted from 0.
std::vector<int> Opens(AltTrigger& t, const std::vector<const char*>& looks) {
    std::vector<int> at;
    int i = 0;
    for (const char* k : looks) {
        if (t.tick(Look(k))) at.push_back(i);
        ++i;
    }
    return at;
}

TEST(AltTrigger, AltAloneOpensWhenReleased) {
    AltTrigger t;
    t.restart(Look("-"));
    EXPECT_EQ(Opens(t, {"aA", "a", "a", "-", "-"}), std::vector<int>{3});
    // Pressed and released between two looks (a short tap).
    EXPECT_EQ(Opens(t, {"-", "A", "-"}), std::vector<int>{1});
}

TEST(AltTrigger, AltWithAnythingElseOpensNothing) {
    const std::vector<std::vector<const char*>> shortcuts = {
        {"-", "aA", "aO", "a", "-", "-"}, // Alt+Tab, the Tab tapped between two looks
        {"-", "aA", "ao", "a", "-"},      // Alt+F4 with F4 seen down
        {"-", "aA", "aoO", "o", "-"},     // Alt released before the other key
        {"-", "aAO", "a", "-"},           // both went down between two looks
        {"-", "AO", "-"},                 // both tapped between two looks
        {"-", "o", "ao", "o", "-"},       // Ctrl first, then Alt: Ctrl+Alt+...
        {"-", "aA", "a", "O", "-"},       // released with a key between the looks
    };
    for (const auto& s : shortcuts) {
        AltTrigger t;
        t.restart(Look("-"));
        EXPECT_TRUE(Opens(t, s).empty());
        // Afterwards Alt alone works again.
        EXPECT_EQ(Opens(t, {"aA", "-"}), std::vector<int>{1});
    }
}

TEST(AltTrigger, AltHeldWhenTheWatchBeginsCountsOnlyOnceReleased) {
    // Alt+W closed the main window and Alt is still down: nothing opens, not
    // even when it is let go; the next Alt alone opens.
    AltTrigger t;
    t.restart(Look("a"));
    EXPECT_TRUE(Opens(t, {"a", "aO", "a", "-", "-"}).empty());
    EXPECT_EQ(Opens(t, {"aA", "-"}), std::vector<int>{1});
    // Another key held when the watch begins counts the same.
    t.restart(Look("o"));
    EXPECT_TRUE(Opens(t, {"ao", "a", "-"}).empty());
    // Alt pressed at once after the watch began (the first tick already
    // sees it down) is Alt alone.
    t.restart(Look("-"));
    EXPECT_EQ(Opens(t, {"aA", "-"}), std::vector<int>{1});
}

TEST(AltTrigger, AtOnceOpensWheneverAltIsDown) {
    AltTrigger t;
    t.setMode(AltTrigger::Mode::AtOnce);
    t.restart(Look("a"));
    EXPECT_EQ(Opens(t, {"a", "aO", "-", "A", "ao"}), (std::vector<int>{0, 1, 4}));
}

} // namespace
