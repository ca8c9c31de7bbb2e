#include "validate/CClientValidator.h"

namespace ovek {

void CClientValidator::RunModal() {
    // The version check is not wired in yet: every run may go on.
    outcome = kContinue;
}

}  // namespace ovek
