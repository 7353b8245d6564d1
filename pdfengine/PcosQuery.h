// pCOS queries over an imported document: the number, text or stream at a path
// (see PcosPath.h for the syntax and pdfengine/README.md for the roots
// and pseudo-objects).
#pragma once

#include <string>
#include <string_view>

#include "pdfengine/ImportedDocument.h"
#include "pdfengine/PcosPath.h"

namespace pdfengine {

// The codes of the type: prefix.
enum class PcosType {
    Null = 0,  // also a path that leads to nothing
    Boolean = 1,
    Number = 2,
    Name = 3,
    String = 4,
    Array = 5,
    Dictionary = 6,
    Stream = 7,
    UndecodableStream = 8,  // filters that cannot be decoded (images: DCT, JBIG2, JPX, CCITT)
};

class PcosQuery {
public:
    explicit PcosQuery(const ImportedDocument& document) : document_(document) {}

    // Numbers and booleans (1 or 0), and every length: and type: path.
    double number(std::string_view path) const;
    // Strings as UTF-8, names as their bytes, booleans as true/false, numbers as
    // text, and length: and type: paths as text.
    std::string string(std::string_view path) const;
    // Streams decoded (undecodable ones as stored), strings as their bytes.
    std::string stream(std::string_view path) const;

    // All throw PdiError: PathSyntax for a malformed path, PathNotFound for one
    // that leads to nothing (except under type:, which gives 0), WrongType for
    // an object that cannot be returned that way, Damaged when the file fails
    // while the path is followed, TooComplex for a stream beyond the limit.

private:
    struct Node;
    Node resolve(const PcosPath& path) const;
    Node root(const PcosPath& path) const;
    bool step(Node& node, const PcosPath::Step& step) const;
    PcosType typeOf(const Node& node) const;
    double lengthOf(const Node& node, const PcosPath& path) const;
    double prefixed(const PcosPath& path) const;
    double numberAt(std::string_view path) const;
    std::string stringAt(std::string_view path) const;
    std::string streamAt(std::string_view path) const;
    // Runs the query, then takes note of what qpdf repaired on the way, and
    // turns qpdf's exceptions into PdiError.
    template <typename Query>
    auto guarded(Query query) const;

    const ImportedDocument& document_;
};

}  // namespace pdfengine
