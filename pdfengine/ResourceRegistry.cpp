#include "pdfengine/ResourceRegistry.h"

#include <algorithm>

namespace pdfengine {

namespace {

struct TypeInfo {
    const char* key;     // the /Resources key
    const char* prefix;  // of the names
};

constexpr TypeInfo typeInfo[] = {
    {"/Font", "F"},        {"/XObject", "X"}, {"/ExtGState", "GS"},
    {"/ColorSpace", "CS"}, {"/Pattern", "P"}, {"/Shading", "SH"},
};

}  // namespace

void PageResources::add(size_t index)
{
    auto it = std::lower_bound(used_.begin(), used_.end(), index);
    if (it == used_.end() || *it != index)
        used_.insert(it, index);
}

const std::string& ResourceRegistry::nameFor(ResourceType type, const QPDFObjectHandle& object, size_t& index)
{
    auto key = std::make_pair(type, object.getObjGen());
    auto it = byObject_.find(key);
    if (it == byObject_.end()) {
        const auto t = static_cast<size_t>(type);
        std::string name = typeInfo[t].prefix + std::to_string(++counters_[t]);
        entries_.push_back({type, std::move(name), object});
        it = byObject_.emplace(key, entries_.size() - 1).first;
    }
    index = it->second;
    return entries_[index].name;
}

QPDFObjectHandle ResourceRegistry::dictionaryFor(const PageResources& used, QPDF& pdf)
{
    auto it = dictionaries_.find(used.indices());
    if (it != dictionaries_.end())
        return it->second;
    auto resources = QPDFObjectHandle::newDictionary();
    for (size_t index : used.indices()) {
        const Entry& entry = entries_[index];
        const char* key = typeInfo[static_cast<size_t>(entry.type)].key;
        if (!resources.hasKey(key))
            resources.replaceKey(key, QPDFObjectHandle::newDictionary());
        resources.getKey(key).replaceKey("/" + entry.name, entry.object);
    }
    auto indirect = pdf.makeIndirectObject(resources);
    dictionaries_.emplace(used.indices(), indirect);
    return indirect;
}

}  // namespace pdfengine
