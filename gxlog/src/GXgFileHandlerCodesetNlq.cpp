// Output codesets of log files through the codeset services.
#include "gxlog/src/GXgFileHandler.h"
#include "i18n/nlq_codeset.h"
#include "i18n/nlq_locale.h"

namespace gxlog {

namespace {

class NlqOutputCodeset final : public OutputCodeset {
public:
    explicit NlqOutputCodeset(NlqCodeset* codeset) : codeset_(codeset) {}
    ~NlqOutputCodeset() override { nlq_codeset_close(codeset_); }

    // The converted text must fit with room to spare: a result that fills the whole
    // buffer may have been cut, and is not used.
    bool fromUtf8(std::string_view utf8, std::size_t capacity, std::string& out) const override {
        out.resize(capacity);
        const std::size_t written =
            nlq_from_utf8(codeset_, utf8.data(), static_cast<ptrdiff_t>(utf8.size()), out.data(), capacity);
        if (written >= capacity && !utf8.empty()) return false;
        out.resize(written);
        return true;
    }

private:
    NlqCodeset* codeset_;
};

}  // namespace

std::unique_ptr<OutputCodeset> OutputCodeset::open(const std::string& name) {
    NlqCodeset* codeset = nlq_codeset_open(name.c_str());
    if (!codeset) return nullptr;
    return std::make_unique<NlqOutputCodeset>(codeset);
}

}  // namespace gxlog
