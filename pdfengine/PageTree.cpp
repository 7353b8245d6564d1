#include "pdfengine/PageTree.h"

#include <set>

#include "pdfengine/PdiError.h"

namespace pdfengine {

namespace {

bool isPagesNode(QPDFObjectHandle node)
{
    QPDFObjectHandle type = node.getKey("/Type");
    if (type.isName())
        return type.getName() == "/Pages";
    // Without a type, a node with kids is an intermediate node.
    return node.getKey("/Kids").isArray();
}

// The value of `name` in node when it has one, else the inherited value.
QPDFObjectHandle override(QPDFObjectHandle node, const char* name, QPDFObjectHandle inherited)
{
    QPDFObjectHandle own = node.getKey(name);
    return own.isNull() ? inherited : own;
}

struct Pending {
    QPDFObjectHandle node;
    PageNode inherited;  // dict unused
    bool root = false;   // the catalog's /Pages is a tree node whatever it says
    size_t depth = 1;
};

}  // namespace

QPDFObjectHandle PageNode::attribute(const char* name) const
{
    QPDFObjectHandle page = dict;  // qpdf's accessors are not const
    QPDFObjectHandle own = page.getKey(name);
    if (!own.isNull())
        return own;
    std::string key = name;
    if (key == "/Resources")
        return resources;
    if (key == "/MediaBox")
        return mediaBox;
    if (key == "/CropBox")
        return cropBox;
    if (key == "/Rotate")
        return rotate;
    return QPDFObjectHandle::newNull();
}

std::vector<PageNode> PageTree::walk(QPDF& pdf, const std::string& fileName)
{
    QPDFObjectHandle root = pdf.getTrailer().getKey("/Root");
    if (!root.isDictionary())
        throw PdiError(PdiErrorKind::Damaged, "PDF file '" + fileName + "' is damaged (no document catalog)");
    QPDFObjectHandle pages = root.getKey("/Pages");
    if (!pages.isDictionary())
        throw PdiError(PdiErrorKind::Damaged, "PDF file '" + fileName + "' is damaged (no page tree)");

    std::vector<PageNode> result;
    std::set<QPDFObjGen> seen;
    PageNode none;
    none.resources = none.mediaBox = none.cropBox = none.rotate = QPDFObjectHandle::newNull();
    std::vector<Pending> stack{{pages, none, true}};
    while (!stack.empty()) {
        Pending current = std::move(stack.back());
        stack.pop_back();
        QPDFObjectHandle node = current.node;
        if (!node.isDictionary())
            continue;
        if (!current.root && !isPagesNode(node)) {
            PageNode page = current.inherited;
            page.dict = node;
            result.push_back(std::move(page));
            continue;
        }
        if (current.depth > maxDepth)
            throw PdiError(PdiErrorKind::Damaged, "PDF file '" + fileName +
                                                      "' is damaged (the page tree is nested more than " +
                                                      std::to_string(maxDepth) + " levels deep)");
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second)
            throw PdiError(PdiErrorKind::Damaged, "PDF file '" + fileName +
                                                      "' is damaged (the page tree reaches node " +
                                                      node.getObjGen().unparse(' ') + " R twice)");
        PageNode inherited = current.inherited;
        inherited.resources = override(node, "/Resources", inherited.resources);
        inherited.mediaBox = override(node, "/MediaBox", inherited.mediaBox);
        inherited.cropBox = override(node, "/CropBox", inherited.cropBox);
        inherited.rotate = override(node, "/Rotate", inherited.rotate);
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray())
            continue;
        // Pushed in reverse so that the first kid comes off the stack first.
        for (int i = kids.getArrayNItems(); i-- > 0;)
            stack.push_back({kids.getArrayItem(i), inherited, false, current.depth + 1});
    }
    return result;
}

}  // namespace pdfengine
