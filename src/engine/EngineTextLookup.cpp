#include "engine/EngineText.h"

namespace ovek {

std::wstring LookUpEngineText(EngineText id) {
    return EngineTextDefault(id);
}

}  // namespace ovek
