#include "ProfileDocument.h"

#include <gtest/gtest.h>

using settings::ProfileDocument;

TEST(ProfileDocument, Smoke) {
    ProfileDocument d;
    ASSERT_EQ(d.write(u"認識エリアCounter", u"区切り", u" "), settings::WriteStatus::Ok);
    EXPECT_EQ(d.read(u"認識エリアcounter", u"区切り").value(), u" ");
}
