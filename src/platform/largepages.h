#pragma once

namespace bp {

// Large edits of a large text (a Replace All, the undo history behind it)
// touch many megabytes of fresh memory at once, and where every page of it
// costs the kernel a fault that is slow. Where the kernel hands out huge
// pages only to memory that asks for them, the C library asks when its
// glibc.malloc.hugetlb setting is on; it reads that setting only as a
// program starts. So, called first thing in main(), this starts the program
// once more in its own process with the setting added, and returns when it
// is already on, not needed or not possible. Programs started from here get
// the environment as it was.
void StartWithHugePages(char** argv);

} // namespace bp
