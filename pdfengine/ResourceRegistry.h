// Resource names of the whole document. An indirect object used as a page
// resource (a font, a form XObject, an image, an ExtGState...) gets one name
// for the whole document (/F1, /X1, /GS1...), so content streams can be built
// before the page's resource dictionary exists. Pages record what they use in
// PageResources; pages that use the same set share one /Resources dictionary.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

enum class ResourceType { Font, XObject, ExtGState, ColorSpace, Pattern, Shading };

// The resources one page uses: indices into the registry, kept sorted.
class PageResources {
public:
    void add(size_t index);
    bool empty() const { return used_.empty(); }
    const std::vector<size_t>& indices() const { return used_; }

private:
    std::vector<size_t> used_;
};

class ResourceRegistry {
public:
    // The resource name (without the slash) of `object`, an indirect object,
    // as a resource of `type`; the same object always gets the same name.
    // `index` receives the registry index for PageResources.
    const std::string& nameFor(ResourceType type, const QPDFObjectHandle& object, size_t& index);

    // The /Resources dictionary (an indirect object) of a page that uses
    // `used`: made once per distinct set and shared by every page using it.
    QPDFObjectHandle dictionaryFor(const PageResources& used, QPDF& pdf);

private:
    struct Entry {
        ResourceType type;
        std::string name;
        QPDFObjectHandle object;
    };

    std::vector<Entry> entries_;
    std::map<std::pair<ResourceType, QPDFObjGen>, size_t> byObject_;
    int counters_[6] = {};
    std::map<std::vector<size_t>, QPDFObjectHandle> dictionaries_;
};

}  // namespace pdfengine
