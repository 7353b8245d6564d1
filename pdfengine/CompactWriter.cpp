#include "pdfengine/CompactWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "pdfengine/Deflater.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

namespace {

// qpdf's writer puts at most this many objects into one object stream too.
constexpr size_t objectsPerStream = 100;
// Object streams are small (a page dictionary is some 100 bytes) and alike: a
// slower level than the pages' content is worth its time here.
constexpr int objectStreamLevel = 6;

// A name as qpdf's writer writes it. Most names need no #xx escapes and are
// written as they are; the others take qpdf's own rules, which the engine's
// names are made for (a "#" they hold already is taken as an escape).
void appendName(std::string& out, const std::string& name)
{
    bool plain = name.size() > 1 && name[0] == '/';
    for (size_t i = 1; plain && i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        plain = byte >= 33 && byte <= 126 && !std::strchr("#()<>[]{}/%", byte);
    }
    if (plain)
        out += name;
    else
        out += QPDFObjectHandle::newName(name).unparse();
}

struct ObjGenHash {
    size_t operator()(const QPDFObjGen& og) const
    {
        return std::hash<long long>{}((static_cast<long long>(og.getObj()) << 16) ^ og.getGen());
    }
};

class Writer {
public:
    Writer(Pipeline& out, Deflater& streamDeflater)
        : out_(out), streamDeflater_(streamDeflater), objectStreamDeflater_(objectStreamLevel)
    {
    }

    void write(QPDF& pdf, const std::string& version, const std::string& id)
    {
        emit("%PDF-" + version + "\n%\xBF\xF7\xA2\xFE\n");
        QPDFObjectHandle trailer = pdf.getTrailer();
        QPDFObjectHandle root = trailer.getKey("/Root");
        QPDFObjectHandle info = trailer.getKey("/Info");
        if (!root.isIndirect() || !root.isDictionary())
            throw std::logic_error("the document has no catalog to write");
        const int rootNumber = numberOf(root);
        const int infoNumber = info.isIndirect() && info.isDictionary() ? numberOf(info) : 0;
        // Objects are reached while the ones before them are written.
        while (!queue_.empty()) {
            auto [number, object] = std::move(queue_.front());
            queue_.pop_front();
            if (object.isStream())
                writeStream(number, object);
            else
                addToObjectStream(number, object);
        }
        flushObjectStream();
        writeCrossReferences(rootNumber, infoNumber, id);
        out_.finish();
    }

private:
    struct Entry {
        uint8_t type = 0;     // 1: at an offset of the file; 2: in an object stream
        uint64_t where = 0;   // the offset, or the object stream's number
        uint32_t index = 0;   // the place in the object stream
    };

    int newNumber()
    {
        entries_.emplace_back();
        return static_cast<int>(entries_.size() - 1);
    }

    // The number of an indirect object in the file, given when it is first reached.
    int numberOf(QPDFObjectHandle& object)
    {
        auto [it, added] = numbers_.try_emplace(object.getObjGen(), 0);
        if (added) {
            it->second = newNumber();
            queue_.emplace_back(it->second, object);
        }
        return it->second;
    }

    void emit(std::string_view bytes)
    {
        out_.write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        offset_ += bytes.size();
    }

    // A value inside an object: a reference, or the value itself.
    void appendValue(std::string& out, QPDFObjectHandle& value)
    {
        if (!value.isIndirect()) {
            appendObject(out, value);
        } else if (value.isNull()) {
            // A reference to nothing (or to null) is null.
            out += "null";
        } else {
            appendInteger(out, numberOf(value));
            out += " 0 R";
        }
    }

    void appendObject(std::string& out, QPDFObjectHandle& object)
    {
        switch (object.getTypeCode()) {
        case ::ot_null:
            out += "null";
            break;
        case ::ot_boolean:
            out += object.getBoolValue() ? "true" : "false";
            break;
        case ::ot_integer:
            appendInteger(out, object.getIntValue());
            break;
        case ::ot_real:
            out += object.getRealValue();
            break;
        case ::ot_name:
            appendName(out, object.getName());
            break;
        case ::ot_string:
            out += object.unparse();
            break;
        case ::ot_array: {
            out += '[';
            bool first = true;
            for (QPDFObjectHandle item : object.aitems()) {
                if (!first)
                    out += ' ';
                first = false;
                appendValue(out, item);
            }
            out += ']';
            break;
        }
        case ::ot_dictionary:
            out += "<<";
            appendEntries(out, object, {});
            out += " >>";
            break;
        default:
            throw std::logic_error("an object of type " + std::string(object.getTypeName()) +
                                   " cannot be written into a PDF file");
        }
    }

    // The entries of a dictionary but those named in left, each after a space.
    // Entries whose value is null are left out too: PDF reads them as absent.
    void appendEntries(std::string& out, QPDFObjectHandle& dictionary, std::initializer_list<std::string_view> left)
    {
        for (auto [key, value] : dictionary.ditems()) {
            if (std::find(left.begin(), left.end(), key) != left.end() || value.isNull())
                continue;
            out += ' ';
            appendName(out, key);
            out += ' ';
            appendValue(out, value);
        }
    }

    void addToObjectStream(int number, QPDFObjectHandle& object)
    {
        appendInteger(streamIndex_, number);
        streamIndex_ += ' ';
        appendInteger(streamIndex_, static_cast<long long>(streamObjects_.size()));
        streamIndex_ += ' ';
        appendObject(streamObjects_, object);
        streamObjects_ += '\n';
        streamMembers_.push_back(number);
        if (streamMembers_.size() == objectsPerStream)
            flushObjectStream();
    }

