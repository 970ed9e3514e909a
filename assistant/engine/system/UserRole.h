// How the desktop user's local groups become a role.
#pragma once

#include <string>
#include <vector>

enum UserRole { kRoleAdministrator = 1, kRoleUser = 2, kRoleGuest = 3 };

// Walks the groups in order and stops at the first whose lower-cased name
// contains "administrators"; otherwise the last group walked ("" for none).
std::string PickRoleGroup(const std::vector<std::string> &groups);

// "administrator" → 1, else "guest" → 3, else 2 (ignoring case).
int RoleFromGroupText(const std::string &groupText);

std::string LowerAscii(std::string text);
