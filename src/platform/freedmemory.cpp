#include "platform/freedmemory.h"

#include <cstdlib> // names the C library (__GLIBC__) before it is asked for

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace bp {

void KeepFreedMemory()
{
#ifdef __GLIBC__
    // Blocks below 32 MiB (the most glibc accepts on 64-bit systems) come
    // from the heap rather than from a mapping of their own, which each
    // free would unmap. Larger ones still get their own.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    // Up to 128 MiB freed at the top of the heap stay with the process, room
    // for the blocks of a few large edits, instead of going back to the
    // system whenever 128 KiB are free there.
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

} // namespace bp
