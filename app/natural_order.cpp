// SPDX-License-Identifier: GPL-3.0-or-later
#include "natural_order.h"

namespace app {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype digitRunEnd(const QString &text, qsizetype from)
{
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

// Compares two digit runs by value, of any length: leading zeros aside, the longer is larger.
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype endA = digitRunEnd(a, i), endB = digitRunEnd(b, j);
            if (const int order =
                    compareNumbers(QStringView(a).sliced(i, endA - i), QStringView(b).sliced(j, endB - j)))
                return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        const char16_t x = a[i].toCaseFolded().unicode(), y = b[j].toCaseFolded().unicode();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace app
