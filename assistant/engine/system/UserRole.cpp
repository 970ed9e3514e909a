#include "assistant/engine/system/UserRole.h"

std::string LowerAscii(std::string text)
{
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string PickRoleGroup(const std::vector<std::string> &groups)
{
    std::string picked;
    for (const std::string &group : groups) {
        picked = LowerAscii(group);
        if (picked.find("administrators") != std::string::npos)
            break;
    }
    return picked;
}

int RoleFromGroupText(const std::string &groupText)
{
    std::string text = LowerAscii(groupText);
    if (text.find("administrator") != std::string::npos)
        return kRoleAdministrator;
    if (text.find("guest") != std::string::npos)
        return kRoleGuest;
    return kRoleUser;
}
