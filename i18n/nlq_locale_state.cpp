// The process-wide state: the process codeset (the program's own strings) and the OS
// codeset (the runtime library's formatting), resolved once from NLQ_CODESET and the
// system's code pages; and the NLSPATH and NLQDIR helpers.
#include <cstdlib>
#include <string>

#include "i18n/nlq_codeset.h"
#include "i18n/nlq_locale.h"
#include "portability/zur_system.h"
#include "i18n/nlq_locale_text.h"

namespace {

struct ProcessState {
    bool initialised = false;
    NlqCodeset* process = nullptr;  // null stands for the built-in pass-through
    NlqCodeset* os = nullptr;
};

ProcessState& state()
{
    static ProcessState instance;
    return instance;
}

NlqCodeset* orPassthrough(NlqCodeset* codeset)
{
    return codeset ? codeset : nlq_codeset_passthrough();
}

// Normalises `name` and opens it (opening normalises once more, so an alias may itself be
// aliased once); falls back to `fallback` when that fails.
NlqCodeset* openWithFallback(const char* name, const char* fallback)
{
    char canonical[128];
    nlq_codeset_normalize(name, canonical, sizeof canonical);
    if (NlqCodeset* codeset = nlq_codeset_open(canonical))
        return codeset;
    return nlq_codeset_open(fallback);
}

}  // namespace

int nlq_init()
{
    ProcessState& s = state();
    if (s.initialised)
        return 0;
    s.initialised = true;
    s.process = nullptr;
    s.os = nullptr;

    std::string processName(nlq::environmentValue("NLQ_CODESET"));
    if (processName.empty())
        processName = "OS";
    s.process = openWithFallback(processName.c_str(), "DEFAULT");
    s.os = openWithFallback("OS", "OSDEFAULT");
    return 0;
}

void nlq_terminate()
{
    ProcessState& s = state();
    if (!s.initialised)
        return;
    s.initialised = false;
    nlq_codeset_close(s.process);
    nlq_codeset_close(s.os);
    s.process = nullptr;
    s.os = nullptr;
}

NlqCodeset* nlq_get_current_codeset()
{
    nlq_init();
    return orPassthrough(state().process);
}

int nlq_set_current_codeset(NlqCodeset* codeset)
{
    nlq_init();
    state().process = codeset;
    return 0;
}

NlqCodeset* nlq_get_os_codeset()
{
    nlq_init();
    return orPassthrough(state().os);
}

const char* nlq_codeset_name(const NlqCodeset* codeset)
{
    return codeset ? codeset->name : nlq_get_current_codeset()->name;
}

int nlq_codeset_close(NlqCodeset* codeset)
{
    if (!codeset || nlq_codeset_is_builtin(codeset))
        return 0;
    ProcessState& s = state();
    if (s.process == codeset)
        s.process = nullptr;
    if (s.os == codeset)
        s.os = nullptr;
    nlq_codeset_destroy(codeset);
    return 0;
}

// The environment keeps its own copies of the values (setenv, _putenv_s), so nothing
// given to it has to be kept alive here, and termination leaves no dangling entry.
int nlq_set_nlspath(const char* value)
{
    return zur::setEnvironment("NLSPATH", value ? value : "") ? 0 : -1;
}

int nlq_prepend_nlspath(const char* value)
{
    const std::string combined =
        std::string(value ? value : "") + ";" + std::string(nlq::environmentValue("NLSPATH"));
    return zur::setEnvironment("NLSPATH", combined.c_str()) ? 0 : -1;
}

const char* nlq_get_nlspath()
{
    const char* value = std::getenv("NLSPATH");
    return value ? value : "";
}

int nlq_set_nlqdir(const char* value)
{
    return zur::setEnvironment("NLQDIR", value ? value : "") ? 0 : -1;
}

const char* nlq_get_nlqdir()
{
    const char* value = std::getenv("NLQDIR");
    return value ? value : "";
}
