// The page being built: its size, its content stream, the resources it uses
// and its graphics state. Paths and the graphics state are written here;
// text, placed pages and images append to content() and register what they
// use with useResource(). Values are checked here, so every caller gets the
// same errors.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "pdfengine/ContentBuilder.h"
#include "pdfengine/GraphicsState.h"
#include "pdfengine/Qpdf.h"
#include "pdfengine/ResourceRegistry.h"

namespace pdfengine {

class Page {
public:
    Page(double width, double height, ResourceRegistry& registry);

    // Sizes in points, 1 to 14400; throws EngineError (5001) otherwise.
    static void checkSize(double width, double height);

    double width() const { return width_; }
    double height() const { return height_; }
    void setSize(double width, double height);

    ContentBuilder& content() { return content_; }
    const GraphicsState& state() const { return stack_.back(); }
    // The text state and position, which text drawing reads and updates.
    PageText& text() { return stack_.back().text; }
    bool inPath() const { return inPath_; }
    size_t saveDepth() const { return stack_.size() - 1; }
    const PageResources& resources() const { return resources_; }

    // The name under which content refers to `object` (an indirect object).
    std::string useResource(ResourceType type, const QPDFObjectHandle& object);

    // Where an imported page (by its PDI page handle) was last placed on this
    // page: from its user space to this page's, so that its blocks can be
    // filled where they appear. Null when it was not placed here.
    void notePlacement(int pdiPage, const QPDFMatrix& matrix) { placements_[pdiPage] = matrix; }
    const QPDFMatrix* placement(int pdiPage) const;

    void setLineWidth(double width);
    void setLineCap(int cap);
    void setLineJoin(int join);
    void setMiterLimit(double limit);
    void setDash(const std::vector<double>& array, double phase);
    void setFillColor(const Color& color);
    void setStrokeColor(const Color& color);

    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void rect(double x, double y, double width, double height);
    void closePath();
    void stroke();
    void fill();
    void fillStroke();

    void save();
    // Throws EngineError (3002) without a matching save().
    void restore();

private:
    GraphicsState& current() { return stack_.back(); }
    void writeColor(const Color& color, bool stroke);
    void paint(const char* op);

    double width_;
    double height_;
    ResourceRegistry& registry_;
    ContentBuilder content_;
    PageResources resources_;
    std::vector<GraphicsState> stack_;
    bool inPath_ = false;
    std::map<int, QPDFMatrix> placements_;
};

// Throws EngineError (5002) naming the argument when value is NaN or infinite.
void requireFinite(double value, const char* argument);

}  // namespace pdfengine
