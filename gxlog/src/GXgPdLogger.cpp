// The problem-determination logger: stamps each event with the product, component,
// server and process attributes and a message id, then hands it to its listeners.
#include <optional>
#include <string>

#include "gxlog/src/GXgFormatter.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgToolkit.h"
#include "gxlog/src/GXgToolkitPlatform.h"

namespace gxlog {

namespace {

struct PdData final : GXgInstanceData {
    std::optional<std::string> organization, product, component, client, server, serverFormat,
        productInstance;
    GXgObject* msgIdFormatter = nullptr;  // one reference

    ~PdData() override { GXgReleaseObject(msgIdFormatter); }
};

std::unique_ptr<GXgInstanceData> createPdData(GXgObject*) {
    auto data = std::make_unique<PdData>();
    std::string host;
    if (GXgHostName(host)) data->server = host;
    else toolkitMsg(GXG_LEVEL_WARN, kMsgNoHostName, {GXgParm::string(kClassPdLogger)});
    data->serverFormat = "IP";
    data->msgIdFormatter = GXgGetObject(kPdMsgIdFormatterName, kClassXmlFormatter);
    return data;
}

void pdLog(GXgObject* logger, GXgEvent& event) {
    auto* data = logger->data<PdData>();
    if (data) {
        auto set = [&event](const char* name, const std::optional<std::string>& value) {
            if (value) event.attributes.set(name, *value);
        };
        set(kAttrOrganization, data->organization);
        set(kAttrProduct, data->product);
        set(kAttrComponent, data->component);
        set(kAttrClient, data->client);
        set(kAttrServer, data->server);
        set(kAttrServerFormat, data->serverFormat);
        set(kAttrProductInstance, data->productInstance);
    }
    event.attributes.set(kAttrProcessId, std::to_string(platform::processId()));
    event.attributes.set(kAttrThreadId, std::to_string(platform::threadId()));
    if (!event.messageId) {
        GXgObject* formatter = data ? data->msgIdFormatter : nullptr;
        std::optional<std::string> text = formatter ? GXgFormatterMessageText(formatter, event.message)
                                                    : std::optional<std::string>(messageText(event.message));
        event.messageId = text ? GXgMessageIdOf(*text) : std::string();
    }
    GXgDistribute(logger, event);
}

void configurePd(GXgObject* logger, const std::string& property) {
    auto* data = logger->data<PdData>();
    std::optional<std::string>* field = nullptr;
    if (data) {
        if (property == "organization") field = &data->organization;
        else if (property == "product") field = &data->product;
        else if (property == "component") field = &data->component;
        else if (property == "client") field = &data->client;
        else if (property == "server") field = &data->server;
        else if (property == "serverFormat") field = &data->serverFormat;
        else if (property == "productInstance") field = &data->productInstance;
    }
    if (field) {
        if (const std::string* v = GXgObjectProperty(logger, property)) *field = *v;
        return;
    }
    GXgConfigureLevel(logger, property);
}

}  // namespace

std::unique_ptr<GXgObjClass> makePdLoggerClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_LOGGER;
    cls->name = kClassPdLogger;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescPdLogger,
                                 msgTableText(kMsgDescPdLogger), {}};
    cls->log = pdLog;
    cls->createInstance = createPdData;
    cls->configure = configurePd;
    return cls;
}

}  // namespace gxlog
