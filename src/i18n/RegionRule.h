#pragma once
// Regions where the user must tick the licence box himself: Japan, Canada,
// the European Union and the United Kingdom. Keys are Windows geographical
// location identifiers; the names are labels only.
#include <cstdint>

namespace ovek {

struct ConsentRegion {
    int32_t geoId;
    const wchar_t* name;
};

inline constexpr ConsentRegion kConsentRegions[] = {
    {122, L"Japan"},      {39, L"Canada"},       {14, L"Austria"},    {21, L"Belgium"},
    {35, L"Bulgaria"},    {108, L"Croatia"},     {59, L"Cyprus"},     {75, L"Czechia"},
    {61, L"Denmark"},     {70, L"Estonia"},      {77, L"Finland"},    {84, L"France"},
    {94, L"Germany"},     {98, L"Greece"},       {109, L"Hungary"},   {68, L"Ireland"},
    {118, L"Italy"},      {140, L"Latvia"},      {141, L"Lithuania"}, {147, L"Luxembourg"},
    {163, L"Malta"},      {176, L"Netherlands"}, {191, L"Poland"},    {193, L"Portugal"},
    {200, L"Romania"},    {143, L"Slovakia"},    {212, L"Slovenia"},  {217, L"Spain"},
    {221, L"Sweden"},     {242, L"United Kingdom"},
};

inline bool IsConsentRegion(int32_t geoId) {
    for (const ConsentRegion& region : kConsentRegions)
        if (region.geoId == geoId) return true;
    return false;
}

// True when the user's region ("Nation" of the user's Geo key) is one of the
// consent regions; a missing or non-numeric value counts as no region.
bool UserRegionNeedsConsent();

}  // namespace ovek
