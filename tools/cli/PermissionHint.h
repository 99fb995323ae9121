#pragma once

#include <optional>
#include <string>

// What `ls -l` shows of a device node the user may not open.
struct NodeFacts {
    unsigned mode = 0;  // st_mode: the type and permission bits
    std::string owner;  // user name, or the number when it has none
    std::string group;  // group name, or the number when it has none
};

// Where the user stands towards the node's group.
struct UserFacts {
    bool listedInGroup = false;  // /etc/group (or the user's primary group) names it
    bool loginHasGroup = false;  // this process already carries it
    bool isOwner = false;        // the user owns the node
};

// The permission bits as `ls -l` prints them: "crw-rw----".
std::string ModeText(unsigned mode);

// The next step for a user denied `name` (as the message names the port): join the node's
// group, log in again after joining it, or learn that only its owner may open it.
std::string PermissionHint(const std::string& name, const NodeFacts& node, const UserFacts& user);

// The facts of the node at `path` and of the calling user; nullopt when it cannot be examined.
std::optional<std::string> DiagnosePermission(const std::string& name, const std::string& path);
