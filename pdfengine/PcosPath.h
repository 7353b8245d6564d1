// A pCOS path taken apart: an optional prefix (length:, type:), then steps
// separated by "/", each a key with optional [n] indices. A path that begins
// with "/" starts at the trailer ("/Root/Pages/Count"); otherwise its first
// key is a root of its own (pages, pdfversion, filename, encrypt, trailer).
// Keys may write any byte as #xx, so that "/", "[", "]" and "#" can be part of
// a key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pdfengine {

struct PcosPath {
    enum class Prefix { None, Length, Type };

    struct Step {
        bool isIndex = false;
        std::string key;  // decoded bytes, without a slash
        long index = 0;
    };

    Prefix prefix = Prefix::None;
    bool fromTrailer = false;
    std::vector<Step> steps;  // a key is followed by the indices written after it
    std::string text;         // the path as given, for messages

    // Throws PdiError (PathSyntax) naming the path when it is not well formed.
    static PcosPath parse(std::string_view path);
};

}  // namespace pdfengine
