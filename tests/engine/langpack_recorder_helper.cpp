// Plays a language pack: records its switches and ends.
#include "CommandLineRecorder.h"

int main() { return RecordCommandLine(); }
