#include "tests/portability/test_support.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>

bool operator==(const ZurStatus& a, const ZurStatus& b) {
    return a.code == b.code && a.error == b.error && a.category == b.category;
}

void PrintTo(const ZurStatus& status, std::ostream* out) {
    *out << "{" << status.code << ", " << status.error << ", " << status.category << "}";
}

namespace {
std::atomic<int> scratchCounter{0};
}

void ScratchDirectoryTest::SetUp() {
    previous_ = std::filesystem::current_path();
    std::ostringstream name;
    name << "zur-test-" << zur_getpid() << "-" << scratchCounter++;
    scratch_ = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::remove_all(scratch_);
    std::filesystem::create_directories(scratch_);
    std::filesystem::current_path(scratch_);
}

void ScratchDirectoryTest::TearDown() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
}

std::string ScratchDirectoryTest::absolute(const std::string& name) const {
    return (scratch_ / name).make_preferred().string();
}

void ScratchDirectoryTest::writeFile(const std::string& name, const std::string& content) const {
    std::ofstream out(scratch_ / name, std::ios::binary);
    out << content;
}

std::string ScratchDirectoryTest::readFile(const std::string& name) const {
    std::ifstream in(scratch_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
