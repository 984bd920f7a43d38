// The document output: streamed in chunks it writes exactly the bytes it would have
// kept whole, and a stream that refuses writes is reported with its error number.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "common/document_output.h"

namespace {

// Lines of growing length, so that chunk ends fall everywhere within a line.
void render(scan::DocumentOutput& out) {
    for (int i = 0; i < 500; ++i) {
        out.buffer() += std::string(static_cast<std::size_t>(i % 37), 'a' + i % 26);
        out.endLine();
    }
}

std::string fileContent(std::FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    return text;
}

TEST(DocumentOutput, StreamedChunksGiveTheWholeText) {
    scan::DocumentOutput whole;
    render(whole);
    for (std::size_t chunk : {1u, 7u, 100u, 1u << 20}) {
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        scan::DocumentOutput streamed(f, chunk);
        render(streamed);
        EXPECT_EQ(streamed.finish(), 0);
        EXPECT_EQ(fileContent(f), whole.text()) << "chunk " << chunk;
        std::fclose(f);
    }
}

TEST(DocumentOutput, RefusedWriteIsReported) {
    std::FILE* f = std::fopen("/dev/null", "r");
    ASSERT_NE(f, nullptr);
    scan::DocumentOutput out(f, 16);
    render(out);
    EXPECT_EQ(out.finish(), EBADF);
    std::fclose(f);
    EXPECT_EQ(scan::documentLostMessage(ENOSPC),
              "ERROR: could not write the document to standard output: No space left on device\n");
}

}  // namespace
