#include "app/edition.h"

namespace lumor {
namespace {
const EditionRules* current = &MainRules;
}

const EditionRules& edition() { return *current; }

void setEdition(Edition e) { current = e == Edition::Earlier ? &EarlierRules : &MainRules; }

}  // namespace lumor
