#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace testing_support {

// Sets or clears an environment variable for the life of a test, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : ScopedEnv(name) { qputenv(name, value); }
    static ScopedEnv Unset(const char* name) {
        ScopedEnv env(name);
        qunsetenv(name);
        return env;
    }
    ~ScopedEnv() {
        if (name_ == nullptr) {
            return;
        }
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(ScopedEnv&& other) noexcept : name_(other.name_), old_(other.old_), had_(other.had_) {
        other.name_ = nullptr;
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ScopedEnv& operator=(ScopedEnv&&) = delete;

private:
    explicit ScopedEnv(const char* name)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {}

    const char* name_;
    QByteArray old_;
    bool had_;
};

} // namespace testing_support
