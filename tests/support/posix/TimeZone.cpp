#include "TimeZone.h"

#include <cstdlib>
#include <ctime>

namespace ombrix::test {

void useUtc()
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
}

}  // namespace ombrix::test
