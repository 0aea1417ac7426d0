#pragma once
// The message a handler shows when a run-time error ends it ("Error File not found occurred in
// OKButton", "An Error 53 occurred in Form_Load"...), and the guard that runs a handler's work
// and shows it. Each window keeps the spelling its handlers have always used.

#include "common/VbError.h"

#include <QString>

#include <exception>
#include <functional>

enum class ErrorSpelling {
    Description,   // "Error <description> occurred in <handler>"
    Number,        // "Error <number> occurred in <handler>"
    AnNumber,      // "An Error <number> occurred in <handler>"
    Subroutine,    // "Error - <description> occurred in subroutine <handler>"
    QuotedHandler, // "An Error <description> occurred in '<handler>'"
};

// The message of error in the given spelling, naming handler.
QString handlerErrorText(ErrorSpelling spelling, const VbError& error, const QString& handler);

// Shows that message with the exclamation icon.
void showHandlerError(ErrorSpelling spelling, const VbError& error, const QString& handler);

// The run-time error an exception stands for: a VbError is itself, exhausted memory is error 7
// "Out of memory", and any other exception is error 51 with its own text.
VbError runTimeErrorOf(const std::exception& e);

// Runs work. When an exception ends it, shows the handler's message for it and answers false.
bool runGuarded(ErrorSpelling spelling, const QString& handler, const std::function<void()>& work);
