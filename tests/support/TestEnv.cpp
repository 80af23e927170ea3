#include "support/TestEnv.h"

namespace tw::test {

TestEnv::TestEnv() {
    strings.load({
        {20001, u"Tallowmere Pro"},
        {20200, u"Favourites"},
        {20201, u"Find Results"},
        {20202, u"Recent"},
        {20203, u"My Forms"},
        {20204, u"Yes"},
        {20205, u"No"},
        {20509, u"New Card"},
        {20510, u"Personal"},
        {20520, u"Recovered"},
        {20521, u"Found again"},
        {22006, u"The password was changed."},
        {22164, u"The wallet %s is damaged. Repair it?"},
        {22165, u"Make a copy of the wallet before repairing it."},
        {22166, u"%d repairs were made to %s."},
        {22167, u"No damage found in %s."},
        {22168, u"Copy: %s"},
        {22169, u"Removed: %s"},
        {22170, u"Emptied: %s"},
        {22171, u"Kept in part: %s"},
        {22172, u"Moved to %s: %s"},
        {22173, u"No copy at %s: nothing changed."},
    });
}

void TestEnv::tick() {
    SystemTime t = clock.localTime();
    if (++t.second == 60) {
        t.second = 0;
        ++t.minute;
    }
    clock.set(t);
}

}  // namespace tw::test
