#include "config/tr_pdftext.h"

#include <sys/stat.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "config/ConfigSection.h"
#include "config/tr_pdffont.h"
#include "config/tr_pdfpoint.h"
#include "foundation/TORAllocator.h"

namespace {

uint16_t alignmentOf(const std::string& words)
{
    // The words are looked for with case, each at every character of the value, so a
    // word never starts inside a two-byte character; one pass looks for all of them.
    struct Word {
        std::string_view text;
        uint16_t flag;
        bool found = false;
    };
    Word horizontal[] = {{"left", TORPDFText::alignLeft},
                         {"center", TORPDFText::alignCenter},
                         {"right", TORPDFText::alignRight}};
    Word vertical[] = {{"top", TORPDFText::alignTop},
                       {"middle", TORPDFText::alignMiddle},
                       {"bottom", TORPDFText::alignBottom}};
    for (const char* at = words.c_str(); *at;
         at += TORAllocator::isLeadByte(static_cast<unsigned char>(*at)) && at[1] != '\0' ? 2 : 1) {
        for (Word* group : {horizontal, vertical}) {
            for (size_t i = 0; i < 3; ++i) {
                Word& word = group[i];
                if (!word.found && *at == word.text[0] &&
                    std::strncmp(at, word.text.data(), word.text.size()) == 0)
                    word.found = true;
            }
        }
    }
    // The first word of each group in the order above wins; left and top without one.
    auto first = [](const Word* group, uint16_t otherwise) {
        for (size_t i = 0; i < 3; ++i) {
            if (group[i].found)
                return group[i].flag;
        }
        return otherwise;
    };
    return static_cast<uint16_t>(first(horizontal, TORPDFText::alignLeft) |
                                 first(vertical, TORPDFText::alignTop));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The text held in a file, read as text: CR LF becomes LF, Ctrl-Z ends the data, and a
// zero byte ends the text. The buffer has the file's size + 1 bytes, zero-filled. A
// file that cannot be opened, or is not a regular file, gives an empty text.
char* readTextFile(const char* name)
{
    File file(std::fopen(name, "rb"));
    struct stat st;
    if (!file || ::fstat(fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return new char[1]();
    size_t size = static_cast<size_t>(st.st_size);
    std::unique_ptr<char[]> raw(new char[size + 1]());
    size_t got = std::fread(raw.get(), 1, size, file.get());

    char* text = new char[size + 1]();
    size_t out = 0;
    for (size_t i = 0; i < got; ++i) {
        if (raw[i] == '\x1A')
            break;
        if (raw[i] == '\r' && i + 1 < got && raw[i + 1] == '\n')
            continue;
        text[out++] = raw[i];
    }
    return text;
}

}  // namespace

tr_pdftext::tr_pdftext(const char* section, const char* path, double pageHeight)
    : TORPDFText(nullptr, alignLeft | alignTop, nullptr, nullptr)
{
    ConfigSection keys(section, path);
    align = alignmentOf(keys.text("align", "left", 128));
    charspacing = static_cast<int16_t>(keys.integer("charspacing", -1));
    wordspacing = static_cast<int16_t>(keys.integer("wordspacing", -1));
    position = std::make_unique<tr_pdfpoint>(section, "x", "y", path, pageHeight);
    font = std::make_unique<tr_pdffont>(section, path);
    std::string textFile = keys.text("textfile", "", 512);
    if (!textFile.empty())
        text.adopt(readTextFile(textFile.c_str()));
    else
        text.set(keys.text("text", "", 512).c_str());
}
