// KDE Plasma on Wayland: the picture KWin writes into the pipe, and what the
// user is told when KDE's portal cancels for want of a pictures folder.
#include "KWinScreenShot.h"
#include "PortalScreenshot.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

using platform::wayland::PictureFromRaw;
using platform::wayland::PortalRefusal;

QVariantMap Described(int width, int height, int stride, QImage::Format format) {
    return {{QStringLiteral("type"), QStringLiteral("raw")},
            {QStringLiteral("width"), static_cast<uint>(width)},
            {QStringLiteral("height"), static_cast<uint>(height)},
            {QStringLiteral("stride"), static_cast<uint>(stride)},
            {QStringLiteral("format"), static_cast<uint>(format)}};
}

TEST(KWinPicture, RowsPaddedPastTheirPixelsComeBackPixelForPixel) {
    // 3 x 2 premultiplied ARGB (what KWin sends), each row padded to 16 bytes.
    const int width = 3, height = 2, stride = 16;
    QByteArray bytes(stride * height, '\x55'); // the padding must not show
    const QRgb pixels[height][width] = {{0xff000000, 0xffffffff, 0xff7f0010},
                                        {0xff102030, 0xff405060, 0xff708090}};
    for (int y = 0; y < height; ++y)
        std::memcpy(bytes.data() + y * stride, pixels[y], sizeof pixels[y]);
    const QImage picture = PictureFromRaw(
        bytes, Described(width, height, stride, QImage::Format_ARGB32_Premultiplied));
    ASSERT_EQ(picture.size(), QSize(width, height));
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(picture.pixel(x, y), pixels[y][x]) << x << "," << y;
}

TEST(KWinPicture, WhatDoesNotFitIsNoPicture) {
    const QByteArray full(4 * 4 * 4, '\0');
    const auto argb = QImage::Format_ARGB32_Premultiplied;
    EXPECT_FALSE(PictureFromRaw(full, Described(4, 4, 16, argb)).isNull());
    // Fewer bytes than rows (KWin stopped writing).
    EXPECT_TRUE(PictureFromRaw(full.left(63), Described(4, 4, 16, argb)).isNull());
    // Rows narrower than their pixels.
    EXPECT_TRUE(PictureFromRaw(full, Described(4, 4, 12, argb)).isNull());
    // No size, an unknown format, another kind of answer.
    EXPECT_TRUE(PictureFromRaw(full, Described(0, 4, 16, argb)).isNull());
    EXPECT_TRUE(PictureFromRaw(full, Described(4, 4, 16, QImage::Format_Invalid)).isNull());
    EXPECT_TRUE(PictureFromRaw(full, Described(4, 4, 16, QImage::Format(999))).isNull());
    QVariantMap other = Described(4, 4, 16, argb);
    other[QStringLiteral("type")] = QStringLiteral("dmabuf");
    EXPECT_TRUE(PictureFromRaw(full, other).isNull());
}

TEST(PortalRefusal, KdesCancelForWantOfThePicturesFolderSaysWhichFolderToMake) {
    EXPECT_EQ(PortalRefusal(0), QString());
    EXPECT_EQ(PortalRefusal(1), QStringLiteral("画面の読み取りが取り消されました。"));
    const QString told = PortalRefusal(1, QStringLiteral("/home/u/Pictures"));
    EXPECT_TRUE(told.contains(QStringLiteral("/home/u/Pictures"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("フォルダを作ると読み取れます")))
        << told.toStdString();
    // Refused for another reason: the folder is beside the point.
    EXPECT_FALSE(
        PortalRefusal(2, QStringLiteral("/home/u/Pictures")).contains(QStringLiteral("/home/u")));
}

} // namespace
