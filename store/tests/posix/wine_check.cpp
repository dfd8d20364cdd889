#include "store/tests/test_support.h"

namespace vendaro::test {

bool RunningUnderWine() {
    return false;
}

}  // namespace vendaro::test
