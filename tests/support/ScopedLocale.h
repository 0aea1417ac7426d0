#pragma once
// A locale (LC_ALL) for the length of a scope, with the program's ANSI code page following it;
// at the end the environment's own locale and code page are back.

#include "support/ScopedEnv.h"

#include "platform/TextCodec.h"

#include <memory>

class ScopedLocale {
public:
    explicit ScopedLocale(const char* locale) : env_(std::make_unique<ScopedEnv>("LC_ALL", locale))
    {
        platform::resetAnsiCodePage();
    }
    ~ScopedLocale()
    {
        env_.reset();
        platform::resetAnsiCodePage();
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    std::unique_ptr<ScopedEnv> env_;
};
