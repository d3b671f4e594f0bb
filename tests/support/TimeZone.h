// Sets TZ for the life of the object, restoring it afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

class TimeZone
{
public:
    explicit TimeZone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        m_hadOld = old != nullptr;
        if (m_hadOld) {
            m_old = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (m_hadOld) {
            ::setenv("TZ", m_old.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    bool m_hadOld = false;
    std::string m_old;
};
