#include "tests/fields/FieldsTestSupport.h"

#include <sstream>

#include "tests/support/TestSupport.h"

namespace fieldstest {

namespace {

const char* const kPython = "/usr/bin/python3";

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, '\t'))
        parts.push_back(part);
    return parts;
}

}  // namespace

std::vector<std::string> FormReport::find(const std::string& kind, const std::string& key) const
{
    for (const auto& row : rows_)
        if (row.size() > 1 && row[0] == kind && row[1] == key)
            return row;
    return {};
}

std::vector<std::vector<std::string>> FormReport::all(const std::string& kind) const
{
    std::vector<std::vector<std::string>> found;
    for (const auto& row : rows_)
        if (!row.empty() && row[0] == kind)
            found.push_back(row);
    return found;
}

std::string FormReport::field(const std::string& name) const
{
    auto row = find("field", name);
    return row.size() < 5 ? "missing" : row[3] + " " + row[4];
}

std::string FormReport::widget(const std::string& name) const
{
    for (const auto& row : rows_)
        if (row.size() > 4 && row[0] == "widget" && row[2] == name)
            return row[3] + " " + row[4];
    return "missing";
}

std::string FormReport::dump() const
{
    std::string text;
    for (const auto& row : rows_) {
        for (const auto& part : row)
            text += part + " | ";
        text += "\n";
    }
    return text;
}

bool havePypdf()
{
    return testsupport::fileExists(kPython) && testsupport::run({kPython, "-c", "import pypdf"}).status == 0;
}

FormReport report(const std::string& pdf)
{
    auto result = testsupport::run({kPython, testsupport::sourcePath("tests/fields/fields_report.py"), pdf});
    std::vector<std::vector<std::string>> rows;
    if (result.status != 0) {
        rows.push_back({"error", result.err});
        return FormReport(rows);
    }
    std::istringstream in(result.out);
    std::string line;
    while (std::getline(in, line))
        rows.push_back(splitTabs(line));
    return FormReport(rows);
}

int ink(const enginetest::Raster& raster, double llx, double lly, double urx, double ury)
{
    int count = 0;
    for (int y = static_cast<int>(lly) + 1; y < static_cast<int>(ury) - 1; ++y)
        for (int x = static_cast<int>(llx) + 1; x < static_cast<int>(urx) - 1; ++x)
            count += raster.colour(x, y) != 'w' ? 1 : 0;
    return count;
}

std::string qpdfProblems(const std::string& pdf)
{
    auto result = testsupport::run({"qpdf", "--check", pdf});
    return result.status == 0 ? "" : result.out + result.err;
}

}  // namespace fieldstest
