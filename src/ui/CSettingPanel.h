#pragma once
// The first page: licence acceptance, interface language and installation folder.
#include "ui/CGuidePanel.h"

namespace ovek {

class CSettingPanel : public CGuidePanel {};

}  // namespace ovek
