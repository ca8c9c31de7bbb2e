#pragma once
// The page shown while the product downloads and installs.
#include "ui/CGuidePanel.h"

namespace ovek {

class CStatusPanel : public CGuidePanel {};

}  // namespace ovek
