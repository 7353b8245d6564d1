// The depth of an imported object graph, measured without recursion before qpdf
// copies it: compared with a plain walk that takes every child onto the stack,
// numbers and names included, on random graphs of arrays, dictionaries,
// streams, indirect objects, cycles and pages.
#include "pdfengine/ReferenceDepth.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace pdfengine;

namespace {

// The walk as it was first written: every child goes onto the stack.
size_t plainDepth(QPDFObjectHandle root, size_t limit)
{
    struct Entry {
        QPDFObjectHandle object;
        size_t depth;
    };
    std::set<QPDFObjGen> entered;
    std::vector<Entry> stack{{root, 1}};
    size_t deepest = 0;
    while (!stack.empty()) {
        Entry e = stack.back();
        stack.pop_back();
        if (e.depth > limit)
            return e.depth;
        if (e.object.isIndirect() && !entered.insert(e.object.getObjGen()).second)
            continue;
        if (e.depth > 1 && (e.object.isDictionaryOfType("/Page") || e.object.isDictionaryOfType("/Pages")))
            continue;
        deepest = std::max(deepest, e.depth);
        std::vector<QPDFObjectHandle> children;
        if (e.object.isArray()) {
            children = e.object.getArrayAsVector();
        } else if (e.object.isDictionary()) {
            for (auto& [key, value] : e.object.ditems())
                children.push_back(value);
        } else if (e.object.isStream()) {
            children.push_back(e.object.getDict());
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({*it, e.depth + 1});
    }
    return deepest;
}

class RandomGraph {
public:
    explicit RandomGraph(uint32_t seed) : state_(seed) { pdf_.emptyPDF(); }

    // A graph of about `size` objects; a fifth of them indirect, so that
    // objects are shared and paths loop back.
    QPDFObjectHandle make(int size)
    {
        for (int i = 0; i < size / 5 + 1; ++i)
            indirect_.push_back(pdf_.makeIndirectObject(QPDFObjectHandle::newArray()));
        for (QPDFObjectHandle& object : indirect_) {
            int budget = size / 4;
            QPDFObjectHandle filled = node(budget, 0);
            if (filled.isArray())
                object.setArrayFromVector(filled.getArrayAsVector());
        }
        int budget = size;
        return node(budget, 0);
    }

private:
    uint32_t next(uint32_t range)
    {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 8) % range;
    }

    QPDFObjectHandle node(int& budget, int level)
    {
        if (--budget <= 0 || level > 40)
            return leaf();
        switch (next(9)) {
            case 0:
            case 1:
                return level > 2 ? leaf() : node(budget, level + 1);
            case 2:
                return indirect_[next(static_cast<uint32_t>(indirect_.size()))];
            case 3: {
                QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
                page.replaceKey("/Type", QPDFObjectHandle::newName(next(2) ? "/Page" : "/Pages"));
                page.replaceKey("/Kids", node(budget, level + 1));
                return pdf_.makeIndirectObject(page);
            }
            case 4: {
                QPDFObjectHandle stream = pdf_.newStream(std::string("q Q"));
                stream.getDict().replaceKey("/Resources", node(budget, level + 1));
                return stream;
            }
            case 5:
            case 6: {
                QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
                for (uint32_t i = next(5); i > 0; --i)
                    dict.replaceKey("/K" + std::to_string(next(8)), node(budget, level + 1));
                return dict;
            }
            default: {
                QPDFObjectHandle array = QPDFObjectHandle::newArray();
                for (uint32_t i = next(6); i > 0; --i)
                    array.appendItem(node(budget, level + 1));
                return array;
            }
        }
    }

    QPDFObjectHandle leaf()
    {
        switch (next(4)) {
            case 0:
                return QPDFObjectHandle::newInteger(next(1000));
            case 1:
                return QPDFObjectHandle::newName("/N");
            case 2:
                return QPDFObjectHandle::newString("text");
            default:
                return pdf_.makeIndirectObject(QPDFObjectHandle::newReal(0.5, 1));
        }
    }

    QPDF pdf_;
    uint32_t state_;
    std::vector<QPDFObjectHandle> indirect_;
};

}  // namespace

TEST(ReferenceDepthTest, AgreesWithAPlainWalkOnRandomGraphs)
{
    int deep = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        RandomGraph graph(seed);
        QPDFObjectHandle root = graph.make(20 + static_cast<int>(seed % 200));
        size_t unlimited = plainDepth(root, 100000);
        deep += unlimited > 6;
        for (size_t limit : {size_t(1), size_t(3), size_t(6), unlimited - 1, unlimited, size_t(100000)})
            ASSERT_EQ(referenceDepth(root, limit), plainDepth(root, limit))
                << "seed " << seed << " limit " << limit;
    }
    EXPECT_GT(deep, 100);  // the graphs are not all shallow
}

TEST(ReferenceDepthTest, NumbersAndNamesCountAsALevel)
{
    QPDFObjectHandle widths = QPDFObjectHandle::parse("[1 [2 [3 /Name]] (text)]");
    EXPECT_EQ(referenceDepth(widths, 100), 4u);
    EXPECT_GT(referenceDepth(widths, 3), 3u);
    EXPECT_EQ(referenceDepth(QPDFObjectHandle::newInteger(5), 100), 1u);
    EXPECT_EQ(referenceDepth(QPDFObjectHandle::parse("[]"), 100), 1u);
}
