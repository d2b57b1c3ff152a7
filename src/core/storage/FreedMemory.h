#pragma once

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Hands the room a large step let go of back to the system: the heap would
// keep it for allocations that never come, and what the next step takes
// would pile on top of it in the process's resident memory.
inline void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
