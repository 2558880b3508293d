#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

namespace platform {

QStringList QtTranslationFolders(const QString& programDir) {
    QStringList folders;
    if (!programDir.isEmpty()) folders << QDir(programDir).filePath(QStringLiteral("translations"));
    folders << QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    return folders;
}

std::unique_ptr<QTranslator> InstallQtJapanese(const QString& programDir) {
    // Dates and sizes in the file chooser follow the language too.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    for (const QString& folder : QtTranslationFolders(programDir)) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QStringLiteral("qtbase_ja"), folder)) continue;
        if (!QCoreApplication::installTranslator(translator.get())) continue;
        return translator;
    }
    return nullptr;
}

} // namespace platform
