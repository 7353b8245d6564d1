#include "pdfengine/FormFields.h"

#include <algorithm>
#include <cmath>

#include "pdfengine/ContentBuilder.h"
#include "pdfengine/Document.h"
#include "pdfengine/Engine.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/FieldAppearance.h"
#include "pdfengine/FontRegistry.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/TextDecoder.h"
#include "pdfengine/TextEncoding.h"

namespace pdfengine {

namespace {

using Handle = QPDFObjectHandle;

enum class FieldType { Text, CheckBox, RadioButton };

// Field flags (/Ff).
constexpr int kReadOnly = 1 << 0;
constexpr int kRequired = 1 << 1;
constexpr int kMultiline = 1 << 12;
constexpr int kNoToggleToOff = 1 << 14;
constexpr int kRadio = 1 << 15;
// Annotation flag Print: fields are printed as they look.
constexpr int kPrint = 1 << 2;
// The on state of check boxes, as form readers expect it.
constexpr const char* kCheckBoxOn = "Yes";

std::string inQuotes(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

FieldType fieldTypeOf(std::string_view type)
{
    if (equalsNoCase(type, "textfield"))
        return FieldType::Text;
    if (equalsNoCase(type, "checkbox"))
        return FieldType::CheckBox;
    if (equalsNoCase(type, "radiobutton"))
        return FieldType::RadioButton;
    throw EngineError(err::UnknownFieldType, "Unknown field type " + inQuotes(type) +
                                                 " (expected textfield, checkbox or radiobutton)");
}

Handle name(std::string_view text)
{
    // qpdf writes other delimiters as #xx itself but takes # as the start of
    // such an escape.
    std::string escaped = "/";
    for (char c : text)
        escaped += c == '#' ? std::string("#23") : std::string(1, c);
    return Handle::newName(escaped);
}

Handle colorArray(const Color& color)
{
    std::vector<Handle> components;
    for (int i = 0; i < Color::componentCount(color.space); ++i)
        components.push_back(Handle::newReal(color.components[static_cast<size_t>(i)], 4));
    return Handle::newArray(components);
}

// The /DA of a field: font, size and colour that viewers write new text in.
std::string defaultAppearance(const std::string& font, double size, const Color& color)
{
    ContentBuilder da;
    da.name(font).number(size).op("Tf").color(color, false);
    std::string text = da.take();
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// A form XObject of the widget's size.
Handle appearance(QPDF& pdf, std::string content, double width, double height, Handle resources)
{
    Handle stream = pdf.newStream(std::move(content));
    Handle dictionary = stream.getDict();
    dictionary.replaceKey("/Type", name("XObject"));
    dictionary.replaceKey("/Subtype", name("Form"));
    dictionary.replaceKey("/BBox", Handle::newArray(Handle::Rectangle(0, 0, width, height)));
    dictionary.replaceKey("/Resources", resources);
    return stream;
}

// Whether a button's value switches it on: On (or Yes, true, or the name of
// its on state) or Off (No, false, empty), in any case.
bool switchedOn(const std::string& value, const std::string& onState, const std::string& field)
{
    for (const char* on : {"on", "yes", "true"})
        if (equalsNoCase(value, on))
            return true;
    if (value == onState)
        return true;
    for (const char* off : {"off", "no", "false", ""})
        if (equalsNoCase(value, off))
            return false;
    throw EngineError(err::BadFieldValue,
                      "Value " + inQuotes(value) + " of button " + inQuotes(field) + " must be On or Off");
}

}  // namespace

std::string FormFields::hypertext(Engine& engine, std::string_view text, bool utf8List,
                                  const char* what) const
{
    std::optional<std::string> utf8 = hypertextToUtf8(text, engine.settings().hypertextEncoding, utf8List);
    if (!utf8)
        throw EngineError(err::BadText, std::string(what) + " is not valid UTF-8");
    return *utf8;
}

std::vector<std::string> FormFields::splitName(const std::string& fullName) const
{
    if (fullName.empty())
        throw EngineError(err::BadFieldName, "Field name must not be empty");
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = fullName.find('.', start);
        parts.push_back(fullName.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (parts.back().empty())
            throw EngineError(err::BadFieldName, "Field name " + inQuotes(fullName) + " has an empty part");
        if (dot == std::string::npos)
            return parts;
        start = dot + 1;
    }
}

int FormFields::groupOf(const std::string& fullName, std::string& item) const
{
    // A group's name may have dots itself: the first prefix that names a
    // group wins, as callers take the part before the first dot.
    for (size_t dot = fullName.find('.'); dot != std::string::npos; dot = fullName.find('.', dot + 1)) {
        auto it = byName_.find(fullName.substr(0, dot));
        if (it != byName_.end() && nodes_[static_cast<size_t>(it->second)].kind == Kind::RadioGroup) {
            item = fullName.substr(dot + 1);
            return it->second;
        }
    }
    const size_t dot = fullName.find('.');
    if (dot == std::string::npos)
        throw EngineError(
            err::RadioWithoutGroup,
            "Radio button " + inQuotes(fullName) +
                " has no group (name it group.item after PDF_create_fieldgroup made the group)");
    throw EngineError(err::RadioWithoutGroup, "Radio button " + inQuotes(fullName) +
                                                  " has no group: " + inQuotes(fullName.substr(0, dot)) +
                                                  " was not made with PDF_create_fieldgroup");
}

int FormFields::add(const std::string& fullName, Kind kind, Handle object)
{
    if (byName_.count(fullName))
        throw EngineError(err::DuplicateFieldName, "Field name " + inQuotes(fullName) + " is already used");
    int parent = -1;
    std::string partial = fullName;
    if (kind != Kind::RadioButton) {
        const std::vector<std::string> parts = splitName(fullName);
        // Every field above must hold fields; check all before making any.
        std::string prefix;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            prefix += (i ? "." : "") + parts[i];
            auto it = byName_.find(prefix);
            if (it != byName_.end() && nodes_[static_cast<size_t>(it->second)].kind != Kind::Holder)
                throw EngineError(err::BadFieldName, "Field " + inQuotes(fullName) +
                                                         " cannot be made: " + inQuotes(prefix) +
                                                         " is a field that holds no fields");
        }
        prefix.clear();
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            prefix += (i ? "." : "") + parts[i];
            auto it = byName_.find(prefix);
            if (it != byName_.end()) {
                parent = it->second;
                continue;
            }
            Handle holder = pdf_.makeIndirectObject(Handle::newDictionary());
            holder.replaceKey("/T", Handle::newUnicodeString(parts[i]));
            holder.replaceKey("/Kids", Handle::newArray());
            if (parent >= 0)
                holder.replaceKey("/Parent", nodes_[static_cast<size_t>(parent)].object);
            nodes_.push_back({Kind::Holder, parent, holder});
            parent = static_cast<int>(nodes_.size()) - 1;
            byName_[prefix] = parent;
        }
        partial = parts.back();
        object.replaceKey("/T", Handle::newUnicodeString(partial));
    } else {
        std::string item;
        parent = groupOf(fullName, item);
    }
    if (parent >= 0)
        object.replaceKey("/Parent", nodes_[static_cast<size_t>(parent)].object);
    nodes_.push_back({kind, parent, object});
    const int index = static_cast<int>(nodes_.size()) - 1;
    byName_[fullName] = index;
    return index;
}

void FormFields::attach(int index)
{
    while (index >= 0 && !nodes_[static_cast<size_t>(index)].attached) {
        Node& node = nodes_[static_cast<size_t>(index)];
        node.attached = true;
        if (node.parent < 0) {
            topLevel_.push_back(node.object);
            return;
        }
        nodes_[static_cast<size_t>(node.parent)].object.getKey("/Kids").appendItem(node.object);
        index = node.parent;
    }
}

void FormFields::createGroup(Engine& engine, std::string_view groupName, std::string_view optlist)
{
    const OptionList list = OptionList::parse(optlist, options::fieldGroup);
    const std::string fullName = hypertext(engine, groupName, false, "Field group name");
    if (!list.has("fieldtype"))
        throw EngineError(err::UnknownFieldType,
                          "Field group " + inQuotes(fullName) + " needs the option fieldtype=radiobutton");
    Handle group = pdf_.makeIndirectObject(Handle::newDictionary());
    group.replaceKey("/FT", name("Btn"));
    int flags = kRadio | kNoToggleToOff;
    if (list.getBool("readonly", false))
        flags |= kReadOnly;
    if (list.getBool("required", false))
        flags |= kRequired;
    group.replaceKey("/Ff", Handle::newInteger(flags));
    group.replaceKey("/V", name("Off"));
    group.replaceKey("/DA", Handle::newString(defaultAppearance("ZaDb", 0, Color{})));
    group.replaceKey("/Kids", Handle::newArray());
    if (list.has("tooltip"))
        group.replaceKey("/TU", Handle::newUnicodeString(
                                    hypertext(engine, list.getString("tooltip"), list.utf8(), "Tooltip")));
    add(fullName, Kind::RadioGroup, group);
}

int FormFields::addTextField(Engine& engine, const OptionList& list, LoadedFont* font, FieldParts& parts)
{
    auto& [fullName, value, frame, color, widget, mk, flags, tooltip] = parts;
    const double width = frame.width;
    const double height = frame.height;
    std::u32string characters;
    decodeUtf8(value, characters);
    const int maxChar = list.getInteger("maxchar", 0);
    if (maxChar > 0 && characters.size() > static_cast<size_t>(maxChar))
        throw EngineError(err::BadFieldValue, "Value of field " + inQuotes(fullName) + " has " +
                                                  std::to_string(characters.size()) +
                                                  " characters, more than maxchar " +
                                                  std::to_string(maxChar));
    const bool multiline = list.getBool("multiline", false);
    std::string note;
    FieldFont& fieldFont = fonts_.choose(font, characters, note);
    // A single line shows line breaks and tabs as spaces; the value keeps them.
    std::u32string shown = characters;
    if (!multiline)
        std::replace_if(
            shown.begin(), shown.end(), [](char32_t c) { return c == U'\r' || c == U'\n' || c == U'\t'; },
            U' ');
    GlyphRun run = fieldFont.font().mapUnicode(shown);
    if (run.missing > 0) {
        int lacking = 0;
        for (const GlyphRun::Glyph& g : run.glyphs)
            lacking += g.missing && g.unicode != U'\n' && g.unicode != U'\r' ? 1 : 0;
        if (lacking > 0)
            note += (note.empty() ? "" : "; ") + std::to_string(lacking) + " character" +
                    (lacking == 1 ? "" : "s") + " not in field font " + inQuotes(fieldFont.name()) +
                    ", shown as notdef";
    }
    if (!note.empty())
        engine.noteForTrace(note);

    TextLook look;
    look.frame = frame;
    look.fontResource = fieldFont.resourceName();
    look.ascender = fieldFont.font().ascender();
    look.descender = fieldFont.font().descender();
    look.fontSize = list.getNumber("fontsize", 0);
    look.color = color;
    look.alignment = static_cast<FieldAlignment>(list.getKeyword("alignment", 0));
    look.multiline = multiline;
    double usedSize = 0;
    std::string content = FieldAppearance::text(look, run, usedSize);

    widget.replaceKey("/FT", name("Tx"));
    if (multiline)
        flags |= kMultiline;
    if (list.has("currentvalue"))
        widget.replaceKey("/V", Handle::newUnicodeString(value));
    widget.replaceKey("/DA",
                      Handle::newString(defaultAppearance(fieldFont.resourceName(), look.fontSize, color)));
    if (look.alignment != FieldAlignment::Left)
        widget.replaceKey("/Q", Handle::newInteger(static_cast<int>(look.alignment)));
    if (maxChar > 0)
        widget.replaceKey("/MaxLen", Handle::newInteger(maxChar));
    if (tooltip)
        widget.replaceKey("/TU", Handle::newUnicodeString(*tooltip));
    if (flags)
        widget.replaceKey("/Ff", Handle::newInteger(flags));
    if (!mk.getKeys().empty())
        widget.replaceKey("/MK", mk);
    Handle fontResources = Handle::newDictionary();
    fontResources.replaceKey("/" + fieldFont.resourceName(), fieldFont.dictionary());
    Handle resources = Handle::newDictionary();
    resources.replaceKey("/Font", fontResources);
    Handle ap = Handle::newDictionary();
    ap.replaceKey("/N", appearance(pdf_, std::move(content), width, height, resources));
    widget.replaceKey("/AP", ap);
    const int index = add(fullName, Kind::Terminal, widget);
    // Only a field that is made records its characters for the font's
    // widths and text.
    fieldFont.use(run);
    return index;
}

int FormFields::addButton(const OptionList& list, bool radio, FieldParts& parts)
{
    auto& [fullName, value, frame, color, widget, mk, flags, tooltip] = parts;
    const double width = frame.width;
    const double height = frame.height;
    const auto style = static_cast<ButtonStyle>(list.getKeyword("buttonstyle", radio ? 1 : 0));
    std::string item;
    int group = -1;
    if (radio) {
        if (byName_.count(fullName))
            throw EngineError(err::DuplicateFieldName,
                              "Field name " + inQuotes(fullName) + " is already used");
        group = groupOf(fullName, item);
        if (item == "Off")
            throw EngineError(err::BadFieldName, "Radio button " + inQuotes(fullName) +
                                                     " cannot be named Off, the name of its off state");
    }
    const std::string onState = radio ? item : kCheckBoxOn;
    const bool on = switchedOn(value, onState, fullName);
    const Handle state = name(on ? onState : "Off");

    mk.replaceKey("/CA", Handle::newString(std::string(1, FieldAppearance::caption(style))));
    widget.replaceKey("/MK", mk);
    widget.replaceKey("/AS", state);
    Handle normal = Handle::newDictionary();
    Handle down = Handle::newDictionary();
    for (bool stateOn : {true, false}) {
        const std::string key = name(stateOn ? onState : std::string("Off")).getName();
        normal.replaceKey(key, appearance(pdf_, FieldAppearance::button(frame, style, color, stateOn, false),
                                          width, height, Handle::newDictionary()));
        down.replaceKey(key, appearance(pdf_, FieldAppearance::button(frame, style, color, stateOn, true),
                                        width, height, Handle::newDictionary()));
    }
    Handle ap = Handle::newDictionary();
    ap.replaceKey("/N", normal);
    ap.replaceKey("/D", down);
    widget.replaceKey("/AP", ap);
    if (!dingbats_.isInitialized()) {
        Handle zapf = Handle::newDictionary();
        zapf.replaceKey("/Type", name("Font"));
        zapf.replaceKey("/Subtype", name("Type1"));
        zapf.replaceKey("/BaseFont", name("ZapfDingbats"));
        dingbats_ = pdf_.makeIndirectObject(zapf);
    }

    if (!radio) {
        widget.replaceKey("/FT", name("Btn"));
        widget.replaceKey("/V", state);
        widget.replaceKey("/DA", Handle::newString(defaultAppearance("ZaDb", 0, color)));
        if (tooltip)
            widget.replaceKey("/TU", Handle::newUnicodeString(*tooltip));
        if (flags)
            widget.replaceKey("/Ff", Handle::newInteger(flags));
        return add(fullName, Kind::Terminal, widget);
    } else {
        Node& groupNode = nodes_[static_cast<size_t>(group)];
        Handle field = groupNode.object;
        if (flags)
            field.replaceKey("/Ff", Handle::newInteger(field.getKey("/Ff").getIntValueAsInt() | flags));
        if (tooltip && !field.hasKey("/TU"))
            field.replaceKey("/TU", Handle::newUnicodeString(*tooltip));
        if (on) {
            // One button of a group is on: the one switched on last.
            for (Handle kid : field.getKey("/Kids").aitems())
                kid.replaceKey("/AS", name("Off"));
            field.replaceKey("/V", state);
        }
        return add(fullName, Kind::RadioButton, widget);
    }
}

void FormFields::createField(Engine& engine, Rect rect, std::string_view fieldName, std::string_view type,
                             std::string_view optlist)
{
    const OptionList list = OptionList::parse(optlist, options::field);
    const FieldType fieldType = fieldTypeOf(type);
    requireFinite(rect.llx, "llx");
    requireFinite(rect.lly, "lly");
    requireFinite(rect.urx, "urx");
    requireFinite(rect.ury, "ury");
    const double llx = std::min(rect.llx, rect.urx);
    const double lly = std::min(rect.lly, rect.ury);
    const double width = std::abs(rect.urx - rect.llx);
    const double height = std::abs(rect.ury - rect.lly);
    const std::string fullName = hypertext(engine, fieldName, false, "Field name");
    if (width <= 0 || height <= 0)
        throw EngineError(err::FieldWithoutArea, "Field " + inQuotes(fullName) + " has no area");
    const std::string value =
        hypertext(engine, list.getString("currentvalue"), list.utf8(), "Value of a field");
    LoadedFont* font = list.has("font") ? &engine.fonts().get(list.getInteger("font", -1)) : nullptr;

    FieldFrame frame{width, height, std::nullopt, std::nullopt, fieldType == FieldType::RadioButton};
    if (list.has("bordercolor"))
        frame.border = list.getColor("bordercolor");
    if (list.has("backgroundcolor"))
        frame.background = list.getColor("backgroundcolor");
    const Color color = list.getColor("fillcolor");

    Handle widget = pdf_.makeIndirectObject(Handle::newDictionary());
    widget.replaceKey("/Type", name("Annot"));
    widget.replaceKey("/Subtype", name("Widget"));
    widget.replaceKey("/Rect", Handle::newArray(Handle::Rectangle(llx, lly, llx + width, lly + height)));
    widget.replaceKey("/F", Handle::newInteger(kPrint));
    Handle page = engine.document().pageDictionary();
    widget.replaceKey("/P", page);
    Handle mk = Handle::newDictionary();
    if (frame.border)
        mk.replaceKey("/BC", colorArray(*frame.border));
    if (frame.background)
        mk.replaceKey("/BG", colorArray(*frame.background));

    int flags = 0;
    if (list.getBool("readonly", false))
        flags |= kReadOnly;
    if (list.getBool("required", false))
        flags |= kRequired;
    std::optional<std::string> tooltip;
    if (list.has("tooltip"))
        tooltip = hypertext(engine, list.getString("tooltip"), list.utf8(), "Tooltip");

    FieldParts parts{fullName, value, frame, color, widget, mk, flags, tooltip};
    const int index = fieldType == FieldType::Text
                          ? addTextField(engine, list, font, parts)
                          : addButton(list, fieldType == FieldType::RadioButton, parts);
    if (!page.hasKey("/Annots"))
        page.replaceKey("/Annots", Handle::newArray());
    page.getKey("/Annots").appendItem(widget);
    attach(index);
}

void FormFields::finish(Document& document)
{
    if (topLevel_.empty())
        return;
    Handle fonts = Handle::newDictionary();
    fonts_.write(fonts, document.deflater());
    if (dingbats_.isInitialized())
        fonts.replaceKey("/ZaDb", dingbats_);
    Handle resources = Handle::newDictionary();
    resources.replaceKey("/Font", fonts);
    Handle form = Handle::newDictionary();
    form.replaceKey("/Fields", Handle::newArray(topLevel_));
    form.replaceKey("/DR", resources);
    document.pdf().getRoot().replaceKey("/AcroForm", document.pdf().makeIndirectObject(form));
}

}  // namespace pdfengine
