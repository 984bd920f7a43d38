#include "hba/rnid.h"

namespace hba {

// Placeholder: no request is sent.
void sendTargetRnid(const HbaApi& /*api*/, const AdapterEntry& /*adapter*/, const TargetEntry& /*target*/,
                    DiscoveredAdapter& /*record*/) {}

// Placeholder: no request is sent.
void walkNameServerWithRnid(const HbaApi& /*api*/, const AdapterEntry& /*adapter*/,
                            const fabric::NameServerPortObject& /*firstEntry*/, DiscoveredAdapter& /*record*/) {}

}  // namespace hba
