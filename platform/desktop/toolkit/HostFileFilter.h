#pragma once
// The host's file filter text, pairs of description and patterns separated by commas
// ("模板文件,*.xls;*.xlsx" or "EXCEl Files (*.xls), *.xls*"), as the filter lines of a
// Qt file dialog ("模板文件 (*.xls *.xlsx)").

#include <QString>
#include <QStringList>
#include <string>

namespace vorra::desktop {

struct DialogFilters {
    QStringList filters;  // one line per pair, in the given order
    QString selected;     // the line the dialog starts with
};

// filterIndex counts from 1 as the host does; 0 or an index past the end selects the
// first line. An empty filter text gives one line for all files; a description left
// without patterns at the end stands for all files too.
DialogFilters convertHostFilter(const std::string& filter, int filterIndex);

}  // namespace vorra::desktop
