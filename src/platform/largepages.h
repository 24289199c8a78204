#pragma once

namespace bp {

// Large edits of a large text (a Replace All, the undo history behind it)
// touch many megabytes of fresh memory at once, and where every page of it
// costs the kernel a fault that is slow. Where the kernel hands out huge
// pages only to memory that asks for them, the C library asks when its
// glibc.malloc.hugetlb setting is on; it reads that setting only as a
// program starts. So the setting goes into the environment of the program
// to be started, and that program puts the environment back at once, so that
// the tools it runs in turn get it as it was.

// Adds the setting to the environment for a program about to be started by
// exec. False when it is not needed (the kernel gives huge pages always or
// never) or the environment already chooses.
bool AskForHugePages();

// First thing in main(). In a program started after AskForHugePages, puts
// the environment back as it was. In one started directly, starts it once
// more in its own process with the setting (a second load of the program,
// which the launcher saves), and returns when that is not needed or not
// possible.
void StartWithHugePages(char** argv);

} // namespace bp
