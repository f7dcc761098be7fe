// Every hostile input kept under data/bad (the broken files made by hand and the inputs the
// fuzzers found) goes through the body of every fuzz target: none may crash, leak, hang or
// break a property. A broken property aborts the program with its name on standard error.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "harness.h"
#include "support/temp_dir.h"

namespace varnix {
namespace fuzz {

// Test names show the target's name.
void PrintTo(const Target& target, std::ostream* out) {
    *out << target.name;
}

}  // namespace fuzz
namespace {

std::vector<std::string> HostileInputFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::DataPath("bad"))) {
        if (entry.is_regular_file() && entry.path().extension() != ".md") {
            names.push_back(entry.path().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class HostileInputs : public ::testing::TestWithParam<fuzz::Target> {};

TEST_P(HostileInputs, PassTheFuzzBody) {
    const auto inputs = HostileInputFiles();
    ASSERT_GE(inputs.size(), 8u);
    for (const auto& name : inputs) {
        SCOPED_TRACE(name);
        std::cerr << "fuzz body " << GetParam().name << " on " << name << '\n';  // for aborts
        const auto bytes = test::ReadAll(name);
        GetParam().run(bytes);
    }
    // The empty input too.
    GetParam().run({});
}

INSTANTIATE_TEST_SUITE_P(Fuzz, HostileInputs, ::testing::ValuesIn(fuzz::Targets()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnix
