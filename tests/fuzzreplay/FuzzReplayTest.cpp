// Every input of fuzz/seeds/<target>/ and tests/corpus/<target>/ goes through the
// body of its fuzz target again. An input that once crashed, hung, leaked or broke
// a promise of the code stays fixed; under make test-sanitize the sanitizers watch
// as they do while fuzzing. A target that breaks a promise aborts the program,
// naming the input in the trace above it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/targets/FuzzTargets.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const std::string& target)
{
    std::vector<fs::path> inputs;
    for (const char* folder : {"fuzz/seeds/", "tests/corpus/"}) {
        const fs::path dir = testsupport::sourcePath(folder + target);
        if (!fs::is_directory(dir))
            continue;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzReplayTest : public ::testing::TestWithParam<fuzztargets::Target> {};

TEST_P(FuzzReplayTest, EveryInputComesBack)
{
    const fuzztargets::Target target = GetParam();
    const std::vector<fs::path> inputs = inputsOf(std::string(target.name));
    // Each target has its seeds; an empty list means the folders moved.
    ASSERT_FALSE(inputs.empty()) << "no inputs for " << target.name;
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::string bytes = testsupport::readFile(input.string());
        std::fprintf(stderr, "replaying %s\n", input.c_str());
        EXPECT_EQ(target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}

// Every fuzz program of fuzz/ has its body in the list, and the other way round,
// so none is left out of the replay.
TEST(FuzzReplayListTest, TheListNamesEveryFuzzProgram)
{
    std::vector<std::string> programs;
    for (const auto& entry : fs::directory_iterator(testsupport::sourcePath("fuzz"))) {
        const std::string name = entry.path().filename().string();
        const std::string suffix = "_fuzzer.cpp";
        if (name.size() > suffix.size() && name.ends_with(suffix))
            programs.push_back(name.substr(0, name.size() - suffix.size()));
    }
    std::vector<std::string> listed;
    for (const auto& target : fuzztargets::allTargets())
        listed.emplace_back(target.name);
    std::sort(programs.begin(), programs.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(programs, listed);
}

std::string targetName(const ::testing::TestParamInfo<fuzztargets::Target>& info)
{
    return std::string(info.param.name);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplayTest,
                         ::testing::ValuesIn(fuzztargets::allTargets().begin(),
                                             fuzztargets::allTargets().end()),
                         targetName);

}  // namespace
