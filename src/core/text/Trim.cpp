#include "core/text/Trim.h"

namespace {

template <typename Blank> QString trim(QStringView s, Blank blank) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && blank(s[begin]))
        ++begin;
    while (end > begin && blank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin).toString();
}

} // namespace

QString Trim::spacesAndTabs(QStringView s) {
    return trim(s, [](QChar c) { return c == u' ' || c == u'\t'; });
}

QString Trim::horizontal(QStringView s) {
    return trim(s, [](QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; });
}
