// A profile file in a fresh temporary folder, and the store the windows
// under test work with on it.
#pragma once

#include "FUMIni.h"
#include "FileIo.h"
#include "ProfileLayout.h"
#include "TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fakes {

// Areas X, Y and Z over the numbers of examples/xyz.png shown with its
// top-left corner at left, top (the numbers 14 pixels right of the letters,
// the lines 15 pixels apart), in group 0, with " " as their delimiter, after
// the areas of the list; X is current and reads Y and Z after it.
inline void WriteXyzAreas(store::ProfileStore& ini, int left, int top) {
    const std::u16string names[] = {u"X", u"Y", u"Z"};
    for (int i = 0; i < 3; ++i) {
        const std::u16string s = u"認識エリア" + names[i];
        ini.IniWrite(u"ARIALIST", u"LIST" + profile::Decimal(i + 1), names[i]);
        ini.IniWrite(s, u"CHRGROP", u" 0");
        ini.IniWrite(s, u"LEFT", profile::Decimal(left + 14));
        ini.IniWrite(s, u"TOP", profile::Decimal(top + 15 * i));
        ini.IniWrite(s, u"WIDTH", u"49");
        ini.IniWrite(s, u"HEIGHT", u"11");
        ini.IniWrite(s, u"区切り", u" ");
    }
    ini.IniWrite(u"ENDDATA", u"AREA", u"X");
    ini.IniWrite(u"認識エリアX", u"FIELD0", u"Y");
    ini.IniWrite(u"認識エリアX", u"FIELD1", u"Z");
}

class ProfileFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    store::ProfileStore ini{
        settings::PathFromText(dir.filePath(QStringLiteral("Kavoren.ini")).toStdU16String())};

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& name) const { return dir.filePath(name); }

    // Writes the profile as the Win32 functions would: CP932, CR LF.
    void writeProfile(const QString& text) {
        QString crlf = text;
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        const auto bytes = settings::Encode(settings::FileEncoding::Cp932, crlf.toStdU16String());
        ASSERT_TRUE(bytes.has_value());
        writeFile(QStringLiteral("Kavoren.ini"), QByteArray::fromStdString(*bytes));
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
#ifdef TIRELMA_SOURCE_DIR
    // The demo profile of the examples: area Counter at 100, 100, 76 x 11,
    // a group of digits and signs.
    void writeDemoProfile() {
        QFile demo(QStringLiteral(TIRELMA_SOURCE_DIR "/examples/Kavoren.ini"));
        ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
        writeFile(QStringLiteral("Kavoren.ini"), demo.readAll());
    }
#endif
    QByteArray readFile(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString Cp932(const QByteArray& bytes) {
        return QString::fromStdU16String(
            settings::Decode(settings::FileEncoding::Cp932, bytes.toStdString()));
    }
};

} // namespace fakes
