#pragma once
// Run-time errors as the application object sees them: a number and a description. The
// program's errors (VbError) carry both; the application object shows any of them that leaves
// a window's handler, and describes the failures that carry none (memory exhausted, anything
// unknown) by the run-time's own numbers and texts.

#include <QString>

namespace platform {

// An error with a run-time error number and its description.
class NumberedError {
public:
    virtual ~NumberedError() = default;
    virtual int errorNumber() const = 0;
    virtual QString errorDescription() const = 0;
};

// The run-time's description of an error number ("File not found" for 53...);
// "Application-defined or object-defined error" for numbers without one.
QString runTimeErrorDescription(int number);

} // namespace platform
