#include "config/tr_pdftext.h"

#include <sys/stat.h>
#include <cstdio>
#include <memory>

#include "config/ConfigSection.h"
#include "config/tr_pdffont.h"
#include "config/tr_pdfpoint.h"
#include "foundation/TORStringArray.h"

namespace {

bool contains(const std::string& value, const char* word)
{
    // Searched character by character, so a word never starts inside a two-byte character.
    return !value.empty() && findSubstring(value.c_str(), word, false) != nullptr;
}

uint16_t alignmentOf(const std::string& words)
{
    uint16_t align = 0;
    if (contains(words, "left"))
        align |= TORPDFText::alignLeft;
    else if (contains(words, "center"))
        align |= TORPDFText::alignCenter;
    else if (contains(words, "right"))
        align |= TORPDFText::alignRight;
    if (contains(words, "top"))
        align |= TORPDFText::alignTop;
    else if (contains(words, "middle"))
        align |= TORPDFText::alignMiddle;
    else if (contains(words, "bottom"))
        align |= TORPDFText::alignBottom;
    if (!(align & TORPDFText::horizontalMask))
        align |= TORPDFText::alignLeft;
    if (!(align & TORPDFText::verticalMask))
        align |= TORPDFText::alignTop;
    return align;
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
