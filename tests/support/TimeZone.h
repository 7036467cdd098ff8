#pragma once

namespace ombrix::test {

// Local time is UTC from now on in this process, so dates shown are the same everywhere.
void useUtc();

}  // namespace ombrix::test
