#include "pdfengine/ReferenceDepth.h"

#include <set>
#include <vector>

namespace pdfengine {

size_t referenceDepth(QPDFObjectHandle root, size_t limit)
{
    struct Entry {
        QPDFObjectHandle object;
        size_t depth;
    };
    std::set<QPDFObjGen> entered;
    std::vector<Entry> stack{{root, 1}};
    size_t deepest = 0;
    while (!stack.empty()) {
        Entry e = std::move(stack.back());
        stack.pop_back();
        if (e.depth > limit)
            return e.depth;
        QPDFObjectHandle object = e.object;
        if (object.isIndirect() && !entered.insert(object.getObjGen()).second)
            continue;
        // qpdf does not copy pages along. (Its own test for pages would walk
        // the page tree.)
        if (e.depth > 1 && (object.isDictionaryOfType("/Page") || object.isDictionaryOfType("/Pages")))
            continue;
        if (e.depth > deepest)
            deepest = e.depth;
        // Children in the order a recursive walk would take them, last pushed first.
        std::vector<QPDFObjectHandle> children;
        if (object.isArray()) {
            children = object.getArrayAsVector();
        } else if (object.isDictionary()) {
            for (auto& [key, value] : object.ditems())
                children.push_back(value);
        } else if (object.isStream()) {
            children.push_back(object.getDict());
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({*it, e.depth + 1});
    }
    return deepest;
}

}  // namespace pdfengine