    void flushObjectStream()
    {
        if (streamMembers_.empty())
            return;
        const int number = newNumber();
        for (size_t i = 0; i < streamMembers_.size(); ++i)
            entries_[streamMembers_[i]] = Entry{2, static_cast<uint64_t>(number), static_cast<uint32_t>(i)};
        const size_t first = streamIndex_.size();
        streamIndex_ += streamObjects_;
        const std::string data = objectStreamDeflater_.compress(streamIndex_);
        std::string head = "<< /Type /ObjStm /N ";
        appendInteger(head, static_cast<long long>(streamMembers_.size()));
        head += " /First ";
        appendInteger(head, static_cast<long long>(first));
        head += " /Filter /FlateDecode";
        emitStream(number, head, data);
        streamIndex_.clear();
        streamObjects_.clear();
        streamMembers_.clear();
    }

    // Writes an indirect stream object whose dictionary, up to its /Length and
    // its end, is head.
    void emitStream(int number, const std::string& head, std::string_view data)
    {
        entries_[number] = Entry{1, offset_, 0};
        std::string start;
        appendInteger(start, number);
        start += " 0 obj\n";
        start += head;
        start += " /Length ";
        appendInteger(start, static_cast<long long>(data.size()));
        start += " >>\nstream\n";
        emit(start);
        emit(data);
        emit("\nendstream\nendobj\n");
    }

    void writeStream(int number, QPDFObjectHandle& stream)
    {
        QPDFObjectHandle dictionary = stream.getDict();
        const std::shared_ptr<Buffer> raw = stream.getRawStreamData();
        std::string_view data(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize());
        // Metadata stays readable to tools that do not decompress.
        const bool compressing = !data.empty() && dictionary.getKey("/Filter").isNull() &&
                                 !dictionary.getKey("/Type").isNameAndEquals("/Metadata");
        std::string compressed;
        if (compressing) {
            compressed = streamDeflater_.compress(data);
            data = compressed;
        }
        // /Length is the writer's; so is the filter of data it compresses.
        std::string head = "<<";
        if (compressing) {
            appendEntries(head, dictionary, {"/Length", "/Filter", "/DecodeParms"});
            head += " /Filter /FlateDecode";
        } else {
            appendEntries(head, dictionary, {"/Length"});
        }
        emitStream(number, head, data);
    }

    static int bytesFor(uint64_t value)
    {
        int bytes = 1;
        while (value >>= 8)
            ++bytes;
        return bytes;
    }

    void writeCrossReferences(int rootNumber, int infoNumber, const std::string& id)
    {
        const int number = newNumber();
        entries_[number] = Entry{1, offset_, 0};
        uint64_t maxWhere = 0;
        uint32_t maxIndex = 0;
        for (const Entry& e : entries_) {
            maxWhere = std::max(maxWhere, e.where);
            maxIndex = std::max(maxIndex, e.index);
        }
        const int whereBytes = bytesFor(maxWhere);
        const int indexBytes = bytesFor(maxIndex);
        // Each row is written as its difference from the row above (the PNG "Up"
        // predictor): offsets that grow slowly leave mostly zeros to compress.
        const size_t width = static_cast<size_t>(1 + whereBytes + indexBytes);
        std::string table(entries_.size() * (width + 1), '\0');
        std::vector<unsigned char> row(width), above(width, 0);
        for (size_t n = 0; n < entries_.size(); ++n) {
            const Entry& e = entries_[n];
            size_t at = 0;
            auto put = [&](uint64_t value, int bytes) {
                for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
                    row[at++] = static_cast<unsigned char>((value >> shift) & 0xFF);
            };
            put(e.type, 1);
            put(e.where, whereBytes);
            put(e.index, indexBytes);
            char* out = table.data() + n * (width + 1);
            out[0] = 2;  // Up
            for (size_t i = 0; i < width; ++i)
                out[1 + i] = static_cast<char>(static_cast<unsigned char>(row[i] - above[i]));
            std::swap(row, above);
        }
        const std::string data = objectStreamDeflater_.compress(table);
        std::string head = "<< /Type /XRef /Size ";
        appendInteger(head, static_cast<long long>(entries_.size()));
        head += " /W [1 ";
        appendInteger(head, whereBytes);
        head += ' ';
        appendInteger(head, indexBytes);
        head += "] /Root ";
        appendInteger(head, rootNumber);
        head += " 0 R";
        if (infoNumber != 0) {
            head += " /Info ";
            appendInteger(head, infoNumber);
            head += " 0 R";
        }
        const std::string idText = QPDFObjectHandle::newString(id).unparse();
        head += " /ID [" + idText + idText + "] /Filter /FlateDecode /DecodeParms << /Columns ";
        appendInteger(head, static_cast<long long>(width));
        head += " /Predictor 12 >>";
        const uint64_t start = offset_;
        emitStream(number, head, data);
        std::string end = "startxref\n";
        appendInteger(end, static_cast<long long>(start));
        end += "\n%%EOF\n";
        emit(end);
    }

    Pipeline& out_;
    Deflater& streamDeflater_;
    Deflater objectStreamDeflater_;
    uint64_t offset_ = 0;
    // By number; number 0 is the head of the free list.
    std::vector<Entry> entries_{Entry{}};
    std::unordered_map<QPDFObjGen, int, ObjGenHash> numbers_;
    // Reached, not written yet, with their numbers.
    std::deque<std::pair<int, QPDFObjectHandle>> queue_;
    // The object stream being filled: "number offset" pairs, the objects, and
    // their numbers.
    std::string streamIndex_;
    std::string streamObjects_;
    std::vector<int> streamMembers_;
};

}  // namespace

void writeCompact(QPDF& pdf, Pipeline& out, const std::string& version, const std::string& id,
                  Deflater& streamDeflater)
{
    Writer(out, streamDeflater).write(pdf, version, id);
}

}  // namespace pdfengine
