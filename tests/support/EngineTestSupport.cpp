#include "tests/support/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "tests/support/TestSupport.h"

namespace enginetest {

namespace {

void throwingHandler(PDF*, int type, const char* message)
{
    throw Raised{type, message};
}

}  // namespace

Handle::Handle() : p_(PDF_new2(throwingHandler, nullptr, nullptr, nullptr, nullptr))
{
    if (!p_)
        throw std::runtime_error("PDF_new2 failed");
}

Handle::~Handle()
{
    PDF_delete(p_);
}

Raised raised(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Raised& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return Raised{0, ""};
}

std::string failure(PDF* p, const std::function<void()>& f)
{
    try {
        f();
    } catch (const Raised& error) {
        if (error.message != PDF_get_errmsg(p))
            return "handler and PDF_get_errmsg disagree: " + error.message;
        return std::to_string(PDF_get_errnum(p)) + " " + std::to_string(error.type) + " " + error.message;
    }
    return "no error";
}

void writeEmptyPages(const std::string& path, int pages, double width, double height,
                     const std::string& options)
{
    Handle p;
    PDF_begin_document(p, path.c_str(), 0, options.c_str());
    for (int i = 0; i < pages; ++i) {
        PDF_begin_page_ext(p, width, height, "");
        PDF_end_page_ext(p, "");
    }
    PDF_end_document(p, "");
}

void writeRedSquare(const std::string& path, const std::string& options, const std::string& globalOptions)
{
    Handle p;
    PDF_set_option(p, globalOptions.c_str());
    PDF_begin_document(p, path.c_str(), 0, options.c_str());
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_setcolor(p, "fill", "rgb", 1, 0, 0, 0);
    PDF_rect(p, 0, 0, 50, 50);
    PDF_fill(p);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
}

std::string pdfinfoField(const std::string& output, const std::string& key)
{
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + ":", 0) != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        size_t start = value.find_first_not_of(' ');
        return start == std::string::npos ? "" : value.substr(start);
    }
    return "";
}

std::string pageContent(const std::string& pdf, int page, const std::string& password)
{
    std::vector<std::string> argv = {"qpdf", "--qdf", "--object-streams=disable"};
    if (!password.empty())
        argv.push_back("--password=" + password);
    argv.push_back(pdf);
    argv.push_back("-");
    auto result = testsupport::run(argv);
    const std::string marker = "%% Contents for page " + std::to_string(page) + "\n";
    size_t at = result.out.find(marker);
    if (at == std::string::npos)
        return "";
    size_t start = result.out.find("stream\n", at);
    size_t end = result.out.find("endstream", start);
    if (start == std::string::npos || end == std::string::npos)
        return "";
    start += 7;
    return result.out.substr(start, end - start);
}

unsigned long Raster::pixel(int x, int y) const
{
    const int row = height - 1 - y;
    if (x < 0 || x >= width || row < 0 || row >= height)
        return 0xFFFFFFFF;
    size_t at = (static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return (static_cast<unsigned long>(rgb[at]) << 16) | (static_cast<unsigned long>(rgb[at + 1]) << 8) |
           rgb[at + 2];
}

char Raster::colour(int x, int y) const
{
    const unsigned long rgb = pixel(x, y);
    const bool r = (rgb >> 16 & 0xFF) > 200, g = (rgb >> 8 & 0xFF) > 200, b = (rgb & 0xFF) > 200;
    const bool low = (rgb >> 16 & 0xFF) < 50 && (rgb >> 8 & 0xFF) < 50 && (rgb & 0xFF) < 50;
    if (r && g && b)
        return 'w';
    if (low)
        return 'k';
    if (r && !g && !b)
        return 'r';
    if (g && !r && !b)
        return 'g';
    if (b && !r && !g)
        return 'b';
    return '?';
}

Raster render(const std::string& pdf, int page)
{
    auto result = testsupport::run(
        {"pdftoppm", "-r", "72", "-f", std::to_string(page), "-l", std::to_string(page), "-singlefile", pdf});
    Raster raster;
    std::istringstream in(result.out);
    std::string magic;
    int maximum = 0;
    in >> magic >> raster.width >> raster.height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255)
        return Raster{};
    raster.rgb.resize(static_cast<size_t>(raster.width) * static_cast<size_t>(raster.height) * 3);
    in.read(reinterpret_cast<char*>(raster.rgb.data()), static_cast<std::streamsize>(raster.rgb.size()));
    return raster;
}

}  // namespace enginetest
