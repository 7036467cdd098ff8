#include "TimeZone.h"

#include <cstdlib>
#include <ctime>

namespace ombrix::test {

void useUtc()
{
    _putenv_s("TZ", "UTC0");
    _tzset();
}

}  // namespace ombrix::test
