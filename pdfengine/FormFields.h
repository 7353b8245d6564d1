// The interactive form of the output document: text fields, check boxes and
// radio button groups with their widgets on the pages, their values and
// appearance streams, and at the end the catalog's /AcroForm.
//
// Field names are full names: "address.city" is the field "city" below the
// field "address", which holds only fields. A radio button "group.item" is a
// widget of the radio group "group" made before by createGroup; "item" names
// its on state. Groups and the fields that hold fields enter the form with
// their first field, so none is written empty.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdfengine/FieldAppearance.h"
#include "pdfengine/FieldFonts.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

class Document;
class Engine;
class LoadedFont;
class OptionList;

class FormFields {
public:
    struct Rect {
        double llx, lly, urx, ury;
    };

    explicit FormFields(QPDF& pdf) : pdf_(pdf), fonts_(pdf) {}

    // PDF_create_fieldgroup.
    void createGroup(Engine& engine, std::string_view name, std::string_view optlist);
    // PDF_create_field, on the current page.
    void createField(Engine& engine, Rect rect, std::string_view name, std::string_view type,
                     std::string_view optlist);

    // Writes /AcroForm into the catalog; nothing when the document has no field.
    void finish(Document& document);

private:
    enum class Kind {
        Holder,      // holds fields, has no value
        RadioGroup,  // a radio button field; its kids are widgets
        Terminal,    // a text field or check box, its own widget
        RadioButton  // a widget of a radio group
    };

    // What every field's widget has, made before its type adds the rest.
    struct FieldParts {
        std::string fullName;
        std::string value;
        FieldFrame frame;
        Color color;
        QPDFObjectHandle widget;
        QPDFObjectHandle mk;
        int flags;
        std::optional<std::string> tooltip;
    };

    // The rest of a text field or button; the node's index.
    int addTextField(Engine& engine, const OptionList& list, LoadedFont* font, FieldParts& parts);
    int addButton(const OptionList& list, bool radio, FieldParts& parts);

    struct Node {
        Kind kind;
        int parent;  // index into nodes_, -1 for a top-level field
        QPDFObjectHandle object;
        bool attached = false;
    };

    // The name's parts checked (not empty, valid text); throws 2704.
    std::vector<std::string> splitName(const std::string& name) const;
    // Adds a node for a full name; its parents are made as holders.
    int add(const std::string& name, Kind kind, QPDFObjectHandle object);
    // Puts a node and the parents it waits for into the form.
    void attach(int index);
    // The radio group a button's name belongs to and the item after it.
    int groupOf(const std::string& name, std::string& item) const;
    // A name, value or tooltip as UTF-8.
    std::string hypertext(Engine& engine, std::string_view text, bool utf8List, const char* what) const;

    QPDF& pdf_;
    FieldFonts fonts_;
    std::vector<Node> nodes_;
    std::map<std::string, int> byName_;
    std::vector<QPDFObjectHandle> topLevel_;
    QPDFObjectHandle dingbats_;  // the font viewers draw button captions with
};

}  // namespace pdfengine
