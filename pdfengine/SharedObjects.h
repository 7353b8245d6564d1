// Objects of the output document that are made once and then used from many
// places, found again by a key chosen by their maker ("pdi:<doc>:<page>:<box>"
// for an imported page's form XObject, "font:<name>:<encoding>" ...). The
// objects are indirect, so every use refers to the one copy in the file.
#pragma once

#include <string>
#include <unordered_map>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

class SharedObjects {
public:
    // The object stored under key, or a null handle (isInitialized() false).
    QPDFObjectHandle find(const std::string& key) const
    {
        auto it = objects_.find(key);
        return it == objects_.end() ? QPDFObjectHandle() : it->second;
    }

    // Stores an indirect object under key, replacing what was there.
    void add(const std::string& key, QPDFObjectHandle object) { objects_[key] = std::move(object); }

private:
    std::unordered_map<std::string, QPDFObjectHandle> objects_;
};

}  // namespace pdfengine
