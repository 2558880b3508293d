// File-dialog filters written as "label|pattern|label|pattern", turned into
// the "label (pattern)" entries Qt's dialog shows.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

QStringList QtNameFilters(const QString& filter);

} // namespace platform
