#include "pdfengine/ReferenceDepth.h"

#include <algorithm>
#include <set>
#include <vector>

namespace pdfengine {

namespace {

bool isLeaf(QPDFObjectHandle& object)
{
    if (object.isIndirect())
        return false;
    switch (object.getTypeCode()) {
        case ::ot_array:
        case ::ot_dictionary:
        case ::ot_stream:
            return false;
        default:
            return true;
    }
}

}  // namespace

size_t referenceDepth(QPDFObjectHandle root, size_t limit)
{
    struct Entry {
        QPDFObjectHandle object;
        size_t depth;
    };
    std::set<QPDFObjGen> entered;
    std::vector<Entry> stack{{root, 1}};
    std::vector<QPDFObjectHandle> children;
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
        children.clear();
        if (object.isArray()) {
            children = object.getArrayAsVector();
        } else if (object.isDictionary()) {
            for (auto& [key, value] : object.getDictAsMap())
                children.push_back(value);
        } else if (object.isStream()) {
            children.push_back(object.getDict());
        }
        // Children in the order a recursive walk would take them, last pushed
        // first. A direct number, name or string ends its path where it is: it
        // is counted without going onto the stack (a font's widths are
        // hundreds of them).
        bool leaves = false;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (isLeaf(*it))
                leaves = true;
            else
                stack.push_back({*it, e.depth + 1});
        }
        if (leaves) {
            if (e.depth + 1 > limit)
                return e.depth + 1;
            deepest = std::max(deepest, e.depth + 1);
        }
    }
    return deepest;
}

}  // namespace pdfengine
