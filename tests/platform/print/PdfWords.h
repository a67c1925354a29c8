#pragma once
// Reads a PDF back as words with their boxes in points (pdftotext -bbox), and the size
// of its pages (pdfinfo), to check where printed texts landed.

#include <filesystem>
#include <string>
#include <vector>

namespace vorra::print::testing {

struct PdfWord {
    int page = 0;  // 0-based
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf);

// Page width and height in points of the first page.
std::pair<double, double> pdfPageSize(const std::filesystem::path& pdf);

int pdfPageCount(const std::filesystem::path& pdf);

}  // namespace vorra::print::testing
