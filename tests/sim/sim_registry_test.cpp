// The registry file of the simulated machine.
#include <gtest/gtest.h>

#include "platform/sim/SimRegFile.h"
#include "support/SimFixture.h"

namespace {

using Registry = SimFixture;

TEST_F(Registry, ASecondMachineObjectSeesChangesAtOnce)
{
    SimMachine other(machine().Folder());
    ASSERT_TRUE(machine().RegOpenKey(RegRoot::CurrentUser, u"Software\\Pub", KEY_WRITE_MASK, true));
    ASSERT_TRUE(machine().RegWriteString(RegRoot::CurrentUser, u"Software\\Pub", u"Name", u"one"));
    EXPECT_EQ(other.RegReadString(RegRoot::CurrentUser, u"software\\PUB", u"name"), u"one");
    ASSERT_TRUE(other.RegWriteString(RegRoot::CurrentUser, u"Software\\Pub", u"Name", u"two"));
    EXPECT_EQ(machine().RegReadString(RegRoot::CurrentUser, u"Software\\Pub", u"Name"), u"two");
}

}  // namespace
