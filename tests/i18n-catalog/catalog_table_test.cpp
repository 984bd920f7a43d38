// The open-catalog table: reuse by path, the in-use mark, eviction of the least recently
// used closed catalog, and growth when every entry is in use.
#include <algorithm>

#include "tests/i18n-catalog/catalog_test_support.h"

namespace {

using nlq_test::CatalogTest;

class CatalogTable : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        for (int i = 0; i < 12; ++i)
            writeCatalog(name(i), "1 catalog " + std::to_string(i) + "\n");
    }
    static std::string name(int i) { return "./c" + std::to_string(i) + ".cat"; }
    static NlqCatalog* open(int i) { return nlq_catopen(name(i).c_str(), 0, nullptr); }
    static bool held(int i)
    {
        const auto paths = nlq::catalogTablePaths();
        return std::find(paths.begin(), paths.end(), name(i)) != paths.end();
    }
};

TEST_F(CatalogTable, ReuseAndClose)
{
    NlqCatalog* first = open(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(open(0), first);  // same path, same handle
    EXPECT_EQ(nlq_catclose(first), 0);
    EXPECT_EQ(nlq_catclose(first), -1);  // a flag, not a count
    EXPECT_EQ(nlq_catclose(nullptr), -1);
    EXPECT_EQ(nlq_catclose(reinterpret_cast<NlqCatalog*>(&first)), -1);
    // Closed catalogs stay cached and usable by a later open of the same path.
    EXPECT_EQ(open(0), first);
    EXPECT_STREQ(nlq_catgets(first, 1, 1, "d", nullptr), "catalog 0");
    EXPECT_EQ(nlq::catalogTableCapacity(), 10u);
}

TEST_F(CatalogTable, GrowsWhenEveryEntryIsInUse)
{
    EXPECT_EQ(nlq::catalogTableCapacity(), 0u);
    for (int i = 0; i < 10; ++i)
        ASSERT_NE(open(i), nullptr);
    EXPECT_EQ(nlq::catalogTableCapacity(), 10u);
    ASSERT_NE(open(10), nullptr);
    EXPECT_EQ(nlq::catalogTableCapacity(), 20u);
    for (int i = 0; i <= 10; ++i)
        EXPECT_TRUE(held(i)) << i;
}

TEST_F(CatalogTable, EvictsTheLeastRecentlyUsedClosedCatalog)
{
    std::vector<NlqCatalog*> handles;
    for (int i = 0; i < 10; ++i)
        handles.push_back(open(i));
    // Close 7, 3 and 5; 3 has the lowest sequence number of the closed ones.
    for (int i : {7, 3, 5})
        nlq_catclose(handles[i]);
    ASSERT_NE(open(10), nullptr);
    EXPECT_EQ(nlq::catalogTableCapacity(), 10u);
    EXPECT_FALSE(held(3));
    EXPECT_TRUE(held(5));
    EXPECT_TRUE(held(7));

    // A reuse refreshes the sequence number: reopen and close 5, and 7 goes next.
    nlq_catclose(open(5));
    ASSERT_NE(open(11), nullptr);
    EXPECT_FALSE(held(7));
    EXPECT_TRUE(held(5));

    // The evicted catalog is read again from its file when opened anew.
    NlqCatalog* again = open(3);
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(held(5));
    EXPECT_STREQ(nlq_catgets(again, 1, 1, "d", nullptr), "catalog 3");
}

}  // namespace
