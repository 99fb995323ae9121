#include "tools/cli/PermissionHint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr unsigned kGroupReadWrite = S_IRGRP | S_IWGRP;

std::string UserName(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry ? entry->pw_name : std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

bool LoginHasGroup(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = ::getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    }
    return false;
}

// The group database's view, which a new login would receive.
bool ListedInGroup(gid_t gid) {
    const passwd* user = ::getpwuid(::getuid());
    if (!user) return false;
    if (user->pw_gid == gid) return true;
    const group* entry = ::getgrgid(gid);
    if (!entry) return false;
    for (char** member = entry->gr_mem; member && *member; ++member) {
        if (std::string(*member) == user->pw_name) return true;
    }
    return false;
}

}  // namespace

std::string ModeText(unsigned mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISBLK(mode) ? "b" : S_ISDIR(mode) ? "d" : "-";
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit) {
        text += (mode & (1u << bit)) ? letters[(8 - bit) % 3] : '-';
    }
    return text;
}

std::string PermissionHint(const std::string& name, const NodeFacts& node, const UserFacts& user) {
    const std::string facts = "permission denied on " + name + " (" + ModeText(node.mode) + " " +
                              node.owner + " " + node.group + ")";
    if (user.isOwner) {
        return facts + ": you own it, but its mode denies you; chmod u+rw gives you access";
    }
    const bool groupMayOpen = (node.mode & kGroupReadWrite) == kGroupReadWrite;
    // Joining root's group is no step to advise: such a node is as good as root's alone.
    if (groupMayOpen && node.group != "root") {
        if (user.listedInGroup && !user.loginHasGroup) {
            return facts + ": you are in the group " + node.group +
                   ", but this login started before you joined it: log out and in again";
        }
        if (!user.listedInGroup) {
            return facts + ": join the group " + node.group + " (sudo usermod -aG " + node.group +
                   " $USER), then log in again";
        }
        return facts + ": you are in the group " + node.group +
               ", yet access is refused: an access control list or security policy denies it";
    }
    if (node.owner == "root") {
        return facts + ": only root may open it; run as root, or have a udev rule give it a " +
               "group (GROUP=\"dialout\", MODE=\"0660\")";
    }
    return facts + ": only its owner " + node.owner + " may open it";
}

std::optional<std::string> DiagnosePermission(const std::string& name, const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    NodeFacts node;
    node.mode = status.st_mode;
    node.owner = UserName(status.st_uid);
    node.group = GroupName(status.st_gid);
    UserFacts user;
    user.listedInGroup = ListedInGroup(status.st_gid);
    user.loginHasGroup = LoginHasGroup(status.st_gid);
    user.isOwner = status.st_uid == ::geteuid();
    return PermissionHint(name, node, user);
}
