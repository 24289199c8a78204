#pragma once

namespace bp {

// First thing in main(). Large edits of a large text (a Replace All, the
// undo after it) allocate and free blocks of several megabytes each time.
// By default the C library hands such blocks back to the system at once and
// every page of the next one is a fresh page fault; this keeps freed memory
// in the process for the next block instead. Does nothing where the C
// library offers no such settings.
void KeepFreedMemory();

} // namespace bp
