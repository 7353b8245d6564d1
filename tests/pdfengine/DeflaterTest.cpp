// Content stream compression: what the compressor makes must inflate back to
// exactly what it was given, for every size a page can have and for data that
// does not compress at all.
#include <gtest/gtest.h>

#include <zlib.h>
#include <random>
#include <string>

#include "pdfengine/Deflater.h"

namespace {

std::string inflated(const std::string& compressed, size_t expectedSize)
{
    std::string out(expectedSize + 16, '\0');
    uLongf size = static_cast<uLongf>(out.size());
    int result =
        uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(compressed.data()), static_cast<uLong>(compressed.size()));
    EXPECT_EQ(result, Z_OK);
    out.resize(size);
    return out;
}

std::string pageOfPaths(int lines)
{
    std::string content;
    for (int i = 0; i < lines; ++i)
        content += std::to_string(56.6893 + i) + " " + std::to_string(361.3946 - i * 25.5) + " m\n538.5488 " +
                   std::to_string(361.3946 - i * 25.5) + " l\nS\n";
    return content;
}

TEST(DeflaterTest, EveryInputInflatesBackToItself)
{
    std::mt19937 random(7);
    std::string noise(300000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    const std::string inputs[] = {
        "", "q", pageOfPaths(40), pageOfPaths(4000), noise, std::string(100000, 'x')};
    for (int level : {1, 6, 12}) {
        pdfengine::Deflater deflater(level);
        // One compressor serves one document's pages in turn.
        for (int round = 0; round < 2; ++round) {
            for (const std::string& input : inputs) {
                const std::string compressed = deflater.compress(input);
                EXPECT_EQ(inflated(compressed, input.size()), input)
                    << "level " << level << ", " << input.size();
                if (input.size() > 1000 && input != noise) {
                    EXPECT_LT(compressed.size(), input.size() / 3) << input.size();
                }
            }
        }
    }
}

}  // namespace
