#pragma once

#include <string>

namespace testsupport {

// The user's short date format (HKEY_CURRENT_USER\Control Panel\International, "sShortDate") set
// for one test and put back afterwards. Wine reads the value once per process, at the first date
// it formats: set it before anything of the test process formats a date, or a program started
// afterwards sees it.
class ShortDateFormat {
public:
    explicit ShortDateFormat(const std::string& format);
    ~ShortDateFormat();
    ShortDateFormat(const ShortDateFormat&) = delete;
    ShortDateFormat& operator=(const ShortDateFormat&) = delete;

private:
    bool hadValue_ = false;
    std::wstring saved_;
};

} // namespace testsupport
