// Qt's standard dialogs speak Japanese: where the translation is found, and
// the file chooser of the output settings as the user sees it.
#include "Dialogs.h"
#include "Fakes.h"
#include "Translations.h"
#include "frmFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString QtFolderFile() {
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        .filePath(QStringLiteral("qtbase_ja.qm"));
}

// A program folder with translations/qtbase_ja.qm holding bytes.
void Beside(const QTemporaryDir& dir, const QByteArray& bytes) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("translations")));
    QFile f(dir.filePath(QStringLiteral("translations/qtbase_ja.qm")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(QtJapanese, TakenFromBesideTheProgramFirstThenFromQtsFolder) {
    QFile system(QtFolderFile());
    ASSERT_TRUE(system.open(QIODevice::ReadOnly)) << "qt6-translations-l10n is not installed";
    const QByteArray qm = system.readAll();

    QTemporaryDir copied;
    Beside(copied, qm);
    auto t = platform::InstallQtJapanese(copied.path());
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->filePath().startsWith(copied.path())) << t->filePath().toStdString();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
    t.reset(); // uninstalled with it
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

    // A damaged copy beside the program, or none: Qt's own.
    QTemporaryDir damaged;
    Beside(damaged, "not a translation");
    for (const QString& dir : {damaged.path(), QString()}) {
        t = platform::InstallQtJapanese(dir);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(QFileInfo(t->filePath()), QFileInfo(QtFolderFile()));
    }
}

TEST(QtJapanese, TheFileChooserIsJapaneseAndNamesTheResultFile) {
    const auto t = platform::InstallQtJapanese(QString());
    ASSERT_NE(t, nullptr);
    QString title;
    QStringList buttons, labels;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        title = d->windowTitle();
        for (const auto* b : d->findChildren<QPushButton*>())
            if (b->isVisible()) buttons << b->text();
        for (const auto* l : d->findChildren<QLabel*>())
            if (l->isVisible()) labels << l->text();
        d->reject();
    });
    poll.start(10);
    platform::QtDialogs dialogs;
    EXPECT_EQ(dialogs.openFileName(nullptr, mainwin::kResultFileTitle, mainwin::kResultFileFilter,
                                   QString()),
              QString());
    EXPECT_EQ(title, QStringLiteral("書き込みファイルの選択"));
#ifdef _WIN32
    GTEST_SKIP() << "Windows shows its own file chooser, in the system's language";
#endif
    EXPECT_TRUE(buttons.contains(QStringLiteral("選択"))) << buttons.join('|').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("キャンセル"))) << buttons.join('|').toStdString();
    for (const char* english : {"Look in:", "File name:", "Files of type:"})
        EXPECT_FALSE(labels.contains(QLatin1String(english))) << labels.join('|').toStdString();
}

} // namespace
