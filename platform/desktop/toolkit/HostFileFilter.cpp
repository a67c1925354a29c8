#include "platform/desktop/toolkit/HostFileFilter.h"

#include "platform/desktop/toolkit/ToolkitTexts.h"

namespace vorra::desktop {

namespace {

QString filterLine(const QString& description, const QString& patterns) {
    QStringList parts;
    for (const QString& p : patterns.split(u';', Qt::SkipEmptyParts))
        if (QString t = p.trimmed(); !t.isEmpty()) parts << t;
    if (parts.isEmpty()) parts << QStringLiteral("*");
    // A Qt file dialog reads the patterns from the last bracket pair of the line, so a
    // description that carries a bracket pair of its own keeps it as plain text.
    return description + QStringLiteral(" (") + parts.join(u' ') + u')';
}

}  // namespace

DialogFilters convertHostFilter(const std::string& filter, int filterIndex) {
    DialogFilters out;
    const QStringList items = QString::fromStdString(filter).split(u',');
    if (QString::fromStdString(filter).trimmed().isEmpty()) {
        out.filters << filterLine(QString::fromUtf8(texts::kAllFiles), QStringLiteral("*"));
    } else {
        for (qsizetype i = 0; i < items.size(); i += 2) {
            QString description = items[i].trimmed();
            QString patterns = i + 1 < items.size() ? items[i + 1] : QStringLiteral("*");
            if (description.isEmpty()) description = QString::fromUtf8(texts::kAllFiles);
            out.filters << filterLine(description, patterns);
        }
    }
    int index = filterIndex >= 1 && filterIndex <= out.filters.size() ? filterIndex - 1 : 0;
    out.selected = out.filters[index];
    return out;
}

}  // namespace vorra::desktop
