#include "i18n/RegionRule.h"

#include "app/RegistryKey.h"
#include "framework/DecimalText.h"

namespace ovek {

bool UserRegionNeedsConsent() {
    CRegistryKey geo(HKEY_CURRENT_USER, reg::kGeoKey);
    const int32_t geoId = ReadDecimal(geo.QueryString(reg::kNation).value_or(L""));
    return IsConsentRegion(geoId);
}

}  // namespace ovek
