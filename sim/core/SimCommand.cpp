#include "sim/core/SimCommand.h"

#include "sim/core/SimKeys.h"
#include "sim/core/StateFile.h"

#include <stdlib.h>

std::string UsageText()
{
    return "usage: tokensim COMMAND ...\n"
           "  init [N]                      fresh state with N readers without token (default 1)\n"
           "  insert [READER]               put the token into the reader\n"
           "  remove [READER]               take it out\n"
           "  set [READER] KEY=VALUE ...    change reader keys, or config keys cfg.KEY=VALUE\n"
           "  add-reader NAME               add a reader without token\n"
           "  remove-reader READER          take a reader away (with its token)\n"
           "  get [READER] KEY              print one value (cfg.KEY for config)\n"
           "  show                          print the whole state\n"
           "  log | clear-log               print or empty calls.log\n"
           "READER is a reader name or its index; it may be left out while there is one reader.\n";
}

static SimCommandResult Error(const std::string &text)
{
    SimCommandResult r;
    r.exitCode = 2;
    r.output = "tokensim: " + text + "\n";
    return r;
}

static bool IsDigits(const std::string &s)
{
    return !s.empty() && s.size() < 4 && s.find_first_not_of("0123456789") == std::string::npos;
}

// The reader named by text, or the only reader when text is NULL.
static int ResolveReader(const SimState &state, const std::string *text, std::string *error)
{
    if (!text) {
        if (state.readers.size() == 1)
            return 0;
        *error = state.readers.empty() ? "there is no reader (use init or add-reader)"
                                       : "name the reader: there are " + std::to_string(state.readers.size()) +
                                             " readers";
        return -1;
    }
    int i = FindReader(state, *text);
    if (i >= 0)
        return i;
    if (IsDigits(*text) && (size_t)atoi(text->c_str()) < state.readers.size())
        return atoi(text->c_str());
    *error = "no reader named \"" + *text + "\"";
    return -1;
}

static SimCommandResult Presence(SimState &state, const std::vector<std::string> &args, bool present)
{
    if (args.size() > 2)
        return Error("too many arguments\n" + UsageText());
    std::string error;
    int i = ResolveReader(state, args.size() == 2 ? &args[1] : NULL, &error);
    if (i < 0)
        return Error(error);
    state.readers[(size_t)i].present = present;
    SimCommandResult r;
    r.action = SIM_ACT_SAVE;
    r.output = state.readers[(size_t)i].name + (present ? ": token inserted\n" : ": token removed\n");
    return r;
}

static SimCommandResult Set(SimState &state, const std::vector<std::string> &args, int64_t now)
{
    size_t first = 1;
    const std::string *readerText = NULL;
    if (args.size() > 1 && args[1].find('=') == std::string::npos) {
        readerText = &args[1];
        first = 2;
    }
    if (first >= args.size())
        return Error("set needs KEY=VALUE\n" + UsageText());
    SimState copy = state;
    int reader = -2; // resolved on the first reader key
    for (size_t k = first; k < args.size(); ++k) {
        size_t eq = args[k].find('=');
        if (eq == std::string::npos || eq == 0)
            return Error("not KEY=VALUE: " + args[k]);
        std::string key = args[k].substr(0, eq), value = args[k].substr(eq + 1), error;
        if (key.compare(0, 4, "cfg.") == 0) {
            if (!SetConfigKey(copy.config, key.substr(4), value, &error))
                return Error(error);
            continue;
        }
        if (reader == -2) {
            reader = ResolveReader(copy, readerText, &error);
            if (reader < 0)
                return Error(error);
        }
        if (key == "name") {
            int other = FindReader(copy, value);
            if (other >= 0 && other != reader)
                return Error("another reader is named \"" + value + "\"");
        }
        if (!SetReaderKey(copy.readers[(size_t)reader], key, value, now, &error))
            return Error(error);
    }
    if (readerText && reader == -2) {
        std::string error;
        if (ResolveReader(copy, readerText, &error) < 0)
            return Error(error);
    }
    copy.warnings.clear();
    state = copy;
    SimCommandResult r;
    r.action = SIM_ACT_SAVE;
    return r;
}

