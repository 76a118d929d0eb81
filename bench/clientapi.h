#pragma once
// Bare client API loops of the benchmarks: a failed call ends the run with
// the engine's first message.
#include <ibase.h>

#include <stdexcept>

namespace bench {

inline void Check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0) {
        char buf[512];
        const ISC_STATUS* p = status;
        fb_interpret(buf, sizeof buf, &p);
        throw std::runtime_error(buf);
    }
}

}  // namespace bench
