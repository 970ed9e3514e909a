#include "assistant/engine/update/RunFolder.h"

#include <algorithm>

const char kWorkFolderSecurity[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

bool IsOwnFolderSecurity(const std::string &sddl)
{
    size_t dacl = sddl.find("D:");
    if (sddl.compare(0, 2, "O:") != 0 || dacl == std::string::npos)
        return false;
    std::string owner = sddl.substr(2, dacl - 2);
    if (owner != "BA" && owner != "SY")
        return false;
    size_t open = sddl.find('(', dacl);
    std::string flags = sddl.substr(dacl + 2, open == std::string::npos ? std::string::npos : open - dacl - 2);
    // Protected ("P"); the system may add that it was auto-inherited ("AI").
    if (flags != "P" && flags != "PAI" && flags != "AIP")
        return false;
    std::vector<std::string> aces;
    while (open != std::string::npos && open < sddl.size()) {
        size_t close = sddl.find(')', open);
        if (close == std::string::npos)
            return false;
        aces.push_back(sddl.substr(open + 1, close - open - 1));
        open = close + 1;
        if (open < sddl.size() && sddl[open] != '(')
            return false;
    }
    std::sort(aces.begin(), aces.end());
    return aces == std::vector<std::string>{"A;OICI;FA;;;BA", "A;OICI;FA;;;SY"};
}

static bool IsPlainFolder(const FolderFacts &f)
{
    return f.exists && f.directory && !f.reparsePoint;
}

std::string RunFolder::Path()
{
    if (!m_path.empty() || m_base.empty())
        return m_path;
    // A link anywhere we go through could lead the administrator's writes
    // into any folder.
    if (!IsPlainFolder(m_fs.Hold(m_base)))
        return std::string();
    std::string parent = m_base + (m_base.back() == '\\' ? "" : "\\") + "Orvane_Assistant";
    FolderMade made = m_fs.CreateSecured(parent);
    FolderFacts facts = m_fs.Hold(parent);
    // What we have just made carries our descriptor by its creating call;
    // what was there before must show it.
    bool ours = made == FolderMade::Created ? IsPlainFolder(facts)
                                            : made == FolderMade::Exists && IsPlainFolder(facts) &&
                                                  IsOwnFolderSecurity(facts.security);
    if (!ours) {
        m_fs.ReleaseAll();
        return std::string();
    }
    m_parent = parent;
    std::string tag = m_fs.RunTag();
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string run = parent + "\\Run-" + tag + (attempt ? "-" + std::to_string(attempt) : std::string());
        made = m_fs.CreateSecured(run);
        if (made == FolderMade::Exists)
            continue;
        if (made == FolderMade::Created && IsPlainFolder(m_fs.Hold(run)))
            m_path = run + "\\";
        break;
    }
    if (m_path.empty())
        End();
    return m_path;
}

void RunFolder::End()
{
    m_fs.ReleaseAll();
    if (!m_path.empty())
        m_fs.RemoveEmpty(m_path.substr(0, m_path.size() - 1));
    // Only the parent we have seen to be ours; another run's files keep it.
    if (!m_parent.empty())
        m_fs.RemoveEmpty(m_parent);
    m_path.clear();
    m_parent.clear();
}
