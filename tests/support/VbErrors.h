#pragma once
// Catching the run-time errors (VbError) that the code under test raises.

#include "common/VbError.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QString>

// Runs f; the number of the run-time error it raised (its description in *description), 0 when
// it raised none.
template <typename F>
int vbErrorNumber(F&& f, QString* description = nullptr)
{
    try {
        f();
    } catch (const VbError& e) {
        if (description)
            *description = e.description;
        return e.number;
    }
    return 0;
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
