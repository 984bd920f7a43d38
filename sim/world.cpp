#include "sim/world.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "portability/zur_shared_library.h"
#include "sim/world_reader.h"

namespace sim {

WorldLoadResult parseWorld(const std::string& path, const std::string& text) {
    WorldReadResult r = readWorld(text);
    if (!r.world) return {std::nullopt, path + ": " + r.error};
    return {std::move(r.world), ""};
}

namespace {

std::string fileError(const std::string& path, const std::string& reason) { return path + ": (file): " + reason; }

}  // namespace

WorldLoadResult loadWorldFile(const std::string& path) {
    // Asked before opening: opening a pipe without a writer would wait for one, and a
    // device such as /dev/zero never ends.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return {std::nullopt, fileError(path, "cannot be opened for reading")};
    if (!std::filesystem::is_regular_file(status)) return {std::nullopt, fileError(path, "is not a regular file")};
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return {std::nullopt, fileError(path, "cannot be opened for reading")};
    if (size > kMaxWorldFileBytes) return {std::nullopt, fileError(path, "is larger than 256 MiB")};

    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, fileError(path, "cannot be opened for reading")};
    // The size may have changed since it was asked: read one byte more than the limit at
    // most, and refuse the file if that byte came.
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    for (char buffer[65536]; in && text.size() <= kMaxWorldFileBytes;) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return {std::nullopt, fileError(path, "read error")};
    if (text.size() > kMaxWorldFileBytes) return {std::nullopt, fileError(path, "is larger than 256 MiB")};
    return parseWorld(path, text);
}

namespace {

// What tells one version of a file from another without reading it.
struct FileIdentity {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const std::string& path) {
    std::error_code ec;
    FileIdentity id;
    id.size = std::filesystem::file_size(path, ec);
    id.written = std::filesystem::last_write_time(path, ec);
    return id;
}

// The world a process holds. The program and the simulated HBA library each carry this
// code; the library finds the program's holder by name and uses it, so the world is read,
// checked and reported once per process.
struct ProcessWorld {
    std::recursive_mutex mutex;
    bool loaded = false;
    std::string path;
    FileIdentity identity;
    std::optional<nlohmann::json> world;
    bool unusable = false;
};

}  // namespace

}  // namespace sim

// Exported from programs that hold the world (see the host services' build); hidden in
// the HBA library, which looks for the program's one. The build supplies the export mark
// (Windows programs read no world, so there it is empty).
extern "C" SANSIM_PROCESS_EXPORT void* sansim_process_world() {
    static sim::ProcessWorld holder;
    return &holder;
}

namespace sim {

namespace {

ProcessWorld& processWorld() {
    static ProcessWorld* const holder = [] {
        // The program's holder, when the program exports one (sansim_process_world), so
        // that one process reads its world once.
        if (void* lookup = zur::SharedLibrary::programSymbol("sansim_process_world")) {
            if (void* found = reinterpret_cast<void* (*)()>(lookup)()) return static_cast<ProcessWorld*>(found);
        }
        return static_cast<ProcessWorld*>(sansim_process_world());
    }();
    return *holder;
}

void load(ProcessWorld& p) {
    p.loaded = true;
    p.world.reset();
    p.unusable = false;
    const char* path = std::getenv("SANSIM_WORLD");
    p.path = path ? path : "";
    if (p.path.empty()) return;
    p.identity = identityOf(p.path);
    WorldLoadResult r = loadWorldFile(p.path);
    if (r.world) {
        p.world = std::move(r.world);
    } else {
        p.unusable = true;
        std::fprintf(stderr, "world file %s\n", r.error.c_str());
    }
}

}  // namespace

const nlohmann::json* world() {
    ProcessWorld& p = processWorld();
    std::lock_guard guard(p.mutex);
    if (!p.loaded) load(p);
    return p.world ? &*p.world : nullptr;
}

bool worldUnusable() {
    ProcessWorld& p = processWorld();
    std::lock_guard guard(p.mutex);
    if (!p.loaded) load(p);
    return p.unusable;
}

void refreshWorld() {
    ProcessWorld& p = processWorld();
    std::lock_guard guard(p.mutex);
    const char* path = std::getenv("SANSIM_WORLD");
    if (!p.loaded || p.path != (path ? path : "") || (!p.path.empty() && identityOf(p.path) != p.identity)) load(p);
}

void resetWorld() {
    ProcessWorld& p = processWorld();
    std::lock_guard guard(p.mutex);
    p.loaded = false;
    p.world.reset();
    p.unusable = false;
}

}  // namespace sim
