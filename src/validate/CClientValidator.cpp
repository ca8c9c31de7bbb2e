#include "validate/CClientValidator.h"

#include "net/InternetSession.h"

namespace ovek {

CClientValidator::CClientValidator() { EnsureInternetSession(); }

CClientValidator::~CClientValidator() { CloseInternetSession(); }

void CClientValidator::RunModal() {
    // The version check is not wired in yet: every run may go on.
    outcome = kContinue;
}

}  // namespace ovek
