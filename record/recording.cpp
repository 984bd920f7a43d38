#include "record/recording.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/host_observer.h"
#include "record/hba_recorder.h"
#include "record/host_recorder.h"
#include "record/world_writer.h"

namespace record {

namespace {

struct Session {
    std::string path;
    HostRecorder host;
    std::unique_ptr<HbaRecorder> hba;  // made on first use, so the library loads as late as before
};

std::unique_ptr<Session>& session() {
    static std::unique_ptr<Session> s;
    return s;
}

}  // namespace

void startRecording() {
    const char* path = std::getenv("ATTRSCAN_RECORD");
    if (!path || !*path || session()) return;
    session() = std::make_unique<Session>();
    session()->path = path;
    platform::setHostObserver(&session()->host);
}

const hba::HbaApi& scanHbaApi() {
    Session* s = session().get();
    if (!s) return hba::hbaApi();
    if (!s->hba) s->hba = std::make_unique<HbaRecorder>(hba::hbaApi());
    return s->hba->api();
}

void finishRecording() {
    Session* s = session().get();
    if (!s) return;
    platform::setHostObserver(nullptr);
    std::string why;
    try {
        nlohmann::ordered_json world = nlohmann::ordered_json::object();
        world["comment"] = "Recorded by attrscan: every answer one scan was given.";
        world["host"] = s->host.hostSection();
        if (s->hba)
            if (auto h = s->hba->hbaSection(); !h.is_null()) world["hba"] = std::move(h);
        // Texts that are not UTF-8 cannot stand in JSON as they are; they are replaced
        // rather than losing the whole recording.
        why = writeWholeFile(s->path, world.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    } catch (const std::exception& e) {
        why = e.what();
    }
    if (!why.empty()) std::fprintf(stderr, "attrscan: cannot record the scan to %s: %s\n", s->path.c_str(), why.c_str());
    session().reset();
}

}  // namespace record
