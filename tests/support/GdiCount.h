#pragma once
// How many GDI objects this process holds, for leak checks. Windows answers
// GetGuiResources; Wine answers 0 there, so the count is read from the other
// side: how many objects can still be made before the handle table is full.
// Compare two readings: each object held in between raises it by one.
namespace ovek::test {

long GdiObjectCount();

}  // namespace ovek::test
