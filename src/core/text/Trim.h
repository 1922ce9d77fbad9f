#pragma once

#include <QString>
#include <QStringView>

// Trimming that keeps line breaks: typed lines and stored texts are trimmed only of the blanks a
// user can type on one line.
namespace Trim {
// Spaces and tabs only.
QString spacesAndTabs(QStringView s);
// Tabs and every Unicode space separator.
QString horizontal(QStringView s);
} // namespace Trim
