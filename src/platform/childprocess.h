#pragma once

class QProcess;

namespace bp {

// Gives the tool a roomy output pipe (1 MB where the system allows it), so
// that a tool printing much never waits for this process to come round and
// read. Call before starting the process; elsewhere than Linux nothing changes.
void enlargeOutputPipe(QProcess& process);

} // namespace bp
