#pragma once
// The last page: the product is ready to start.
#include "ui/CGuidePanel.h"

namespace ovek {

class CSuccessPanel : public CGuidePanel {};

}  // namespace ovek
