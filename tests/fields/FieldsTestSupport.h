// Helpers of the form field tests: what pypdf reads of a document's form
// (fields_report.py), and how much ink a rendered rectangle holds.
#pragma once

#include <string>
#include <vector>

#include "tests/support/EngineTestSupport.h"

namespace fieldstest {

// The records fields_report.py prints, split at tabs.
class FormReport {
public:
    explicit FormReport(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}

    // The first record of a kind whose second column is `key`; empty when none.
    std::vector<std::string> find(const std::string& kind, const std::string& key) const;
    // Every record of a kind.
    std::vector<std::vector<std::string>> all(const std::string& kind) const;
    // "value kids" of a field, "missing" when pypdf does not list it.
    std::string field(const std::string& name) const;
    // "AS linked" of a widget.
    std::string widget(const std::string& name) const;
    // Every record, for failure messages.
    std::string dump() const;

private:
    std::vector<std::vector<std::string>> rows_;
};

// Whether /usr/bin/python3 has pypdf.
bool havePypdf();
FormReport report(const std::string& pdf);

// Pixels of a rectangle (PDF points) that are not white, its edges left out.
int ink(const enginetest::Raster& raster, double llx, double lly, double urx, double ury);

// The message of `qpdf --check` when it finds problems, "" when the file is clean.
std::string qpdfProblems(const std::string& pdf);

}  // namespace fieldstest

#define REQUIRE_PYPDF()                                                                      \
    do {                                                                                     \
        if (!::fieldstest::havePypdf())                                                      \
            GTEST_SKIP() << "python3-pypdf is not installed (scripts/install-deps adds it)"; \
    } while (0)
