#pragma once
// Node keys are "nod" followed by a number. Lookups that have to be fast for a million
// elements index such keys by their number instead of hashing their text.

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace xmltree {

// The number of a key that is "nod" (in any letter case) followed by a decimal number
// without leading zeros, below 2^31; -1 for any other key. Two keys that are equal without
// regard to case have the same number.
inline qint64 keyNumber(QStringView key)
{
    const qsizetype n = key.size();
    if (n < 4 || n > 13)
        return -1;
    const auto lower = [](char16_t c) { return char16_t(c >= u'A' && c <= u'Z' ? c + 32 : c); };
    if (lower(key[0].unicode()) != u'n' || lower(key[1].unicode()) != u'o' || lower(key[2].unicode()) != u'd')
        return -1;
    if (key[3] == u'0' && n > 4)
        return -1;
    qint64 value = 0;
    for (qsizetype i = 3; i < n; ++i) {
        const char16_t c = key[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value <= 0x7fffffff ? value : -1;
}

// "nod" and the number, made in one piece.
inline QString keyText(qint64 number)
{
    char16_t digits[24];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    QString key(3 + n, Qt::Uninitialized);
    QChar* out = key.data();
    *out++ = u'n';
    *out++ = u'o';
    *out++ = u'd';
    while (n > 0)
        *out++ = digits[--n];
    return key;
}

} // namespace xmltree
