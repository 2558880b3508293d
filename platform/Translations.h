// Qt's own texts (the file chooser, the buttons of message boxes) in
// Japanese, as every text of the program is.
#pragma once

#include <QString>
#include <QTranslator>

#include <memory>

namespace platform {

// Where Qt's Japanese texts are looked for, in this order: the folder
// "translations" beside the program (a copied or Windows install ships
// translations/qtbase_ja.qm there), then Qt's own translations folder.
QStringList QtTranslationFolders(const QString& programDir);

// Loads qtbase_ja.qm from the first of those folders that has a readable
// one and installs it in the application; the translation stays in force as
// long as the returned object lives. Null when no folder has one: Qt then
// speaks English, and nothing else changes.
std::unique_ptr<QTranslator> InstallQtJapanese(const QString& programDir);

} // namespace platform
