#include "gxlog/src/GXgMsgText.h"

#include <cerrno>

#include "gxlog/src/GXgI18nBridge.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgPrintf.h"

namespace gxlog {

namespace {
ToolkitMsgChannel g_channel = nullptr;

GXgI18Msg tableMessage(int key, GXgParmList params) {
    GXgI18Msg m;
    m.catalog = kToolkitCatalog;
    m.set = kToolkitSet;
    m.key = key;
    const char* text = msgTableText(key);
    m.defaultText = text ? text : "";
    m.params = std::move(params);
    return m;
}

// Catalogs whose absence is normal and never reported.
bool isSilentCatalog(std::string_view name) { return name == "gxgmsg" || name == "cffdc"; }
}  // namespace

void setToolkitMsgChannel(ToolkitMsgChannel channel) { g_channel = channel; }

void toolkitMsg(GXgLevel level, int key, GXgParmList params) {
    if (g_channel) g_channel(level, tableMessage(key, std::move(params)));
}

std::string zurFailureText(const ZurStatus& status) {
    ZurStatus described = status;
    if (described.error == 0) described.error = described.code == 21 ? EINVAL : EIO;
    return i18n::processToUtf8(zur::errorText(described), 127);
}

void reportZurFailure(const ZurStatus& status) {
    toolkitMsg(GXG_LEVEL_ERROR, kMsgZurError, {GXgParm::string(zurFailureText(status))});
}

std::string messageText(const GXgI18Msg& message) {
    std::string text(message.defaultTextView());
    if (message.catalog) {
        const i18n::Catalog catalog(*message.catalog);
        if (!catalog.isOpen() && !isSilentCatalog(*message.catalog)) {
            toolkitMsg(GXG_LEVEL_WARN, kMsgCatalogNotOpened, {GXgParm::string(*message.catalog)});
        }
        text = catalog.text(message.set, message.key, message.defaultTextView());
    }
    std::optional<std::string> formatted = GXgFormatParms(text, message.params);
    return formatted ? std::move(*formatted) : std::string(message.defaultTextView());
}

std::string renderParm(const GXgParm& parm, const char* format) {
    if (!format) {
        switch (parm.type) {
            case GXG_PARM_INT:
            case GXG_PARM_LONG: format = "%d"; break;
            case GXG_PARM_FLOAT:
            case GXG_PARM_DOUBLE: format = "%f"; break;
            case GXG_PARM_STRING: format = "%s"; break;
            default: format = "%c"; break;
        }
    }
    std::optional<std::string> text = GXgFormatParms(format, GXgParmList{parm});
    return text ? std::move(*text) : std::string(format);
}

void consoleWrite(std::FILE* stream, std::string_view utf8) {
    const std::string converted = i18n::utf8ToConsole(utf8, 4096);
    std::fputs(converted.c_str(), stream);
}

void consoleMessage(int key, const GXgParmList& params) {
    consoleWrite(stderr, messageText(tableMessage(key, params)));
    std::fputs("\n", stderr);
}

}  // namespace gxlog
