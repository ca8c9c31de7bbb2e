// Plays a prerequisite package (e.g. a runtime redistributable).
#include "CommandLineRecorder.h"

int main() { return RecordCommandLine(); }