static bool SameKey(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = (char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = (char)(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// "get [READER] KEY": the value as stored, one line.
static SimCommandResult Get(const SimState &state, const std::vector<std::string> &args)
{
    if (args.size() < 2 || args.size() > 3)
        return Error("get takes [READER] KEY\n" + UsageText());
    const std::string &key = args.back();
    KeyValues kv;
    if (key.compare(0, 4, "cfg.") == 0) {
        if (args.size() == 3)
            return Error("config keys take no reader");
        kv = ConfigKeyValues(state.config);
        kv.push_back({"ReaderCount", std::to_string(state.readers.size())});
    } else {
        std::string error;
        int i = ResolveReader(state, args.size() == 3 ? &args[1] : NULL, &error);
        if (i < 0)
            return Error(error);
        kv = ReaderKeyValues(state.readers[(size_t)i]);
    }
    std::string name = key.compare(0, 4, "cfg.") == 0 ? key.substr(4) : key;
    for (const auto &p : kv)
        if (SameKey(p.first, name)) {
            SimCommandResult r;
            r.output = p.second + "\n";
            return r;
        }
    return Error("no value named " + key);
}

SimCommandResult RunSimCommand(SimState &state, const std::vector<std::string> &args, int64_t now)
{
    if (args.empty())
        return Error("no command\n" + UsageText());
    const std::string &cmd = args[0];
    SimCommandResult r;
    if (cmd == "init") {
        long n = 1;
        if (args.size() > 2)
            return Error("too many arguments\n" + UsageText());
        if (args.size() == 2) {
            if (!IsDigits(args[1]) || atol(args[1].c_str()) > SIM_MAX_READERS)
                return Error("init takes a reader count from 0 to " + std::to_string(SIM_MAX_READERS));
            n = atol(args[1].c_str());
        }
        state = FreshState((size_t)n, now);
        r.action = SIM_ACT_INIT;
        r.output = "state initialised with " + std::to_string(n) + " reader(s)\n";
        return r;
    }
    if (cmd == "insert" || cmd == "remove")
        return Presence(state, args, cmd == "insert");
    if (cmd == "set")
        return Set(state, args, now);
    if (cmd == "add-reader") {
        if (args.size() != 2)
            return Error("add-reader takes one NAME\n" + UsageText());
        std::string name = BoundText(args[1], SIM_MAX_READER);
        if (name.empty())
            return Error("a reader name cannot be empty");
        if (FindReader(state, name) >= 0)
            return Error("reader \"" + name + "\" exists already");
        if (state.readers.size() >= SIM_MAX_READERS)
            return Error("at most " + std::to_string(SIM_MAX_READERS) + " readers");
        Reader reader = DefaultReader(state.config, state.readers.size(), now);
        reader.name = name;
        state.readers.push_back(reader);
        state.warnings.clear();
        r.action = SIM_ACT_SAVE;
        return r;
    }
    if (cmd == "remove-reader") {
        if (args.size() != 2)
            return Error("remove-reader takes one READER\n" + UsageText());
        std::string error;
        int i = ResolveReader(state, &args[1], &error);
        if (i < 0)
            return Error(error);
        r.output = state.readers[(size_t)i].name + ": reader removed\n";
        state.readers.erase(state.readers.begin() + i);
        r.action = SIM_ACT_SAVE;
        return r;
    }
    if (cmd == "get")
        return Get(state, args);
    if (args.size() != 1 && (cmd == "show" || cmd == "log" || cmd == "clear-log"))
        return Error(cmd + " takes no arguments");
    if (cmd == "show") {
        r.output = ShowState(state);
        return r;
    }
    if (cmd == "log") {
        r.action = SIM_ACT_SHOW_LOG;
        return r;
    }
    if (cmd == "clear-log") {
        r.action = SIM_ACT_CLEAR_LOG;
        return r;
    }
    if (cmd == "help" || cmd == "--help" || cmd == "-h") {
        r.output = UsageText();
        return r;
    }
    return Error("unknown command \"" + cmd + "\"\n" + UsageText());
}

std::string ShowState(const SimState &state)
{
    std::string out;
    if (!state.warnings.empty()) {
        out += "state.ini could not be read completely:\n";
        for (const std::string &w : state.warnings)
            out += "  ! " + w + "\n";
    }
    out += "[config]\n";
    for (const auto &kv : ConfigKeyValues(state.config))
        out += "  cfg." + kv.first + "=" + EscapeValue(kv.second) + "\n";
    for (size_t i = 0; i < state.readers.size(); ++i) {
        const Reader &r = state.readers[i];
        out += "[reader " + std::to_string(i) + "] " + r.name + (r.present ? " (token present)" : " (no token)") + "\n";
        for (const auto &kv : ReaderKeyValues(r))
            if (kv.first != "name")
                out += "  " + kv.first + "=" + EscapeValue(kv.second) + "\n";
    }
    if (state.readers.empty())
        out += "(no readers)\n";
    return out;
}
