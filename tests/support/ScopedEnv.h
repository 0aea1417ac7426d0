#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <vector>

// Sets an environment variable for the length of a scope and then puts back what was
// there before (or removes it). An empty value leaves the variable as it is, so a test
// can set a variable in some rows of a table only.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        if (!value.isEmpty())
            qputenv(name, value);
    }
    ScopedEnv(const char* name, const QString& value) : ScopedEnv(name, QFile::encodeName(value)) {}
    ScopedEnv(const char* name, const char* value) : ScopedEnv(name, QByteArray(value)) {}
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// Variables set one after another for an object's life; restore() (or the end of the list)
// puts them all back, the last one set first.
class ScopedEnvList {
public:
    ScopedEnvList() = default;
    ScopedEnvList(const ScopedEnvList&) = delete;
    ScopedEnvList& operator=(const ScopedEnvList&) = delete;
    ~ScopedEnvList() { restore(); }

    void set(const char* name, const QByteArray& value) { vars_.push_back(std::make_unique<ScopedEnv>(name, value)); }
    void restore()
    {
        while (!vars_.empty())
            vars_.pop_back();
    }

private:
    std::vector<std::unique_ptr<ScopedEnv>> vars_;
};
