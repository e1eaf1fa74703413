#include "app/random.h"

namespace lumor {

SeededRandom& programRandom() {
    static SeededRandom random;
    return random;
}

}  // namespace lumor
