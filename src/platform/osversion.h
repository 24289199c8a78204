#pragma once

namespace bp {

// The operating system's major version: on Linux the kernel's, on Windows
// the system's. Tests replace it with setOsMajorVersionForTesting.
int osMajorVersion();

// A value below 0 removes the replacement.
void setOsMajorVersionForTesting(int major);

} // namespace bp
