// POSIX only: the hint reads a device node's mode, owner and group; Windows ports have none.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tools/cli/PermissionHint.h"

namespace {

struct Row {
    const char* what;
    unsigned permissions;
    const char* owner;
    const char* group;
    UserFacts user;
    const char* expected;
};

}  // namespace

TEST(PermissionHintTest, NamesTheNodesGroupOrItsOwner) {
    const UserFacts outsider{false, false, false};
    const UserFacts joinedLater{true, false, false};
    const UserFacts member{true, true, false};
    const UserFacts owner{false, false, true};
    const Row rows[] = {
        {"dialout node", 0660, "root", "dialout", outsider,
         "permission denied on COM33 (/dev/ttyUSB0) (crw-rw---- root dialout): join the group "
         "dialout (sudo usermod -aG dialout $USER), then log in again"},
        {"another group", 0660, "root", "uucp", outsider,
         "permission denied on COM33 (/dev/ttyUSB0) (crw-rw---- root uucp): join the group "
         "uucp (sudo usermod -aG uucp $USER), then log in again"},
        {"joined after logging in", 0660, "root", "dialout", joinedLater,
         "permission denied on COM33 (/dev/ttyUSB0) (crw-rw---- root dialout): you are in the "
         "group dialout, but this login started before you joined it: log out and in again"},
        {"member refused anyway", 0660, "root", "dialout", member,
         "permission denied on COM33 (/dev/ttyUSB0) (crw-rw---- root dialout): you are in the "
         "group dialout, yet access is refused: an access control list or security policy "
         "denies it"},
        {"root alone", 0600, "root", "root", outsider,
         "permission denied on COM33 (/dev/ttyUSB0) (crw------- root root): only root may open "
         "it; run as root, or have a udev rule give it a group (GROUP=\"dialout\", "
         "MODE=\"0660\")"},
        {"root's group", 0660, "root", "root", outsider,
         "permission denied on COM33 (/dev/ttyUSB0) (crw-rw---- root root): only root may open "
         "it; run as root, or have a udev rule give it a group (GROUP=\"dialout\", "
         "MODE=\"0660\")"},
        {"group may only read", 0640, "root", "dialout", outsider,
         "permission denied on COM33 (/dev/ttyUSB0) (crw-r----- root dialout): only root may "
         "open it; run as root, or have a udev rule give it a group (GROUP=\"dialout\", "
         "MODE=\"0660\")"},
        {"another user's seat", 0600, "alice", "dialout", outsider,
         "permission denied on COM33 (/dev/ttyUSB0) (crw------- alice dialout): only its owner "
         "alice may open it"},
        {"own node without rights", 0040, "bob", "bob", owner,
         "permission denied on COM33 (/dev/ttyUSB0) (c---r----- bob bob): you own it, but its "
         "mode denies you; chmod u+rw gives you access"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const NodeFacts node{S_IFCHR | row.permissions, row.owner, row.group};
        EXPECT_EQ(PermissionHint("COM33 (/dev/ttyUSB0)", node, row.user), row.expected);
    }
}

TEST(PermissionHintTest, ModeTextReadsLikeLs) {
    EXPECT_EQ(ModeText(S_IFCHR | 0660), "crw-rw----");
    EXPECT_EQ(ModeText(S_IFREG | 0755), "-rwxr-xr-x");
    EXPECT_EQ(ModeText(S_IFDIR | 0700), "drwx------");
}
