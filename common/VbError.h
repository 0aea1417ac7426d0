#pragma once
// A run-time error with the number and description the Basic run-time gives it. Handlers
// that report errors by number ("An Error 53 occurred in Form_Load") or by description
// ("Error File not found occurred in OKButton") catch this.

#include "platform/RunTimeError.h"

#include <QString>
#include <exception>
#include <string>

struct VbError : std::exception, platform::NumberedError {
    int number;
    QString description;

    explicit VbError(int number);                 // with the standard description
    VbError(int number, const QString& description);

    const char* what() const noexcept override;
    int errorNumber() const override { return number; }
    QString errorDescription() const override { return description; }

    // The standard description of a run-time error number ("File not found" for 53...);
    // "Application-defined or object-defined error" for numbers without one.
    static QString standardDescription(int number);

private:
    std::string whatText;
};
