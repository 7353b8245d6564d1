// What Windows did with every input under code page 932, as recorded in
// tests/platform/data/ (see its README.md), for the tests of the conversions that must
// match it. Shared by the platform and text tests.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace cp932reference {

using Row = std::vector<std::string>;

// The rows of a table (.tsv, or .tsv.gz), without the header line, split at tabs.
inline std::vector<Row> readTable(const std::string& name)
{
    const std::string path = std::string(QUILLON_SOURCE_DIR) + "/tests/platform/data/" + name;
    std::vector<Row> rows;
    gzFile file = gzopen(path.c_str(), "rb");  // reads plain files as they are
    if (!file) {
        ADD_FAILURE() << "cannot open " << path;
        return rows;
    }
    std::string text;
    char chunk[65536];
    int got;
    while ((got = gzread(file, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<size_t>(got));
    gzclose(file);
    size_t start = text.find('\n') + 1;  // the header
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        Row row;
        size_t field = start;
        for (size_t tab; (tab = text.find('\t', field)) < end; field = tab + 1)
            row.push_back(text.substr(field, tab - field));
        row.push_back(text.substr(field, end - field));
        rows.push_back(std::move(row));
        start = end + 1;
    }
    return rows;
}

// "82A0" -> the bytes 82 A0.
inline std::string bytesOf(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// "304B 3099" -> the units 304B 3099.
inline std::u16string unitsOf(const std::string& hex)
{
    std::u16string units;
    for (size_t i = 0; i < hex.size(); i += 5)
        units.push_back(static_cast<char16_t>(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return units;
}

inline std::string hexOf(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

}  // namespace cp932reference
