#include "pdfengine/CidWidthArray.h"

namespace pdfengine {

namespace {

// Runs shorter than this cost more written as "first last w" than inside a list.
constexpr size_t kMinimumRun = 3;

}  // namespace

std::vector<CidWidthArray::Entry> CidWidthArray::build(const std::map<uint32_t, int>& widths,
                                                       int defaultWidth)
{
    // Neighbouring CIDs with a width of their own, in order.
    std::vector<std::vector<std::pair<uint32_t, int>>> groups;
    for (const auto& [cid, width] : widths) {
        if (width == defaultWidth)
            continue;
        if (groups.empty() || groups.back().back().first + 1 != cid)
            groups.emplace_back();
        groups.back().emplace_back(cid, width);
    }
    std::vector<Entry> entries;
    for (const auto& group : groups) {
        Entry list;
        for (size_t i = 0; i < group.size();) {
            size_t j = i;
            while (j < group.size() && group[j].second == group[i].second)
                ++j;
            if (j - i >= kMinimumRun) {
                if (!list.widths.empty())
                    entries.push_back(std::move(list));
                list = Entry();
                Entry run;
                run.first = group[i].first;
                run.last = group[j - 1].first;
                run.widths = {group[i].second};
                run.run = true;
                entries.push_back(std::move(run));
            } else {
                for (size_t k = i; k < j; ++k) {
                    if (list.widths.empty())
                        list.first = list.last = group[k].first;
                    list.widths.push_back(group[k].second);
                }
            }
            i = j;
        }
        if (!list.widths.empty())
            entries.push_back(std::move(list));
    }
    return entries;
}

std::string CidWidthArray::toPdf(const std::vector<Entry>& entries)
{
    std::string out = "[";
    for (const Entry& e : entries) {
        if (out.size() > 1)
            out += ' ';
        out += std::to_string(e.first);
        if (e.run) {
            out += ' ' + std::to_string(e.last) + ' ' + std::to_string(e.widths.front());
            continue;
        }
        out += " [";
        for (size_t i = 0; i < e.widths.size(); ++i)
            out += (i ? " " : "") + std::to_string(e.widths[i]);
        out += ']';
    }
    return out + "]";
}

}  // namespace pdfengine
