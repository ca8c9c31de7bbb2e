// Plays a language pack: records its switches, then takes a second to
// "install", so a test can act while it runs.
#include "CommandLineRecorder.h"

int main() {
    const int result = RecordCommandLine();
    ::Sleep(1000);
    return result;
}
