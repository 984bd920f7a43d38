// Catalog test fixture: a clean service (no catalogs open, pass-through process codeset,
// none of the locale and catalog variables set) in an empty scratch folder, and catalogs
// compiled from message sources with the catalog compiler.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "i18n/nlq_catalog.h"
#include "i18n/nlq_catalog_internal.h"
#include "i18n/nlq_locale.h"
#include "tests/i18n-locale/nlq_test_support.h"
#include "tools/mkcatalog/catalog_compiler.h"

namespace nlq_test {

inline std::vector<unsigned char> compileCatalog(std::string_view source)
{
    const mkcatalog::Compiled compiled = mkcatalog::parseSource(source);
    EXPECT_TRUE(compiled.ok()) << (compiled.errors.empty() ? "" : compiled.errors[0].message);
    return mkcatalog::writeCatalog(compiled.sets);
}

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        nlq::catalogTableClear();
        nlq_terminate();
        for (const char* name : {"NLSPATH", "LANG", "LC_ALL", "LC_MESSAGES", "NLQDIR", "NLQ_CODESET", "BINDIR"})
            env.unset(name);
        scratch.enter();
    }
    void TearDown() override
    {
        nlq::catalogTableClear();
        nlq_terminate();
    }

    // Writes a catalog compiled from `source` at `relative` (inside the scratch folder).
    void writeCatalog(std::string_view relative, std::string_view source)
    {
        writeFile(scratch.path() / relative, compileCatalog(source));
    }

    EnvGuard env;
    ScratchDir scratch;
};

}  // namespace nlq_test
