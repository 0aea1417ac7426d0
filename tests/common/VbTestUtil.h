#pragma once

#include "common/VbError.h"

#include <gtest/gtest.h>

#include <QString>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// Runs f and expects it to raise the run-time error number; returns the caught error's
// description (empty when nothing or something else was raised).
template <typename F>
QString expectVbError(int number, F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, number);
        return e.description;
    } catch (...) {
        ADD_FAILURE() << "raised something other than VbError";
        return QString();
    }
    ADD_FAILURE() << "no error raised, expected error " << number;
    return QString();
}
