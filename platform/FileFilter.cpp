#include "FileFilter.h"

namespace platform {

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(u';', u' '); // "*.txt;*.csv" lists several patterns
        // A label that already ends with its patterns in parentheses keeps them.
        if (label.endsWith(u'(' + pattern + u')'))
            out << label;
        else
            out << label + QStringLiteral(" (") + pattern + u')';
    }
    return out;
}

} // namespace platform
