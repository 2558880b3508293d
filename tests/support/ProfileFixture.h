// A profile file in a fresh temporary folder, which IniDir() points at.
#pragma once

#include "FUMIni.h"
#include "TextCodec.h"
#include "modPub.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fakes {

class ProfileFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        FUMIni::SetIniDir(dir.path().toStdU16String());
        modPub::IniName = u"Kavoren.ini";
    }
    void TearDown() override { FUMIni::SetIniDir({}); }

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
